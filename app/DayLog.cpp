// The day log's file choice and line writing.
#include "DayLog.h"

#include <cstdio>

namespace pagorin {
namespace {

constexpr size_t MaxLineBytes = 1023;
const char* const Separator = "====================================================================\n\n";

void WriteToFile(const std::string& path, const char* mode, const std::string& text)
{
    if (path.empty())
        return;
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

}  // namespace

SYSTEMTIME SystemLocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

std::string DayLog::FormatLine(const SYSTEMTIME& time, const std::string& text)
{
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%d-%02d-%02d %02d:%02d:%02d ", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    std::string line = stamp + text;
    if (line.size() > MaxLineBytes - 1)
        line.resize(MaxLineBytes - 1);
    return line + "\n";
}

void DayLog::Prepare(const std::string& workingPath, const RegistryKey& productKey)
{
    std::lock_guard<std::mutex> guard(lock_);
    SYSTEMTIME now = clock_();
    char name[16];
    std::snprintf(name, sizeof(name), "\\PGRN_%02d.log", now.wDay);
    path_ = workingPath.empty() ? std::string() : workingPath + name;

    // A file is emptied only when its new day could be recorded: without a writable "Today" every start
    // would otherwise wipe the lines of earlier runs of the same day.
    std::optional<DWORD> today = productKey.ReadDword("Today");
    bool sameDay = today && *today == now.wDay;
    bool fresh = !sameDay && productKey.WriteDword("Today", now.wDay);
    WriteToFile(path_, fresh ? "wt+" : "a+", Separator);
}

void DayLog::WriteLine(const std::string& text)
{
    std::lock_guard<std::mutex> guard(lock_);
    WriteToFile(path_, "a+", FormatLine(clock_(), text));
}

DayLog& TheDayLog()
{
    static DayLog log;
    return log;
}

void WriteLogLine(const std::string& text) { TheDayLog().WriteLine(text); }

}  // namespace pagorin
