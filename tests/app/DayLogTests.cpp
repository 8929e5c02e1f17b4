// The day log's file choice, day rules and line format, with a clock the test sets.
#include <gtest/gtest.h>

#include "DayLog.h"
#include "TestSupport.h"

using namespace pagorin;

namespace {

const std::string Separator = "====================================================================\r\n\r\n";

SYSTEMTIME At(int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = WORD(month);
    t.wDay = WORD(day);
    t.wHour = WORD(hour);
    t.wMinute = WORD(minute);
    t.wSecond = WORD(second);
    return t;
}

class DayLogTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::DeleteRegTree(HKEY_CURRENT_USER, WideKeyPath()); }
    void TearDown() override { testsupport::DeleteRegTree(HKEY_CURRENT_USER, WideKeyPath()); }

    // One start of the program at `time`: the preparation and one line.
    void StartAt(SYSTEMTIME time, const std::string& line)
    {
        now_ = time;
        RegistryKey key({HKEY_CURRENT_USER, keyPath_}, true);
        log_.Prepare(Narrow(dir_.Path()), key);
        log_.WriteLine(line);
    }
    std::string FileOfDay(int day) const
    {
        wchar_t name[16];
        swprintf(name, 16, L"PGRN_%02d.log", day);
        return testsupport::ReadFileBytes(dir_.File(name));
    }
    static std::string Narrow(const std::wstring& s) { return testsupport::ToUtf8(s); }
    std::wstring WideKeyPath() const { return testsupport::FromUtf8(keyPath_); }

    // Test cases run in parallel processes: each has a product key of its own.
    const std::string keyPath_ = "Software\\PagorinTests\\DayLog-" + std::to_string(GetCurrentProcessId());
    testsupport::TempDir dir_;
    SYSTEMTIME now_{};
    DayLog log_{[this] { return now_; }};
};

TEST(DayLogLine, FormatHasDateTimeAndText)
{
    EXPECT_EQ(DayLog::FormatLine(At(3, 5, 9, 7, 2), "Application started."), "2026-03-05 09:07:02 Application started.\n");
    EXPECT_EQ(DayLog::FormatLine(At(3, 5, 9, 7, 2), std::string(5000, 'x')).size(), 1023u);
}

TEST_F(DayLogTest, FirstStartCreatesTheDayFileAndRecordsTheDay)
{
    StartAt(At(3, 5, 10, 0, 0), "Application started.");
    EXPECT_EQ(FileOfDay(5), Separator + "2026-03-05 10:00:00 Application started.\r\n");
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_CURRENT_USER, WideKeyPath(), L"Today"), 5u);
}

TEST_F(DayLogTest, SecondStartOnTheSameDayAppends)
{
    StartAt(At(3, 5, 10, 0, 0), "first");
    StartAt(At(3, 5, 11, 0, 0), "second");
    EXPECT_EQ(FileOfDay(5), Separator + "2026-03-05 10:00:00 first\r\n" + Separator + "2026-03-05 11:00:00 second\r\n");
}

TEST_F(DayLogTest, FirstStartOnADayOfANewMonthEmptiesThatFile)
{
    StartAt(At(2, 5, 10, 0, 0), "last month");
    StartAt(At(2, 6, 10, 0, 0), "next day");
    StartAt(At(3, 5, 8, 0, 0), "this month");
    EXPECT_EQ(FileOfDay(5), Separator + "2026-03-05 08:00:00 this month\r\n");
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_CURRENT_USER, WideKeyPath(), L"Today"), 5u);
}

TEST_F(DayLogTest, RunPastMidnightKeepsTheStartDaysFile)
{
    StartAt(At(3, 5, 23, 59, 0), "late");
    now_ = At(3, 6, 0, 1, 0);
    log_.WriteLine("after midnight");
    EXPECT_EQ(FileOfDay(5), Separator + "2026-03-05 23:59:00 late\r\n2026-03-06 00:01:00 after midnight\r\n");
    EXPECT_EQ(FileOfDay(6), "");
}

TEST_F(DayLogTest, MissingFolderIsSkippedSilently)
{
    now_ = At(3, 5, 10, 0, 0);
    RegistryKey key({HKEY_CURRENT_USER, keyPath_}, true);
    log_.Prepare(Narrow(dir_.File(L"missing\\deeper")), key);
    log_.WriteLine("nowhere");
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Without a writable "Today" every start would take itself for the first of the day.
TEST_F(DayLogTest, UnwritableDayKeepsEarlierLines)
{
    StartAt(At(3, 5, 10, 0, 0), "first");
    now_ = At(3, 5, 11, 0, 0);
    RegistryKey none({HKEY_CURRENT_USER, std::string(300, 'k')}, false);
    log_.Prepare(Narrow(dir_.Path()), none);
    log_.WriteLine("second");
    EXPECT_EQ(FileOfDay(5), Separator + "2026-03-05 10:00:00 first\r\n" + Separator + "2026-03-05 11:00:00 second\r\n");
}

}  // namespace
