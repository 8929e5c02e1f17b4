// Pagorin.exe when the disc road fails on the lab: the hot-key run without a burning engine and with a write
// that fails on every disc tells the day log and ends by itself, its page untouched; an interactive Write
// whose job failed keeps the transaction waiting, and the next Write puts it on a disc.
#include <windows.h>
#include <wincodec.h>

#include "PagorinRunFixture.h"
#include "TestImages.h"

namespace {

using namespace pagorintest;

class PagorinDiscFault : public PagorinDiscRoad {
protected:
    void Scenario(const std::string& failures)
    {
        WriteFileBytes(lab_.File(L"scenario.ini"),
                       "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[Failures]\r\n" + failures);
    }
    std::wstring Disc(int n) { return lab_.File(L"discs\\disc-" + std::to_wstring(n) + L".iso"); }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::wstring JpegPage(const std::wstring& path)
    {
        testimages::Write(path, GUID_ContainerFormatJpeg, 320, 400, 100);
        return path;
    }
    // A hot-key run of one page whose disc job fails: the countdown is finished at once, and the run must end by
    // itself with `told` in the day log, an exit code that says the page reached no disc, no disc written and
    // the page as it was.
    void HotKeyRunFails(const std::string& failures, const std::string& told)
    {
        Scenario(failures);
        Install();
        SetRegDword(L"Next Page Wait", 5);
        std::wstring page = JpegPage(work_.File(L"Page001.jpg"));
        std::string bytes = ReadFileBytes(page);
        first_ = Start(Quoted(page));
        HWND countdown = WaitForTopWindow(L"Attention", 60000, first_.Pid());
        ASSERT_NE(countdown, nullptr) << "the next-page countdown did not show";
        ClickButton(countdown, L"Finish");
        std::optional<DWORD> ended = first_.Wait(120000);
        ASSERT_TRUE(ended) << "the failed hot-key run did not end by itself:\n" << DayLog();
        EXPECT_NE(*ended, 0u);
        std::string log = DayLog();
        EXPECT_NE(log.find("The disc job failed: " + told), std::string::npos) << log;
        EXPECT_EQ(log.find("discs written in current session."), std::string::npos) << log;
        EXPECT_EQ(ReadFileBytes(page), bytes) << "the page was touched";
    }
};

TEST_F(PagorinDiscFault, HotKeyRunWithoutTheBurningEngineEndsAndKeepsItsPage)
{
    HotKeyRunFails("KAVO.Create = *:1\r\n", "The disc could not be checked");
    EXPECT_EQ(Count("LoadDrive"), 1);
    EXPECT_EQ(Count("UnloadDrive"), 1) << "the disc is rejected once";
    EXPECT_FALSE(Exists(Disc(1)));
}

TEST_F(PagorinDiscFault, HotKeyRunWhoseWriteFailsOnEveryDiscStopsAtThreeDiscsAndEnds)
{
    HotKeyRunFails("KAVO.ProjectWrite = *:12\r\n", "Writing failed on 3 discs in a row");
    EXPECT_EQ(Count("LoadDrive"), 3);
}

// The job is prepared for the accepted disc, then the engine is gone for the burn: the operator is told, the
// transaction stays in the queue, and the next Write lists its page again and writes it.
TEST_F(PagorinDiscFault, InteractiveJobThatFailedIsWrittenByTheNextWrite)
{
    Scenario("KAVO.Create = 2:1\r\n");
    Install();
    std::wstring folder = work_.File(L"Queue\\20250102-030405");
    CreateDirectoryW(work_.File(L"Queue").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring page = JpegPage(folder + L"\\p001.jpg");
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND write = nullptr, status = nullptr;
    ASSERT_TRUE(FindWriteControls(window, write, status));
    auto writeEnabled = [&] { return IsWindowEnabled(write) != FALSE; };
    ASSERT_TRUE(WaitUntil([&] { return DayLog().find("Restored 1 transactions") != std::string::npos && writeEnabled(); },
                          30000));
    SendWithTimeout(write, BM_CLICK, 0, 0, 10000);

    HWND box = WaitForTopWindow(L"Pagorin", 60000, first_.Pid());
    ASSERT_NE(box, nullptr) << "the operator was not told:\n" << DayLog();
    EXPECT_NE(DayLog().find("The disc job failed: The disc job could not be written"), std::string::npos) << DayLog();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil(writeEnabled, 20000)) << "Write stays off after the failed job";
    EXPECT_TRUE(Exists(page)) << "the page of the failed job left the queue";

    SendWithTimeout(write, BM_CLICK, 0, 0, 10000);
    ASSERT_TRUE(WaitUntil([&] { return !Exists(folder); }, 60000)) << "the next Write did not write it:\n" << DayLog();
    EXPECT_TRUE(Exists(Disc(2))) << "the second disc holds the transaction";
    EXPECT_FALSE(Exists(Disc(1))) << "the first disc was rejected unwritten";
    CloseFirst(window);
}

}  // namespace
