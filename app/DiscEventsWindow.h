// The main window's side of the disc road: it starts and stops the robot and disc worker threads, shows what
// they report (posted to the main thread) and handles WM_DEVICECHANGE for the robot's writer.
#pragma once

#include <windows.h>

#include <memory>

#include "DiscRoadView.h"

namespace pagorin {

class TfrmMain;

// What the road's threads report, shown on the main window (posted to its thread).
std::unique_ptr<DiscRoadView> MakeMainWindowDiscView(TfrmMain& form);

// Started by the start-up timer: RobotState 1, both threads; their handles go to the form for its close.
void StartDiscRoad(TfrmMain& form);
// At the close, after the form waited for both threads: a thread still running reports nothing more.
void StopDiscRoad();
// The form's WM_DEVICECHANGE.
void DiscRoadDeviceChange(TfrmMain& form, WPARAM event, LPARAM data);

// Provided by the job flow: start or continue the disc cycle.
void GoBurning(TfrmMain& form);

}  // namespace pagorin
