// The disc road as the main window starts and stops it: the robot thread and the disc worker thread with
// what they share.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "DiscRoadView.h"

namespace pagorin {

struct DiscRoadConfig {
    std::string WorkingPath;    // handed to the robot library
    std::string EngineLogPath;  // where the engine's diagnostics go
    DiscTiming Timing;
};

class DiscRoad {
public:
    DiscRoad(DiscRoadView& view, DiscRoadConfig config);
    ~DiscRoad();
    DiscRoad(const DiscRoad&) = delete;
    DiscRoad& operator=(const DiscRoad&) = delete;

    // RobotState 1, then both threads start.
    void Start();
    // Asks both threads to stop and waits up to `timeoutMs` for them (the robot is parked and its library
    // closed after this). False when a thread did not end in time: it is left to the process's end and
    // reports nothing more.
    bool Stop(DWORD timeoutMs);
    bool Running() const { return robotThread_ || discThread_; }
    // The robot thread's exit code, once it ended (-1 when the library could not be initialised).
    std::optional<DWORD> RobotExitCode() const;
    // Copies of the thread handles (the caller closes them), for a caller that waits for the threads itself.
    HANDLE DuplicateRobotThread() const;
    HANDLE DuplicateDiscThread() const;

private:
    struct Shared;
    static DWORD WINAPI RobotThreadProc(LPVOID parameter);
    static DWORD WINAPI DiscThreadProc(LPVOID parameter);
    HANDLE StartThread(LPTHREAD_START_ROUTINE proc);

    std::shared_ptr<Shared> shared_;
    HANDLE robotThread_ = nullptr;
    HANDLE discThread_ = nullptr;
};

}  // namespace pagorin
