// Storage of the values shared between the main window and its worker threads.
#include "SharedState.h"

#include <mutex>

namespace pagorin {

std::atomic<int> RobotState{0};
std::atomic<int> DiscCommand{0};
std::atomic<bool> DiscBusy{false};
std::atomic<int> DiscClass{0};
std::atomic<char> RobotDriveLetter{0};
std::atomic<char> BurnDriveLetter{0};
std::atomic<bool> BurnRetryPending{false};
std::atomic<bool> StopWorkers{false};
std::string FendrixPath;
std::atomic<int> FirstRobotId{0};

namespace {

std::mutex burnJobLock;
BurnJob burnJob;

}  // namespace

void SetDiscTitle(const std::wstring& title)
{
    std::lock_guard<std::mutex> guard(burnJobLock);
    burnJob.DiscTitle = title;
}

void SetSessionFilePath(const std::string& path)
{
    std::lock_guard<std::mutex> guard(burnJobLock);
    burnJob.SessionFilePath = path;
}

BurnJob CurrentBurnJob()
{
    std::lock_guard<std::mutex> guard(burnJobLock);
    return burnJob;
}

}  // namespace pagorin
