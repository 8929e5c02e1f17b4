// Pagorin.exe's transactions and commands as an operator meets them: the queue folder of an earlier run
// restored, Start, Append and Abort on the transaction tree, the capacity gauge, the tool bar's and the
// menus' commands and the first-run check. The tree and the tool bar are read from this process through
// memory lent in Pagorin's, as a screen reader would.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "PagorinRunFixture.h"

namespace {

using namespace pagorintest;

// On the lab's robot with its writer E: (the disc road's fixture).
class PagorinWindow : public PagorinDiscRoad {
protected:
    std::wstring Queue(const std::wstring& name = L"") const
    {
        return work_.File(L"Queue") + (name.empty() ? L"" : L"\\" + name);
    }
    // A folder of an earlier run's queue with these files, each of `size` bytes.
    void QueueFolder(const std::wstring& name, const std::vector<std::wstring>& files, size_t size = 4)
    {
        CreateDirectoryW(Queue().c_str(), nullptr);
        CreateDirectoryW(Queue(name).c_str(), nullptr);
        for (const std::wstring& file : files)
            if (file.back() == L'\\')
                CreateDirectoryW((Queue(name) + L"\\" + file).c_str(), nullptr);
            else
                WriteFileBytes(Queue(name) + L"\\" + file, std::string(size, 'x'));
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    HWND StartRestored(int transactions)
    {
        HWND window = StartFirst();
        std::string line = "Restored " + std::to_string(transactions) + " transactions from the queue folder.";
        EXPECT_TRUE(WaitUntil([&] { return DayLog().find(line) != std::string::npos; }, 30000)) << DayLog();
        return window;
    }

    // Installed and started, with the lab's robot on (its commands are then enabled).
    HWND StartWithRobot()
    {
        Install();
        HWND window = StartFirst();
        HWND status = window ? DiscStatusBox(window) : nullptr;
        return status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 20000) ? window : nullptr;
    }
    HWND Dialog(const wchar_t* caption) { return WaitForTopWindow(caption, 20000, first_.Pid()); }
    void CloseDialog(HWND dialog)
    {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000)) << "the dialog stayed open";
    }
    bool LogHas(const std::string& text) const { return DayLog().find(text) != std::string::npos; }
    size_t LogCount(const std::string& text) const
    {
        std::string log = DayLog();
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }
    HWND Button(HWND window, const wchar_t* caption) { return FindChild(window, UnicodeClass(L"TWydBitBtn").c_str(), caption); }
};

TEST_F(PagorinWindow, QueueFolderOfAnEarlierRunIsRestoredAsTheRulesSay)
{
    Install();
    QueueFolder(L"20260101-010101", {L"Page001.jpg", L"Page002.jpg", L"FileList.txt"});
    QueueFolder(L"20260101-020202", {L"Page001.jpg", L"Page001~.jpg", L"notes.txt"});
    QueueFolder(L"20260101-030303", {L"scan.v2001.jpg", L"scan.v2002.jpg"});
    QueueFolder(L"20260101-040404", {L"FileList.txt", L"Page003~.jpg"});
    QueueFolder(L"20260101-050505", {L"notes.txt"});
    QueueFolder(L"20260101-060606", {L"Page001.jpg", L"empty\\"});
    HWND window = StartRestored(4);
    ASSERT_NE(window, nullptr);

    std::vector<Node> roots = Transactions(window);
    ASSERT_EQ(roots.size(), 4u);
    const wchar_t* names[] = {L"20260101-010101", L"20260101-020202", L"20260101-030303", L"20260101-060606"};
    const size_t pages[] = {2, 1, 2, 1};
    for (size_t i = 0; i < roots.size(); ++i) {
        SCOPED_TRACE(ToUtf8(roots[i].text));
        EXPECT_EQ(roots[i].text, names[i]);
        EXPECT_EQ(roots[i].state, 2);
        ASSERT_EQ(roots[i].pages.size(), pages[i]);
        for (const Node& page : roots[i].pages)
            EXPECT_EQ(page.state, 2) << ToUtf8(page.text);
    }
    EXPECT_EQ(roots[1].pages[0].text, L"Page001.jpg");
    EXPECT_EQ(roots[2].pages[0].text, L"scan.v2001.jpg");
    EXPECT_FALSE(Exists(Queue(L"20260101-040404"))) << "a folder of leftovers stays";
    EXPECT_TRUE(Exists(Queue(L"20260101-050505\\notes.txt"))) << "a folder that is not ours was deleted";
    EXPECT_TRUE(Exists(Queue(L"20260101-020202\\notes.txt")));
    EXPECT_FALSE(Exists(Queue(L"20260101-060606\\empty")));

    HWND write = Button(window, L"Write"), abort = Button(window, L"Abort");
    ASSERT_NE(write, nullptr);
    ASSERT_NE(abort, nullptr);
    EXPECT_TRUE(IsWindowVisible(write) && IsWindowVisible(abort));
    EXPECT_FALSE(IsWindowEnabled(abort)) << "Abort before a transaction is chosen";
    HWND each = FindChild(window, UnicodeClass(L"TWydCheckBox").c_str(), L"Write to Disc for Each Transaction");
    EXPECT_FALSE(IsWindowEnabled(each));
    CloseFirst(window);
}

TEST_F(PagorinWindow, AbortTakesTheChosenTransactionOnly)
{
    Install();
    QueueFolder(L"20260101-010101", {L"Page001.jpg", L"Page002.jpg"});
    QueueFolder(L"20260101-020202", {L"Page001.jpg"});
    HWND window = StartRestored(2);
    ASSERT_NE(window, nullptr);
    HWND abort = Button(window, L"Abort");
    std::vector<Node> roots = Transactions(window);
    ASSERT_EQ(roots.size(), 2u);

    ClickNode(window, roots[0].pages[0].item);
    ASSERT_TRUE(WaitUntil([&] { return Next(Tree(window), TVGN_CARET, nullptr) == roots[0].pages[0].item; }, 10000))
        << "the click did not choose the page";
    EXPECT_FALSE(IsWindowEnabled(abort)) << "Abort offered for a page";
    ClickNode(window, roots[0].item);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(abort) != FALSE; }, 10000));
    SendWithTimeout(abort, BM_CLICK, 0, 0, 10000);

    EXPECT_TRUE(WaitUntil([&] { return Transactions(window).size() == 1; }, 10000));
    EXPECT_EQ(Transactions(window)[0].text, L"20260101-020202");
    EXPECT_FALSE(Exists(Queue(L"20260101-010101")));
    EXPECT_TRUE(Exists(Queue(L"20260101-020202\\Page001.jpg")));
    CloseFirst(window);
}

TEST_F(PagorinWindow, AppendAfterAGapContinuesPastTheLastPage)
{
    Install();
    QueueFolder(L"20260101-010101", {L"Page001.jpg", L"Page005.jpg", L"Page.pdf"});
    HWND window = StartRestored(1);
    ASSERT_NE(window, nullptr);
    HWND append = Button(window, L"Append");
    ClickNode(window, Transactions(window)[0].item);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(append) != FALSE; }, 10000));
    SendWithTimeout(append, BM_CLICK, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return LogHas("appended to transaction 20260101-010101 after page 5."); }, 10000))
        << DayLog();
    EXPECT_FALSE(IsWindowEnabled(Tree(window))) << "the tree stays open while pages are appended";
    CloseFirst(window);
}

TEST_F(PagorinWindow, EveryStartGetsAFolderOfItsOwn)
{
    Install();
    UseVirtualScanner(1);
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    // Each start scans a sheet; the next command waits until the scan has ended (Start may not yet be
    // disabled when the transaction shows) and has given the controls back.
    for (size_t start = 1; start <= 2; ++start) {
        ClickTool(window, L"Start");
        ASSERT_TRUE(WaitUntil([&] { return Transactions(window).size() == start; }, 20000)) << DayLog();
        ASSERT_TRUE(WaitUntil([&] { return LogCount("1 pages scanned in current transaction.") == start; }, 30000))
            << DayLog();
        ASSERT_TRUE(WaitUntil([&] { return ToolEnabled(window, L"Start"); }, 30000)) << DayLog();
    }
    // The third starts with a new disc label and file naming, which become the recent ones.
    HWND label = FindChild(window, UnicodeClass(L"TWydComboBox").c_str(), L"Scanned Doc"), naming = FindChild(window, UnicodeClass(L"TWydComboBox").c_str(), L"Page");
    ASSERT_TRUE(label && naming);
    SendWithTimeout(label, WM_SETTEXT, 0, LPARAM(L"Box 7"), 5000);
    SendWithTimeout(naming, WM_SETTEXT, 0, LPARAM(L"Scan"), 5000);
    ChooseMenu(window, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Transactions(window).size() == 3; }, 20000)) << DayLog();
    std::vector<Node> roots = Transactions(window);
    EXPECT_NE(roots[0].text, roots[1].text);
    EXPECT_NE(roots[1].text, roots[2].text);
    for (const Node& root : roots)
        EXPECT_TRUE(Exists(Queue(root.text + L"\\FileList.txt"))) << ToUtf8(root.text);
    EXPECT_EQ(LogCount("A Scan-To-Disc transaction started."), 3u);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Disc Label 1"), L"Box 7");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"File Naming 1"), L"Scan");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Disc Label 0"), L"Scanned Doc");
    CloseFirst(window);
}

TEST_F(PagorinWindow, GaugeShowsTheDiscMarksAndTheCheckedSize)
{
    Install();
    QueueFolder(L"20260101-010101", {L"Page001.jpg"}, 1536 * 1024);
    HWND window = StartRestored(1);
    ASSERT_NE(window, nullptr);
    // The gauge lies on the target disc group, 360 pixels wide: 8 pixels per 100 MB after a margin of 4.
    HWND group = GetParent(FindChild(window, UnicodeClass(L"TWydCheckBox").c_str(), L"Write to Disc for Each Transaction"));
    ASSERT_NE(group, nullptr);
    auto pixel = [&](int x, int y) {
        POINT at{12 + x, 196 + y};  // where the gauge's image lies in the group
        ClientToScreen(group, &at);
        HDC screen = GetDC(nullptr);
        COLORREF c = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        return c;
    };
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitUntil([&] { return pixel(4 + 52, 20) == RGB(255, 0, 0); }, 10000)) << "no CD mark at 650 MB";
    EXPECT_EQ(pixel(4 + 336, 20), RGB(255, 0, 0)) << "no DVD mark at 4200 MB";
    EXPECT_EQ(pixel(4 + 8, 8), RGB(0, 0, 0)) << "no tick at 100 MB";
    EXPECT_EQ(pixel(5, 10), RGB(0, 255, 0)) << "1.5 MB checked shows no bar";
    EXPECT_NE(pixel(8, 10), RGB(0, 255, 0)) << "the bar is longer than 1 MB";
    vcltest::SaveWindowPng(window, std::wstring(L"" PAGORIN_SCREENSHOT_DIR) + L"\\pagorin-restored.png");
    CloseFirst(window);
}

TEST_F(PagorinWindow, LoadAndSaveSettingsReachTheRegistry)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND copies = FindChild(window, L"TCSpinEdit", nullptr);
    ASSERT_NE(copies, nullptr);
    SetRegDword(L"Copies", 7);
    ClickTool(window, L"Load");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(copies) == L"7"; }, 10000)) << ToUtf8(WindowText(copies));

    SendWithTimeout(copies, WM_SETTEXT, 0, LPARAM(L"12"), 5000);  // typed, not spun
    ClickTool(window, L"Save");
    EXPECT_TRUE(WaitUntil([] { return ReadRegDword(HKEY_LOCAL_MACHINE, ProductKey, L"Copies") == 12u; }, 10000));
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Default Scanner"), L"Lab Scanner");

    SetRegDword(L"Copies", 3);
    ChooseMenu(window, 0, 1);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(copies) == L"3"; }, 10000)) << "the menu's Load";
    SendWithTimeout(copies, WM_SETTEXT, 0, LPARAM(L"4"), 5000);
    ChooseMenu(window, 0, 2);
    EXPECT_TRUE(WaitUntil([] { return ReadRegDword(HKEY_LOCAL_MACHINE, ProductKey, L"Copies") == 4u; }, 10000))
        << "the menu's Save";
    CloseFirst(window);
}

TEST_F(PagorinWindow, DialogCommandsOpenTheirDialogs)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    // The menus share the tool bar's handlers; each dialog is opened from the menu once as well, first
    // (after a modal dialog Wine leaves the main window inactive, and its menu bar then does not open).
    ChooseMenu(window, 1, 0);
    HWND settings = Dialog(L"Settings");
    ASSERT_NE(settings, nullptr) << "from the menu";
    CloseDialog(settings);
    const std::pair<const wchar_t*, const wchar_t*> commands[] = {
        {L"Settings", L"Settings"}, {L"Scanner", L"Select Scanner"}, {L"About", L"About"}};
    for (auto [tool, caption] : commands) {
        SCOPED_TRACE(ToUtf8(caption));
        ClickTool(window, tool);
        HWND dialog = Dialog(caption);
        ASSERT_NE(dialog, nullptr);
        CloseDialog(dialog);
    }
    ClickTool(window, L"Language");
    settings = Dialog(L"Settings");
    ASSERT_NE(settings, nullptr);
    HWND pages = FindChild(settings, L"TWydPageControl.UnicodeClass", nullptr);
    EXPECT_EQ(SendWithTimeout(pages, TCM_GETCURSEL, 0, 0, 5000).value_or(-1), 2) << "not on the language page";
    CloseDialog(settings);

    ClickTool(window, L"Help");
    EXPECT_TRUE(WaitUntil([&] { return LogHas("Could not open \"" + ToUtf8(work_.File(L"Pagorin.chm")) + "\""); }, 10000))
        << "the help command did not reach the manual: " << DayLog();
    CloseFirst(window);
}

TEST_F(PagorinWindow, ExitFromTheMenuEndsTheProgram)
{
    HWND window = StartWithRobot();
    ASSERT_NE(window, nullptr);
    ChooseMenu(window, 0, 4);
    EXPECT_EQ(first_.Wait(30000), 0u);
}

TEST_F(PagorinWindow, FirstRunWithoutScanSettingsAsksForThemFirst)
{
    Install();
    DeleteRegTree(HKEY_LOCAL_MACHINE, std::wstring(ProductKey) + L"\\Lab Scanner");
    SetRegString(L"Default Scanner", L"");
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND settings = Dialog(L"Settings");
    ASSERT_NE(settings, nullptr) << "the settings were not shown";
    HWND pages = FindChild(settings, L"TWydPageControl.UnicodeClass", nullptr);
    EXPECT_EQ(SendWithTimeout(pages, TCM_GETCURSEL, 0, 0, 5000).value_or(-1), 0) << "not on the scan page";
    HWND save = FindChild(pages, L"TWydCheckBox.UnicodeClass", L"Save Settings to Default");
    ASSERT_TRUE(save && IsWindowVisible(save)) << "the scan page's save box";
    EXPECT_EQ(SendWithTimeout(save, BM_GETCHECK, 0, 0, 5000).value_or(-1), BST_CHECKED) << "first use stores the choice";
    EXPECT_FALSE(ToolEnabled(window, L"Start"));
    EXPECT_TRUE(ToolEnabled(window, L"Settings"));
    EXPECT_TRUE(LogHas("settings are shown first")) << DayLog();
    CloseDialog(settings);
    CloseFirst(window);
}

TEST_F(PagorinWindow, TestTrayOpensTheWritersTrayAndClosesItFiveSecondsLater)
{
    HWND window = StartWithRobot();
    ASSERT_NE(window, nullptr);
    DWORD clicked = GetTickCount();
    ChooseMenu(window, 1, 1);
    ASSERT_TRUE(WaitUntil([&] { return Count("LOAD") == 1; }, 20000)) << "the tray was not closed";
    EXPECT_GE(GetTickCount() - clicked, 5000u) << "the tray closed too soon";
    std::vector<std::string> calls = RobotCalls();
    auto eject = std::find(calls.begin(), calls.end(), "EJECT");
    EXPECT_LT(eject - calls.begin(), std::find(calls.begin(), calls.end(), "LOAD") - calls.begin());
    EXPECT_NE(ReadFileBytes(lab_.File(L"trace.log")).find("EJECT\tletter=E"), std::string::npos);
    CloseFirst(window);
}

}  // namespace
