// Values the main window shares with the robot, disc worker and PDF threads. Each is atomic, so the
// threads that poll them every second and the main thread that arms them never tear a value.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace pagorin {

// RobotState: 0 idle, 1 init, 2 connect, 3 activate, 4 writer enumeration, 6 load, 7 unload, 8 reject.
extern std::atomic<int> RobotState;
// DiscCommand: 0 none, 1 check disc, 2 erase, 3 burn.
extern std::atomic<int> DiscCommand;
extern std::atomic<bool> DiscBusy;
// DiscClass: result of the last disc check (0 no disc ... 7 unusable, 999 engine or drive unavailable).
extern std::atomic<int> DiscClass;
// Drive letters of the robot's writer and of the burning engine's drive; 0 = none (no autoloader).
extern std::atomic<char> RobotDriveLetter;
extern std::atomic<char> BurnDriveLetter;
extern std::atomic<bool> BurnRetryPending;
// Asks the worker threads to end; they poll it with their commands.
extern std::atomic<bool> StopWorkers;

// The disc job a burn writes: the disc's title and the "Session.txt" that lists the job's file lists. The main
// thread sets them (at creation and when it prepares a job, before DiscCommand 3); a burn takes one copy when
// it starts, so nothing it reads changes under it.
struct BurnJob {
    std::wstring DiscTitle;
    std::string SessionFilePath;
};
void SetDiscTitle(const std::wstring& title);
void SetSessionFilePath(const std::string& path);
BurnJob CurrentBurnJob();

// The sibling image program's path: set at the main window's creation, before any PDF thread starts.
extern std::string FendrixPath;

// A usable disc sits in the writer, and its family (-1 none or unknown, 1 CD, 2 DVD): set by the disc
// events and the robot thread, read by the job timers.
inline std::atomic<bool> DiscReady{false};
inline std::atomic<int> DetectedDiscType{-1};

// The robot is idle again after taking a disc out of the writer, but the window has not yet had the report of
// it (posted to its thread), which ends the disc's job: nothing may be decided from the idle robot meanwhile.
inline std::atomic<bool> DiscOutReportDue{false};

// The robot has just taken out a disc that kept a load from the writer: the load asked for again may find the
// writer full once more only to fail its job. It counts for that one load: the main thread forgets it when it
// asks for none.
inline std::atomic<bool> WriterClearedForLoad{false};

// The first robot's identifier as the robot thread found it (0 before it connected).
extern std::atomic<int> FirstRobotId;

}  // namespace pagorin
