// Pagorin.exe as an operator and a hot-key tool start it: first run without the product key, the hand-over
// of a page path to the running instance, the main window's texts in the language file's languages, and the
// disc robot of the device lab as the main window connects, loses, finds and parks it.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <tlhelp32.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "TwainClient.h"

using namespace testsupport;

namespace {

const wchar_t* const ProductKey = L"Software\\Tessaro Systems\\Pagorin";
const wchar_t* const MainCaption = L"Pagorin 1.2";

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The forms still use the class library's ANSI controls, which hold a text as the system code page has it
// (a non-Latin script turns into question marks); once the Unicode controls stand in their place, a
// control's text is the language file's text itself and this becomes the identity.
std::wstring AsShownByControls(const std::wstring& text)
{
    char ansi[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof(ansi), nullptr, nullptr);
    wchar_t wide[512] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 512);
    return wide;
}

// A value of the product key, or of one of its subkeys.
void SetRegString(const wchar_t* name, const std::wstring& value, const std::wstring& subkey = L"")
{
    HKEY key;
    std::wstring path = subkey.empty() ? std::wstring(ProductKey) : std::wstring(ProductKey) + L"\\" + subkey;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * 2));
    RegCloseKey(key);
}

void SetRegDword(const wchar_t* name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// Saves the window as it shows on the screen to a PNG file.
void SaveScreenshot(HWND window, const std::wstring& path)
{
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        image.Save(path.c_str(), &png, nullptr);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class PagorinRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

    // Each case has a device lab of its own (the robot and burning stand-ins read PAGORIN_LAB, which the
    // program inherits); without a scenario it holds one robot with one writer.
    void SetUp() override
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
    }
    void TearDown() override
    {
        for (ChildProcess* p : {&first_, &second_})
            if (p->Started() && !p->Wait(0))
                p->Kill();
        // A first start launches Quenfold, which may still be installing; it must be done before the next
        // test that shares its install targets begins.
        EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"Quenfold.exe"); }, 60000)) << "Quenfold did not end";
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }
    static bool ProcessRunning(const wchar_t* exeName)
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
            found = lstrcmpiW(entry.szExeFile, exeName) == 0;
        CloseHandle(snapshot);
        return found;
    }

    // The key an installer leaves: the installation folder with the language file, the working path.
    void Install(DWORD language = 0)
    {
        CopyFileW(L"" PAGORIN_LANGUAGE_FILE, install_.File(L"Pagorin.ini").c_str(), FALSE);
        SetRegString(L"InstallDir", install_.Path());
        SetRegString(L"Working Path", work_.Path());
        if (language)
            SetRegDword(L"Language", language);
    }
    ChildProcess Start(const std::wstring& arguments = L"")
    {
        return StartProgram(Quoted(BinDir() + L"Pagorin.exe") + (arguments.empty() ? L"" : L" " + arguments), BinDir());
    }
    HWND StartFirst()
    {
        first_ = Start();
        HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
        EXPECT_NE(window, nullptr) << "the main window did not open";
        return window;
    }
    static bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
            if (done())
                return true;
        return done();
    }
    // The disc writing status box (the group box of the write progress bar, in any language) comes on when
    // the window has taken the robot's writer list.
    static BOOL CALLBACK TakeDiscStatusBox(HWND child, LPARAM out)
    {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpW(name, L"TGroupBox") != 0 || !FindWindowExW(child, nullptr, L"TProgressBar", nullptr) ||
            FindWindowExW(child, nullptr, L"TBitBtn", nullptr))
            return TRUE;
        *reinterpret_cast<HWND*>(out) = child;
        return FALSE;
    }
    static HWND DiscStatusBox(HWND window)
    {
        HWND found = nullptr;
        EnumChildWindows(window, TakeDiscStatusBox, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    // A dialog of the program that owns the main window, once it shows (at most `timeoutMs`).
    static HWND DialogOf(HWND window, const wchar_t* caption, DWORD timeoutMs)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        return WaitForTopWindow(caption, timeoutMs, pid);
    }
    // Without stored scan settings the program opens its settings dialog by itself at start; it is closed as
    // by its title bar's button.
    static bool CloseSettingsDialog(HWND window, DWORD timeoutMs)
    {
        HWND dialog = DialogOf(window, L"Settings", timeoutMs);
        if (!dialog)
            return false;
        SendWithTimeout(dialog, WM_CLOSE, 0, 0, 10000);
        return WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000);
    }
    // While the robot is being connected a close asks the operator to wait; an operator sees the robot
    // come on first (the start-up step that connects it has opened the settings dialog by then, when it does).
    static void CloseWhenRobotIdle(HWND window)
    {
        HWND status = DiscStatusBox(window);
        EXPECT_TRUE(status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 20000))
            << "the lab's robot did not come on";
        CloseSettingsDialog(window, 0);
        SendWithTimeout(window, WM_CLOSE, 0, 0, 20000);
    }
    void CloseFirst(HWND window)
    {
        CloseWhenRobotIdle(window);
        EXPECT_EQ(first_.Wait(30000), 0u) << "Pagorin did not end cleanly";
    }
    std::string DayLog() const
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t name[16];
        swprintf(name, 16, L"PGRN_%02d.log", now.wDay);
        return ReadFileBytes(work_.File(name));
    }
    std::wstring Text(HWND window, const wchar_t* text) { return WindowText(FindChild(window, nullptr, text)); }

    static inline ULONG_PTR token_ = 0;
    TempDir install_, work_, lab_;
    ChildProcess first_, second_;
};

TEST_F(PagorinRun, FirstStartWithoutProductKeyDismissesSetupBoxAndOpensWindow)
{
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"Disc burning driver setup"), nullptr) << "the setup tool's box stays open";
    CloseFirst(window);
}

TEST_F(PagorinRun, SecondStartHandsItsPageOverAndEnds)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    std::wstring page = work_.File(L"Page 001.jpg");
    WriteFileBytes(page, "\xFF\xD8\xFF\xD9");
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" " + Quoted(page), 30000), 0u);
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe"), 30000), 0u) << "an empty argument is handed over too";
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" C:\\nowhere\\x.jpg", 30000), 0u);
    CloseFirst(window);

    std::string log = DayLog();
    EXPECT_NE(log.find("Application started."), std::string::npos) << log;
    EXPECT_NE(log.find("Page handed over: " + ToUtf8(page)), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"\""), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"C:\\nowhere\\x.jpg\""), std::string::npos) << log;
    EXPECT_NE(log.find("Application closed\r\n\r\n"), std::string::npos) << log;
}

TEST_F(PagorinRun, StartUpMakesTheLabScannerTheFirstScannerWithItsSubkey)
{
    ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds"));
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    const std::wstring scanner = L"Pagorin Virtual Scanner", subkey = std::wstring(ProductKey) + L"\\" + scanner;
    EXPECT_TRUE(WaitUntil([] { return ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Default Scanner").has_value(); },
                          20000))
        << "no first scanner was chosen";
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Default Scanner"), scanner);
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, ProductKey, L"Max PDF File Size"), 100u);
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, subkey, L"Visible"), 1u);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, subkey, L"Color Modes"), L"");
    CloseFirst(window);
    EXPECT_EQ(ReadFileBytes(lab_.File(L"trace.log")).find("IDENTITY.OPENDS"), std::string::npos)
        << "listing the sources opens none";
}

// The hidden scan button has no text, nor has the hidden write button, which does nothing when clicked.
BOOL CALLBACK ClickHiddenButton(HWND child, LPARAM)
{
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpW(name, L"TButton") == 0 && !IsWindowVisible(child) && GetWindowTextLengthW(child) == 0)
        PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED), LPARAM(child));
    return TRUE;
}

// Without a transaction the pages have nowhere to go: the operator is told, and the controls come back.
TEST_F(PagorinRun, ScanEventsReachTheScanThroughTheWindowsLoopAndTheControlsComeBack)
{
    ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds"));
    Install();
    const std::wstring scanner = L"Pagorin Virtual Scanner";
    SetRegString(L"Default Scanner", scanner);
    for (auto [name, value] : {std::pair{L"Color Modes", L"1|0|1|2"}, {L"Resolution", L"100|75|600"},
                               {L"File Formats", L"4|0|2|4|7"}})
        SetRegString(name, value, scanner);
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND naming = FindChild(window, L"TComboBox", L"Page");
    ASSERT_NE(naming, nullptr);
    EnumChildWindows(window, ClickHiddenButton, 0);
    HWND box = WaitForTopWindow(L"Pagorin", 20000, first_.Pid());
    ASSERT_NE(box, nullptr) << "the operator was not told";
    EXPECT_FALSE(IsWindowEnabled(naming)) << "the controls stay off until the message is read";
    std::string trace = ReadFileBytes(lab_.File(L"trace.log"));
    for (const char* call : {"USERINTERFACE.ENABLEDS\t\t0", "PENDINGXFERS.RESET\t\t0", "USERINTERFACE.DISABLEDS\t\t0"})
        EXPECT_NE(trace.find(call), std::string::npos) << call << "\n" << trace;
    EXPECT_EQ(trace.find("SETUPFILEXFER"), std::string::npos) << trace;
    SendWithTimeout(box, WM_CLOSE, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(naming) != FALSE; }, 10000)) << "the controls stay off";
    CloseFirst(window);
}

// The Part accepts two instances when the second starts before the first has its window.
TEST_F(PagorinRun, StartDuringFirstCreationBecomesSecondInstanceOrHandsOver)
{
    Install();
    first_ = Start();
    second_ = Start();
    HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
    ASSERT_NE(window, nullptr);
    std::optional<DWORD> ended = second_.Wait(5000);
    if (ended) {
        EXPECT_EQ(*ended, 0u);
    } else {
        HWND other = WaitForTopWindow(MainCaption, 60000, second_.Pid());
        ASSERT_NE(other, nullptr) << "the second start neither ended nor opened its window";
        CloseWhenRobotIdle(other);
        EXPECT_EQ(second_.Wait(30000), 0u);
    }
    CloseFirst(window);
}

TEST_F(PagorinRun, WindowTextsFollowTheLanguageFile)
{
    struct Language {
        DWORD Id;
        const wchar_t* ScanSettings;
        const wchar_t* WriteEach;
        const wchar_t* Shot;
    };
    const Language languages[] = {
        {1033, L"Scan Settings", L"Write to Disc for Each Transaction", L"\\pagorin-1033.png"},
        {1031, L"Scan-Einstellungen", L"Jeden Vorgang auf Disc schreiben", L"\\pagorin-1031.png"},
        {1049, L"\x041F\x0430\x0440\x0430\x043C\x0435\x0442\x0440\x044B \x0441\x043A\x0430\x043D\x0438\x0440\x043E\x0432\x0430\x043D\x0438\x044F",
         L"\x0417\x0430\x043F\x0438\x0441\x044B\x0432\x0430\x0442\x044C \x043A\x0430\x0436\x0434\x044B\x0439 \x0441\x0435\x0430\x043D\x0441 \x043D\x0430 \x0434\x0438\x0441\x043A", L"\\pagorin-1049.png"},
    };
    for (const Language& language : languages) {
        SCOPED_TRACE(language.Id);
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        Install(language.Id);
        HWND window = StartFirst();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(CloseSettingsDialog(window, 20000)) << "no scan settings: the settings dialog opens first";
        EXPECT_NE(FindChild(window, nullptr, AsShownByControls(language.ScanSettings).c_str()), nullptr);
        EXPECT_NE(FindChild(window, nullptr, AsShownByControls(language.WriteEach).c_str()), nullptr);
        if (language.Id != 1033) {
            EXPECT_EQ(FindChild(window, nullptr, L"Scan Settings"), nullptr) << "English left on the window";
        }
        SaveScreenshot(window, std::wstring(L"" PAGORIN_SCREENSHOT_DIR) + language.Shot);
        CloseFirst(window);
    }
}

// A child window whose class is one of the Unicode layer's (its name begins with `prefix`) and whose text has
// `text` in it, visible or any.
struct ChildSearch {
    const wchar_t* Prefix;
    const wchar_t* Text;
    bool VisibleOnly;
    HWND Found;
};
BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (wcsncmp(name, search->Prefix, wcslen(search->Prefix)) != 0 || (search->VisibleOnly && !IsWindowVisible(child)) ||
        (search->Text && WindowText(child).find(search->Text) == std::wstring::npos))
        return TRUE;
    search->Found = child;
    return FALSE;
}
HWND FindLayerChild(HWND window, const wchar_t* prefix, const wchar_t* text = nullptr, bool visibleOnly = true)
{
    ChildSearch search{prefix, text, visibleOnly, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The tool bar's buttons, by their place in the row: a click comes to the window as a command of that number.
enum ToolButton { ToolSelectScanner = 3, ToolSettings = 4, ToolLanguage = 5, ToolAbout = 8 };
void ClickToolButton(HWND window, ToolButton button)
{
    HWND bar = FindChild(window, L"TToolBar", nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, button, 0)) << "button " << button;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(bar));
}

// First use: nothing can be scanned until the operator has chosen a scanner and its settings.
TEST_F(PagorinRun, FirstStartWithoutScanSettingsOpensTheSettingsDialogWithItsNotice)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND dialog = DialogOf(window, L"Settings", 20000);
    ASSERT_NE(dialog, nullptr) << "the settings dialog did not open by itself";
    HWND save = FindLayerChild(dialog, L"TWydCheckBox", L"Save Settings to Default");
    ASSERT_NE(save, nullptr) << "the scan page's save box shows";
    EXPECT_EQ(SendMessageW(save, BM_GETCHECK, 0, 0), BST_CHECKED) << "first use stores what is chosen";
    HWND pages = FindLayerChild(dialog, L"TWydPageControl");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(SendMessageW(pages, TCM_GETCURSEL, 0, 0), 0) << "on the scan page";
    HWND bar = FindChild(window, L"TToolBar", nullptr);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, ToolSettings, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, 0, 0)) << "Start waits for the scan settings";
    CloseFirst(window);
}

TEST_F(PagorinRun, ToolBarCommandsShowTheDialogs)
{
    Install();
    SetRegString(L"Default Scanner", L"Lab Scanner");
    for (auto [name, value] : {std::pair{L"Color Modes", L"1|0|1|2"}, {L"Resolution", L"300|75|600"},
                               {L"File Formats", L"4|0|2|4|7"}})
        SetRegString(name, value, L"Lab Scanner");
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND status = DiscStatusBox(window);
    ASSERT_TRUE(status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 20000)) << "the start-up step ran";
    EXPECT_EQ(DialogOf(window, L"Settings", 0), nullptr) << "with scan settings nothing opens by itself";

    ClickToolButton(window, ToolSettings);
    HWND settings = DialogOf(window, L"Settings", 20000);
    ASSERT_NE(settings, nullptr);
    HWND cancel = FindLayerChild(settings, L"TWydButton", L"Cancel");
    ASSERT_NE(cancel, nullptr);
    SendWithTimeout(cancel, BM_CLICK, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }, 10000));

    ClickToolButton(window, ToolLanguage);
    ASSERT_EQ(DialogOf(window, L"Settings", 20000), settings);
    EXPECT_EQ(SendMessageW(FindLayerChild(settings, L"TWydPageControl"), TCM_GETCURSEL, 0, 0), 2) << "the language page";
    EXPECT_NE(FindLayerChild(settings, L"TWydListView"), nullptr) << "the language list shows";
    SendWithTimeout(settings, WM_CLOSE, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }, 10000));

    ClickToolButton(window, ToolSelectScanner);
    HWND chooser = DialogOf(window, L"Select Scanner", 20000);
    ASSERT_NE(chooser, nullptr);
    SendWithTimeout(FindLayerChild(chooser, L"TWydButton", L"Cancel"), BM_CLICK, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(chooser); }, 10000));

    ClickToolButton(window, ToolAbout);
    HWND about = DialogOf(window, L"About", 20000);
    ASSERT_NE(about, nullptr);
    EXPECT_NE(FindChild(about, nullptr, L"Close"), nullptr);
    SendWithTimeout(FindChild(about, nullptr, L"Close"), BM_CLICK, 0, 0, 10000);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }, 10000));
    CloseFirst(window);
}

// One robot with the writer E:, which this prefix has no drive for, so its removal is believed.
class PagorinDiscRoad : public PagorinRun {
protected:
    void SetUp() override
    {
        PagorinRun::SetUp();
        WriteFileBytes(lab_.File(L"scenario.ini"), "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n");
    }
    // The robot library's calls in the lab's trace, in order.
    std::vector<std::string> RobotCalls()
    {
        std::vector<std::string> calls;
        std::string trace = ReadFileBytes(lab_.File(L"trace.log"));
        for (size_t at = 0; at < trace.size();) {
            size_t end = trace.find('\n', at);
            std::string line = trace.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at = end == std::string::npos ? trace.size() : end + 1;
            if (line.rfind("KTROBOTS20\t", 0) == 0)
                calls.push_back(line.substr(11, line.find('\t', 11) - 11));
        }
        return calls;
    }
    int Count(const std::string& call)
    {
        int n = 0;
        for (const std::string& c : RobotCalls())
            n += c == call;
        return n;
    }
    static void SendVolumeChange(HWND window, WPARAM event, char letter)
    {
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = 1u << (letter - 'A');
        EXPECT_TRUE(SendWithTimeout(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), 10000));
    }
};

TEST_F(PagorinDiscRoad, ConnectsTheRobotAtStartAndParksItAtClose)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND write = FindChild(window, L"TBitBtn", L"Write"), status = DiscStatusBox(window);
    ASSERT_NE(write, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(IsWindowEnabled(status)) << "disc status shown before a robot is known";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(status) && IsWindowEnabled(write); }, 20000))
        << "the robot's writer did not reach the window";
    Sleep(1500);  // a polling round more: nothing is connected twice
    CloseFirst(window);

    std::vector<std::string> calls = RobotCalls();
    const std::vector<std::string> start = {"Init", "SetProperty", "Connect", "GetRobotInfo", "Active", "EnumDrives"};
    ASSERT_GE(calls.size(), start.size() + 2);
    for (const std::string& call : start)
        EXPECT_EQ(Count(call), 1) << call;
    EXPECT_LT(std::find(calls.begin(), calls.end(), "Init") - calls.begin(),
              std::find(calls.begin(), calls.end(), "EnumDrives") - calls.begin());
    // The threads stopped before the window parked the robot and closed its library, which came last.
    EXPECT_EQ(calls[calls.size() - 2], "Park");
    EXPECT_EQ(calls.back(), "Close");
    std::string log = DayLog();
    EXPECT_EQ(log.find("did not stop in time"), std::string::npos) << log;
    EXPECT_NE(log.find("Application closed"), std::string::npos) << log;
}

TEST_F(PagorinDiscRoad, WriterRemovalDisablesWriteAndItsArrivalReconnectsTheRobot)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND write = FindChild(window, L"TBitBtn", L"Write"), status = DiscStatusBox(window);
    ASSERT_NE(write, nullptr);
    ASSERT_NE(status, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(status) && IsWindowEnabled(write); }, 20000));

    SendVolumeChange(window, DBT_DEVICEREMOVECOMPLETE, 'F');
    Sleep(300);
    EXPECT_TRUE(IsWindowEnabled(write)) << "another drive's removal took the writer away";

    SendVolumeChange(window, DBT_DEVICEREMOVECOMPLETE, 'E');
    EXPECT_FALSE(IsWindowEnabled(write)) << "Write stays on without the writer";

    SendVolumeChange(window, DBT_DEVICEARRIVAL, 'E');
    EXPECT_TRUE(WaitUntil([&] { return Count("EnumDrives") == 2 && IsWindowEnabled(write); }, 20000))
        << "the writer's return did not reconnect the robot";
    EXPECT_EQ(Count("Connect"), 2);
    CloseFirst(window);
    EXPECT_EQ(RobotCalls().back(), "Close");
}

}  // namespace
