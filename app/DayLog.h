// The day log: one text file per day of the month in the working path, one time-stamped line per event.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

#include "RegistryKey.h"

namespace pagorin {

using LocalClock = std::function<SYSTEMTIME()>;
SYSTEMTIME SystemLocalTime();

class DayLog {
public:
    explicit DayLog(LocalClock clock = SystemLocalTime) : clock_(std::move(clock)) {}

    // Chooses the file of today's day of month and starts it: emptied on the first start of a day (the
    // day is recorded in the product key's "Today"), appended to on later starts; then the separator line.
    void Prepare(const std::string& workingPath, const RegistryKey& productKey);
    // Appends "<date> <time> <text>"; a file that cannot be opened is skipped silently.
    void WriteLine(const std::string& text);
    const std::string& Path() const { return path_; }
    void SetClock(LocalClock clock) { clock_ = std::move(clock); }

    static std::string FormatLine(const SYSTEMTIME& time, const std::string& text);

private:
    LocalClock clock_;
    std::string path_;
    std::mutex lock_;  // lines may one day come from the worker threads as well
};

// The program's day log and its one-line writer.
DayLog& TheDayLog();
void WriteLogLine(const std::string& text);

}  // namespace pagorin
