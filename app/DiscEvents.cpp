// The disc events. RobotState is only ever moved from idle here (compare-and-set), so a reconnect or a
// load that the main thread started is never overwritten.
#include "DiscEvents.h"

#include <algorithm>
#include <utility>

#include "KTRobots20.h"
#include "SharedState.h"

namespace pagorin {

void PendingJobFailure::Set(const std::string& reason)
{
    std::lock_guard<std::mutex> guard(lock_);
    reason_ = reason;
}

std::optional<std::string> PendingJobFailure::Take()
{
    std::lock_guard<std::mutex> guard(lock_);
    auto reason = std::move(reason_);
    reason_.reset();
    return reason;
}

bool PendingJobFailure::Pending()
{
    std::lock_guard<std::mutex> guard(lock_);
    return reason_.has_value();
}

void DiscEvents::Handle(int event, int value, const std::string& detail)
{
    switch (event) {
    case EventClassified: Classified(value); break;
    case EventErased: Erased(value != 0); break;
    case EventBurned: Burned(value, detail); break;
    case EventVerifying: view_.ShowDiscStatus(DiscStatus::Verify); break;
    case EventProgress: view_.WriteProgress(std::clamp(value, 0, 100)); break;
    default: break;
    }
}

namespace {

bool IsCdClass(int discClass) { return discClass >= 1 && discClass <= 3; }

// In an interactive run the Disc Type setting may name the other family.
bool FamilyAllowed(const DiscRules& rules, int discClass)
{
    if (!rules.Interactive)
        return true;
    return IsCdClass(discClass) ? rules.DiscType != 2 : rules.DiscType != 1;
}

}  // namespace

void DiscEvents::Classified(int discClass)
{
    bool erased = std::exchange(erasedDisc_, false);
    // A disc that is not loaded to retry a failed burn starts a job: an earlier job's failures do not count.
    if (!BurnRetryPending)
        failedBurns_ = 0;
    DiscReady = false;
    DetectedDiscType = -1;
    DiscRules rules = view_.Rules();
    switch (discClass) {
    case 0:
    case 7:
        view_.ShowCapacity("0");
        EjectAndReject();
        return;
    case 1:
    case 2:
    case 4:
    case 5:
        if (!FamilyAllowed(rules, discClass))
            Reject();
        else if (IsCdClass(discClass))
            AcceptDisc("650 MB", 1);
        else
            AcceptDisc("4200 MB", 2);
        return;
    case 3:
        if (!FamilyAllowed(rules, discClass)) {
            view_.ShowCapacity("0");
            Reject();
        } else {
            UsedRewritable("0 / 650 MB", erased);
        }
        return;
    case 6:
        if (!FamilyAllowed(rules, discClass))
            Reject();
        else
            UsedRewritable("0 / 4200 MB", erased);
        return;
    default:
        GiveUpJob("The disc could not be checked: the burning engine or its drive is not available.");
        return;
    }
}

void DiscEvents::AcceptDisc(const char* capacity, int discType)
{
    view_.ShowCapacity(capacity);
    DetectedDiscType = discType;
    DiscReady = true;
    view_.DiscAccepted();
}

// A disc that still reads as used after its erase would be erased again and again: it is put aside.
void DiscEvents::UsedRewritable(const char* capacity, bool erased)
{
    view_.ShowCapacity(capacity);
    if (erased)
        view_.Log("The disc is still used after erasing it: it is rejected.");
    if (erased || view_.Rules().RwDiscPolicy != 0) {
        EjectAndReject();
        return;
    }
    view_.ShowDiscStatus(DiscStatus::Erase);
    DiscCommand = CommandErase;
}

void DiscEvents::Erased(bool ok)
{
    if (!ok) {
        view_.Log("Erasing the disc failed.");
        Reject();
        return;
    }
    DiscBusy = true;
    erasedDisc_ = true;
    CDRWCTLs_LOAD(BurnDriveLetter);
    if (stop_.Pause(timing_.ReloadPause))
        DiscCommand = CommandCheckDisc;
}

void DiscEvents::Burned(int result, const std::string& detail)
{
    BurnRetryPending = false;
    if (result == BurnWritten) {
        failedBurns_ = 0;
        if (RequestRobot(StateUnloadWriter)) {
            view_.ShowNotice(Notice::UnloadDisc);
            view_.ShowDiscStatus(DiscStatus::Idle);
        }
        return;
    }
    if (result == BurnWriteFailed) {
        view_.Log("Writing the disc failed: " + detail);
        if (++failedBurns_ < MaxBurnAttempts) {
            BurnRetryPending = true;  // before the reject: the next disc's check reads it
            Reject();
            return;
        }
        GiveUpJob("Writing failed on " + std::to_string(failedBurns_) + " discs in a row: " + detail);
        return;
    }
    GiveUpJob(result == BurnNoSessionFile ? "The disc job list \"Session.txt\" cannot be opened."
                                          : "The disc job could not be written: " + detail);
}

void DiscEvents::EjectAndReject()
{
    CDRWCTLs_EJECT(BurnDriveLetter);
    if (stop_.Pause(timing_.EjectPause))
        Reject();
}

void DiscEvents::Reject()
{
    if (RequestRobot(StateRejectWriter))
        view_.ShowNotice(Notice::UnloadDisc);
}

// The job cannot go on with this disc or any other: the disc leaves the writer, and when the robot is done
// the job ends as failed (or at once, when the robot cannot be asked).
void DiscEvents::GiveUpJob(const std::string& reason)
{
    failedBurns_ = 0;
    view_.Log(reason);
    failure_.Set(reason);
    Reject();
}

bool DiscEvents::RequestRobot(int state)
{
    for (DWORD waited = 0;; waited += 100) {
        int idle = StateIdle;
        if (RobotState.compare_exchange_strong(idle, state))
            return true;
        if (waited >= timing_.RobotWait || !stop_.Pause(100))
            break;
    }
    std::string reason = "The robot did not become idle to take the disc out of the writer.";
    view_.Log(reason);
    if (auto pending = failure_.Take())
        reason = *pending;
    view_.JobFailed(reason);
    return false;
}

}  // namespace pagorin
