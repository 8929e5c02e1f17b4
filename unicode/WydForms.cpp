// The Unicode application object, the message hook and Unicode forms.
#include "WydForms.h"

#include "Menus.h"
#include "WydActnList.h"
#include "WydComCtrls.h"
#include "WydMenus.h"
#include "WydStdActns.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydApplication, TComponent)
VCL_IMPLEMENT_CLASS(TWydAppIdleEventControl, TControl)
VCL_IMPLEMENT_CLASS(TWydForm, TForm, {
    m.Publish("Caption", &TWydForm::GetCaption, &TWydForm::SetCaption).Stored(&TWydForm::IsCaptionStored);
    m.Publish("Hint", &TWydForm::GetHint, &TWydForm::SetHint).Stored(&TWydForm::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydScrollBox, TScrollBox, {
    m.Publish("Hint", &TWydScrollBox::GetHint, &TWydScrollBox::SetHint).Stored(&TWydScrollBox::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydCustomFrame, TCustomFrame)
VCL_IMPLEMENT_CLASS(TWydFrame, TWydCustomFrame, {
    m.Publish("Hint", &TWydFrame::GetHint, &TWydFrame::SetHint).Stored(&TWydFrame::IsHintStored);
})

TWydApplication* WydApplication = nullptr;

namespace {

HHOOK messageHook = nullptr;
int manualPeekCounter = 0;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    try {
        if (code >= 0 && wParam == PM_REMOVE && manualPeekCounter == 0 && WydApplication &&
            WydApplication->ProcessMessage(*msg))
            msg->message = WM_NULL;  // handled here; the class library's loop sees nothing
    } catch (...) {
        if (Application)
            Application->HandleException(WydApplication);
    }
    return CallNextHookEx(messageHook, code, wParam, lParam);
}

// The control under the mouse, windowless ones included.
TControl* MouseControl()
{
    POINT p;
    if (!GetCursorPos(&p))
        return nullptr;
    HWND window = WindowFromPoint(p);
    TWinControl* win = FindControl(window);
    if (!win)
        return nullptr;
    ScreenToClient(window, &p);
    TControl* inner = win->ControlAtPos(p, true);
    return inner && !dynamic_cast<TWinControl*>(inner) ? inner : win;
}

}  // namespace

// =============================================================================================
// TWydApplication

TWydApplication::TWydApplication(TComponent* owner) : TComponent(owner)
{
    Application->HookMainWindow(this, [this](TMessage& m) { return WndProc(m); });
    settingChangeTime_ = GetTickCount();
    _SettingChangeTime = settingChangeTime_;
}

TWydApplication::~TWydApplication()
{
    if (Application)
        Application->UnhookMainWindow(this);
    delete idleEventControl_;
}

bool TWydApplication::WndProc(TMessage& message)
{
    try {
        switch (message.Msg) {
        case WM_SETTINGCHANGE:
            settingChangeTime_ = GetTickCount();
            _SettingChangeTime = settingChangeTime_;
            break;
        case WM_CREATE:
            if (!title_.empty())
                SetTitle(title_);
            break;
        case CM_ACTIONEXECUTE:
            return ExecuteWideHintAction(message);
        default:
            break;
        }
    } catch (...) {
        Application->HandleException(this);
    }
    return false;
}

// The class library sends its hint as a plain hint action; the one that carries the wide application hint in
// ANSI goes out again as a wide hint action with the whole wide hint.
bool TWydApplication::ExecuteWideHintAction(TMessage& message)
{
    auto* action = reinterpret_cast<TBasicAction*>(message.LParam);
    if (!action || action->ClassType() != THintAction::StaticClass())
        return false;
    WideString hint = GetHint();
    if (static_cast<THintAction*>(action)->GetHint() != WideToAnsi(hint))
        return false;
    TWydHintAction wide(nullptr);
    wide.SetHint(hint);
    SendMessageW(Application->GetHandle(), CM_ACTIONEXECUTE, 0, LPARAM(&wide));
    message.Result = 1;
    return true;
}

bool TWydApplication::ProcessMessage(MSG& msg)
{
    TCustomForm* mainForm = Application ? Application->GetMainForm() : nullptr;
    if (!mainFormChecked_ && mainForm) {
        mainFormChecked_ = true;
        if (!dynamic_cast<TWydForm*>(mainForm)) {
            idleEventControl_ = new TWydAppIdleEventControl(mainForm);
            idleEventControl_->SetParent(mainForm);
        }
    }
    if (msg.message != WM_CHAR || msg.wParam < 256 || !msg.hwnd || !IsWindowUnicode(msg.hwnd))
        return false;
    if (Application->DialogHandle && !IsWindowUnicode(Application->DialogHandle))
        return false;
    bool handled = false;
    Application->OnMessage(msg, handled);
    Application->CancelHint();
    if (!handled && !IsDlgMsg(msg))
        DispatchMessageW(&msg);
    return true;
}

bool TWydApplication::IsDlgMsg(MSG& msg)
{
    HWND dialog = Application->DialogHandle;
    if (!dialog)
        return false;
    return IsWindowUnicode(dialog) ? IsDialogMessageW(dialog, &msg) : IsDialogMessageA(dialog, &msg);
}

WideString TWydApplication::MouseControlHint()
{
    TControl* control = MouseControl();
    return control ? WideGetLongHint(WideGetHint(control)) : WideString();
}

WideString TWydApplication::GetHint()
{
    WideString mouseHint = MouseControlHint();
    if (WideToAnsi(mouseHint) == Application->GetHint())
        hint_ = mouseHint;
    return GetSyncedWideString(hint_, Application->GetHint());
}

void TWydApplication::SetHint(const WideString& value)
{
    SetSyncedWideString(value, hint_, Application->GetHint(), [](const AnsiString& s) { Application->SetHint(s); });
}

void TWydApplication::DoIdle()
{
    WideString mouseHint = MouseControlHint();
    if (WideToAnsi(mouseHint) == Application->GetHint())
        SetHint(mouseHint);
}

WideString TWydApplication::GetTitle()
{
    HWND window = Application->GetHandle();
    if (!window || !Win32PlatformIsUnicode)
        return GetSyncedWideString(title_, Application->GetTitle());
    auto length = DefWindowProcW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(size_t(std::max<LRESULT>(length, 0)) + 1);
    auto copied = DefWindowProcW(window, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()));
    return WideString(buffer.data(), size_t(std::clamp<LRESULT>(copied, 0, length)));
}

void TWydApplication::SetTitle(const WideString& value)
{
    HWND window = Application->GetHandle();
    if (!window || !Win32PlatformIsUnicode) {
        SetSyncedWideString(value, title_, Application->GetTitle(),
                            [](const AnsiString& s) { Application->SetTitle(s); });
        return;
    }
    if (GetTitle() != value || !title_.empty()) {
        DefWindowProcW(window, WM_SETTEXT, 0, LPARAM(value.c_str()));
        title_.clear();
    }
}

WideString TWydApplication::GetExeName() const { return WideParamStr(0); }

// =============================================================================================
// TWydAppIdleEventControl

TWydAppIdleEventControl::TWydAppIdleEventControl(TComponent* owner) : TControl(owner)
{
    SetBounds(0, 0, 0, 0);
}

TWydAppIdleEventControl::~TWydAppIdleEventControl()
{
    if (WydApplication && WydApplication->idleEventControl_ == this)
        WydApplication->idleEventControl_ = nullptr;
}

void TWydAppIdleEventControl::InitiateAction()
{
    if (WydApplication)
        WydApplication->DoIdle();
}

// =============================================================================================
// Unit start and end

void InitWydForms()
{
    if (WydApplication)
        return;
    InitWydControls();
    InitWydMenus();
    InitWydActnList();
    RegisterClasses({TWydForm::StaticClass(), TWydScrollBox::StaticClass(), TWydFrame::StaticClass()});
    WydApplication = new TWydApplication(nullptr);
    if (Win32PlatformIsUnicode) {
        messageHook = SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
        if (!messageHook)
            RaiseLastOSError();
    }
}

void DoneWydForms()
{
    if (messageHook)
        UnhookWindowsHookEx(messageHook);
    messageHook = nullptr;
    delete WydApplication;
    WydApplication = nullptr;
    DoneWydMenus();
}

bool IsWideCharAccel(WORD charCode, const WideString& caption)
{
    WideString hotkey = WideGetHotkey(caption);
    return !hotkey.empty() && WideCompareText(WideString(1, KeyUnicode(charCode)), hotkey) == 0;
}

void EnableManualPeekMessageWithRemove() { ++manualPeekCounter; }

void DisableManualPeekMessageWithRemove()
{
    if (manualPeekCounter > 0)
        --manualPeekCounter;
}

namespace {

void SubstituteFont(const char* name, const AnsiString& substitute)
{
    if (!WriteProfileStringA("FontSubstitutes", name, substitute.c_str()))
        RaiseLastOSError();
    if (!Win32PlatformIsUnicode)
        WriteProfileStringA(nullptr, nullptr, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, LPARAM("FontSubstitutes"), SMTO_NORMAL, 250, &ignored);
}

// A substitute named in the profile, up to 31 characters; empty when there is none.
AnsiString ProfileFont(const char* name)
{
    char value[32] = {};
    GetProfileStringA("FontSubstitutes", name, "", value, sizeof value);
    return value;
}

int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool ScreenHasFont(const char* name)
{
    HDC dc = GetDC(nullptr);
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, name, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &wanted, NoteFontFound, LPARAM(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

void InitWydEnvironment()
{
    InstallWydSystemUpdates(WydSystemUpdate(tsWideResourceStrings) | WydSystemUpdate(tsFixImplicitCodePage) |
                            WydSystemUpdate(tsFixWideStrConcat) | WydSystemUpdate(tsFixWideFormat));
    if (ProfileFont("MS Shell Dlg").empty())
        SubstituteFont("MS Shell Dlg", "MS Sans Serif");
    if (ProfileFont("MS Shell Dlg 2").empty())
        SubstituteFont("MS Shell Dlg 2", ScreenHasFont("Tahoma") ? AnsiString("Tahoma") : ProfileFont("MS Shell Dlg"));
    DefaultFontName = ProfileFont("MS Shell Dlg 2");
    HintWindowClass = TWydHintWindow::StaticClass();
}

// =============================================================================================
// TWydForm

void TWydForm::CreateWindowHandle(const TCreateParams& params)
{
    if (!Win32PlatformIsUnicode) {
        TForm::CreateWindowHandle(params);
        return;
    }
    FCreatedMDIChild = false;
    if (GetFormStyle() == TFormStyle::fsMDIChild && !GetComponentState().Contains(csDesigning)) {
        HWND client = MDIClientForChild();
        WideString className = RegisterUnicodeClass(params);
        DefWndProc = DefMDIChildProcW;
        HWND handle = CreateMDIWindowW(className.c_str(), nullptr, params.Style, params.X, params.Y, params.Width,
                                       params.Height, client, HInstance, LPARAM(params.Param));
        if (!handle)
            RaiseLastOSError();
        WindowHandle = handle;
        SubClassUnicodeControl(this, params.Caption);
        FCreatedMDIChild = true;
    } else {
        TCreateParams wide = params;
        wide.ExStyle &= ~DWORD(WS_EX_LAYERED);
        CreateUnicodeHandle(this, wide, WideString());
    }
    if (GetAlphaBlend()) {
        SetAlphaBlend(false);
        SetAlphaBlend(true);
    } else if (GetTransparentColor()) {
        SetTransparentColor(false);
        SetTransparentColor(true);
    }
}

// The window and its trap come first, so that the dock manager hooks the form's messages in front of the trap and
// takes its hook off again cleanly.
TDockManager* TWydForm::CreateDockManager()
{
    if (!GetDockManager() && GetDockSite() && GetUseDockManager())
        HandleNeeded();
    return TForm::CreateDockManager();
}

void TWydForm::UpdateActions()
{
    TForm::UpdateActions();
    if (WydApplication)
        WydApplication->DoIdle();
}

namespace {

// The flat scroll bars' clean-up of comctl32 (looked up: not every import library lists it).
void UninitializeFlatScrollBars(HWND window)
{
    using TUninitializeFlatSB = HRESULT(WINAPI*)(HWND);
    static const auto uninitialize = reinterpret_cast<TUninitializeFlatSB>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "UninitializeFlatSB")));
    if (uninitialize)
        uninitialize(window);
}

}  // namespace

void TWydForm::DestroyWindowHandle()
{
    if (Win32PlatformIsUnicode && HandleAllocated())
        UninitializeFlatScrollBars(WindowHandle);
    TForm::DestroyWindowHandle();
}

void TWydForm::DefaultHandler(TMessage& message)
{
    HWND client = GetClientHandle();
    if (!Win32PlatformIsUnicode || !client || !HandleAllocated()) {
        TForm::DefaultHandler(message);
        return;
    }
    message.Result = message.Msg == WM_SIZE
                         ? DefWindowProcW(WindowHandle, message.Msg, message.WParam, message.LParam)
                         : DefFrameProcW(WindowHandle, client, message.Msg, message.WParam, message.LParam);
    if (message.Msg == WM_DESTROY)
        Perform(WM_WYD_DESTROYWINDOW, 0, 0);
}

VCL_BEGIN_MESSAGE_MAP(TWydForm)
    VCL_MESSAGE(WM_MENUSELECT, WMMenuSelect)
    VCL_MESSAGE(CM_BIDIMODECHANGED, CMBiDiModeChanged)
    VCL_MESSAGE(WM_WINDOWPOSCHANGING, WMWindowPosChanging)
VCL_END_MESSAGE_MAP(TForm)

void TWydForm::WMMenuSelect(TMessage& message)
{
    if (!GetMenu() || !WydApplication) {
        TForm::Dispatch(message);
        return;
    }
    TMenuItem* item = SelectedMenuItem(message);
    WydApplication->SetHint(item ? WideGetLongHint(WideGetMenuItemHint(item)) : WideString());
    DefaultHandler(message);
}

void TWydForm::CMBiDiModeChanged(TMessage& message)
{
    TForm::Dispatch(message);
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* menu = dynamic_cast<TMenu*>(GetComponents(i)))
            FixMenuBiDiProblem(menu);
}

void TWydForm::WMWindowPosChanging(TMessage& message)
{
    TForm::Dispatch(message);
    if (GetMenu())
        FixMenuBiDiProblem(GetMenu());
}

// =============================================================================================
// TWydScrollBox, TWydCustomFrame

void TWydScrollBox::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

VCL_BEGIN_MESSAGE_MAP(TWydScrollBox)
    VCL_MESSAGE(WM_SIZE, WMSize)
VCL_END_MESSAGE_MAP(TWydControlOf<TScrollBox>)

void TWydScrollBox::WMSize(TMessage& message)
{
    if (sizeNesting_ >= 32)
        return;
    TScopedValue<int> nested(sizeNesting_, sizeNesting_ + 1);
    TWydControlOf<TScrollBox>::Dispatch(message);
}

void TWydCustomFrame::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}
