// Helpers for tests of the system's common dialogs.
#include "DialogTestSupport.h"

#include "TestSupport.h"

namespace vcltest {

DialogAnswerer::DialogAnswerer(std::wstring Caption, Answer Respond, DWORD TimeoutMs)
    : FThread(&DialogAnswerer::Run, this, std::move(Caption), std::move(Respond), TimeoutMs)
{
}

DialogAnswerer::~DialogAnswerer()
{
    if (FThread.joinable())
        FThread.join();
}

bool DialogAnswerer::Answered()
{
    if (FThread.joinable())
        FThread.join();
    return FAnswered;
}

void DialogAnswerer::Run(std::wstring Caption, Answer Respond, DWORD TimeoutMs)
{
    HWND dialog = testsupport::WaitForTopWindow(Caption, TimeoutMs, GetCurrentProcessId());
    if (!dialog) {
        CancelAllDialogs();
        return;
    }
    Respond(dialog);
    FAnswered = true;
}

void ClickButton(HWND Dialog, int Id)
{
    PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), LPARAM(GetDlgItem(Dialog, Id)));
}

bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + TimeoutMs;
    while (!Condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

bool WaitGone(HWND Window, DWORD TimeoutMs)
{
    return WaitFor([Window] { return !IsWindow(Window); }, TimeoutMs);
}

namespace {
BOOL CALLBACK CancelDialog(HWND Window, LPARAM)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(Window, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(Window, cls, 16);
    if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770")
        PostMessageW(Window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}
}  // namespace

void CancelAllDialogs()
{
    EnumWindows(CancelDialog, 0);
}

}  // namespace vcltest
