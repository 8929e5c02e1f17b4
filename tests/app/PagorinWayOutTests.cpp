// Pagorin.exe on the device lab in the sequences that once left it stuck. Each ends usable within a bound:
// an interactive run with its controls back and nothing left in the writer, a hot-key run ended by itself
// with an exit code that says whether its pages reached a disc.
#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>

#include "PagorinRunFixture.h"
#include "TestImages.h"

namespace {

using namespace pagorintest;

class PagorinWayOut : public PagorinDiscRoad {
protected:
    // The lab's robot with its writer E:, and more of a scenario.
    void Scenario(const std::string& more)
    {
        WriteFileBytes(lab_.File(L"scenario.ini"), "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n" + more);
    }
    std::wstring Disc(int n) { return lab_.File(L"discs\\disc-" + std::to_wstring(n) + L".iso"); }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::wstring JpegPage(const wchar_t* name)
    {
        std::wstring page = work_.File(name);
        testimages::Write(page, GUID_ContainerFormatJpeg, 320, 400, 100);
        return page;
    }
    bool LogHas(const std::string& text) { return DayLog().find(text) != std::string::npos; }
    int LogCount(const std::string& text)
    {
        std::string log = DayLog();
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }
    bool Traced(const std::string& text) { return ReadFileBytes(lab_.File(L"trace.log")).find(text) != std::string::npos; }
    // The queue holds no transaction any more.
    bool QueueEmpty()
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(work_.File(L"Queue\\*").c_str(), &found);
        bool empty = true;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            empty = empty && (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return empty;
    }
    // Installed and started on the lab's scanner, with the robot on.
    HWND StartScanningRun(int sheets)
    {
        Install();
        UseVirtualScanner(sheets);
        HWND window = StartFirst();
        HWND status = window ? DiscStatusBox(window) : nullptr;
        EXPECT_TRUE(status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 30000))
            << "the lab's robot did not come on";
        return window;
    }
    // A press of one of the transaction tree's buttons, as its click reports to the form (whether or not it
    // shows enabled: the operator's press reaches the form the same way).
    static void Press(HWND window, const wchar_t* caption)
    {
        HWND button = FindChild(window, UnicodeClass(L"TWydBitBtn").c_str(), caption);
        ASSERT_NE(button, nullptr) << "no button " << ToUtf8(caption);
        PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
    }
    // The operator's controls are back: Start is on and the robot holds no disc in the writer.
    bool ControlsBack(HWND window) { return ToolEnabled(window, L"Start"); }
    // Hands a page to the running instance as a later hot-key start does; true when it was taken.
    bool HandOver(const std::wstring& page)
    {
        return RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" " + Quoted(page), 60000) == std::optional<DWORD>(0);
    }
    void FinishCountdown()
    {
        HWND countdown = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            countdown = WaitForTopWindow(L"Attention", 0, first_.Pid());
            return countdown && FindChild(countdown, UnicodeClass(L"TWydButton").c_str(), L"Finish") &&
                   IsWindowVisible(FindChild(countdown, UnicodeClass(L"TWydButton").c_str(), L"Finish"));
        }, 60000)) << "the next-page countdown did not show:\n" << DayLog();
        ClickButton(countdown, L"Finish");
    }
};

// Write pressed while the scan runs once loaded a disc that nothing then wrote on: the scan's end took the
// request back. It is held until the scan ends and carried out then.
TEST_F(PagorinWayOut, WritePressedDuringAScanWritesItsPagesOnceTheScanEnds)
{
    Scenario("[Delays]\r\nScanner.ready = 5000\r\n");
    HWND window = StartScanningRun(2);
    ASSERT_NE(window, nullptr);
    ClickTool(window, L"Start");
    ASSERT_TRUE(WaitUntil([&] { return Traced("USERINTERFACE.ENABLEDS"); }, 20000)) << "the scan did not start";
    Press(window, L"Write");
    ASSERT_TRUE(WaitUntil([&] { return LogHas("Total 2 pages scanned in current transaction."); }, 30000)) << DayLog();
    ASSERT_TRUE(WaitUntil([&] { return Exists(Disc(1)) && QueueEmpty() && ControlsBack(window); }, 120000))
        << "the scanned pages were not written:\n" << DayLog();
    EXPECT_EQ(Count("LoadDrive"), 1);
    EXPECT_FALSE(Exists(Disc(2)));
    CloseFirst(window);
}

// A hot-key start whose page is missing, or is no page the queue keeps, has nothing to write: it ends at once,
// loads no disc and tells the hot-key tool by its exit code.
TEST_F(PagorinWayOut, HotKeyStartWithoutAPageEndsWithoutLoadingADisc)
{
    Scenario("");
    Install();
    WriteFileBytes(work_.File(L"Page001.jpeg"), "\xFF\xD8 jpeg \xFF\xD9");
    for (const wchar_t* name : {L"Missing.jpg", L"Page001.jpeg"}) {
        first_ = Start(Quoted(work_.File(name)));
        std::optional<DWORD> ended = first_.Wait(60000);
        ASSERT_TRUE(ended) << ToUtf8(name) << ": the run did not end by itself:\n" << DayLog();
        EXPECT_NE(*ended, 0u) << ToUtf8(name);
    }
    EXPECT_EQ(LogCount("Command-line page ignored"), 2) << DayLog();
    EXPECT_EQ(LogCount("Application closed"), 2) << DayLog();
    EXPECT_FALSE(LogHas("A Scan-To-Disc transaction started.")) << DayLog();
    EXPECT_EQ(Count("LoadDrive"), 0);
}

// The page of a hot-key run went away while its disc was loaded: the job had nothing to list, and the run
// waited for ever with the disc in the writer. The disc goes to the reject bin unwritten and the run ends.
TEST_F(PagorinWayOut, HotKeyRunWhosePageWentAwayRejectsItsDiscAndEnds)
{
    Scenario("[Delays]\r\nKTROBOTS20.LoadDrive = 2000\r\nKAVO.DriveCheckDisc = 4000\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    std::wstring page = JpegPage(L"Page001.jpg");
    first_ = Start(Quoted(page));
    ASSERT_TRUE(WaitUntil([&] { return LogHas("writers ready"); }, 30000));
    FinishCountdown();
    ASSERT_TRUE(WaitUntil([&] { return Count("LoadDrive") == 1; }, 30000)) << DayLog();
    ASSERT_TRUE(DeleteFileW(page.c_str()));
    std::optional<DWORD> ended = first_.Wait(90000);
    ASSERT_TRUE(ended) << "the run did not end by itself:\n" << DayLog();
    EXPECT_NE(*ended, 0u);
    EXPECT_TRUE(LogHas("Nothing to write")) << DayLog();
    EXPECT_EQ(Count("UnloadDrive"), 1) << "the disc was not put aside";
    EXPECT_FALSE(Exists(Disc(1)));
}

// A page handed over while the empty input bin is being shown starts a transaction whose countdown once went
// missing: nothing closed that transaction, and the run waited for it for ever. The countdown shows once the
// other alert has gone, and the run writes both transactions and ends.
TEST_F(PagorinWayOut, CountdownOfAPageHandedOverDuringAnotherAlertStillShows)
{
    Scenario("[Failures]\r\nKTROBOTS20.LoadDrive = 1:430\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    first_ = Start(Quoted(JpegPage(L"First.jpg")));
    ASSERT_TRUE(WaitUntil([&] { return LogHas("writers ready"); }, 30000));
    FinishCountdown();
    HWND alert = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        alert = WaitForTopWindow(L"Attention", 0, first_.Pid());
        HWND cancel = alert ? FindChild(alert, UnicodeClass(L"TWydButton").c_str(), L"Cancel") : nullptr;
        return cancel && IsWindowVisible(cancel);
    }, 30000)) << "the empty input bin was not shown:\n" << DayLog();
    ASSERT_TRUE(HandOver(JpegPage(L"Second.jpg")));
    ASSERT_TRUE(WaitUntil([&] { return LogHas("The next-page countdown waits for the alert on screen"); }, 20000))
        << DayLog();
    ClickButton(alert, L"OK");
    FinishCountdown();
    std::optional<DWORD> ended = first_.Wait(120000);
    ASSERT_TRUE(ended) << "the run did not end by itself:\n" << DayLog();
    EXPECT_EQ(*ended, 0u);
    EXPECT_TRUE(Exists(Disc(1)) && Exists(Disc(2))) << DayLog();
}

// A scan that ended with a PDF asked for but none on its way (here: pages appended to a transaction whose
// PDF had failed) once left the controls off for ever.
TEST_F(PagorinWayOut, AppendToATransactionWhosePdfFailedGivesTheControlsBack)
{
    Scenario("[Failures]\r\nPDFLIBRARY.RURARO_Create = *:1\r\n");
    SetRegDword(L"Compiled PDF", 1);
    HWND window = StartScanningRun(1);
    ASSERT_NE(window, nullptr);
    ClickTool(window, L"Start");
    ASSERT_TRUE(WaitUntil([&] { return LogHas("was not made") && LogHas("Total 1 pages scanned"); }, 60000)) << DayLog();
    ASSERT_TRUE(WaitUntil([&] { return ControlsBack(window); }, 20000)) << DayLog();
    HWND tree = FindChild(window, L"TQvCheckTree", nullptr);
    auto root = SendWithTimeout(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, 5000);
    ASSERT_TRUE(root && *root);
    SendWithTimeout(tree, TVM_SELECTITEM, TVGN_CARET, *root, 5000);
    HWND append = FindChild(window, UnicodeClass(L"TWydBitBtn").c_str(), L"Append");
    ASSERT_TRUE(WaitUntil([&] { return append && IsWindowEnabled(append); }, 10000));
    SendWithTimeout(append, BM_CLICK, 0, 0, 10000);
    ASSERT_TRUE(WaitUntil([&] { return LogHas("Total 2 pages scanned"); }, 60000)) << DayLog();
    EXPECT_TRUE(WaitUntil([&] { return ControlsBack(window); }, 20000)) << "the controls stay off:\n" << DayLog();
    CloseFirst(window);
}

// A PDF that failed while its transaction was still being scanned gave the controls back mid-scan; Start then
// opened a second transaction, and the rest of the scan's pages went into it.
TEST_F(PagorinWayOut, PdfFailingDuringItsScanKeepsTheControlsOffUntilTheScanEnds)
{
    Scenario("[Failures]\r\nPDFLIBRARY.RURARO_Create = *:1\r\n[Delays]\r\nScanner.ready = 6000\r\n");
    SetRegDword(L"Compiled PDF", 1);
    HWND window = StartScanningRun(3);
    ASSERT_NE(window, nullptr);
    ClickTool(window, L"Start");
    ASSERT_TRUE(WaitUntil([&] { return LogHas("was not made"); }, 30000)) << DayLog();
    ASSERT_FALSE(LogHas("pages scanned in current transaction.")) << "the scan ended before the PDF failed";
    EXPECT_FALSE(ToolEnabled(window, L"Start")) << "the controls came back during the scan";
    ClickTool(window, L"Start");
    ASSERT_TRUE(WaitUntil([&] { return LogHas("pages scanned in current transaction."); }, 30000)) << DayLog();
    EXPECT_TRUE(LogHas("Total 3 pages scanned in current transaction.")) << DayLog();
    EXPECT_EQ(LogCount("A Scan-To-Disc transaction started."), 1) << DayLog();
    EXPECT_TRUE(WaitUntil([&] { return ControlsBack(window); }, 20000)) << DayLog();
    CloseFirst(window);
}

// A page handed over during an interactive scan once took the scan's place as the current transaction: the
// scanned transaction was never closed and a later Write waited for it for ever. The page waits for the
// scan's end; its own job writes it, and Write then writes the scanned pages.
TEST_F(PagorinWayOut, PageHandedOverDuringAScanWaitsAndTheScanIsWrittenLater)
{
    Scenario("[Delays]\r\nScanner.ready = 5000\r\n");
    SetRegDword(L"Next Page Wait", 5);
    HWND window = StartScanningRun(2);
    ASSERT_NE(window, nullptr);
    ClickTool(window, L"Start");
    ASSERT_TRUE(WaitUntil([&] { return Traced("USERINTERFACE.ENABLEDS"); }, 20000)) << "the scan did not start";
    ASSERT_TRUE(HandOver(JpegPage(L"Handed.jpg")));
    ASSERT_TRUE(WaitUntil([&] { return LogHas("Total 2 pages scanned in current transaction."); }, 30000)) << DayLog();
    FinishCountdown();
    ASSERT_TRUE(WaitUntil([&] { return Exists(Disc(1)) && ControlsBack(window); }, 120000))
        << "the handed-over page's job did not end:\n" << DayLog();
    Press(window, L"Write");
    ASSERT_TRUE(WaitUntil([&] { return Exists(Disc(2)) && QueueEmpty() && ControlsBack(window); }, 120000))
        << "Write did not write the scanned transaction:\n" << DayLog();
    CloseFirst(window);
}

// Terminate at the close of a hot-key operation ends it at once: the PDF still being compiled is stopped, not
// waited for with the window hidden.
TEST_F(PagorinWayOut, TerminateAtCloseEndsAtOnceWhileAPdfIsCompiled)
{
    Scenario("[Delays]\r\nFENDRIX.convert = 60000\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    SetRegDword(L"Compiled PDF", 1);
    CopyFileW((BinDir() + L"Fendrix.exe").c_str(), install_.File(L"Fendrix.exe").c_str(), FALSE);
    first_ = Start(Quoted(JpegPage(L"Page001.jpg")));
    HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return LogHas("writers ready"); }, 30000));
    FinishCountdown();
    ASSERT_TRUE(WaitUntil([&] { return LogHas("Total 1 pages scanned"); }, 20000)) << DayLog();
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND confirm = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        confirm = WaitForTopWindow(L"Attention", 0, first_.Pid());
        return confirm && FindChild(confirm, UnicodeClass(L"TWydButton").c_str(), L"Terminate");
    }, 20000)) << "closing did not ask";
    DWORD asked = GetTickCount();
    ClickButton(confirm, L"Terminate");
    std::optional<DWORD> ended = first_.Wait(60000);
    ASSERT_TRUE(ended) << DayLog();
    EXPECT_LT(GetTickCount() - asked, 15000u) << "the close waited for the PDF";
    EXPECT_FALSE(LogHas("PDF writing finished.")) << DayLog();
    EXPECT_EQ(*ended, 1u) << "the page was never written, yet the run ended as if it had been";
    EXPECT_TRUE(LogHas("The hot-key run ends with 1 files not written to a disc.")) << DayLog();
}

}  // namespace
