// The robot thread and its state machine: connect the robot, list its writers, and carry out one movement
// (load, unload, reject) whenever RobotState asks for it; plus the window's reaction to writers that come
// and go (WM_DEVICECHANGE).
#pragma once

#include <windows.h>

#include <string>

#include "DiscEvents.h"
#include "DiscRoadView.h"
#include "Robot.h"

namespace pagorin {

class Autoloader {
public:
    Autoloader(DiscRoadView& view, const DiscTiming& timing, const StopSignal& stop, PendingJobFailure& failure,
               std::string workingPath);

    // The thread: initialise the library, then one step every poll period until the stop. -1 when the
    // library could not be initialised (no robot for the rest of the run).
    int Run();
    // Initialises the library; false when the thread must end.
    bool Initialise();
    // Performs the action of the current RobotState, if it has one, and handles its result.
    void RunOnce();
    // Turns a library result of the step `state` into the next state and the window's changes.
    void HandleRobotResult(int state, int rc);

private:
    int Perform(int state);
    void Connected(int rc, int& next);
    void WritersListed(int rc);
    void Loaded(int rc);
    void Unloaded(int rc);
    void Rejected(int rc);
    void ReportFailure(int rc);
    void ReportUnexpected(const char* stateName, int rc);

    DiscRoadView& view_;
    const DiscTiming& timing_;
    const StopSignal& stop_;
    PendingJobFailure& failure_;
    std::string workingPath_;
    RobotList robots_;
    WriterList writers_;
    int activeRobot_ = 0;
    std::string message_;
    bool clearingWriter_ = false;  // the reject under way takes out a disc that kept a load from the writer
};

// The window's WM_DEVICECHANGE: a volume's arrival reconnects the robot when no writer is known; the removal
// of the robot's writer forgets it. `driveType` is GetDriveTypeA (tests give their own).
using DriveTypeFunction = UINT(WINAPI*)(LPCSTR);
void HandleDeviceChange(WPARAM event, LPARAM data, DiscRoadView& view, DriveTypeFunction driveType = GetDriveTypeA);

}  // namespace pagorin
