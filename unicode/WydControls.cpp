// Unicode windows for the class library's controls: wide classes, the window trap, wide text and hints.
#include "WydControls.h"

#include <set>
#include <vector>

#include "ActnList.h"
#include "StdCtrls.h"
#include "Menus.h"
#include "WydGraphics.h"
#include "WydMenus.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWinControlTrap, TComponent)
VCL_IMPLEMENT_CLASS(TWideControlHelper, TWideComponentHelper)
VCL_IMPLEMENT_CLASS(TWydCustomHintWindow, THintWindow)
VCL_IMPLEMENT_CLASS(TWydHintWindow, TWydCustomHintWindow)

UINT WM_WYD_DESTROYWINDOW = 0;

namespace {

const wchar_t TrapProperty[] = L"WydWindowTrap";

TWinControl* unitCreationControl = nullptr;  // the control CreateUnicodeHandle is making a window for
TComponentList* helperList = nullptr;        // owns the helpers
TComponentList* pendingTraps = nullptr;      // traps whose window is gone, waiting for the next one
std::set<TWinControlTrap*>* liveTraps = nullptr;
std::vector<TWinControlTrap*>* releasedTraps = nullptr;  // freed once no call of theirs is running
bool finalized = false;

// The trap of a window is its window property. Reading a property is a call to the Wine server, and every
// message the class library sends its own window asks, so the last answer is kept; the property changes only
// through the two functions below.
HWND lastTrapWindow = nullptr;
TWinControlTrap* lastTrap = nullptr;

TWinControlTrap* TrapOf(HWND window)
{
    if (window != lastTrapWindow) {
        lastTrap = static_cast<TWinControlTrap*>(GetPropW(window, TrapProperty));
        lastTrapWindow = window;
    }
    return lastTrap;
}

void SetTrapOf(HWND window, TWinControlTrap* trap)
{
    SetPropW(window, TrapProperty, trap);
    lastTrapWindow = nullptr;
}

void RemoveTrapOf(HWND window)
{
    RemovePropW(window, TrapProperty);
    lastTrapWindow = nullptr;
}

void FreeReleasedTraps()
{
    if (!releasedTraps)
        return;
    std::vector<TWinControlTrap*> released;
    released.swap(*releasedTraps);
    for (TWinControlTrap* trap : released)
        delete trap;
}

TWinControlTrap* TakeWindowTrap(TWinControl* control)
{
    FreeReleasedTraps();
    for (int i = pendingTraps->GetCount() - 1; i >= 0; --i) {
        auto* trap = static_cast<TWinControlTrap*>(pendingTraps->GetItems(i));
        if (trap->GetControl() == control) {
            pendingTraps->Delete(i);
            return trap;
        }
    }
    return new TWinControlTrap(control);
}

// First message of a new window of a wide class: bind it to the class library's creation control.
LRESULT CALLBACK UnicodeInitialWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = CreationControl;
    if (!control)
        return DefWindowProcW(window, msg, wParam, lParam);
    try {
        control->WindowHandle = window;
        TWinControlTrap* trap = TakeWindowTrap(control);
        pendingTraps->Add(trap);
        SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(&StdWndProc));
        if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && !GetWindowLongPtrW(window, GWLP_ID))
            SetWindowLongPtrW(window, GWLP_ID, LONG_PTR(window) & 0x7FFFFFFF);
        BindWindowToControl(window, control);
    } catch (...) {
        HandleControlException(control);
    }
    CreationControl = nullptr;
    return StdWndProc(window, msg, wParam, lParam);
}

TWideControlHelper* FindHelper(TControl* control)
{
    return static_cast<TWideControlHelper*>(FindWideComponentHelper(helperList, control));
}

TWideControlHelper* NeedHelper(TControl* control)
{
    if (TWideControlHelper* helper = FindHelper(control))
        return helper;
    return new TWideControlHelper(control, helperList);
}

TSetAnsiStrEvent AnsiTextSetter(TControl* control)
{
    return [control](const AnsiString& s) { control->SetText(s); };
}

bool HasAnsiWindow(TControl* control)
{
    auto* win = dynamic_cast<TWinControl*>(control);
    return win && win->HandleAllocated() && !IsWindowUnicode(win->WindowHandle);
}

WideString WindowTextW(HWND window)
{
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::vector<wchar_t> buffer(size_t(length) + 1);
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return WideString(buffer.data(), size_t(std::clamp(copied, 0, length)));
}

bool IsDestroying(TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

}  // namespace

// =============================================================================================
// Unit start and end

void InitWydControls()
{
    if (helperList)
        return;
    finalized = false;
    WM_WYD_DESTROYWINDOW = RegisterWindowMessageA("WydUnicodeVcl.DestroyWindow");
    helperList = new TComponentList(true);
    pendingTraps = new TComponentList(false);
    liveTraps = new std::set<TWinControlTrap*>;
    releasedTraps = new std::vector<TWinControlTrap*>;
    // The class library's atoms name the properties that bind a window to its control; the trap binds wide
    // windows through the library's own BindWindowToControl, so both sides use the same atoms.
    InitControls();
}

void DoneWydControls()
{
    if (!helperList)
        return;
    std::set<TWinControlTrap*> traps;
    traps.swap(*liveTraps);
    for (TWinControlTrap* trap : traps) {
        if (trap->handle_ && IsWindow(trap->handle_) && TrapOf(trap->handle_) == trap) {
            SetWindowLongPtrW(trap->handle_, GWLP_WNDPROC, LONG_PTR(trap->prevWindowProc_));
            RemoveTrapOf(trap->handle_);
            if (trap->control_) {
                trap->control_->DefWndProc = trap->prevDefWndProc_;
                if (trap->IsInChain())  // the trap is freed: nothing may call it any more
                    trap->control_->WindowProc = trap->savedWindowProc_;
            }
        }
        trap->handle_ = nullptr;
    }
    delete pendingTraps;
    pendingTraps = nullptr;
    for (TWinControlTrap* trap : traps)
        if (trap->nesting_ == 0)
            delete trap;
    releasedTraps->clear();
    delete releasedTraps;
    releasedTraps = nullptr;
    delete liveTraps;
    liveTraps = nullptr;
    FreeOrphanedWideComponentHelpers();
    delete helperList;
    helperList = nullptr;
    finalized = true;
}

TComponentList* WideComponentHelpers() { return helperList; }

// =============================================================================================
// Window classes

WideString RegisterUnicodeClass(const TCreateParams& params)
{
    WideString className = AnsiToWide(params.WinClassName) + L".UnicodeClass";
    HINSTANCE instance = params.WindowClass.hInstance ? params.WindowClass.hInstance : HInstance;
    WNDCLASSW found{};
    if (GetClassInfoW(instance, className.c_str(), &found)) {
        if (found.lpfnWndProc == &UnicodeInitialWindowProc)
            return className;
        if (!UnregisterClassW(className.c_str(), instance))
            RaiseLastOSError();
    }
    const WNDCLASSA& source = params.WindowClass;
    WideString menuName;
    WNDCLASSW cls{};
    cls.style = source.style;
    cls.lpfnWndProc = &UnicodeInitialWindowProc;
    cls.cbClsExtra = source.cbClsExtra;
    cls.cbWndExtra = source.cbWndExtra;
    cls.hInstance = instance;
    cls.hIcon = source.hIcon;
    cls.hCursor = source.hCursor;
    cls.hbrBackground = source.hbrBackground;
    if (IS_INTRESOURCE(source.lpszMenuName)) {
        cls.lpszMenuName = reinterpret_cast<LPCWSTR>(source.lpszMenuName);
    } else {
        menuName = AnsiToWide(source.lpszMenuName);
        cls.lpszMenuName = menuName.c_str();
    }
    cls.lpszClassName = className.c_str();
    if (!RegisterClassW(&cls))
        RaiseLastOSError();
    return className;
}

void CreateUnicodeHandle(TWinControl* control, const TCreateParams& params, const WideString& subClass)
{
    if (!Win32PlatformIsUnicode) {
        HWND handle = CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X,
                                      params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                      params.WindowClass.hInstance, params.Param);
        if (handle)
            control->WindowHandle = handle;
        return;
    }
    HINSTANCE instance = params.WindowClass.hInstance ? params.WindowClass.hInstance : HInstance;
    WNDCLASSW system{};
    if (!subClass.empty() && (GetClassInfoW(instance, subClass.c_str(), &system) ||
                              GetClassInfoW(nullptr, subClass.c_str(), &system)))
        control->DefWndProc = system.lpfnWndProc;
    else
        control->DefWndProc = DefWindowProcW;
    WideString className = RegisterUnicodeClass(params);
    // Both creation controls are cleared whatever happens, or a later window would bind to this control.
    unitCreationControl = control;
    HWND handle = nullptr;
    try {
        handle = CreateWindowExW(params.ExStyle, className.c_str(), nullptr, params.Style, params.X, params.Y,
                                 params.Width, params.Height, params.WndParent, nullptr, instance, params.Param);
    } catch (...) {
        unitCreationControl = nullptr;
        CreationControl = nullptr;
        throw;
    }
    unitCreationControl = nullptr;
    if (!handle) {
        CreationControl = nullptr;
        RaiseLastOSError();
    }
    control->WindowHandle = handle;
    SubClassUnicodeControl(control, params.Caption);
}

void SubClassUnicodeControl(TWinControl* control, const char* caption)
{
    if (!IsWindowUnicode(control->WindowHandle))
        throw EWydInternalError("Internal Error: SubClassUnicodeControl.Control is not Unicode.");
    TWinControlTrap* trap = TakeWindowTrap(control);
    trap->Attach(control->WindowHandle);
    // The stored wide text counts while its ANSI form is still the caption the window is made with.
    WideString text = AnsiToWide(caption ? caption : "");
    if (TWideControlHelper* helper = FindHelper(control))
        text = GetSyncedWideString(helper->Caption, caption ? caption : "");
    WydControl_SetText(control, text);
}

void ReCreateUnicodeWnd(TWinControl* control)
{
    if (!control->HandleAllocated())
        return;
    bool focused = control->Focused();
    control->DestroyHandle();
    control->HandleNeeded();
    control->UpdateControlState();
    if (focused)
        ::SetFocus(control->WindowHandle);
}

// =============================================================================================
// WM_CHAR packing

bool IsTextMessage(UINT msg) { return msg == WM_SETTEXT || msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH; }

void MakeWMCharMsgSafeForAnsi(TMessage& msg)
{
    if (msg.Msg == WM_CHAR && LOWORD(msg.WParam) > 255 && HIWORD(msg.WParam) == 0)
        msg.WParam = MAKEWPARAM(255, LOWORD(msg.WParam));
}

void RestoreWMCharMsg(TMessage& msg)
{
    if (msg.Msg != WM_CHAR || HIWORD(msg.WParam) == 0)
        return;
    WORD low = LOWORD(msg.WParam) == 255 ? HIWORD(msg.WParam) : LOWORD(msg.WParam);
    msg.WParam = low;
}

wchar_t GetWideCharFromWMCharMsg(const TMessage& msg)
{
    if (LOWORD(msg.WParam) == 255 && HIWORD(msg.WParam) != 0)
        return wchar_t(HIWORD(msg.WParam));
    return wchar_t(LOWORD(msg.WParam));
}

void SetWideCharForWMCharMsg(TMessage& msg, wchar_t ch)
{
    msg.WParam = WPARAM(WORD(ch));
    MakeWMCharMsgSafeForAnsi(msg);
}

// =============================================================================================
// TWinControlTrap

TWinControlTrap::TWinControlTrap(TComponent* control)
    : TComponent(nullptr), control_(static_cast<TWinControl*>(control))
{
    control_->FreeNotification(this);
    liveTraps->insert(this);
}

TWinControlTrap::~TWinControlTrap()
{
    if (liveTraps)
        liveTraps->erase(this);
    // Never leave a window running on a freed trap.
    if (handle_ && IsWindow(handle_) && TrapOf(handle_) == this) {
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, LONG_PTR(prevWindowProc_ ? prevWindowProc_ : DefWindowProcW));
        RemoveTrapOf(handle_);
    }
}

void TWinControlTrap::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || component != control_)
        return;
    // The control is walking its notification list: forget it now, be freed later (when no call of this
    // trap is running and the control's destruction has finished).
    control_ = nullptr;
    if (pendingTraps)
        pendingTraps->Extract(this);
    if (nesting_ > 0)
        destroyTrap_ = true;
    else if (releasedTraps)
        releasedTraps->push_back(this);
}

void TWinControlTrap::Attach(HWND window)
{
    handle_ = window;
    prevWindowProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    prevDefWndProc_ = control_->DefWndProc;
    SetTrapOf(window, this);
    SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(&TrapWindowProc));
    control_->DefWndProc = &TrapDefaultProc;
    if (!IsInChain()) {
        savedWindowProc_ = control_->WindowProc;
        control_->WindowProc = TWndMethod(this, &TWinControlTrap::TrapMessageProc);
    }
}

// Whether TrapMessageProc is somewhere in the control's WindowProc chain.
bool TWinControlTrap::IsInChain()
{
    if (control_->WindowProc == TWndMethod(static_cast<TControl*>(control_), &TControl::WndProc))
        return false;
    if (control_->WindowProc == TWndMethod(this, &TWinControlTrap::TrapMessageProc))
        return true;
    hookTest_ = true;
    hookTestAnswer_ = false;
    TMessage zero{0, 0, 0, 0};
    try {
        control_->WindowProc(zero);
    } catch (...) {
        hookTest_ = false;
        throw;
    }
    hookTest_ = false;
    return hookTestAnswer_;
}

void TWinControlTrap::UnhookMessageProc()
{
    if (control_->WindowProc == TWndMethod(this, &TWinControlTrap::TrapMessageProc))
        control_->WindowProc = savedWindowProc_;
}

LRESULT CALLBACK TWinControlTrap::TrapWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControlTrap* trap = TrapOf(window);
    if (!trap || finalized)
        return DefWindowProcW(window, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        result = trap->WindowMessage(msg, wParam, lParam);
    } catch (...) {
        HandleControlException(trap->control_);
    }
    if (trap->nesting_ == 0 && trap->destroyTrap_)
        delete trap;
    return result;
}

LRESULT TWinControlTrap::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Saved and restored: a message that never reaches TrapMessageProc must not leave the mark behind, or the
    // class library's next own text message would be taken as one of Windows' and get wide text.
    UINT saved = lastWindowsMessage_;
    lastWindowsMessage_ = msg;
    ++nesting_;
    struct Restore {
        TWinControlTrap* trap;
        UINT saved;
        ~Restore()
        {
            --trap->nesting_;
            trap->lastWindowsMessage_ = saved;
        }
    } restore{this, saved};
    return CallWindowProcW(prevWindowProc_, handle_, msg, wParam, lParam);
}

void TWinControlTrap::TrapMessageProc(TMessage& message)
{
    if (hookTest_ && message.Msg == 0) {
        hookTestAnswer_ = true;
        return;
    }
    if (!control_)
        return;
    if (!control_->HandleAllocated()) {
        savedWindowProc_(message);
        return;
    }
    bool fromWindows = lastWindowsMessage_ != 0 && lastWindowsMessage_ == message.Msg;
    lastWindowsMessage_ = 0;
    if (message.Msg == CM_HINTSHOW)
        ProcessCMHintShowMsg(message);
    if (!fromWindows && IsTextMessage(message.Msg)) {
        // The class library's own text message: Windows converts between its ANSI text and the wide window.
        message.Result = SendMessageA(handle_, message.Msg, message.WParam, message.LParam);
        return;
    }
    {
        TScopedValue<UINT> textMessage(windowsTextMessage_,
                                       fromWindows && IsTextMessage(message.Msg) ? message.Msg : 0);
        MakeWMCharMsgSafeForAnsi(message);
        savedWindowProc_(message);
    }
    if (message.Msg == WM_WYD_DESTROYWINDOW && control_ && handle_)
        ReleaseWindowTrap();
}

LRESULT CALLBACK TWinControlTrap::TrapDefaultProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControlTrap* trap = TrapOf(window);
    if (!trap)
        return DefWindowProcW(window, msg, wParam, lParam);
    try {
        return trap->DefaultMessage(msg, wParam, lParam);
    } catch (...) {
        HandleControlException(trap->control_);
    }
    return 0;
}

LRESULT TWinControlTrap::DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NOTIFYFORMAT: {
        HWND asking = reinterpret_cast<HWND>(wParam);
        bool wide = Win32PlatformIsUnicode &&
                    (IsWindowUnicode(asking) ||
                     (unitCreationControl && unitCreationControl->WindowHandle == asking));
        return wide ? NFR_UNICODE : NFR_ANSI;
    }
    case WM_CHAR: {
        TMessage m{msg, wParam, lParam, 0};
        RestoreWMCharMsg(m);
        return CallWindowProcW(prevDefWndProc_, handle_, msg, m.WParam, lParam);
    }
    case WM_IME_CHAR:
        if (!Win32PlatformIsXP)
            return SendMessageW(handle_, WM_CHAR, wParam, lParam);
        break;
    case WM_DESTROY: {
        HWND window = handle_;
        WNDPROC defProc = prevDefWndProc_;
        ReleaseWindowTrap();
        return CallWindowProcW(defProc, window, msg, wParam, lParam);
    }
    default:
        // A text message the class library calls its default procedure with directly (not one of Windows'
        // passing through): its buffer is ANSI, so Windows converts.
        if (IsTextMessage(msg) && windowsTextMessage_ != msg)
            return SendMessageA(handle_, msg, wParam, lParam);
        break;
    }
    return CallWindowProcW(prevDefWndProc_, handle_, msg, wParam, lParam);
}

void TWinControlTrap::ReleaseWindowTrap()
{
    HWND window = handle_;
    if (!window)
        return;
    if (control_ && !IsDestroying(control_))
        WydControl_SetStoredText(control_, WindowTextW(window));
    if (control_) {
        UnhookMessageProc();
        control_->DefWndProc = prevDefWndProc_;
    }
    if (TrapOf(window) == this) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(prevWindowProc_));
        RemoveTrapOf(window);
    }
    handle_ = nullptr;
    lastWindowsMessage_ = 0;
    if (control_ && !IsDestroying(control_) && pendingTraps)
        pendingTraps->Add(this);
}

// =============================================================================================
// Wide text

WideString WydControl_GetText(TControl* control)
{
    if (!Win32PlatformIsUnicode || HasAnsiWindow(control))
        return AnsiToWide(control->GetText());
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win && win->HandleAllocated())
        return WindowTextW(win->WindowHandle);
    // Windowless, or windowed before its window exists: the synced twin of the ANSI text.
    TWideControlHelper* helper = FindHelper(control);
    return helper ? GetSyncedWideString(helper->Caption, control->GetText()) : AnsiToWide(control->GetText());
}

void WydControl_SetText(TControl* control, const WideString& value)
{
    if (!Win32PlatformIsUnicode || HasAnsiWindow(control)) {
        control->SetText(WideToAnsi(value));
        return;
    }
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win) {
        TWideControlHelper* helper = NeedHelper(control);
        SetSyncedWideString(value, helper->Caption, control->GetText(), AnsiTextSetter(control));
        return;
    }
    if (!win->HandleAllocated()) {
        WydControl_SetStoredText(control, value);
        return;
    }
    if (WydControl_GetText(control) == value)
        return;
    Wyd_SetWindowTextW(win->WindowHandle, value.c_str());
    control->Perform(CM_TEXTCHANGED);
}

WideString WydControl_GetStoredText(TControl* control, const WideString& defaultText)
{
    TWideControlHelper* helper = FindHelper(control);
    return helper ? helper->Caption : defaultText;
}

void WydControl_SetStoredText(TControl* control, const WideString& value)
{
    NeedHelper(control)->Caption = value;
    control->SetText(WideToAnsi(value));
}

bool WydControl_IsCaptionStored(TControl* control)
{
    return !control->ActionLink || !control->ActionLink->IsCaptionLinked();
}

bool WydControl_IsHintStored(TControl* control)
{
    return !control->ActionLink || !control->ActionLink->IsHintLinked();
}

WideString WydControl_GetHint(TControl* control)
{
    if (!Win32PlatformIsUnicode)
        return AnsiToWide(control->Hint);
    TWideControlHelper* helper = FindHelper(control);
    return helper ? GetSyncedWideString(helper->Hint, control->Hint) : AnsiToWide(control->Hint);
}

void WydControl_SetHint(TControl* control, const WideString& value)
{
    if (!Win32PlatformIsUnicode) {
        control->Hint = WideToAnsi(value);
        return;
    }
    TWideControlHelper* helper = NeedHelper(control);
    SetSyncedWideString(value, helper->Hint, control->Hint, [control](const AnsiString& s) { control->Hint = s; });
}

WideString WideGetHint(TControl* control)
{
    for (TControl* c = control; c; c = c->GetParent()) {
        WideString hint = WydControl_GetHint(c);
        if (!hint.empty())
            return hint;
    }
    return {};
}

WideString WideGetShortHint(const WideString& hint)
{
    size_t bar = hint.find(L'|');
    return bar == WideString::npos ? hint : hint.substr(0, bar);
}

WideString WideGetLongHint(const WideString& hint)
{
    size_t bar = hint.find(L'|');
    return bar == WideString::npos ? hint : hint.substr(bar + 1);
}

void WideListControl_AddItem(TControl* control, const WideString& item, TObject* object)
{
    if (auto* wide = dynamic_cast<IWideCustomListControl*>(control)) {
        wide->AddItem(item, object);
        return;
    }
    if (auto* list = dynamic_cast<TCustomListControl*>(control))
        list->AddItem(WideToAnsi(item), object);
}

// =============================================================================================
// Hints

namespace {

// The last hint record marked for the wide hint window: only a pointer equal to it is read as a record.
const THintInfo* markedHintInfo = nullptr;

const THintInfo* MarkedHintInfo(void* data)
{
    if (!data || data != markedHintInfo)
        return nullptr;
    const auto* info = static_cast<const THintInfo*>(data);
    if (!info->HintWindowClass || !info->HintWindowClass->InheritsFrom(TWydCustomHintWindow::StaticClass()))
        return nullptr;
    return info;
}

// The wide form of the hint the library shows: the control's short hint, or that with the shortcut of the
// control's action appended as the library appends it.
WideString WideHintOfRecord(const THintInfo& info)
{
    WideString result = AnsiToWide(info.HintStr);
    if (result.empty() || !info.HintControl)
        return result;
    WideString shortHint = WideGetShortHint(WideGetHint(info.HintControl));
    if (WideToAnsi(shortHint) == info.HintStr)
        return shortHint;
    auto* action = dynamic_cast<TCustomAction*>(info.HintControl->GetAction());
    if (!Application || !Application->HintShortCuts || !action || !action->GetShortCut())
        return result;
    TShortCut shortCut = action->GetShortCut();
    if (WideToAnsi(shortHint) + " (" + ShortCutToText(shortCut) + ")" != info.HintStr)
        return result;
    return shortHint + L" (" + WideShortCutToText(shortCut) + L")";
}

}  // namespace

void ProcessCMHintShowMsg(TMessage& msg)
{
    if (!Win32PlatformIsUnicode || !msg.LParam)
        return;
    auto* info = reinterpret_cast<THintInfo*>(msg.LParam);
    if (info->HintWindowClass == THintWindow::StaticClass())
        info->HintWindowClass = TWydCustomHintWindow::StaticClass();
    else if (!info->HintWindowClass || !info->HintWindowClass->InheritsFrom(TWydCustomHintWindow::StaticClass()))
        return;
    info->HintData = info;
    markedHintInfo = info;
    info->HintStr = WideToAnsi(WideGetShortHint(WideGetHint(info->HintControl)));
}

TWydCustomHintWindow::TWydCustomHintWindow(TComponent* owner) : THintWindow(owner) {}

VCL_BEGIN_MESSAGE_MAP(TWydCustomHintWindow)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
VCL_END_MESSAGE_MAP(THintWindow)

void TWydCustomHintWindow::CreateParams(TCreateParams& params)
{
    THintWindow::CreateParams(params);
    if (Win32PlatformIsXP)
        params.WindowClass.style |= CS_DROPSHADOW;
}

void TWydCustomHintWindow::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

void TWydCustomHintWindow::Paint()
{
    if (paintSuppressed_)
        return;
    if (!Win32PlatformIsUnicode) {
        THintWindow::Paint();
        return;
    }
    RECT r = GetClientRect();
    r.left += 2;
    r.top += 2;
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->SetColor(Screen ? Screen->GetHintFont()->GetColor() : clInfoText);
    HDC dc = canvas->GetHandle();
    SelectObject(dc, canvas->GetFont()->GetHandle());
    SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
    SetBkMode(dc, TRANSPARENT);
    WideString text = GetCaption();
    Wyd_DrawTextW(dc, text.c_str(), -1, &r, DrawTextBiDiModeFlagsReadingOnly() | DT_NOPREFIX | DT_WORDBREAK);
}

void TWydCustomHintWindow::CMTextChanged(TMessage& message)
{
    if (textChangeSuppressed_)
        return;
    THintWindow::Dispatch(message);
    if (!HandleAllocated())
        return;
    WideString text = GetCaption();
    SetWidth(WideCanvasTextWidth(GetCanvas(), text) + 6);
    SetHeight(WideCanvasTextHeight(GetCanvas(), text) + 6);
}

void TWydCustomHintWindow::ActivateHint(RECT rect, const AnsiString& hint)
{
    TScopedValue<bool> noTextChange(textChangeSuppressed_, true);
    THintWindow::ActivateHint(rect, hint);
}

void TWydCustomHintWindow::ActivateHintData(RECT rect, const AnsiString& hint, void* data)
{
    const THintInfo* info = Win32PlatformIsUnicode ? MarkedHintInfo(data) : nullptr;
    if (!info) {
        THintWindow::ActivateHintData(rect, hint, data);
        return;
    }
    {
        TScopedValue<bool> noTextChange(textChangeSuppressed_, true), noPaint(paintSuppressed_, true);
        THintWindow::ActivateHintData(rect, hint, data);
        SetCaption(WideHintOfRecord(*info));
    }
    Invalidate();
}

RECT TWydCustomHintWindow::CalcWideHintRect(int maxWidth, const WideString& hint)
{
    RECT r{0, 0, maxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
    Wyd_DrawTextW(dc, hint.c_str(), -1, &r,
                  DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK | DrawTextBiDiModeFlagsReadingOnly());
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r.right += 6;
    r.bottom += 2;
    return r;
}

RECT TWydCustomHintWindow::CalcHintRect(int maxWidth, const AnsiString& hint, void* data)
{
    const THintInfo* info = Win32PlatformIsUnicode ? MarkedHintInfo(data) : nullptr;
    if (!info)
        return THintWindow::CalcHintRect(maxWidth, hint, data);
    return CalcWideHintRect(maxWidth, WideHintOfRecord(*info));
}

void TWydHintWindow::ActivateHint(RECT rect, const WideString& hint)
{
    SetCaption(hint);
    TScopedValue<bool> noTextChange(textChangeSuppressed_, true);
    THintWindow::ActivateHint(rect, WideToAnsi(hint));
}

void TWydHintWindow::ActivateHintData(RECT rect, const WideString& hint, void* data)
{
    SetCaption(hint);
    {
        TScopedValue<bool> noTextChange(textChangeSuppressed_, true), noPaint(paintSuppressed_, true);
        THintWindow::ActivateHintData(rect, WideToAnsi(hint), data);
    }
    Invalidate();
}

RECT TWydHintWindow::CalcHintRect(int maxWidth, const WideString& hint, void*)
{
    return CalcWideHintRect(maxWidth, hint);
}
