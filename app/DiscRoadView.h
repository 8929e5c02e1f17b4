// What the robot thread and the disc worker report to the main window, and the small pieces both threads
// share: robot states, the settings a disc check needs, pauses, and the stop signal.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "SharedState.h"

namespace pagorin {

// Values of RobotState.
enum RobotStateValue {
    StateIdle = 0,
    StateInit = 1,
    StateConnect = 2,
    StateActivate = 3,
    StateEnumWriters = 4,
    StateLoadWriter = 6,
    StateUnloadWriter = 7,
    StateRejectWriter = 8,
};

// A disc classified usable sits in the writer, for a job to write on. After an unload or a reject the road
// keeps DiscReady but forgets the type, so the type decides; and from the moment the robot is asked to take the
// disc out (a written one, or one put aside) it is no longer there for a job, though its type is only forgotten
// once the robot is done.
inline bool DiscInWriter()
{
    int robot = RobotState;
    return DiscReady && DetectedDiscType != -1 && robot != StateUnloadWriter && robot != StateRejectWriter;
}

// Values of DiscCommand.
enum DiscCommandValue { CommandNone = 0, CommandCheckDisc = 1, CommandErase = 2, CommandBurn = 3 };

// Results of a burn.
enum BurnResultValue { BurnWritten = 1, BurnNoSessionFile = 900, BurnWriteFailed = 901, BurnEngineFailed = 999 };

constexpr int DiscClassUnavailable = 999;

enum class Notice { ConnectingRobot, UnloadDisc };
enum class DiscStatus { Erase, Idle, Verify };

// The main window's settings that decide what a classified disc is used for.
struct DiscRules {
    bool Interactive = true;  // OperationMode 1
    int DiscType = 0;         // 0 automatic, 1 CD, 2 DVD
    int RwDiscPolicy = 0;     // 0 erase, 1 reject
};

// Implemented by the main window. Every call comes from the robot thread or the disc worker (except
// `WriterRemoved`, which comes from the window's own device-change handling); the window posts what it shows
// to its own thread and never blocks the caller.
class DiscRoadView {
public:
    virtual ~DiscRoadView() = default;

    // A line for the day log.
    virtual void Log(const std::string& line) = 0;
    // The robot's status texts.
    virtual void RobotStatus(const std::string& text) = 0;
    // A message box for the operator ("Error" for the robot, "Burn Thread" for the engine).
    virtual void ErrorBox(const std::string& text, const std::string& caption) = 0;
    virtual void ShowNotice(Notice notice) = 0;
    virtual void StopNotice() = 0;

    // Writer enumeration ended: the robot list shows `writerNames`; with at least one writer the robot is
    // ready (its name `robotName`) and the write controls come on.
    virtual void WritersListed(const std::vector<std::string>& writerNames, const std::string& robotName) = 0;
    virtual void InputBinEmpty() = 0;
    // After an unload or a reject (the capacity text empties, the notice stops); `ok` when the robot did it.
    virtual void DiscUnloaded(bool ok) = 0;
    virtual void DiscRejected(bool ok) = 0;
    // The robot finished a step (the cursor returns to the arrow).
    virtual void RobotStepDone() = 0;
    // The robot's writer went away.
    virtual void WriterRemoved() = 0;

    virtual void ShowCapacity(const std::string& text) = 0;
    virtual void ShowDiscStatus(DiscStatus status) = 0;
    // A usable disc sits in the writer (DiscReady and DetectedDiscType are set).
    virtual void DiscAccepted() = 0;
    virtual void WriteProgress(int percent) = 0;
    // The current disc job ended without its disc; `reason` says why. The operator is told, the job ends.
    virtual void JobFailed(const std::string& reason) = 0;

    // Read from the worker threads: the implementation must be safe to call from any thread.
    virtual DiscRules Rules() = 0;
};

// Pauses of the road, in milliseconds (tests shorten them).
struct DiscTiming {
    DWORD Poll = 1000;            // both threads look at their command this often
    DWORD NotReadyWait = 1000;    // between disc checks while the disc is not ready
    DWORD EjectPause = 2000;      // after opening the tray of a disc to reject
    DWORD ReloadPause = 3000;     // after closing the tray of an erased disc
    DWORD AfterBurnPause = 3000;  // after opening the tray of a written disc
    DWORD RobotWait = 30000;      // how long a disc handler waits for the robot to become idle
};

// What the threads sleep on: a stop request of their own road (an event) or the program's StopWorkers flag
// ends every pause within a tenth of a second.
class StopSignal {
public:
    StopSignal() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~StopSignal() { CloseHandle(event_); }
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise() { SetEvent(event_); }
    bool Raised() const { return StopWorkers || WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }
    // Sleeps `ms`; false when the stop came first.
    bool Pause(DWORD ms) const
    {
        for (;;) {
            DWORD slice = ms < 100 ? ms : 100;
            if (WaitForSingleObject(event_, slice) == WAIT_OBJECT_0 || StopWorkers)
                return false;
            if (ms == slice)
                return true;
            ms -= slice;
        }
    }

private:
    HANDLE event_;
};

}  // namespace pagorin
