// The operator test's driver (see OperatorDriver.h): the sequence's world, the actions, quiet and the checks.
#include "OperatorDriver.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "TestImages.h"

namespace pagorintest {

namespace {

constexpr DWORD WindowWaitMs = 60000, DialogWaitMs = 20000;
// Quiet: nothing new in the day log or the trace for this long (the threads poll every second).
constexpr DWORD QuietMs = 4000;
// After the last input, everything that was started ends within this.
constexpr DWORD QuietLimitMs = 240000;
constexpr DWORD EndLimitMs = 60000;

const wchar_t* const Labels[] = {L"Scanned Doc", L"Архив № 7", L"Ελληνικά έγγραφα", L"日本語の書類", L"Übergröße Box",
                                 L"עברית", L"Box 7"};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct ClassSearch {
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<ClassSearch*>(data);
    wchar_t name[128] = {};
    GetClassNameW(child, name, 128);
    if (search->className == name)
        search->found.push_back(child);
    return TRUE;
}

// The descendants of a class, left to right (then top to bottom) as the form lays them out.
std::vector<HWND> ByPlace(HWND parent, const std::wstring& className)
{
    ClassSearch search{className, {}};
    if (parent)
        EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    auto place = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return std::pair{r.left, r.top};
    };
    std::stable_sort(search.found.begin(), search.found.end(), [&](HWND a, HWND b) { return place(a) < place(b); });
    return search.found;
}

// The same, top to bottom.
std::vector<HWND> ByRow(HWND parent, const std::wstring& className)
{
    std::vector<HWND> found = ByPlace(parent, className);
    auto top = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.top;
    };
    std::stable_sort(found.begin(), found.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
    return found;
}

struct TopSearch {
    std::set<DWORD> pids;
    std::wstring className;  // empty: any
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TopSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    if (!search->pids.count(pid) || !IsWindowVisible(window) ||
        (!search->className.empty() && search->className != name))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND TopWindowOf(const std::set<DWORD>& pids, const std::wstring& className)
{
    TopSearch search{pids, className, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a key in every language of the language file (the alert's buttons are told apart by them).
std::vector<std::wstring> InEveryLanguage(const std::wstring& languageFile, const wchar_t* key)
{
    std::vector<std::wstring> texts;
    std::wstring sections(8192, L'\0');
    DWORD length = GetPrivateProfileSectionNamesW(&sections[0], DWORD(sections.size()), languageFile.c_str());
    for (const wchar_t* section = sections.c_str(); section < sections.c_str() + length && *section;
         section += wcslen(section) + 1) {
        wchar_t text[256] = {};
        if (GetPrivateProfileStringW(section, key, L"", text, 256, languageFile.c_str()))
            texts.push_back(text);
    }
    return texts;
}

std::wstring Trimmed(std::wstring text)
{
    text.erase(0, text.find_first_not_of(L' '));
    text.erase(text.find_last_not_of(L' ') + 1);
    return text;
}

// Every page of the sequence is a JPEG (the scanner's format is JPG, the hand-overs are JPEGs); the "~"
// names are the PDF's copies.
bool IsPageName(const std::wstring& name)
{
    std::wstring lower = name;
    CharLowerW(&lower[0]);
    return lower.size() > 4 && lower.compare(lower.size() - 4, 4, L".jpg") == 0 && lower.find(L'~') == std::wstring::npos;
}

// How often the operator does each thing: the interactive road uses the whole window, the hot-key road
// mostly hands pages over and answers.
const std::vector<std::pair<OperatorAction, DWORD>>& Weights(bool hotKey)
{
    using A = OperatorAction;
    static const std::vector<std::pair<A, DWORD>> interactive = {
        {A::Pause, 4}, {A::Start, 14}, {A::Load, 3}, {A::Save, 2}, {A::Settings, 5}, {A::Scanner, 2},
        {A::Language, 2}, {A::TestTray, 2}, {A::Exit, 3}, {A::Write, 14}, {A::Append, 5}, {A::Abort, 4},
        {A::Tick, 8}, {A::Copies, 3}, {A::PerTransaction, 4}, {A::DiscLabel, 4}, {A::HandOver, 8}, {A::Answer, 8},
        {A::Refill, 2}};
    static const std::vector<std::pair<A, DWORD>> hotKeyRoad = {
        {A::Pause, 6}, {A::HandOver, 12}, {A::Answer, 10}, {A::Exit, 3}, {A::Refill, 2}, {A::Write, 1}};
    return hotKey ? hotKeyRoad : interactive;
}

OperatorAction DrawAction(Draw& draw, bool hotKey)
{
    const auto& weights = Weights(hotKey);
    DWORD total = 0;
    for (const auto& w : weights)
        total += w.second;
    DWORD at = draw.Below(total);
    for (const auto& w : weights) {
        if (at < w.second)
            return w.first;
        at -= w.second;
    }
    return OperatorAction::Pause;
}

}  // namespace

void OperatorDriver::TearDown()
{
    for (ChildProcess& p : handOvers_)
        if (p.Started() && !p.Wait(0))
            p.Kill();
    PagorinDiscRoad::TearDown();
}

void OperatorDriver::Say(const std::string& what)
{
    printf("    %6.1fs %s\n", (GetTickCount() - began_) / 1000.0, what.c_str());
    fflush(stdout);
}

std::string OperatorDriver::Log() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[16];
    swprintf(name, 16, L"PGRN_%02d.log", now.wDay);
    return ReadFileBytes(folders_->work.File(name));
}

std::string OperatorDriver::Trace() const { return ReadFileBytes(folders_->lab.File(L"trace.log")); }

// Each page of its own size, so no two pages of a sequence share their bytes.
std::wstring OperatorDriver::MakePage(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path = folder + L"\\" + name;
    ++pageNumber_;
    testimages::Write(path, GUID_ContainerFormatJpeg, 160 + 8 * UINT(pageNumber_), 200, 100);
    return path;
}

OperatorPlan OperatorDriver::DrawPlan(Draw& draw, bool hotKey)
{
    OperatorPlan plan;
    plan.hotKey = hotKey;
    const char* firstPages[] = {"good", "good", "good", "good", "missing", "jpeg", "gif"};
    plan.firstPage = firstPages[draw.Below(7)];
    plan.restoredQueue = !hotKey && draw.Chance(30);
    plan.writePerTransaction = !hotKey && !plan.restoredQueue && draw.Chance(25);
    const int pdf[] = {0, 0, 0, 1, 2};
    plan.compiledPdf = pdf[draw.Below(5)];
    plan.copies = draw.Chance(25) ? 2 : 1;
    plan.discType = draw.Chance(15) ? 1 + int(draw.Below(2)) : 0;
    plan.deleteHotkeyFiles = draw.Chance(20);
    plan.sheets = 1 + int(draw.Below(3));
    // The input bin: mostly blank DVDs, and now and then a disc of each other class.
    const char* kinds[] = {"4", "4", "4", "4", "1", "5", "3:used", "7:used", "0", "4:notready=2", "4:error=1"};
    int count = draw.Chance(30) ? 1 + int(draw.Below(3)) : 12;
    plan.discs.clear();
    for (int i = 0; i < count; ++i)
        plan.discs += std::string(i ? ", " : "") + (draw.Chance(70) ? "4" : kinds[draw.Below(11)]);
    auto fault = [&](DWORD percent, const std::string& key, const std::vector<std::string>& codes) {
        if (draw.Chance(percent))
            plan.failures.push_back(key + " = " + std::to_string(1 + draw.Below(3)) + ":" + codes[draw.Below(DWORD(codes.size()))]);
    };
    fault(15, "KTROBOTS20.LoadDrive", {"430", "402", "415", "499", "407"});
    fault(10, "KTROBOTS20.UnloadDrive", {"413", "416", "499"});
    fault(15, "KAVO.ProjectWrite", {"12"});
    fault(10, "KAVO.ProjectVerifyWrite", {"11"});
    fault(5, "KAVO.Create", {"1"});
    fault(10, "PDFLIBRARY.RURARO_AddImageFilePage", {"1"});
    fault(5, "PDFLIBRARY.RURARO_SaveToFileName", {"1"});
    fault(10, "FENDRIX.convert", {"1", "2"});
    fault(10, "Scanner.IMAGEFILEXFER.GET", {"1"});
    if (draw.Chance(10))
        plan.scanner.push_back("PaperJam = " + std::to_string(1 + draw.Below(2)));
    const DWORD delays[] = {0, 0, 300, 1500};
    for (const char* key : {"KTROBOTS20.LoadDrive", "KAVO.ProjectWrite", "FENDRIX.convert", "Scanner.page"})
        if (DWORD ms = delays[draw.Below(4)])
            plan.delays.push_back(std::string(key) + " = " + std::to_string(ms));
    plan.actions = 6 + int(draw.Below(11));
    return plan;
}

void OperatorDriver::Begin(const OperatorPlan& plan)
{
    plan_ = plan;
    folders_ = std::make_unique<Folders>();
    handOvers_.clear();
    handOverPages_.clear();
    exitChosen_ = false;
    firstPage_.clear();
    offered_.clear();
    queued_.clear();
    aborted_.clear();
    unticked_.clear();
    onDiscs_.clear();
    pdfFolders_.clear();
    labels_ = {L"Scanned Doc"};
    began_ = GetTickCount();
    SetEnvironmentVariableW(L"PAGORIN_LAB", folders_->lab.Path().c_str());
    std::string scenario = "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[InputBin]\r\nDiscs = " + plan.discs + "\r\n";
    scenario += "[Failures]\r\n";
    for (const std::string& line : plan.failures)
        scenario += line + "\r\n";
    scenario += "[Delays]\r\n";
    for (const std::string& line : plan.delays)
        scenario += line + "\r\n";
    WriteFileBytes(folders_->lab.File(L"scenario.ini"), scenario);

    DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
    Install();
    CopyFileW((BinDir() + L"Fendrix.exe").c_str(), install_.File(L"Fendrix.exe").c_str(), FALSE);
    SetRegString(L"Working Path", folders_->work.Path());
    SetRegDword(L"Next Page Wait", 5);
    SetRegDword(L"Compiled PDF", DWORD(plan.compiledPdf));
    SetRegDword(L"Copies", DWORD(plan.copies));
    SetRegDword(L"Disc Type", DWORD(plan.discType));
    SetRegDword(L"Delete Hotkey Files", plan.deleteHotkeyFiles ? 1 : 0);
    UseVirtualScanner(plan.sheets, folders_->lab.Path());
    if (!plan.scanner.empty()) {
        std::string text = ReadFileBytes(folders_->lab.File(L"scenario.ini"));
        for (const std::string& line : plan.scanner)
            text += line + "\r\n";
        WriteFileBytes(folders_->lab.File(L"scenario.ini"), text);
    }
    queue_ = folders_->work.File(L"Queue");
    if (plan.restoredQueue) {
        std::wstring leftover = queue_ + L"\\20250102-030405";
        CreateDirectoryW(queue_.c_str(), nullptr);
        CreateDirectoryW(leftover.c_str(), nullptr);
        MakePage(leftover, L"p001.jpg");
        MakePage(leftover, L"p002.jpg");
        NoteQueue();
    }

    std::string settings = "copies " + std::to_string(plan.copies) + ", PDF " + std::to_string(plan.compiledPdf) +
                           ", disc type " + std::to_string(plan.discType) + (plan.deleteHotkeyFiles ? ", delete hot-key files" : "") +
                           ", discs " + plan.discs;
    for (const auto* lines : {&plan.failures, &plan.delays, &plan.scanner})
        for (const std::string& line : *lines)
            settings += "; " + line;
    if (plan.hotKey) {
        std::wstring page;
        if (plan.firstPage == "good") {
            page = firstPage_ = MakePage(folders_->scans.Path(), L"Page001.jpg");
            offered_[page] = ReadFileBytes(page);
        } else if (plan.firstPage == "missing") {
            page = folders_->scans.File(L"Missing.jpg");
        } else {
            page = MakePage(folders_->scans.Path(), L"Page001." + FromUtf8(plan.firstPage));
        }
        Say("hot-key start with a " + plan.firstPage + " page (" + settings + ")");
        first_ = Start(Quoted(page));
    } else {
        Say(std::string("interactive start") + (plan.restoredQueue ? " with a restored queue" : "") + " (" + settings + ")");
        first_ = Start();
    }
    ASSERT_TRUE(first_.Started());
    // The hot-key road's window may be gone again by itself (its page refused) before it is seen.
    ASSERT_TRUE(WaitUntil([&] { return Main() != nullptr || first_.Wait(0); }, WindowWaitMs)) << "the main window did not open";
    if (!plan.hotKey) {
        // The operator begins once the robot is on: the disc status box comes on with its writer list.
        HWND status = DiscStatusBox(Main());
        ASSERT_TRUE(status && WaitUntil([&] { return IsWindowEnabled(status) != FALSE; }, 30000)) << "the robot did not come on";
    }
}

void OperatorDriver::RunSequence(DWORD seed)
{
    Draw draw(seed);
    bool hotKey = draw.Chance(40);
    printf("seed=%lu (%s road)\n", static_cast<unsigned long>(seed), hotKey ? "hot-key" : "interactive");
    fflush(stdout);
    RunSequence(draw, DrawPlan(draw, hotKey));
}

void OperatorDriver::RunSequence(Draw& draw, const OperatorPlan& plan)
{
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    const DWORD pauses[] = {0, 100, 400, 1200, 3000};
    // The box can be ticked only while the tree is empty: before anything else.
    if (plan.writePerTransaction)
        Act(OperatorAction::PerTransaction, 0);
    // An operator at the interactive run mostly begins with a scan.
    bool scanFirst = !plan.hotKey && draw.Chance(75);
    for (int i = 0; i < plan.actions && !HasFatalFailure(); ++i) {
        OperatorAction action = i == 0 && scanFirst ? OperatorAction::Start : DrawAction(draw, plan.hotKey);
        DWORD pause = pauses[draw.Below(5)], choice = draw.Below(1u << 20);
        Sleep(pause);  // the operator's speed, not a wait for a result
        Act(action, choice);
        NoteQueue();
    }
    if (!HasFatalFailure())
        FinishAndCheck();
}

HWND OperatorDriver::Main() const { return first_.Started() ? WaitForTopWindow(MainCaption, 0, first_.Pid()) : nullptr; }

// What the operator can reach: the main window, not held by a modal window or an open menu.
bool OperatorDriver::OperatorMayUse() const
{
    HWND window = Main();
    return window && IsWindowEnabled(window) && !InMenuMode(window);
}

HWND OperatorDriver::BitButton(int index)
{
    std::vector<HWND> buttons = ByPlace(Main(), UnicodeClass(L"TWydBitBtn"));
    return size_t(index) < buttons.size() ? buttons[size_t(index)] : nullptr;
}

HWND OperatorDriver::DialogOf(const wchar_t* formClass) const
{
    std::set<DWORD> pids;
    if (first_.Started())
        pids.insert(first_.Pid());
    for (const ChildProcess& p : handOvers_)
        if (p.Started())
            pids.insert(p.Pid());
    return TopWindowOf(pids, formClass);
}

void OperatorDriver::Act(OperatorAction action, DWORD choice)
{
    using A = OperatorAction;
    switch (action) {
    case A::Pause: Say("pause"); return;
    case A::Start: Command("Start", L"Start", 0, 0, choice); return;
    case A::Load: Command("Load", L"Load", 0, 1, choice); return;
    case A::Save: Command("Save", L"Save", 0, 2, choice); return;
    case A::Settings:
        if (Command("Settings", L"Settings", 1, 0, choice))
            UseSettingsDialog(false, choice);
        return;
    case A::Language:  // the language page opens from the tool button only
        if (Command("Language", L"Language", 1, 0, choice | 1))
            UseSettingsDialog(true, choice);
        return;
    case A::Scanner:
        if (Command("Scanner", L"Scanner", 0, 3, choice))
            UseScannerChooser(choice);
        return;
    case A::TestTray:
        // The menu item cannot be read from here: when it is off, the menu stays open and is closed again.
        if (!OperatorMayUse() || !ToolEnabled(Main(), L"Start"))
            return Off("Test Tray");
        Say("Test Tray");
        ChooseMenuItem(Main(), 1, 1);
        return;
    case A::Exit:
        if (choice % 3 != 0 && Command("Exit", L"Exit", 0, 4, choice)) {
            exitChosen_ = true;
            return;
        }
        // The title bar's close works while the window takes input, with its controls off too.
        if (!Main() || !IsWindowEnabled(Main()) || InMenuMode(Main()))
            return Off("close");
        Say("close by the title bar");
        exitChosen_ = true;
        PostMessageW(Main(), WM_CLOSE, 0, 0);
        return;
    case A::Write: PressTreeButton(0, choice); return;
    case A::Append: PressTreeButton(1, choice); return;
    case A::Abort: PressTreeButton(2, choice); return;
    case A::Tick: Tick(choice); return;
    case A::Copies:
    case A::PerTransaction:
    case A::DiscLabel: UseTargetDisc(action, choice); return;
    case A::HandOver: {
        const char* kinds[] = {"good", "good", "good", "missing", "jpeg", "gif"};
        HandOver(kinds[choice % 6]);
        return;
    }
    case A::Answer: AnswerAtRandom(choice); return;
    case A::Refill:
        Say("the operator refills the input bin");
        Refill(5);
        return;
    }
}

void OperatorDriver::Off(const std::string& what) { Say(what + " (not possible now)"); }

// A command of the tool bar, or (one time in three) its menu item; false when the operator cannot give it.
bool OperatorDriver::Command(const std::string& name, const wchar_t* tool, int menu, int item, DWORD choice)
{
    HWND window = Main();
    if (!OperatorMayUse() || !ToolEnabled(window, tool)) {
        Off(name);
        return false;
    }
    if (choice % 3 == 0) {
        Say(name + " from the menu");
        return ChooseMenuItem(window, menu, item);
    }
    Say(name);
    ClickTool(window, tool);
    return true;
}

// The settings dialog: perhaps another Compiled PDF option or disc type (or, from the Language command,
// another language), then OK, Apply or Cancel.
void OperatorDriver::UseSettingsDialog(bool language, DWORD choice)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = DialogOf(L"TfrmSettings")) != nullptr; }, DialogWaitMs))
        return;  // the command was not taken (the window was busy)
    DWORD change = (choice / 3) % 4, value = (choice / 12) % 3;
    if (language) {
        HWND list = nullptr;
        WaitUntil([&] {
            for (HWND view : ByPlace(dialog, UnicodeClass(L"TWydListView")))
                if (IsWindowVisible(view))
                    list = view;
            return list != nullptr;
        }, 5000);
        int rows = list ? int(SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0).value_or(0)) : 0;
        if (rows > 0) {
            RemoteMemory memory(first_.Pid(), sizeof(LVITEMW));
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            memory.Write(item);
            SendWithTimeout(list, LVM_SETITEMSTATE, WPARAM(int(value) % rows), memory.Address());
            Say("  language " + std::to_string(int(value) % rows));
        }
    } else if (change == 1 || change == 2) {
        // The write page's lists, top down: disc type, Compiled PDF, RW policy, write speed.
        SendWithTimeout(FindChild(dialog, UnicodeClass(L"TWydPageControl").c_str(), nullptr), TCM_SETCURFOCUS, 1, 0);
        std::vector<HWND> lists;
        WaitUntil([&] {
            lists.clear();
            for (HWND list : ByRow(dialog, UnicodeClass(L"TWydComboBox")))
                if (IsWindowVisible(list))
                    lists.push_back(list);
            return lists.size() >= 2;
        }, 5000);
        if (lists.size() >= 2) {
            HWND list = lists[change == 1 ? 1 : 0];
            SendWithTimeout(list, CB_SETCURSEL, value, 0);
            PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), LPARAM(list));
            Say(std::string("  ") + (change == 1 ? "Compiled PDF " : "disc type ") + std::to_string(value));
        }
    }
    // OK, Apply and Cancel, left to right; Apply leaves the dialog open for OK or Cancel.
    std::vector<HWND> buttons = ByPlace(dialog, UnicodeClass(L"TWydButton"));
    ASSERT_GE(buttons.size(), 3u) << "the settings dialog's buttons";
    DWORD answer = (choice / 36) % 4;
    const char* answers[] = {"OK", "Apply, then OK", "Apply, then Cancel", "Cancel"};
    Say(std::string("  ") + answers[answer]);
    // Posted clicks are taken in order: Apply is done before the next press.
    if (answer == 1 || answer == 2)
        PostMessageW(buttons[1], BM_CLICK, 0, 0);
    PostMessageW(buttons[answer <= 1 ? 0 : 2], BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, DialogWaitMs)) << "the settings dialog stayed open";
}

void OperatorDriver::UseScannerChooser(DWORD choice)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = DialogOf(L"TfrmSelectScanner")) != nullptr; }, DialogWaitMs))
        return;
    std::vector<HWND> buttons = ByPlace(dialog, UnicodeClass(L"TWydButton"));  // OK, Cancel
    ASSERT_GE(buttons.size(), 2u) << "the scanner chooser's buttons";
    bool ok = (choice / 3) % 2 != 0;
    Say(ok ? "  OK" : "  Cancel");
    PostMessageW(buttons[ok ? 0 : 1], BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, DialogWaitMs)) << "the scanner chooser stayed open";
}

// Write, Append or Abort; Append and Abort on a transaction chosen in the tree first.
void OperatorDriver::PressTreeButton(int index, DWORD choice)
{
    const char* names[] = {"Write", "Append", "Abort"};
    HWND window = Main();
    if (index > 0 && OperatorMayUse() && IsWindowEnabled(Tree(window))) {
        std::vector<Node> roots = Transactions(window);
        if (!roots.empty()) {
            ClickNode(window, roots[choice % roots.size()].item);
            WaitUntil([&] { return Usable(BitButton(index)); }, 2000);
        }
    }
    HWND button = BitButton(index);
    if (!OperatorMayUse() || !Usable(button))
        return Off(names[index]);
    if (index == 2)
        if (std::optional<Node> chosen = SelectedNode(window))
            aborted_.insert(chosen->text);
    Say(names[index]);
    PostMessageW(button, BM_CLICK, 0, 0);
}

std::optional<Node> OperatorDriver::SelectedNode(HWND window)
{
    HWND tree = Tree(window);
    auto selected = HTREEITEM(SendWithTimeout(tree, TVM_GETNEXTITEM, TVGN_CARET, 0).value_or(0));
    if (!selected)
        return std::nullopt;
    return ReadNode(tree, selected);
}

// A transaction or a page ticked or unticked, chosen and then toggled by the space bar as an operator does.
void OperatorDriver::Tick(DWORD choice)
{
    HWND window = Main();
    HWND tree = window ? Tree(window) : nullptr;
    if (!OperatorMayUse() || !tree || !IsWindowEnabled(tree))
        return Off("tick");
    std::vector<Node> roots = Transactions(window);
    std::vector<std::pair<size_t, int>> nodes;  // transaction, page (-1: the transaction itself)
    for (size_t r = 0; r < roots.size(); ++r) {
        nodes.push_back({r, -1});
        for (size_t p = 0; p < roots[r].pages.size(); ++p)
            nodes.push_back({r, int(p)});
    }
    if (nodes.empty())
        return Off("tick");
    auto [r, p] = nodes[choice % nodes.size()];
    const Node& node = p < 0 ? roots[r] : roots[r].pages[size_t(p)];
    Say((node.state == 2 ? "untick " : "tick ") + ToUtf8(roots[r].text) + (p < 0 ? "" : "/" + ToUtf8(node.text)));
    ToggleNode(window, node);
    // A page left unticked may go with its transaction's disc job: the operator chose so.
    std::vector<Node> now = Transactions(window);
    for (const Node& page : r < now.size() ? now[r].pages : std::vector<Node>())
        if (page.state == 1)
            unticked_.insert(ReadFileBytes(page.text.find(L'\\') == std::wstring::npos
                                               ? queue_ + L"\\" + roots[r].text + L"\\" + page.text
                                               : page.text));
}

void OperatorDriver::ToggleNode(HWND window, const Node& node)
{
    HWND tree = Tree(window);
    ClickNode(window, node.item);
    WaitUntil([&] { return SelectedNode(window) && SelectedNode(window)->item == node.item; }, 2000);
    PressKey(tree, VK_SPACE);
    WaitUntil([&] { return ReadNode(tree, node.item).state != node.state; }, 2000);
}

// The copies, the per-transaction box and the disc label (in any script) of the target disc group.
void OperatorDriver::UseTargetDisc(OperatorAction action, DWORD choice)
{
    HWND copies = Main() ? FindChild(Main(), L"TCSpinEdit", nullptr) : nullptr;
    HWND group = copies ? GetParent(copies) : nullptr;
    if (action == OperatorAction::Copies) {
        if (!OperatorMayUse() || !copies || !IsWindowEnabled(copies))
            return Off("copies");
        std::wstring value = std::to_wstring(1 + choice % 3);
        Say("copies " + ToUtf8(value));
        SendWithTimeout(copies, WM_SETTEXT, 0, LPARAM(value.c_str()));
    } else if (action == OperatorAction::PerTransaction) {
        HWND box = group ? FindChild(group, UnicodeClass(L"TWydCheckBox").c_str(), nullptr) : nullptr;
        if (!OperatorMayUse() || !Usable(box))
            return Off("write per transaction");
        Say("write per transaction");
        PostMessageW(box, BM_CLICK, 0, 0);
    } else {
        HWND label = group ? FindChild(group, UnicodeClass(L"TWydComboBox").c_str(), nullptr) : nullptr;
        if (!OperatorMayUse() || !label || !IsWindowEnabled(label))
            return Off("disc label");
        const wchar_t* text = Labels[choice % (sizeof Labels / sizeof *Labels)];
        labels_.insert(text);
        Say("disc label " + ToUtf8(text));
        SendWithTimeout(label, WM_SETTEXT, 0, LPARAM(text));
    }
}

// Whatever asks the operator now gets one of its answers.
void OperatorDriver::AnswerAtRandom(DWORD choice)
{
    std::string kind = AlertKind();
    if (kind.empty()) {
        if (!DialogOf(L"#32770") && !DialogOf(L"TForm"))
            Say("answer (nothing asks)");
        AnswerMessageBoxes();
        return;
    }
    DWORD pick = choice % 4;
    Answer answer = kind == "countdown" ? (pick == 0 ? Answer::Hold : Answer::Finish)
                    : kind == "robot"   ? Answer::Finish
                    : kind == "bin"     ? (pick == 0 ? Answer::Cancel : pick == 1 ? Answer::Ok : Answer::RefillAndOk)
                                        : (pick < 2 ? Answer::Terminate : Answer::Cancel);
    AnswerAlert(answer);
}

void OperatorDriver::HandOver(const std::string& kind)
{
    wchar_t name[32];
    swprintf(name, 32, L"Page%03d.", int(handOvers_.size()) + 2);
    std::wstring page;
    if (kind == "good") {
        page = MakePage(folders_->scans.Path(), std::wstring(name) + L"jpg");
        offered_[page] = ReadFileBytes(page);
    } else if (kind == "missing")
        page = folders_->scans.File(std::wstring(name) + L"jpg");
    else
        page = MakePage(folders_->scans.Path(), std::wstring(name) + FromUtf8(kind));
    Say("hand over a " + kind + " page: " + ToUtf8(page));
    handOvers_.push_back(Start(Quoted(page)));
    handOverPages_.push_back(kind == "good" ? page : L"");
}

// The alert's kind from what it shows: the countdown has its hold box, the robot's wait its OK alone; the
// close question's left button is Terminate, the empty input bin's is OK.
std::string OperatorDriver::AlertKind()
{
    HWND alert = DialogOf(L"TfrmAlert");
    if (!alert)
        return "";
    std::vector<HWND> buttons = ByPlace(alert, UnicodeClass(L"TWydButton"));
    if (buttons.size() < 3)
        return "";
    if (IsWindowVisible(buttons[1]))
        return IsWindowVisible(FindChild(alert, UnicodeClass(L"TWydCheckBox").c_str(), nullptr)) ? "countdown" : "robot";
    std::wstring left = Trimmed(WindowText(buttons[0]));
    for (const std::wstring& terminate : InEveryLanguage(install_.File(L"Pagorin.ini"), L"Attention.Button.Terminate"))
        if (Trimmed(terminate) == left)
            return "close";
    return "bin";
}

void OperatorDriver::AnswerAlert(Answer answer)
{
    HWND alert = DialogOf(L"TfrmAlert");
    std::string kind = AlertKind();
    if (!alert || kind.empty())
        return;
    std::vector<HWND> buttons = ByPlace(alert, UnicodeClass(L"TWydButton"));
    switch (answer) {
    case Answer::Finish:
        Say("answer the " + kind + " alert: " + (kind == "countdown" ? "Finish" : "OK"));
        PostMessageW(buttons[1], BM_CLICK, 0, 0);
        return;
    case Answer::Hold:
        Say("answer the countdown: tick or untick the hold box");
        PostMessageW(FindChild(alert, UnicodeClass(L"TWydCheckBox").c_str(), nullptr), BM_CLICK, 0, 0);
        return;
    case Answer::RefillAndOk:
        Refill(5);
        [[fallthrough]];
    case Answer::Ok:
    case Answer::Terminate:
        Say("answer the " + kind + " alert: " + (answer == Answer::RefillAndOk ? "refill, then OK" : kind == "close" ? "Terminate" : "OK"));
        PostMessageW(buttons[0], BM_CLICK, 0, 0);
        return;
    case Answer::Cancel:
        Say("answer the " + kind + " alert: Cancel");
        PostMessageW(buttons[2], BM_CLICK, 0, 0);
        return;
    }
}

// Message boxes (a failed job, a robot's unexpected code) and the class library's message forms (a
// scanner's refusal) are read and closed.
void OperatorDriver::AnswerMessageBoxes()
{
    for (int boxes = 0; boxes < 10; ++boxes) {
        if (HWND box = DialogOf(L"#32770")) {
            std::wstring text;
            for (HWND label : ByRow(box, L"Static"))
                text += WindowText(label);
            Say("close the message box \"" + ToUtf8(WindowText(box)) + "\": " + ToUtf8(text));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitUntil([&] { return !IsWindowVisible(box); }, 10000);
        } else if (HWND form = DialogOf(L"TForm")) {
            Say("close the message \"" + ToUtf8(WindowText(form)) + "\"");
            PostMessageW(FindChild(form, L"TButton", nullptr), BM_CLICK, 0, 0);
            WaitUntil([&] { return !IsWindowVisible(form); }, 10000);
        } else
            return;
    }
}

void OperatorDriver::Refill(int discs)
{
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    int next = 1;
    for (const auto& entry : devices.discs)
        next = std::max(next, entry.first + 1);
    // Blank DVDs and CDs in turn, so that a job of either disc type finds its discs.
    for (int i = 0; i < discs; ++i) {
        lab::Disc disc = lab::ParseDisc(i % 2 ? L"1" : L"4");
        disc.id = next + i;
        devices.discs[disc.id] = disc;
        devices.input.push_back(disc.id);
    }
    devices.Save();
}

// The scenario without its faults: what fails from now on is Pagorin's own.
void OperatorDriver::ClearFailures()
{
    std::string scenario = ReadFileBytes(folders_->lab.File(L"scenario.ini"));
    size_t from = scenario.find("[Failures]"), to = scenario.find("[Delays]");
    if (from != std::string::npos && to != std::string::npos)
        scenario.erase(from + 12, to - from - 12);
    WriteFileBytes(folders_->lab.File(L"scenario.ini"), scenario);
}

int OperatorDriver::WriterDisc() const
{
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    const lab::Writer* writer = devices.FindWriter('E');
    return writer ? writer->disc : 0;
}

// The page files in the queue now: scanned pages and the copies of handed-over ones, each remembered with
// its transaction. A page the scanner is still writing (its mark beside it, or not yet a whole JPEG) is left
// for the next look.
void OperatorDriver::NoteQueue()
{
    for (const std::wstring& folder : Listing(queue_, L"*", true))
        for (const std::wstring& file : Listing(queue_ + L"\\" + folder, L"*", false)) {
            std::wstring path = queue_ + L"\\" + folder + L"\\" + file;
            if (!IsPageName(file) || Exists(path + L"~.part"))
                continue;
            std::string bytes = ReadFileBytes(path);
            bool whole = bytes.size() > 4 && bytes.compare(0, 2, "\xFF\xD8") == 0 &&
                         bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
            if (whole && !Exists(path + L"~.part"))
                queued_.emplace(bytes, folder);
        }
}

bool OperatorDriver::WaitForQuiet(DWORD limitMs, const std::function<bool()>& settled)
{
    DWORD start = GetTickCount(), lastChange = start;
    size_t logSize = Log().size(), traceSize = Trace().size();
    while (GetTickCount() - start < limitMs) {
        Sleep(250);
        NoteQueue();
        std::string kind = AlertKind();
        if (kind == "countdown")
            AnswerAlert(Answer::Finish);
        else if (kind == "bin")
            AnswerAlert(Answer::RefillAndOk);
        else if (kind == "close")
            AnswerAlert(Answer::Cancel);
        AnswerMessageBoxes();
        size_t nowLog = Log().size(), nowTrace = Trace().size();
        bool busy = !kind.empty() || nowLog != logSize || nowTrace != traceSize;
        // A hand-over under way is not quiet yet, nor a hot-key run (a later start that became an instance
        // with its page is one), which ends by itself.
        for (const ChildProcess& p : handOvers_)
            busy = busy || (p.Started() && !p.Wait(0));
        busy = busy || (plan_.hotKey && first_.Started() && !first_.Wait(0));
        if (busy) {
            lastChange = GetTickCount();
            logSize = nowLog;
            traceSize = nowTrace;
        } else if (GetTickCount() - lastChange >= QuietMs && settled())
            return true;
    }
    return false;
}

// What the tree holds, for a failure's message: each transaction and its pages with their tick states.
std::string OperatorDriver::TreeText()
{
    HWND window = Main();
    std::string text;
    for (const Node& root : window ? Transactions(window) : std::vector<Node>{}) {
        text += "tree: " + ToUtf8(root.text) + " (" + std::to_string(root.state) + ")";
        for (const Node& page : root.pages)
            text += " " + ToUtf8(page.text) + " (" + std::to_string(page.state) + ")";
        text += "\n";
    }
    return text;
}

// The robot was asked to take a disc out of the writer and could not: the disc stays where it is.
bool OperatorDriver::RobotLeftADisc() const
{
    std::istringstream lines(Trace());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string result = line.substr(line.find_last_of('\t') + 1);
        if (line.rfind("KTROBOTS20\tUnloadDrive\t", 0) == 0 && (result == "413" || result == "416" || result == "499"))
            return true;
    }
    return false;
}

// The interactive run takes the operator's input again: its window free, its controls on, no disc left in
// the writer (unless the robot failed to take it out), and Write ready beside the transactions.
std::string OperatorDriver::WhyNotUsable()
{
    HWND window = Main();
    if (!window)
        return "its window is gone";
    if (!IsWindowEnabled(window))
        return "its window is held by a dialog";
    if (!ToolEnabled(window, L"Start"))
        return "its controls stay off";
    if (WriterDisc() != 0 && !RobotLeftADisc())
        return "a disc waits in the writer that no job writes";
    if (!Transactions(window).empty() && !Usable(BitButton(0)))
        return "Write is off beside transactions";
    return "";
}

void OperatorDriver::FinishAndCheck()
{
    ASSERT_NO_FATAL_FAILURE(WaitUntilBack());
    ASSERT_NO_FATAL_FAILURE(WriteEverythingAndExit());
    CheckDiscs();
    CheckPages();
}

// A hot-key run ends by itself, and so does a later start that became an instance with its page; an
// interactive run takes input again.
void OperatorDriver::WaitUntilBack()
{
    Say("the operator stops: wait for quiet");
    bool interactive = !plan_.hotKey && !first_.Wait(0);
    // An interactive run the operator closed may still be on its way out when the wait begins.
    EXPECT_TRUE(WaitForQuiet(QuietLimitMs, [&] { return !interactive || first_.Wait(0) || WhyNotUsable().empty(); }))
        << "Pagorin did not come back within " << QuietLimitMs / 1000 << " s of the last input"
        << (interactive ? ": " + WhyNotUsable() : "") << "\n" << TreeText() << Log();
    if (plan_.hotKey) {
        EXPECT_TRUE(first_.Wait(0)) << "the hot-key run did not end by itself";
    }
    for (size_t i = 0; i < handOvers_.size(); ++i)
        EXPECT_TRUE(handOvers_[i].Wait(0)) << "the start handing over " << ToUtf8(handOverPages_[i]) << " did not end";
}

// The operator writes whatever the interactive run holds: a disc the robot could not take out is taken out by
// hand, every transaction ticked, Write, until the tree is empty; then Exit.
void OperatorDriver::WriteEverythingAndExit()
{
    if (!plan_.hotKey && first_.Wait(0)) {
        EXPECT_TRUE(exitChosen_) << "the interactive run ended without the operator closing it:\n" << Log();
        EXPECT_EQ(*first_.Wait(0), 0u) << "the interactive run the operator closed ended with an error";
    }
    if (plan_.hotKey || first_.Wait(0) || HasFailure())
        return;
    HWND window = Main();
    ClearFailures();
    ClearWriters();
    Refill(10);
    for (int round = 0; round < 3 && !Transactions(window).empty() && !HasFailure(); ++round) {
        for (const Node& root : Transactions(window))
            for (int i = 0; i < 3 && ReadNode(Tree(window), root.item).state != 2; ++i)
                ToggleNode(window, ReadNode(Tree(window), root.item));
        Say("the operator ticks everything and writes it");
        PostMessageW(BitButton(0), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitForQuiet(QuietLimitMs, [&] { return WhyNotUsable().empty(); }))
            << "Pagorin did not come back after Write: " << WhyNotUsable() << "\n" << Log();
    }
    EXPECT_TRUE(Transactions(window).empty()) << "Write left transactions behind:\n" << Log();
    Say("Exit");
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitUntil([&] {
        if (AlertKind() == "close")
            AnswerAlert(Answer::Terminate);
        return first_.Wait(0).has_value();
    }, EndLimitMs);
    std::optional<DWORD> code = first_.Wait(0);
    ASSERT_TRUE(code) << "the interactive run did not end on Exit:\n" << Log();
    EXPECT_EQ(*code, 0u) << "the interactive run ended with an error";
}

// The discs in the output bin: each readable, written, labelled as the operator asked.
void OperatorDriver::CheckDiscs()
{
    std::vector<int> output;
    {
        lab::StateLock lock;
        output = lab::Devices::Load().output;
    }
    for (int id : output) {
        std::optional<DiscRead> disc = ReadDisc(folders_->lab.File(L"discs\\disc-" + std::to_wstring(id) + L".iso"));
        EXPECT_TRUE(disc && !disc->files.empty()) << "disc " << id << " left for the output bin unwritten or unreadable";
        if (!disc)
            continue;
        bool labelled = false;
        for (const std::wstring& label : labels_)
            labelled = labelled || disc->label == label.substr(0, 16);
        EXPECT_TRUE(labelled) << "disc " << id << " is labelled \"" << ToUtf8(disc->label) << "\"";
        for (const auto& [name, bytes] : disc->files) {
            onDiscs_.insert(bytes);
            if (name.size() > 4 && name.compare(name.size() - 4, 4, L".pdf") == 0)
                pdfFolders_.insert(name.substr(0, name.find(L'/')));
        }
    }
    discsWritten_ = output.size();
}

// On a disc itself, or in its transaction's PDF on a disc.
bool OperatorDriver::ReachedADisc(const std::string& page) const
{
    auto folder = queued_.find(page);
    return onDiscs_.count(page) || (folder != queued_.end() && pdfFolders_.count(folder->second));
}

// Every page taken is on a disc, in the queue, still where it was handed over from, or gone as the operator
// chose (aborted, unticked). A hot-key run's exit code says whether every page it took reached a disc; one
// that took no page loads no disc.
void OperatorDriver::CheckPages()
{
    std::string log = Log();
    std::map<std::string, std::wstring> taken;
    for (const auto& [bytes, folder] : queued_)
        taken[bytes] = L"queue " + folder;
    for (const auto& [path, bytes] : offered_)
        if (path == firstPage_ ? log.find("Command-line page ignored") == std::string::npos
                               : log.find("Page handed over: " + ToUtf8(path)) != std::string::npos)
            taken[bytes] = path;
    NoteQueue();
    std::set<std::string> nowQueued;
    for (const std::wstring& folder : Listing(queue_, L"*", true))
        for (const std::wstring& file : Listing(queue_ + L"\\" + folder, L"*", false))
            nowQueued.insert(ReadFileBytes(queue_ + L"\\" + folder + L"\\" + file));
    bool allOnDiscs = true;
    for (const auto& [bytes, where] : taken) {
        bool onDisc = ReachedADisc(bytes);
        allOnDiscs = allOnDiscs && onDisc;
        bool handedOriginal = false;
        for (const auto& [path, original] : offered_)
            handedOriginal = handedOriginal || (original == bytes && ReadFileBytes(path) == bytes);
        auto folder = queued_.find(bytes);
        bool chosen = unticked_.count(bytes) || (folder != queued_.end() && aborted_.count(folder->second));
        EXPECT_TRUE(onDisc || nowQueued.count(bytes) || handedOriginal || chosen)
            << "a page taken (" << ToUtf8(where) << ") is lost: on no disc, not in the queue\n" << log;
    }
    // (A later start that became an instance took pages of its own: the runs' pages are not told apart then.)
    bool oneInstance = log.find("Application started.") == log.rfind("Application started.");
    std::optional<DWORD> code = first_.Wait(0);
    if (plan_.hotKey && oneInstance && code) {
        if (allOnDiscs && !taken.empty()) {
            EXPECT_EQ(*code, 0u) << "every page reached a disc, yet the run ended with an error:\n" << log;
        } else {
            EXPECT_NE(*code, 0u) << "a page did not reach a disc, yet the run ended as if written:\n" << log;
        }
        if (taken.empty()) {
            EXPECT_EQ(Trace().find("KTROBOTS20\tLoadDrive"), std::string::npos) << "a disc was loaded for nothing:\n" << log;
        }
    }
    printf("  %zu pages taken, %zu discs written\n", taken.size(), discsWritten_);
}

}  // namespace pagorintest
