// Helpers for the window tests of the class library.
#include "WindowTestSupport.h"

#include <commdlg.h>

#include <sstream>

#include "Messages.h"

namespace vcltest {

namespace {

// The library is set up once for the test program and taken down after the last test.
class VisualEnvironment : public ::testing::Environment {
public:
    void SetUp() override { vcl::InitForms(); }
    void TearDown() override { vcl::DoneForms(); }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new VisualEnvironment);

}  // namespace

std::string MessageName(UINT msg)
{
    static const std::pair<UINT, const char*> names[] = {
        {WM_NCCREATE, "WM_NCCREATE"}, {WM_CREATE, "WM_CREATE"}, {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"}, {WM_COMMAND, "WM_COMMAND"},
        {WM_NOTIFY, "WM_NOTIFY"}, {WM_SETFONT, "WM_SETFONT"}, {WM_DESTROY, "WM_DESTROY"},
        {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_SIZE, "WM_SIZE"}, {WM_MOVE, "WM_MOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_CHAR, "WM_CHAR"}, {WM_TIMER, "WM_TIMER"}, {vcl::CM_TEXTCHANGED, "CM_TEXTCHANGED"},
        {vcl::CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"}, {vcl::CM_VISIBLECHANGED, "CM_VISIBLECHANGED"},
        {vcl::CM_FONTCHANGED, "CM_FONTCHANGED"}, {vcl::CM_COLORCHANGED, "CM_COLORCHANGED"},
        {vcl::CN_COMMAND, "CN_COMMAND"}, {vcl::CN_NOTIFY, "CN_NOTIFY"}, {vcl::CN_KEYDOWN, "CN_KEYDOWN"},
        {vcl::CN_CHAR, "CN_CHAR"}, {vcl::CN_DRAWITEM, "CN_DRAWITEM"}};
    for (const auto& [number, name] : names)
        if (number == msg)
            return name;
    std::ostringstream out;
    out << "0x" << std::hex << msg;
    return out.str();
}

::testing::AssertionResult MatchSequence(const std::vector<UINT>& actual, const std::vector<ExpectedMessage>& expected,
                                         bool strict)
{
    size_t a = 0;
    bool ok = true;
    for (const ExpectedMessage& e : expected) {
        size_t found = a;
        while (found < actual.size() && actual[found] != e.Msg && !strict)
            ++found;
        if (found < actual.size() && actual[found] == e.Msg) {
            a = found + 1;
        } else if (!e.Optional) {
            ok = false;
            break;
        }
    }
    if (ok && strict && a != actual.size())
        ok = false;
    if (ok)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "message sequence differs\n  expected" << std::string(22, ' ') << "actual\n";
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        std::string left = i < expected.size()
                               ? MessageName(expected[i].Msg) + (expected[i].Optional ? " (optional)" : "")
                               : "";
        std::string right = i < actual.size() ? MessageName(actual[i]) : "";
        out << "  " << left << std::string(left.size() < 30 ? 30 - left.size() : 1, ' ') << right << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

bool MachineHasPrinter()
{
    PRINTDLGA probe{};
    probe.lStructSize = sizeof probe;
    probe.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&probe))
        return false;
    GlobalFree(probe.hDevMode);
    GlobalFree(probe.hDevNames);
    return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD budgetMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > budgetMs)
            return false;
        vcl::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpPastPosted(HWND window, DWORD budgetMs)
{
    static const UINT marker = RegisterWindowMessageW(L"vcltest.EndMarker");
    if (!PostMessageW(window, marker, 0, 0))
        return false;
    MSG message;
    return PumpUntil([&] { return !PeekMessageW(&message, window, marker, marker, PM_NOREMOVE); }, budgetMs);
}

bool HoverUntilHintShows(vcl::TWinControl* control, POINT local)
{
    SetForegroundWindow(GetAncestor(control->WindowHandle, GA_ROOT));
    int pause = vcl::Application->HintPause;
    vcl::Application->HintPause = 50;
    POINT screen = local;
    ClientToScreen(control->WindowHandle, &screen);
    SetCursorPos(screen.x, screen.y);
    // The display moves the cursor in its own time; the library takes the hint control from the position a
    // mouse message carries, so the message goes out (again) once the cursor is there.
    DWORD lastMove = 0;
    bool shown = PumpUntil([&] {
        vcl::THintWindow* w = vcl::Application->GetHintWindow();
        if (w && w->HandleAllocated() && IsWindowVisible(w->WindowHandle))
            return true;
        POINT now{};
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y && GetTickCount() - lastMove > 500) {
            lastMove = GetTickCount();
            PostMessageA(control->WindowHandle, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
        }
        return false;
    });
    vcl::Application->HintPause = pause;
    return shown;
}

std::unique_ptr<vcl::TForm> StreamedCopy(vcl::TForm* form)
{
    vcl::TMemoryStream stream;
    {
        vcl::TWriter writer(&stream);
        writer.WriteRootComponent(form);
    }
    stream.SetPosition(0);
    std::unique_ptr<vcl::TForm> copy(new vcl::TForm(nullptr, 0));
    vcl::TReader reader(&stream);
    reader.ReadRootComponent(copy.get());
    return copy;
}

std::string TreeItemWindowText(HWND tree, HTREEITEM item)
{
    char buffer[128] = {};
    TVITEMA request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = buffer;
    request.cchTextMax = sizeof buffer;
    SendMessageA(tree, TVM_GETITEMA, 0, LPARAM(&request));
    return request.pszText ? request.pszText : "";
}

}  // namespace vcltest
