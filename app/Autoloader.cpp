// The robot state machine. The thread acts on the state it read and hands that same state to
// HandleRobotResult; every change of RobotState is a compare-and-set, so the main thread's requests (load,
// reconnect) and the disc events' (unload, reject) are never overwritten.
#include "Autoloader.h"

#include <dbt.h>

#include <cstdio>
#include <utility>

#include "SharedState.h"

namespace pagorin {

namespace {

std::string Formatted(const char* format, int value)
{
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool MovesStateFrom(int from, int to)
{
    return RobotState.compare_exchange_strong(from, to);
}

bool IsReportedFailure(int rc, bool unloadOrReject)
{
    return rc == 402 || rc == 416 || rc == 499 || (unloadOrReject ? rc == 413 : rc == 415);
}

}  // namespace

Autoloader::Autoloader(DiscRoadView& view, const DiscTiming& timing, const StopSignal& stop,
                       PendingJobFailure& failure, std::string workingPath)
    : view_(view), timing_(timing), stop_(stop), failure_(failure), workingPath_(std::move(workingPath))
{
}

int Autoloader::Run()
{
    if (!Initialise())
        return -1;
    while (stop_.Pause(timing_.Poll))
        RunOnce();
    return 0;
}

bool Autoloader::Initialise()
{
    int rc = KT_Robots_Init(0);
    HandleRobotResult(StateInit, rc);
    return rc == KT_ROBOTS_OK || rc == KT_ROBOTS_READY;
}

void Autoloader::RunOnce()
{
    int state = RobotState;
    if (state < StateConnect || state > StateRejectWriter || state == 5)
        return;
    int rc = Perform(state);
    message_ = RobotMessage(state == StateConnect ? robots_.Ids[0] : activeRobot_);
    HandleRobotResult(state, rc);
}

int Autoloader::Perform(int state)
{
    char letter = RobotDriveLetter;
    switch (state) {
    case StateConnect: return ConnectRobots(robots_);
    case StateActivate: return ActivateRobot(activeRobot_);
    case StateEnumWriters: return EnumerateWriters(activeRobot_, writers_);
    case StateLoadWriter:
        CDRWCTLs_LockDriver(letter);
        return KT_Robots_LoadDrive(letter, 0, KT_ROBOTS_MOVE_LOAD, 0);
    case StateUnloadWriter:
        CDRWCTLs_UnLockDriver(letter);
        return KT_Robots_UnloadDrive(letter, 0, KT_ROBOTS_MOVE_UNLOAD, 0);
    default: return KT_Robots_UnloadDrive(letter, 0, KT_ROBOTS_MOVE_REJECT, 0);
    }
}

void Autoloader::HandleRobotResult(int state, int rc)
{
    // The disc taken out is forgotten, and its report marked as due, before the robot counts as idle again: the
    // window deciding in between would find it still classified in the writer, or its job not yet ended.
    if (state == StateUnloadWriter || state == StateRejectWriter) {
        DetectedDiscType = -1;
        DiscOutReportDue = true;
    }
    MovesStateFrom(state, StateIdle);
    int next = StateIdle;
    switch (state) {
    case StateInit:
        KT_Robots_SetProperty(KT_ROBOTS_PROPERTY_WORKING_PATH, workingPath_.c_str());
        if (rc == KT_ROBOTS_OK)
            next = StateConnect;
        else if (rc == KT_ROBOTS_FAILED)
            view_.RobotStatus("Memory defect encountered.");
        else
            ReportUnexpected("STATE_INIT", rc);
        break;
    case StateConnect: Connected(rc, next); break;
    case StateActivate:
        if (rc == KT_ROBOTS_OK || rc == KT_ROBOTS_DONE)
            next = StateEnumWriters;
        else if (rc == KT_ROBOTS_INVALID_ID)
            view_.RobotStatus("The robot ID is invalid.");
        else if (rc == KT_ROBOTS_FAILED)
            ReportFailure(rc);
        else
            ReportUnexpected("STATE_ACTIVATE", rc);
        break;
    case StateEnumWriters: WritersListed(rc); break;
    case StateLoadWriter: Loaded(rc); break;
    case StateUnloadWriter: Unloaded(rc); break;
    case StateRejectWriter: Rejected(rc); break;
    default: break;
    }
    if (next != StateIdle)
        MovesStateFrom(StateIdle, next);
    view_.RobotStepDone();
}

void Autoloader::Connected(int rc, int& next)
{
    if (rc == KT_ROBOTS_OK) {
        int count = robots_.Count;
        view_.RobotStatus(Formatted(count < 2 ? "%d robot connected" : "%d robots connected", count));
        if (count > 0) {
            view_.ShowNotice(Notice::ConnectingRobot);
            activeRobot_ = robots_.Ids[0];
            FirstRobotId = robots_.Ids[0];
            next = StateActivate;
        }
    } else if (rc == KT_ROBOTS_FAILED) {
        view_.RobotStatus("Connecting robots failed");
    } else {
        ReportUnexpected("STATE_CONNECT", rc);
    }
}

// Only the first writer of the first robot is used. A failed listing counts as no writer, and a writer
// without a name has no letter to use.
void Autoloader::WritersListed(int rc)
{
    std::vector<std::string> names;
    if (rc == KT_ROBOTS_OK) {
        for (int i = 0; i < writers_.Count; ++i) {
            if (!writers_.Names[i].empty())
                names.push_back(writers_.Names[i]);
        }
    } else {
        ReportFailure(rc);
    }
    view_.RobotStatus(Formatted("%d writers ready", int(names.size())));
    if (!names.empty()) {
        activeRobot_ = robots_.Ids[0];
        RobotDriveLetter = names[0][0];  // before the window reads it
    }
    view_.WritersListed(names, robots_.Names[0]);
}

// A writer that holds a disc no job writes on (one the robot could not take out, or one left by an earlier
// run) would refuse every load: that disc goes to the reject bin first, and the load is asked for again. Once
// per load: a writer that is still full after it fails the job.
void Autoloader::Loaded(int rc)
{
    bool writerCleared = WriterClearedForLoad.exchange(false);
    if (rc == KT_ROBOTS_OK || rc == KT_ROBOTS_DONE) {
        DiscBusy = true;
        BurnDriveLetter = RobotDriveLetter.load();
        DiscCommand = CommandCheckDisc;
        view_.StopNotice();
        return;
    }
    DiscBusy = false;
    if (rc == KT_ROBOTS_INPUT_EMPTY) {
        view_.InputBinEmpty();
        return;
    }
    if (rc == KT_ROBOTS_WRITER_FULL && !writerCleared && MovesStateFrom(StateIdle, StateRejectWriter)) {
        view_.RobotStatus("The writer holds a disc that no job writes on: it goes to the reject bin first.");
        view_.ShowNotice(Notice::UnloadDisc);
        clearingWriter_ = true;
        return;
    }
    if (IsReportedFailure(rc, false))
        ReportFailure(rc);
    else
        ReportUnexpected("STATE_LOADWRITER", rc);
    view_.JobFailed(Formatted("Loading a disc failed (%d): ", rc) + message_);
}

// The written disc is done with, whether or not it left the writer: no job may be written on it again.
void Autoloader::Unloaded(int rc)
{
    DiscReady = true;
    bool ok = rc == KT_ROBOTS_OK;
    if (ok) {
        view_.RobotStatus("Disc unloaded");
    } else if (IsReportedFailure(rc, true)) {
        ReportFailure(rc);
    } else {
        ReportUnexpected("STATE_UNLOADWRITER", rc);
    }
    view_.DiscUnloaded(ok);
    if (!ok)
        view_.JobFailed(Formatted("Unloading the written disc failed (%d): ", rc) + message_);
}

// A reject that ends a failed job does not go on with the next disc. A disc sent to the reject bin is never
// written on, even when it could not leave the writer.
void Autoloader::Rejected(int rc)
{
    DiscReady = true;
    // A writer found empty when it was to be cleared for a load is as good as cleared.
    bool clearing = std::exchange(clearingWriter_, false);
    bool ok = rc == KT_ROBOTS_OK || rc == KT_ROBOTS_DONE || (clearing && rc == KT_ROBOTS_NO_DISC);
    WriterClearedForLoad = clearing && ok;
    if (ok) {
        view_.RobotStatus("Disc rejected");
    } else if (IsReportedFailure(rc, true)) {
        ReportFailure(rc);
    } else {
        ReportUnexpected("STATE_REJECTWRITER", rc);
    }
    auto failure = failure_.Take();
    view_.DiscRejected(ok && !failure);
    if (failure)
        view_.JobFailed(*failure);
    else if (!ok)
        view_.JobFailed(Formatted("Rejecting the disc failed (%d): ", rc) + message_);
}

void Autoloader::ReportFailure(int rc)
{
    char text[KT_ROBOTS_TEXT_SIZE + 32];
    std::snprintf(text, sizeof text, "%s (%d)", message_.c_str(), rc);
    view_.RobotStatus(text);
}

void Autoloader::ReportUnexpected(const char* stateName, int rc)
{
    std::string text = std::string(stateName) + Formatted(" : Unexpected error return code %d", rc);
    view_.Log(text);
    view_.ErrorBox(text, "Error");
}

void HandleDeviceChange(WPARAM event, LPARAM data, DiscRoadView& view, DriveTypeFunction driveType)
{
    auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE))
        return;
    if (header->dbch_devicetype != DBT_DEVTYP_VOLUME) {
        if (event == DBT_DEVICEREMOVECOMPLETE)
            view.RobotStatus("pDeviceInfo->dbch_devicetype = ?");
        return;
    }
    DWORD mask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header)->dbcv_unitmask & 0x3FFFFFF;
    if (event == DBT_DEVICEARRIVAL) {
        if (mask == 0)
            return;
        char letter = char('A' + __builtin_ctz(mask));
        if (RobotDriveLetter == 0)
            MovesStateFrom(StateIdle, StateConnect);
        char text[32];
        std::snprintf(text, sizeof text, "Drive %c: is online now", letter);
        view.RobotStatus(text);
        return;
    }
    for (int bit = 0; bit < 26; ++bit) {
        char letter = char('A' + bit);
        if (!(mask & (1u << bit)) || letter != RobotDriveLetter)
            continue;
        char root[] = {letter, ':', '\\', 0};
        if (driveType(root) == DRIVE_CDROM)
            continue;
        RobotDriveLetter = 0;
        view.WriterRemoved();
    }
}

}  // namespace pagorin
