// What follows each disc check, erase and burn: accept the disc, erase it, reject it through the robot or
// unload it after writing. Runs on the disc worker thread; reports to the main window through its view.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "DiscRoadView.h"

namespace pagorin {

// Why the current job is being given up; set before the disc is rejected, taken by the robot thread when
// the reject is done, so that the job ends instead of loading the next disc.
class PendingJobFailure {
public:
    void Set(const std::string& reason);
    std::optional<std::string> Take();
    bool Pending();

private:
    std::mutex lock_;
    std::optional<std::string> reason_;
};

enum DiscEvent { EventClassified = 1, EventErased = 2, EventBurned = 3, EventVerifying = 4, EventProgress = 100 };

class DiscEvents {
public:
    // Burns of one job that may fail in a row before the job is given up.
    static constexpr int MaxBurnAttempts = 3;

    DiscEvents(DiscRoadView& view, const DiscTiming& timing, const StopSignal& stop, PendingJobFailure& failure)
        : view_(view), timing_(timing), stop_(stop), failure_(failure)
    {
    }

    // `detail` is the burn's own account of a failure (event 3).
    void Handle(int event, int value, const std::string& detail = {});

private:
    void Classified(int discClass);
    void Erased(bool ok);
    void Burned(int result, const std::string& detail);
    void AcceptDisc(const char* capacity, int discType);
    void UsedRewritable(const char* capacity, bool erased);
    void EjectAndReject();
    void Reject();
    void GiveUpJob(const std::string& reason);
    // Sets RobotState from idle to `state`, waiting a bounded time for the robot to become idle.
    bool RequestRobot(int state);

    DiscRoadView& view_;
    const DiscTiming& timing_;
    const StopSignal& stop_;
    PendingJobFailure& failure_;
    int failedBurns_ = 0;
    bool erasedDisc_ = false;  // the disc being checked again was erased since its load
};

}  // namespace pagorin
