// The fixture of Pagorin's end-to-end cases: Pagorin.exe started under Wine on a device lab of its own,
// with an installation folder and a working path, its product key in the prefix's registry, and helpers to
// find, read and screenshot its windows, to click its tool bar (through memory lent in its process) and to
// choose the lab's scanner.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "TwainClient.h"
#include "WindowPicture.h"

using namespace testsupport;

namespace pagorintest {

inline const wchar_t* const ProductKey = L"Software\\Tessaro Systems\\Pagorin";
inline const wchar_t* const MainCaption = L"Pagorin 1.2";

inline std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// A number from the environment (a seed, a count), or `fallback` when it is not set.
inline DWORD EnvNumber(const wchar_t* name, DWORD fallback)
{
    wchar_t text[32] = {};
    if (!GetEnvironmentVariableW(name, text, 32))
        return fallback;
    return DWORD(wcstoul(text, nullptr, 10));
}

// Decisions of a seeded run; the same seed draws the same ones (the engine's output is fixed by the standard).
class Draw {
public:
    explicit Draw(DWORD seed) : engine_(seed) {}
    DWORD Below(DWORD n) { return DWORD(engine_() % n); }
    // True in `percent` cases of a hundred.
    bool Chance(DWORD percent) { return Below(100) < percent; }

private:
    std::mt19937 engine_;
};

// The window class of a Unicode control (a wide copy of its class library class, named after it).
inline std::wstring UnicodeClass(const std::wstring& controlClass) { return controlClass + L".UnicodeClass"; }

// A value of the product key or, with `sub`, of its subkey of that name.
inline void SetRegString(const wchar_t* name, const std::wstring& value, const std::wstring& sub = L"")
{
    HKEY key;
    std::wstring path = sub.empty() ? std::wstring(ProductKey) : std::wstring(ProductKey) + L"\\" + sub;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * 2));
    RegCloseKey(key);
}

inline void SetRegDword(const wchar_t* name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// Clicks the button of a dialog by its caption, as the button's own click would report it to the dialog.
inline void ClickButton(HWND dialog, const wchar_t* caption)
{
    HWND button = FindChild(dialog, UnicodeClass(L"TWydButton").c_str(), caption);
    ASSERT_NE(button, nullptr) << "no button " << ToUtf8(caption);
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
}

// Memory in another process for the controls' messages that carry a pointer.
class RemoteMemory {
public:
    RemoteMemory(DWORD pid, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)),
          address_(process_ ? VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr)
    {
    }
    ~RemoteMemory()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    LPARAM Address(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset); }
    template <class T>
    void Write(const T& value, size_t offset = 0)
    {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, &value, sizeof(T), nullptr);
    }
    template <class T>
    T Read(size_t offset = 0) const
    {
        T value{};
        ReadProcessMemory(process_, static_cast<char*>(address_) + offset, &value, sizeof(T), nullptr);
        return value;
    }

private:
    HANDLE process_;
    void* address_;
};

// A node of the transaction tree as the window shows it.
struct Node {
    HTREEITEM item = nullptr;
    std::wstring text;
    int state = 0;  // the state image: 1 unchecked, 2 checked, 3 partly checked
    std::vector<Node> pages;
};

class PagorinRun : public ::testing::Test {
protected:
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
        // One left running in this prefix would take the next case's hand-overs.
        EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"Pagorin.exe"); }, 30000)) << "a Pagorin.exe outlived the case";
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

    // The key an installer leaves: the installation folder with the language file, the working path; and a
    // scanner chosen before, so the settings need not be asked for first.
    void Install(DWORD language = 0)
    {
        CopyFileW(L"" PAGORIN_LANGUAGE_FILE, install_.File(L"Pagorin.ini").c_str(), FALSE);
        SetRegString(L"InstallDir", install_.Path());
        SetRegString(L"Working Path", work_.Path());
        if (language)
            SetRegDword(L"Language", language);
        SetRegString(L"Default Scanner", L"Lab Scanner");
        SetRegString(L"Color Modes", L"1|0|1|2", L"Lab Scanner");
        SetRegString(L"File Formats", L"4|0|2|4|7", L"Lab Scanner");
        SetRegString(L"Resolution", L"200|75|1200", L"Lab Scanner");
        SetRegString(L"Page Size", L"1|1|3", L"Lab Scanner");
    }
    ChildProcess Start(const std::wstring& arguments = L"", const std::wstring& folder = BinDir())
    {
        return StartProgram(Quoted(BinDir() + L"Pagorin.exe") + (arguments.empty() ? L"" : L" " + arguments), folder);
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
        if (name != UnicodeClass(L"TWydGroupBox") ||
            !FindWindowExW(child, nullptr, UnicodeClass(L"TWydProgressBar").c_str(), nullptr) ||
            FindWindowExW(child, nullptr, L"TQvCheckTree", nullptr))
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
    // While the robot is being connected a close asks the operator to wait; an operator sees the robot
    // come on first.
    static void CloseWhenRobotIdle(HWND window)
    {
        HWND status = DiscStatusBox(window);
        EXPECT_TRUE(status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 20000))
            << "the lab's robot did not come on";
        SendWithTimeout(window, WM_CLOSE, 0, 0, 20000);
    }
    void CloseFirst(HWND window)
    {
        CloseWhenRobotIdle(window);
        EXPECT_EQ(first_.Wait(30000), 0u) << "Pagorin did not end cleanly";
    }
    // The next-page countdown of a hot-key operation ends by Finish; closing then asks, and Terminate ends
    // the program, its exit code saying the pages were left unwritten.
    void FinishCountdownThenTerminate(HWND window)
    {
        HWND countdown = WaitForTopWindow(L"Attention", 20000, first_.Pid());
        ASSERT_NE(countdown, nullptr) << "no countdown for the handed-over page";
        ClickButton(countdown, L"Finish");
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(countdown); }, 10000));
        PostMessageW(window, WM_CLOSE, 0, 0);
        HWND confirm = WaitForTopWindow(L"Attention", 20000, first_.Pid());
        ASSERT_NE(confirm, nullptr) << "closing during a hot-key operation did not ask";
        ClickButton(confirm, L"Terminate");
        EXPECT_EQ(first_.Wait(30000), 1u) << "Pagorin did not end, or ended as if its pages were written";
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
    // The lab's TWAIN scanner as the chosen one, giving `sheets` pages a scan (in the case's lab, or
    // another one the case points the program at).
    void UseVirtualScanner(int sheets) { UseVirtualScanner(sheets, lab_.Path()); }
    void UseVirtualScanner(int sheets, const std::wstring& lab)
    {
        ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds"));
        std::string scenario = ReadFileBytes(lab + L"\\scenario.ini");
        WriteFileBytes(lab + L"\\scenario.ini", scenario + "[Scanner]\r\nSheets = " + std::to_string(sheets) + "\r\n");
        const std::wstring scanner = L"Pagorin Virtual Scanner";
        SetRegString(L"Default Scanner", scanner);
        for (auto [name, value] : {std::pair{L"Color Modes", L"1|0|1|2"}, {L"Resolution", L"100|75|600"},
                                   {L"File Formats", L"4|0|2|4|7"}, {L"Page Size", L"1|1|3"}})
            SetRegString(name, value, scanner);
    }
    // The tool button with that caption, clicked as the tool bar reports a click to its form. The tool bar
    // may get its buttons only after the window shows, so they are waited for.
    void ClickTool(HWND window, const std::wstring& caption)
    {
        HWND bar = nullptr;
        int id = -1;
        WaitUntil([&] {
            bar = FindChild(window, UnicodeClass(L"TWydToolBar").c_str(), nullptr);
            id = bar ? ToolId(bar, caption) : -1;
            return id >= 0;
        }, 20000);
        ASSERT_GE(id, 0) << "no tool button " << ToUtf8(caption);
        PostMessageW(GetParent(bar), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(bar));
    }
    int ToolId(HWND bar, const std::wstring& caption)
    {
        RemoteMemory memory(first_.Pid(), sizeof(TBBUTTON) + 512);
        int count = int(SendWithTimeout(bar, TB_BUTTONCOUNT, 0, 0, 5000).value_or(0));
        for (int i = 0; i < count; ++i) {
            SendWithTimeout(bar, TB_GETBUTTON, i, memory.Address(), 5000);
            int id = memory.Read<TBBUTTON>().idCommand;
            SendWithTimeout(bar, TB_GETBUTTONTEXTW, id, memory.Address(sizeof(TBBUTTON)), 5000);
            std::wstring text;
            for (size_t at = sizeof(TBBUTTON); text.size() < 255; at += sizeof(wchar_t)) {
                wchar_t c = memory.Read<wchar_t>(at);
                if (!c)
                    break;
                text.push_back(c);
            }
            if (text == caption)
                return id;
        }
        return -1;
    }
    bool ToolEnabled(HWND window, const std::wstring& caption)
    {
        HWND bar = FindChild(window, UnicodeClass(L"TWydToolBar").c_str(), nullptr);
        return SendWithTimeout(bar, TB_ISBUTTONENABLED, ToolId(bar, caption), 0, 5000).value_or(0) != 0;
    }

    // The transaction tree, read through memory lent in Pagorin's process as a screen reader would.
    HWND Tree(HWND window) const { return FindChild(window, L"TQvCheckTree", nullptr); }
    Node ReadNode(HWND tree, HTREEITEM item)
    {
        RemoteMemory memory(first_.Pid(), sizeof(TVITEMW) + 512);
        TVITEMW request{};
        request.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
        request.hItem = item;
        request.stateMask = TVIS_STATEIMAGEMASK;
        request.pszText = reinterpret_cast<LPWSTR>(memory.Address(sizeof(TVITEMW)));
        request.cchTextMax = 255;
        memory.Write(request);
        SendWithTimeout(tree, TVM_GETITEMW, 0, memory.Address(), 5000);
        Node node;
        node.item = item;
        node.state = int((memory.Read<TVITEMW>().state & TVIS_STATEIMAGEMASK) >> 12);
        wchar_t text[256];
        for (size_t i = 0; i < 256; ++i)
            text[i] = memory.Read<wchar_t>(sizeof(TVITEMW) + i * sizeof(wchar_t));
        text[255] = 0;
        node.text = text;
        return node;
    }
    HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item)
    {
        return reinterpret_cast<HTREEITEM>(SendWithTimeout(tree, TVM_GETNEXTITEM, relation, LPARAM(item), 5000).value_or(0));
    }
    std::vector<Node> Transactions(HWND window)
    {
        HWND tree = Tree(window);
        std::vector<Node> roots;
        for (HTREEITEM root = Next(tree, TVGN_ROOT, nullptr); root; root = Next(tree, TVGN_NEXT, root)) {
            roots.push_back(ReadNode(tree, root));
            for (HTREEITEM page = Next(tree, TVGN_CHILD, root); page; page = Next(tree, TVGN_NEXT, page))
                roots.back().pages.push_back(ReadNode(tree, page));
        }
        return roots;
    }
    // Clicks the node's label as a mouse would.
    void ClickNode(HWND window, HTREEITEM item)
    {
        HWND tree = Tree(window);
        RemoteMemory memory(first_.Pid(), sizeof(RECT));
        memory.Write(item);
        SendWithTimeout(tree, TVM_GETITEMRECT, TRUE, memory.Address(), 5000);
        RECT r = memory.Read<RECT>();
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(tree, WM_LBUTTONUP, 0, at);
    }

    // Item `item` of the menu bar's menu `menu`, chosen from the keyboard (menus belong to their process
    // under Wine, so their command numbers cannot be read from here): the menu bar opens on its first
    // menu, then arrows walk to the item and Enter chooses it.
    void ChooseMenu(HWND window, int menu, int item)
    {
        EXPECT_TRUE(ChooseMenuItem(window, menu, item)) << "the menu stayed open";
    }
    // The same; false when Enter left the menu open (a disabled item), which Escape then closes.
    bool ChooseMenuItem(HWND window, int menu, int item)
    {
        SetForegroundWindow(window);
        // The menu loop starts with the bar selected and its first menu closed; Enter opens that menu only
        // once the loop runs, so a slow start must not be mistaken for a closed menu.
        PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        if (!WaitUntil([&] { return InMenuMode(window); }, 10000)) {
            ADD_FAILURE() << "the menu loop did not start";
            return false;
        }
        if (!OpenMenu())
            PressKey(window, VK_RETURN);
        if (!WaitUntil([&] { return OpenMenu() != nullptr; }, 10000)) {
            ADD_FAILURE() << "the menu bar did not open";
            return false;
        }
        for (int i = 0; i < menu; ++i)
            PressKey(window, VK_RIGHT);
        for (int i = 0; i < item; ++i)
            PressKey(window, VK_DOWN);
        PressKey(window, VK_RETURN);
        if (WaitUntil([&] { return OpenMenu() == nullptr; }, 10000))
            return true;
        // Each Escape closes one level: the menu, then the bar.
        for (int i = 0; i < 3 && InMenuMode(window); ++i) {
            PressKey(window, VK_ESCAPE);
            WaitUntil([&] { return !InMenuMode(window); }, 1000);
        }
        EXPECT_FALSE(InMenuMode(window)) << "the menu loop did not end";
        return false;
    }
    static bool InMenuMode(HWND window)
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMENUMODE);
    }
    static void PressKey(HWND window, WPARAM key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }
    // A shown pop-up menu of Pagorin's.
    HWND OpenMenu() const
    {
        for (HWND popup = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); popup;
             popup = FindWindowExW(nullptr, popup, L"#32768", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(popup, &owner);
            if (owner == first_.Pid() && IsWindowVisible(popup))
                return popup;
        }
        return nullptr;
    }

    TempDir install_, work_, lab_;
    ChildProcess first_, second_;
};

// One robot with the writer E:, which this prefix has no drive for, so its removal is believed.
class PagorinDiscRoad : public PagorinRun {
protected:
    void SetUp() override
    {
        PagorinRun::SetUp();
        WriteFileBytes(lab_.File(L"scenario.ini"), "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n");
    }
    // The Write button and the disc status box of the main window; they may be made or captioned only after
    // the window shows, so they are waited for.
    static bool FindWriteControls(HWND window, HWND& write, HWND& status)
    {
        return WaitUntil([&] {
            write = FindChild(window, UnicodeClass(L"TWydBitBtn").c_str(), L"Write");
            status = DiscStatusBox(window);
            return write && status;
        }, 20000);
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

}  // namespace pagorintest
