// Pagorin.exe as an operator and a hot-key tool start it: first run without the product key (the setup tool
// run and its effects), the hand-over of a page path to the running instance, the main window's texts in the
// language file's languages, and the disc robot of the device lab as the main window connects, loses, finds
// and parks it.
#include <windows.h>
#include <shlobj.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "PagorinRunFixture.h"
#include "TwainClient.h"

namespace {

using namespace pagorintest;

const wchar_t DriverRegistryKey[] = L"SOFTWARE\\Corvell\\DRIVER2";

// An XML target of the setup tool: the database file below an application data folder.
std::wstring DriverDatabaseFile(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, folder))
               ? std::wstring(folder) + L"\\Corvell\\drivers\\driverdatabase.xml"
               : L"";
}

// An element as text that depends neither on layout nor on the order of attributes or sibling elements.
std::string Canonical(const TiXmlElement& element)
{
    std::vector<std::string> attributes, children;
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute; attribute = attribute->Next())
        attributes.push_back(std::string(attribute->Name()) + "=\"" + attribute->Value() + "\"");
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
        children.push_back(Canonical(*child));
    std::sort(attributes.begin(), attributes.end());
    std::sort(children.begin(), children.end());
    std::string text = "<" + std::string(element.Value());
    for (const std::string& attribute : attributes)
        text += " " + attribute;
    text += ">";
    for (const std::string& child : children)
        text += child;
    return text + "</>";
}

// The driver database of a document, whether it is the root (an installed file) or below it (the setup
// document); empty when there is none.
std::string CanonicalDatabase(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return "";
    const TiXmlElement* database = root->ValueStr() == "driver-database" ? root : root->FirstChildElement("driver-database");
    return database ? Canonical(*database) : "";
}

// The process of this name that `parent` started, opened as soon as it shows, so that its end can be waited
// for and its exit code read; not started when none shows in time.
ChildProcess OpenStartedProcess(DWORD parent, const wchar_t* exeName, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(2)) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        HANDLE found = nullptr;
        DWORD pid = 0;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
            if (entry.th32ParentProcessID == parent && lstrcmpiW(entry.szExeFile, exeName) == 0) {
                pid = entry.th32ProcessID;
                found = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            }
        CloseHandle(snapshot);
        if (found)
            return ChildProcess(found, pid);
    }
    return {};
}

// No product key: Pagorin starts the setup tool, which installs its database into the XML targets (and,
// as its document does not ask for it, not into the registry) and ends with "installed" once Pagorin has
// closed its box; the window opens, and the day log of the working path (here the current folder, as no
// installation folder is known yet) starts fresh.
TEST_F(PagorinRun, FirstStartWithoutProductKeyRunsTheSetupToolAndOpensWindow)
{
    const std::wstring targets[] = {DriverDatabaseFile(CSIDL_COMMON_APPDATA), DriverDatabaseFile(CSIDL_LOCAL_APPDATA)};
    for (const std::wstring& target : targets) {
        ASSERT_FALSE(target.empty());
        DeleteFileW(target.c_str());
    }
    DeleteRegTree(HKEY_LOCAL_MACHINE, DriverRegistryKey);

    first_ = Start(L"", work_.Path());
    ChildProcess setup = OpenStartedProcess(first_.Pid(), L"Quenfold.exe", 60000);
    ASSERT_TRUE(setup.Started()) << "Pagorin did not start the setup tool";
    std::optional<DWORD> code = setup.Wait(60000);
    ASSERT_TRUE(code) << "the setup tool did not end: its box was not closed";
    EXPECT_EQ(*code, 0u) << "the setup tool did not install";
    HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
    ASSERT_NE(window, nullptr) << "the main window did not open";
    EXPECT_EQ(FindWindowW(nullptr, L"Disc burning driver setup"), nullptr) << "the setup tool's box stays open";

    const std::string attached = CanonicalDatabase(ReadFileBytes(L"" PAGORIN_DRIVER_DATABASE));
    ASSERT_FALSE(attached.empty());
    for (const std::wstring& target : targets)
        EXPECT_EQ(CanonicalDatabase(ReadFileBytes(target)), attached) << ToUtf8(target);
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, DriverRegistryKey, L"DriverVersion"), std::nullopt)
        << "the registry was written though the setup document does not ask for it";

    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, ProductKey, L"Working Path"), work_.Path());
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, ProductKey, L"Today"), std::optional<DWORD>(now.wDay));
    const std::string separator = std::string(68, '=') + "\r\n\r\n";
    std::string log = DayLog();
    EXPECT_EQ(log.rfind(separator, 0), 0u) << "the day log does not start fresh:\n" << log;
    EXPECT_NE(log.find(" Application started.\r\n", separator.size()), std::string::npos) << log;
    CloseFirst(window);
    EXPECT_NE(DayLog().find(" Application closed\r\n"), std::string::npos) << DayLog();
}

TEST_F(PagorinRun, SecondStartHandsItsPageOverAndEnds)
{
    WriteFileBytes(lab_.File(L"scenario.ini"), "[Robots]\r\nCount = 0\r\n");
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    std::wstring page = work_.File(L"Page 001.jpg");
    WriteFileBytes(page, "\xFF\xD8\xFF\xD9");
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" " + Quoted(page), 30000), 0u);
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe"), 30000), 0u) << "an empty argument is handed over too";
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" C:\\nowhere\\x.jpg", 30000), 0u);
    // The page became a hot-key transaction (no robot here, so it waits): the countdown for further pages
    // shows; after Finish, closing asks first, and Terminate closes.
    FinishCountdownThenTerminate(window);
    EXPECT_TRUE(ReadFileBytes(page).size() == 4) << "the handed-over page itself was touched";
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((work_.File(L"Queue") + L"\\2*").c_str(), &entry);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "the hot-key transaction's folder outlived the run";
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);

    std::string log = DayLog();
    EXPECT_NE(log.find("Application started."), std::string::npos) << log;
    EXPECT_NE(log.find("Page handed over: " + ToUtf8(page)), std::string::npos) << log;
    EXPECT_NE(log.find("A Scan-To-Disc transaction started."), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"\""), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"C:\\nowhere\\x.jpg\""), std::string::npos) << log;
    EXPECT_NE(log.find("Application closed\r\n\r\n"), std::string::npos) << log;
}

TEST_F(PagorinRun, StartUpMakesTheLabScannerTheFirstScannerWithItsSubkey)
{
    ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds"));
    Install();
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, ProductKey, L"Default Scanner");
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
    // The new scanner has no scan settings yet, so the settings are asked for first.
    HWND settings = WaitForTopWindow(L"Settings", 20000, first_.Pid());
    ASSERT_NE(settings, nullptr) << "the settings were not asked for";
    PostMessageW(settings, WM_CLOSE, 0, 0);
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
    HWND naming = FindChild(window, UnicodeClass(L"TWydComboBox").c_str(), L"Page");
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

// Of two starts made before either has its window, one becomes the instance, whichever the system starts first;
// the other hands over to its window and ends with 0.
TEST_F(PagorinRun, StartDuringFirstCreationHandsOverToTheOneInstance)
{
    Install();
    first_ = Start();
    second_ = Start();
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (ChildProcess* start : {&first_, &second_})
            if ((window = WaitForTopWindow(MainCaption, 0, start->Pid())) != nullptr) {
                if (start != &first_)
                    std::swap(first_, second_);
                return true;
            }
        return false;
    }, 60000)) << "neither start opened its window";
    EXPECT_EQ(second_.Wait(30000), 0u) << "the other start neither handed over nor ended";
    EXPECT_EQ(WaitForTopWindow(MainCaption, 0, second_.Pid()), nullptr) << "two instances";
    CloseFirst(window);
}

TEST_F(PagorinRun, WindowTextsFollowTheLanguageFileInAnyScript)
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
         L"\x0417\x0430\x043F\x0438\x0441\x044B\x0432\x0430\x0442\x044C \x043A\x0430\x0436\x0434\x044B\x0439 \x0441\x0435\x0430\x043D\x0441 \x043D\x0430 \x0434\x0438\x0441\x043A",
         L"\\pagorin-1049.png"},
    };
    for (const Language& language : languages) {
        SCOPED_TRACE(language.Id);
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        Install(language.Id);
        HWND window = StartFirst();
        ASSERT_NE(window, nullptr);
        HWND group = FindChild(window, UnicodeClass(L"TWydGroupBox").c_str(), language.ScanSettings);
        HWND each = FindChild(window, UnicodeClass(L"TWydCheckBox").c_str(), language.WriteEach);
        ASSERT_NE(group, nullptr) << "scan settings box not in the language";
        ASSERT_NE(each, nullptr) << "write-each check box not in the language";
        EXPECT_EQ(WindowText(group), language.ScanSettings);
        EXPECT_EQ(WindowText(each), language.WriteEach);
        if (language.Id != 1033) {
            EXPECT_EQ(FindChild(window, nullptr, L"Scan Settings"), nullptr) << "English left on the window";
        }
        EXPECT_TRUE(vcltest::SaveWindowPng(window, std::wstring(L"" PAGORIN_SCREENSHOT_DIR) + language.Shot));
        CloseFirst(window);
    }
}

TEST_F(PagorinDiscRoad, ConnectsTheRobotAtStartAndParksItAtClose)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND write = nullptr, status = nullptr;
    ASSERT_TRUE(FindWriteControls(window, write, status)) << "no Write button or disc status box";
    EXPECT_FALSE(IsWindowEnabled(status)) << "disc status shown before a robot is known";
    // The writer reaches the window three polling rounds after the connect: a second start of the robot's road
    // (the start-up timer fires every 500 ms until it stops itself) would have connected again by then.
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(status) && IsWindowEnabled(write); }, 20000))
        << "the robot's writer did not reach the window";
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
    HWND write = nullptr, status = nullptr;
    ASSERT_TRUE(FindWriteControls(window, write, status)) << "no Write button or disc status box";
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(status) && IsWindowEnabled(write); }, 20000));

    SendVolumeChange(window, DBT_DEVICEREMOVECOMPLETE, 'F');  // handled within the send
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
