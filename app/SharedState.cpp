// Storage of the values shared between the main window and its worker threads.
#include "SharedState.h"

namespace pagorin {

std::atomic<int> RobotState{0};
std::atomic<int> DiscCommand{0};
std::atomic<bool> DiscBusy{false};
std::atomic<int> DiscClass{0};
std::atomic<char> RobotDriveLetter{0};
std::atomic<char> BurnDriveLetter{0};
std::atomic<bool> BurnRetryPending{false};
std::atomic<bool> TransactionClosed{false};
std::atomic<bool> StopWorkers{false};
std::wstring DiscTitle;
std::string SessionFilePath;
std::string FendrixPath;
std::atomic<int> FirstRobotId{0};

}  // namespace pagorin
