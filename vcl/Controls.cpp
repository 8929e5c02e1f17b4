// Controls: window life cycle, message dispatch, reflection, painting and layout.
#include "Controls.h"

#include <algorithm>
#include <memory>

#include <commctrl.h>

#include "ActnList.h"
#include "Forms.h"
#include "Menus.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TControl, TComponent, {
    m.Publish("Left", &TControl::GetLeft, &TControl::SetLeft);
    m.Publish("Top", &TControl::GetTop, &TControl::SetTop);
    m.Publish("Width", &TControl::GetWidth, &TControl::SetWidth);
    m.Publish("Height", &TControl::GetHeight, &TControl::SetHeight);
    m.Publish("Align", &TControl::GetAlign, &TControl::SetAlign)
        .WithNames({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"})
        .WithDefault(0);
    m.Publish("Color", &TControl::GetColor, &TControl::SetColor)
        .WithIdents(ColorIdents())
        .Stored(&TControl::IsColorStored);
    m.Publish("Enabled", &TControl::GetEnabled, &TControl::SetEnabled).WithDefault(1);
    m.Publish("Font", &TControl::GetFont, &TControl::SetFont).Stored(&TControl::IsFontStored);
    m.Publish("Hint", &TControl::GetHint, &TControl::SetHint);
    m.Publish("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor);
    m.Publish("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont);
    m.Publish("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint).WithDefault(1);
    m.Publish("PopupMenu", &TControl::GetPopupMenu, &TControl::SetPopupMenu);
    m.Publish("Action", &TControl::GetAction, &TControl::SetAction);
    m.Publish("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored);
    m.Publish("Visible", &TControl::GetVisible, &TControl::SetVisible).WithDefault(1);
    m.Publish("DragKind", &TControl::GetDragKind, &TControl::SetDragKind).WithNames({"dkDrag", "dkDock"}).WithDefault(0);
    m.Publish("OnClick", &TControl::GetOnClick, &TControl::SetOnClick);
    m.Publish("OnDblClick", &TControl::GetOnDblClick, &TControl::SetOnDblClick);
    m.Publish("OnMouseDown", &TControl::GetOnMouseDown, &TControl::SetOnMouseDown);
    m.Publish("OnMouseUp", &TControl::GetOnMouseUp, &TControl::SetOnMouseUp);
})
VCL_IMPLEMENT_CLASS(TWinControl, TControl, {
    m.Publish("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder).WithDefault(-1);
    m.Publish("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop);
    m.Publish("DockSite", &TWinControl::GetDockSite, &TWinControl::SetDockSite).WithDefault(0);
    m.Publish("UseDockManager", &TWinControl::GetUseDockManager, &TWinControl::SetUseDockManager).WithDefault(0);
    m.Publish("OnEnter", &TWinControl::GetOnEnter, &TWinControl::SetOnEnter);
    m.Publish("OnExit", &TWinControl::GetOnExit, &TWinControl::SetOnExit);
    m.Publish("OnKeyDown", &TWinControl::GetOnKeyDown, &TWinControl::SetOnKeyDown);
    m.Publish("OnKeyPress", &TWinControl::GetOnKeyPress, &TWinControl::SetOnKeyPress);
})
VCL_IMPLEMENT_CLASS(TControlCanvas, TCanvas)
VCL_IMPLEMENT_CLASS(TGraphicControl, TControl)
VCL_IMPLEMENT_CLASS(TCustomControl, TWinControl)

TWinControl* CreationControl = nullptr;
TMouse* Mouse = nullptr;

namespace {

ATOM windowAtom = 0;
ATOM controlAtom = 0;

bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

// The control canvases holding a DC they took themselves; given back when the application is idle.
std::vector<TControlCanvas*>& CanvasList()
{
    static std::vector<TControlCanvas*> list;
    return list;
}

int ScrollLines()
{
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return int(lines);
}

}  // namespace

ATOM WindowAtom() { return windowAtom; }
ATOM ControlAtom() { return controlAtom; }

void InitControls()
{
    if (controlAtom)
        return;
    char name[64];
    wsprintfA(name, "PagorinWindow%.8X", unsigned(GetCurrentProcessId()));
    windowAtom = GlobalAddAtomA(name);
    wsprintfA(name, "ControlOfs%.8X%.8X", unsigned(ULONG_PTR(HInstance) & 0xFFFFFFFF), unsigned(GetCurrentThreadId()));
    controlAtom = GlobalAddAtomA(name);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                              ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                              ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    Mouse = new TMouse;
}

void DoneControls()
{
    delete Mouse;
    Mouse = nullptr;
    if (controlAtom)
        GlobalDeleteAtom(controlAtom);
    if (windowAtom)
        GlobalDeleteAtom(windowAtom);
    controlAtom = windowAtom = 0;
}

void BindWindowToControl(HWND Window, TWinControl* Control)
{
    Control->WindowHandle = Window;
    SetPropA(Window, MAKEINTATOM(windowAtom), Control);
    SetPropA(Window, MAKEINTATOM(controlAtom), Control);
}

TWinControl* FindControl(HWND Window)
{
    if (!Window || !controlAtom)
        return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(Window, &pid);
    if (pid != GetCurrentProcessId())
        return nullptr;
    return static_cast<TWinControl*>(GetPropA(Window, MAKEINTATOM(controlAtom)));
}

LRESULT CALLBACK InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWinControl* control = CreationControl;
    if (!control)  // a window of one of our classes made by someone else: behave as a plain window
        return DefWindowProcA(Window, Msg, WParam, LParam);
    BindWindowToControl(Window, control);
    // A window the Unicode layer created as a wide window keeps a wide procedure.
    if (IsWindowUnicode(Window))
        SetWindowLongPtrW(Window, GWLP_WNDPROC, LONG_PTR(&StdWndProc));
    else
        SetWindowLongPtrA(Window, GWLP_WNDPROC, LONG_PTR(&StdWndProc));
    CreationControl = nullptr;
    return StdWndProc(Window, Msg, WParam, LParam);
}

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* control = static_cast<TWinControl*>(GetPropA(Window, MAKEINTATOM(controlAtom)));
    if (!control)
        return IsWindowUnicode(Window) ? DefWindowProcW(Window, Msg, WParam, LParam)
                                       : DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    control->MainWndProc(message);
    return message.Result;
}

namespace {

LRESULT CALLBACK UtilWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* method = reinterpret_cast<TEvent<TMessage&>*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!method)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    try {
        (*method)(message);
    } catch (...) {
        HandleControlException(nullptr);
    }
    return message.Result;
}

}  // namespace

HWND AllocateHWnd(TEvent<TMessage&> Method, bool MessageOnly)
{
    static const char className[] = "TPUtilWindow";
    WNDCLASSA cls{};
    if (!GetClassInfoA(HInstance, className, &cls)) {
        cls.lpfnWndProc = &UtilWndProc;
        cls.hInstance = HInstance;
        cls.lpszClassName = className;
        if (!RegisterClassA(&cls))
            RaiseLastOSError();
    }
    HWND window = MessageOnly ? CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, HInstance, nullptr)
                              : CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                                HInstance, nullptr);
    if (!window)
        RaiseLastOSError();
    SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(new TEvent<TMessage&>(std::move(Method))));
    return window;
}

void DeallocateHWnd(HWND Window)
{
    if (!Window)
        return;
    auto* method = reinterpret_cast<TEvent<TMessage&>*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
    delete method;
}

TShiftState KeysToShiftState(WPARAM Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT)
        s << ssShift;
    if (Keys & MK_CONTROL)
        s << ssCtrl;
    if (Keys & MK_LBUTTON)
        s << ssLeft;
    if (Keys & MK_RBUTTON)
        s << ssRight;
    if (Keys & MK_MBUTTON)
        s << ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        s << ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0)
        s << ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s << ssCtrl;
    if (KeyData & 0x20000000)
        s << ssAlt;
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0)
        s << ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s << ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        s << ssAlt;
    return s;
}

// =============================================================================================
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont)
{
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

TControl::~TControl()
{
    Destroying();
    if (Application)
        Application->ControlDestroyed(this);
    SetAction(nullptr);
    if (FHostDockSite)
        UndockBeforeDestruction();
    if (FParent)
        FParent->RemoveControl(this);
    delete FFont;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message)
{
    Dispatch(Message);
    if (Message.Msg == WM_SETTEXT || Message.Msg == CM_VISIBLECHANGED)
        SendDockNotification(Message.Msg, Message.WParam, Message.LParam);
}

VCL_BEGIN_MESSAGE_MAP(TControl)
    VCL_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
    VCL_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDblClk)
    VCL_MESSAGE(WM_LBUTTONUP, WMLButtonUp)
    VCL_MESSAGE(WM_RBUTTONDOWN, WMRButtonDown)
    VCL_MESSAGE(WM_RBUTTONUP, WMRButtonUp)
    VCL_MESSAGE(WM_MOUSEMOVE, WMMouseMove)
    VCL_MESSAGE(WM_CONTEXTMENU, WMContextMenu)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
    VCL_MESSAGE(CM_COLORCHANGED, CMColorChanged)
    VCL_MESSAGE(CM_PARENTFONTCHANGED, CMParentFontChanged)
    VCL_MESSAGE(CM_PARENTCOLORCHANGED, CMParentColorChanged)
    VCL_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
    VCL_MESSAGE(CM_HINTSHOW, CMHintShow)
    VCL_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
    VCL_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
VCL_END_MESSAGE_MAP_ROOT

void TControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char*>(Message.LParam);
        size_t room = size_t(Message.WParam);
        if (!buffer || room == 0) {
            Message.Result = 0;
            return;
        }
        size_t n = std::min(room - 1, FText.size());
        std::memcpy(buffer, FText.data(), n);
        buffer[n] = '\0';
        Message.Result = LRESULT(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = LRESULT(FText.size());
        return;
    case WM_SETTEXT:
        FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = 1;
        return;
    default:
        Message.Result = 0;
    }
}

void TControl::SetParent(TWinControl* Value)
{
    if (FParent == Value)
        return;
    if (Value == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (Value)
        Value->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool visible = FParent && FVisible;
    if (visible)
        Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (visible)
        Invalidate();
    if (FParent && FAlign != TAlign::alNone)
        FParent->Realign();
    Resize();
}

RECT TControl::GetClientRect() const
{
    return {0, 0, FWidth, FHeight};
}

int TControl::GetClientWidth() const
{
    RECT r = GetClientRect();
    return r.right - r.left;
}

int TControl::GetClientHeight() const
{
    RECT r = GetClientRect();
    return r.bottom - r.top;
}

void TControl::SetClientWidth(int Value)
{
    SetWidth(FWidth - GetClientWidth() + Value);
}

void TControl::SetClientHeight(int Value)
{
    SetHeight(FHeight - GetClientHeight() + Value);
}

POINT TControl::GetClientOrigin() const
{
    if (!FParent)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    POINT p = FParent->GetClientOrigin();
    return {p.x + FLeft, p.y + FTop};
}

POINT TControl::ClientToScreen(POINT P) const
{
    POINT origin = GetClientOrigin();
    return {P.x + origin.x, P.y + origin.y};
}

POINT TControl::ScreenToClient(POINT P) const
{
    POINT origin = GetClientOrigin();
    return {P.x - origin.x, P.y - origin.y};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    if (FParent)
        FParent->Realign();
}

void TControl::SetAutoSize(bool Value)
{
    if (FAutoSize != Value) {
        FAutoSize = Value;
        if (Value)
            AdjustSize();
    }
}

void TControl::AdjustSize() {}

void TControl::BringToFront()
{
    SetZOrder(true);
}

void TControl::SendToBack()
{
    SetZOrder(false);
}

void TControl::SetZOrder(bool TopMost)
{
    SetZOrderPosition(TopMost);
}

void TControl::SetZOrderPosition(bool TopMost)
{
    if (!FParent)
        return;
    TControlList& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    Invalidate();
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    VisibleChanging();
    Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value, 0);
    if (FParent && FAlign != TAlign::alNone)
        FParent->Realign();
    Invalidate();
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled != Value) {
        FEnabled = Value;
        Perform(CM_ENABLEDCHANGED);
    }
}

AnsiString TControl::GetText()
{
    int length = GetTextLen();
    if (length <= 0)
        return {};
    std::vector<char> buffer(size_t(length) + 1);
    int copied = GetTextBuf(buffer.data(), length + 1);
    return AnsiString(buffer.data(), size_t(std::max(0, std::min(copied, length))));
}

void TControl::SetText(const AnsiString& Value)
{
    if (GetText() == Value)
        return;
    SetTextBuf(Value.c_str());
}

int TControl::GetTextLen()
{
    return int(Perform(WM_GETTEXTLENGTH));
}

int TControl::GetTextBuf(char* Buffer, int BufSize)
{
    return int(Perform(WM_GETTEXT, WPARAM(BufSize), LPARAM(Buffer)));
}

void TControl::SetTextBuf(const char* Buffer)
{
    Perform(WM_SETTEXT, 0, LPARAM(Buffer));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool Value)
{
    FShowHint = Value;
    FParentShowHint = false;
}

void TControl::SetParentShowHint(bool Value)
{
    FParentShowHint = Value;
    if (Value && FParent)
        FShowHint = FParent->GetShowHint();
}

void TControl::FontChanged(TObject*)
{
    FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value && FParent)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor Value)
{
    if (FColor != Value) {
        FColor = Value;
        FParentColor = false;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (Value && FParent)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode Value)
{
    if (FBiDiMode != Value) {
        FBiDiMode = Value;
        Perform(CM_BIDIMODECHANGED);
    }
}

bool TControl::UseRightToLeftAlignment() const
{
    return SysLocale.MiddleEast && FBiDiMode == TBiDiMode::bdRightToLeft;
}

bool TControl::UseRightToLeftReading() const
{
    return SysLocale.MiddleEast && FBiDiMode != TBiDiMode::bdLeftToRight;
}

UINT TControl::DrawTextBiDiModeFlags(UINT Flags) const
{
    if (UseRightToLeftAlignment()) {
        if ((Flags & DT_RIGHT) == DT_RIGHT)
            Flags &= ~UINT(DT_RIGHT);
        else if (!(Flags & DT_CENTER))
            Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const
{
    return UseRightToLeftReading() ? DT_RTLREADING : 0;
}

void TControl::Invalidate()
{
    if (FParent && FVisible && FParent->HandleAllocated()) {
        RECT r = GetBoundsRect();
        InvalidateRect(FParent->WindowHandle, &r, TRUE);
    }
}

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

TBasicAction* TControl::GetAction() const
{
    return FAction;
}

void TControl::SetAction(TBasicAction* Value)
{
    if (ReplaceActionLink(this, FAction, ActionLink, Value, GetActionLinkClass()))
        ActionChange(Value, IsLoading(this));
}

TClass TControl::GetActionLinkClass() const
{
    return TControlActionLink::StaticClass();
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if (!CheckDefaults || GetCaption().empty())
        SetCaption(action->GetCaption());
    if (!CheckDefaults || FEnabled)
        SetEnabled(action->GetEnabled());
    if (!CheckDefaults || Hint.empty())
        Hint = action->GetHint();
    if (!CheckDefaults || FVisible)
        SetVisible(action->GetVisible());
    if (!CheckDefaults || !OnClick)
        OnClick = action->GetOnExecute();
}

void TControl::AssignTo(TPersistent* Dest)
{
    auto* action = dynamic_cast<TCustomAction*>(Dest);
    if (!action) {
        TComponent::AssignTo(Dest);
        return;
    }
    action->SetEnabled(FEnabled);
    action->SetHint(Hint);
    action->SetCaption(GetCaption());
    action->SetVisible(FVisible);
    action->SetOnExecute(OnClick);
}

void TControl::InitiateAction()
{
    if (ActionLink)
        ActionLink->Update();
}

void TControl::Click()
{
    // The action's OnExecute stands in for OnClick when the two are the same.
    if (OnClick && !(ActionLink && OnClick == GetAction()->GetOnExecute()))
        OnClick(this);
    else if (ActionLink)
        ActionLink->Execute(this);
    else if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    OnDblClick(this);
}

void TControl::Changed()
{
    Perform(CM_CHANGED);
}

TComponent* TControl::GetParentComponent() const
{
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* parent = dynamic_cast<TWinControl*>(Value))
        SetParent(parent);
}

TCustomForm* TControl::GetParentForm() const
{
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FPopupMenu)
            FPopupMenu = nullptr;
        if (AComponent == FHostDockSite)
            FHostDockSite = nullptr;
        ActionRemoved(AComponent, FAction, ActionLink);
    }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    OnMouseMove(this, Shift, X, Y);
}

void TControl::Resize()
{
    OnResize(this);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift)
{
    MouseDown(Button, KeysToShiftState(Message.WParam) + Shift, short(LOWORD(Message.LParam)),
              short(HIWORD(Message.LParam)));
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button)
{
    MouseUp(Button, KeysToShiftState(Message.WParam), short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)));
}

void TControl::WMLButtonDown(TMessage& Message)
{
    if (ControlStyle.Contains(csClickEvents))
        ControlState << csClicked;
    DefaultHandler(Message);
    DoMouseDown(Message, TMouseButton::mbLeft, TShiftState());
}

void TControl::WMLButtonDblClk(TMessage& Message)
{
    DefaultHandler(Message);
    if (ControlStyle.Contains(csDoubleClicks))
        DblClick();
    DoMouseDown(Message, TMouseButton::mbLeft, TShiftState{ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message)
{
    DefaultHandler(Message);
    if (ControlState.Contains(csClicked)) {
        ControlState >> csClicked;
        POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
        RECT r = GetClientRect();
        if (PtInRect(&r, p))
            Click();
    }
    DoMouseUp(Message, TMouseButton::mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message)
{
    DefaultHandler(Message);
    DoMouseDown(Message, TMouseButton::mbRight, TShiftState());
}

void TControl::WMRButtonUp(TMessage& Message)
{
    DefaultHandler(Message);
    DoMouseUp(Message, TMouseButton::mbRight);
}

void TControl::WMMouseMove(TMessage& Message)
{
    DefaultHandler(Message);
    MouseMove(KeysToShiftState(Message.WParam), short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)));
}

void TControl::WMContextMenu(TMessage& Message)
{
    POINT screen{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    bool keyboard = screen.x == -1 && screen.y == -1;
    if (keyboard)
        screen = ClientToScreen(POINT{0, 0});
    bool handled = false;
    OnContextPopup(this, keyboard ? POINT{-1, -1} : ScreenToClient(screen), handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->GetAutoPopup()) {
        FPopupMenu->PopupComponent = this;
        FPopupMenu->Popup(screen.x, screen.y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TControl::CMEnabledChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMFontChanged(TMessage&)
{
    if (FAutoSize)
        AdjustSize();
    Invalidate();
}

void TControl::CMColorChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (FParentFont && FParent) {
        FFont->OnChange = TNotifyEvent();
        FFont->Assign(FParent->GetFont());
        FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
        Perform(CM_FONTCHANGED);
    }
}

void TControl::CMParentColorChanged(TMessage&)
{
    if (FParentColor && FParent) {
        FColor = FParent->GetColor();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::CMVisibleChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMTextChanged(TMessage&)
{
    if (FAutoSize)
        AdjustSize();
    Invalidate();
}

void TControl::CMHintShow(TMessage& Message)
{
    Message.Result = 0;  // 0 = show the hint as prepared
}

void TControl::CMMouseEnter(TMessage&)
{
    FMouseInControl = true;
    if (FParent)
        FParent->Perform(CM_MOUSEENTER, 0, LPARAM(this));
}

void TControl::CMMouseLeave(TMessage&)
{
    FMouseInControl = false;
    if (FParent)
        FParent->Perform(CM_MOUSELEAVE, 0, LPARAM(this));
}

// =============================================================================================
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(new TBrush)
{
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl()
{
    Destroying();
    // The window goes first, while the object is still whole enough to save nothing and answer messages; then the
    // dock manager, so that hooks a layer put on the window around the manager's come off in order.
    DestroyHandle();
    FDockManager.reset();
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        delete child;  // removes itself from FControls
    }
    delete FBrush;
}

TClass TWinControl::GetActionLinkClass() const
{
    return TWinControlActionLink::StaticClass();
}

HWND TWinControl::GetHandle()
{
    HandleNeeded();
    return WindowHandle;
}

void TWinControl::HandleNeeded()
{
    if (WindowHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (WindowHandle)
        return;
    CreateWnd();
    CreateChildHandles();
    if (FParent && FParent->HandleAllocated())
        SetWindowPos(WindowHandle, FParent->WindowAbove(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::CreateChildHandles()
{
    bool deferHidden = DefersHiddenWindows();
    for (TControl* child : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(child); win && (win->FVisible || !deferHidden))
            win->CreateHandle();
    Realign();
}

bool TWinControl::DefersHiddenWindows() const
{
    for (const TWinControl* control = this; control; control = control->FParent)
        if (control->FDeferHiddenWindows)
            return true;
    return false;
}

void TWinControl::CreateDeferredWindows()
{
    FDeferHiddenWindows = false;
    if (!WindowHandle)
        return;
    for (TControl* child : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(child)) {
            if (win->WindowHandle)
                win->CreateDeferredWindows();
            else
                win->CreateHandle();
        }
}

// Children are stacked in their order, the last on top: a child's window goes just below the window of the
// nearest later sibling that has one, wherever it was made later.
HWND TWinControl::WindowAbove(const TWinControl* Child) const
{
    auto it = std::find(FControls.begin(), FControls.end(), Child);
    for (it = it == FControls.end() ? it : it + 1; it != FControls.end(); ++it)
        if (auto* win = dynamic_cast<TWinControl*>(*it); win && win->WindowHandle)
            return win->WindowHandle;
    return HWND_TOP;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Caption = FText.c_str();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle.Contains(csAcceptsControls))
        Params.Style |= WS_CLIPCHILDREN;
    if (FVisible)
        Params.Style |= WS_VISIBLE;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->WindowHandle : FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcA;
    Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WindowClass.hInstance = HInstance;
    lstrcpynA(Params.WinClassName, ClassName().c_str(), sizeof Params.WinClassName);
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ClassName)
{
    WNDCLASSA system{};
    if (!GetClassInfoA(nullptr, ClassName, &system) && !GetClassInfoA(HInstance, ClassName, &system))
        throw EOutOfResources("Window class " + AnsiString(ClassName) + " is not registered");
    const UINT keep = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    system.style = (system.style & ~UINT(CS_GLOBALCLASS)) | (Params.WindowClass.style & keep);
    system.hInstance = HInstance;
    system.lpszClassName = nullptr;
    Params.WindowClass = system;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    // An MDI child finds its parent (the frame's client window) itself when its window is made.
    if (!params.WndParent && (params.Style & WS_CHILD) && !(params.ExStyle & WS_EX_MDICHILD))
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    // The library's class: the chosen class description with InitWndProc as its procedure. What that
    // description names as its procedure (a system class's, or DefWindowProcA) becomes DefWndProc.
    DefWndProc = params.WindowClass.lpfnWndProc;
    FOwnClass = DefWndProc == DefWindowProcA || DefWndProc == DefMDIChildProcA;
    WNDCLASSA registered{};
    bool known = GetClassInfoA(params.WindowClass.hInstance, params.WinClassName, &registered);
    if (!known || registered.lpfnWndProc != &InitWndProc) {
        if (known)
            UnregisterClassA(params.WinClassName, params.WindowClass.hInstance);
        WNDCLASSA cls = params.WindowClass;
        cls.lpfnWndProc = &InitWndProc;
        cls.lpszClassName = params.WinClassName;
        if (!RegisterClassA(&cls))
            RaiseLastOSError();
    }
    CreationControl = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        CreationControl = nullptr;
        throw;
    }
    CreationControl = nullptr;
    if (!WindowHandle)
        RaiseLastOSError();
    if ((GetWindowLongPtrA(WindowHandle, GWL_STYLE) & WS_CHILD) && !GetWindowLongPtrA(WindowHandle, GWLP_ID))
        SetWindowLongPtrA(WindowHandle, GWLP_ID, LONG_PTR(WindowHandle) & 0x7FFFFFFF);
    FText.clear();
    FText.shrink_to_fit();
    Perform(WM_SETFONT, WPARAM(FFont->GetHandle()), 1);
    if (FAutoSize)
        AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    HWND handle = CreateWindowExA(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X,
                                  Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                                  Params.WindowClass.hInstance, Params.Param);
    if (handle)
        WindowHandle = handle;
}

void TWinControl::DestroyHandle()
{
    if (!WindowHandle)
        return;
    for (TControl* child : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(child))
            win->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    // Keep the text for the next window.
    int length = int(CallWindowProcA(DefWndProc, WindowHandle, WM_GETTEXTLENGTH, 0, 0));
    std::vector<char> buffer(size_t(std::max(0, length)) + 1);
    int copied = int(CallWindowProcA(DefWndProc, WindowHandle, WM_GETTEXT, buffer.size(), LPARAM(buffer.data())));
    FText.assign(buffer.data(), size_t(std::clamp(copied, 0, length)));
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    ControlState << csDestroyingHandle;
    HWND handle = WindowHandle;
    try {
        if (handle && IsWindow(handle))
            DestroyWindow(handle);
    } catch (...) {
        ControlState >> csDestroyingHandle;
        throw;
    }
    ControlState >> csDestroyingHandle;
    WindowHandle = nullptr;
}

void TWinControl::RecreateWnd()
{
    if (!WindowHandle)
        return;
    bool focused = Focused();
    DestroyHandle();
    HandleNeeded();
    if (focused)
        ::SetFocus(WindowHandle);
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (FParent || FParentWindow == Value)
        return;
    if (WindowHandle && Value)
        ::SetParent(WindowHandle, Value);
    else
        DestroyHandle();
    FParentWindow = Value;
}

void TWinControl::MainWndProc(TMessage& Message)
{
    try {
        WindowProc(Message);
    } catch (...) {
        HandleControlException(this);
    }
}

bool TWinControl::GetShowing() const
{
    return WindowHandle && IsWindowVisible(WindowHandle);
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* c = Control; c; c = c->GetParent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(POINT Pos, bool AllowDisabled) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->GetVisible() || (!AllowDisabled && !c->GetEnabled()))
            continue;
        RECT r = c->GetBoundsRect();
        if (PtInRect(&r, Pos))
            return c;
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* Control)
{
    FControls.push_back(Control);
    Control->FParent = this;
    if (Control->GetParentFont())
        Control->Perform(CM_PARENTFONTCHANGED);
    if (Control->GetParentColor())
        Control->Perform(CM_PARENTCOLORCHANGED);
    if (Control->GetParentShowHint())
        Control->SetParentShowHint(true);
    if (auto* win = dynamic_cast<TWinControl*>(Control)) {
        if (WindowHandle && !IsLoading(Control) && (win->FVisible || !DefersHiddenWindows()))
            win->CreateHandle();
    } else {
        Control->Invalidate();
    }
    if (Control->GetAlign() != TAlign::alNone)
        Realign();
}

void TWinControl::RemoveControl(TControl* Control)
{
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return;
    if (auto* win = dynamic_cast<TWinControl*>(Control))
        win->DestroyHandle();
    else
        Control->Invalidate();
    if (FMouseControl == Control)
        FMouseControl = nullptr;
    FControls.erase(std::find(FControls.begin(), FControls.end(), Control));
    Control->FParent = nullptr;
    Realign();
}

// The form writer walks the children the root owns.
void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TControl* c : FControls)
        if (c->Owner() == Root)
            Proc(c);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    if (FParent && FParent->HandleAllocated())
        HandleNeeded();
    Realign();
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || IsDestroying(this))
        return;
    RECT rect = GetClientRect();
    AlignControls(nullptr, rect);
}

void TWinControl::AlignControls(TControl*, RECT& Rect)
{
    ++FAlignLevel;  // the children's SetBounds must not come back here
    auto place = [&](TAlign which) {
        for (TControl* c : FControls) {
            if (c->GetAlign() != which || !c->GetVisible())
                continue;
            int w = c->GetWidth(), h = c->GetHeight();
            switch (which) {
            case TAlign::alTop:
                c->SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, h);
                Rect.top += h;
                break;
            case TAlign::alBottom:
                c->SetBounds(Rect.left, Rect.bottom - h, Rect.right - Rect.left, h);
                Rect.bottom -= h;
                break;
            case TAlign::alLeft:
                c->SetBounds(Rect.left, Rect.top, w, Rect.bottom - Rect.top);
                Rect.left += w;
                break;
            case TAlign::alRight:
                c->SetBounds(Rect.right - w, Rect.top, w, Rect.bottom - Rect.top);
                Rect.right -= w;
                break;
            case TAlign::alClient:
                c->SetBounds(Rect.left, Rect.top, std::max(0L, Rect.right - Rect.left),
                             std::max(0L, Rect.bottom - Rect.top));
                break;
            default:
                break;
            }
        }
    };
    for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        place(a);
    --FAlignLevel;
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (WindowHandle) {
        LONG_PTR style = GetWindowLongPtrA(WindowHandle, GWL_STYLE);
        SetWindowLongPtrA(WindowHandle, GWL_STYLE, Value ? style | WS_TABSTOP : style & ~LONG_PTR(WS_TABSTOP));
    }
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled())
            return false;
    return true;
}

bool TWinControl::Focused() const
{
    return WindowHandle && GetFocus() == WindowHandle;
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(); form && form != this)
        form->SetActiveControl(this);
    else
        ::SetFocus(GetHandle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    std::vector<TWinControl*> children;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            children.push_back(w);
    std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
        return unsigned(a->FTabOrder) < unsigned(b->FTabOrder);
    });
    for (TWinControl* w : children) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return;
    if (!GoForward)
        std::reverse(list.begin(), list.end());
    auto start = std::find(list.begin(), list.end(), Current);
    size_t begin = start == list.end() ? list.size() - 1 : size_t(start - list.begin());
    for (size_t step = 1; step <= list.size(); ++step) {
        TWinControl* candidate = list[(begin + step) % list.size()];
        if ((!CheckTabStop || candidate->FTabStop) && candidate->CanFocus() &&
            !(candidate->ControlStyle.Contains(csAcceptsControls) && candidate->GetControlCount() > 0)) {
            candidate->SetFocus();
            return;
        }
    }
}

void TWinControl::SelectFirst()
{
    SelectNext(nullptr, true, true);
}

void TWinControl::Invalidate()
{
    if (WindowHandle)
        InvalidateRect(WindowHandle, nullptr, TRUE);
}

void TWinControl::Update()
{
    if (WindowHandle)
        UpdateWindow(WindowHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    if (WindowHandle && !IsIconic(WindowHandle)) {
        SetWindowPos(WindowHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();  // the window may have refused a size (a combo box's height)
    } else {
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        Realign();
    }
    if (FParent && FAlign != TAlign::alNone)
        FParent->Realign();
}

void TWinControl::UpdateBounds()
{
    RECT r;
    GetWindowRect(WindowHandle, &r);
    HWND parent = ::GetParent(WindowHandle);
    if (GetWindowLongPtrA(WindowHandle, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    bool sized = r.right - r.left != FWidth || r.bottom - r.top != FHeight;
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
    if (sized) {
        Realign();
        Resize();
    }
}

RECT TWinControl::GetClientRect() const
{
    RECT r{0, 0, FWidth, FHeight};
    if (WindowHandle)
        ::GetClientRect(WindowHandle, &r);
    return r;
}

POINT TWinControl::GetClientOrigin() const
{
    if (WindowHandle) {
        POINT p{0, 0};
        ::ClientToScreen(WindowHandle, &p);
        return p;
    }
    return TControl::GetClientOrigin();
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    if (!WindowHandle)
        return;
    int saved = SaveDC(DC);
    SetViewportOrgEx(DC, X, Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    SendMessageA(WindowHandle, WM_PRINT, WPARAM(DC), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    RestoreDC(DC, saved);
}

void TWinControl::UpdateControlState()
{
    if (FParent && FParent->HandleAllocated())
        HandleNeeded();
}

void TWinControl::SetCtl3D(bool Value)
{
    if (FCtl3D != Value) {
        FCtl3D = Value;
        RecreateWnd();
    }
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        if (!FTrackingMouse && WindowHandle) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, WindowHandle, 0};
            FTrackingMouse = TrackMouseEvent(&track);
            Perform(CM_MOUSEENTER);
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        if (ForwardMouseToGraphicChild(Message))
            return;
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

// Mouse input over a windowless child belongs to that child (coordinates made its own).
bool TWinControl::ForwardMouseToGraphicChild(TMessage& Message)
{
    if (!IsOwnClass() || (GetCapture() != nullptr && GetCapture() != WindowHandle))
        return false;
    POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    TControl* target = ControlAtPos(p, false);
    if (target && dynamic_cast<TWinControl*>(target))
        target = nullptr;
    if (Message.Msg == WM_MOUSEMOVE && target != FMouseControl) {
        if (FMouseControl)
            FMouseControl->Perform(CM_MOUSELEAVE);
        FMouseControl = target;
        if (target)
            target->Perform(CM_MOUSEENTER);
    }
    if (!target)
        return false;
    LPARAM local = MAKELPARAM(p.x - target->GetLeft(), p.y - target->GetTop());
    Message.Result = target->Perform(Message.Msg, Message.WParam, local);
    return true;
}

VCL_BEGIN_MESSAGE_MAP(TWinControl)
    VCL_MESSAGE(WM_PAINT, WMPaint)
    VCL_MESSAGE(WM_PRINTCLIENT, WMPrintClient)
    VCL_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
    VCL_MESSAGE(WM_COMMAND, WMCommand)
    VCL_MESSAGE(WM_NOTIFY, WMNotify)
    VCL_MESSAGE(WM_DRAWITEM, WMDrawItem)
    VCL_MESSAGE(WM_MEASUREITEM, WMMeasureItem)
    VCL_MESSAGE(WM_CTLCOLORBTN, WMCtlColor)
    VCL_MESSAGE(WM_CTLCOLOREDIT, WMCtlColor)
    VCL_MESSAGE(WM_CTLCOLORLISTBOX, WMCtlColor)
    VCL_MESSAGE(WM_CTLCOLORSTATIC, WMCtlColor)
    VCL_MESSAGE(WM_CTLCOLORSCROLLBAR, WMCtlColor)
    VCL_MESSAGE(WM_HSCROLL, WMHScroll)
    VCL_MESSAGE(WM_VSCROLL, WMVScroll)
    VCL_MESSAGE(WM_SIZE, WMSize)
    VCL_MESSAGE(WM_MOVE, WMMove)
    VCL_MESSAGE(WM_WINDOWPOSCHANGED, WMWindowPosChanged)
    VCL_MESSAGE(WM_SETFOCUS, WMSetFocus)
    VCL_MESSAGE(WM_KILLFOCUS, WMKillFocus)
    VCL_MESSAGE(WM_KEYDOWN, WMKeyDown)
    VCL_MESSAGE(WM_SYSKEYDOWN, WMKeyDown)
    VCL_MESSAGE(WM_KEYUP, WMKeyUp)
    VCL_MESSAGE(WM_SYSKEYUP, WMKeyUp)
    VCL_MESSAGE(WM_CHAR, WMChar)
    VCL_MESSAGE(WM_MOUSEWHEEL, WMMouseWheel)
    VCL_MESSAGE(WM_SETCURSOR, WMSetCursor)
    VCL_MESSAGE(WM_NCDESTROY, WMNCDestroy)
    VCL_MESSAGE(WM_MOUSELEAVE, WMMouseLeave)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
    VCL_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
    VCL_MESSAGE(CM_COLORCHANGED, CMColorChanged)
    VCL_MESSAGE(CM_SHOWINGCHANGED, CMShowingChanged)
    VCL_MESSAGE(CM_RECREATEWND, CMRecreateWnd)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_SYSCOLORCHANGE, CMSysColorChange)
    VCL_MESSAGE(CM_FOCUSCHANGED, CMFocusChanged)
    VCL_MESSAGE(CM_DOCKCLIENT, CMDockClient)
    VCL_MESSAGE(CN_KEYDOWN, CNKeyDown)
    VCL_MESSAGE(CN_SYSKEYDOWN, CNKeyDown)
    VCL_MESSAGE(CN_CHAR, CNChar)
    VCL_MESSAGE(CN_SYSCHAR, CNSysChar)
    VCL_MESSAGE(CN_CTLCOLORBTN, CNCtlColor)
    VCL_MESSAGE(CN_CTLCOLOREDIT, CNCtlColor)
    VCL_MESSAGE(CN_CTLCOLORLISTBOX, CNCtlColor)
    VCL_MESSAGE(CN_CTLCOLORSTATIC, CNCtlColor)
VCL_END_MESSAGE_MAP(TControl)

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (WindowHandle) {
        Message.Result = CallWindowProcA(DefWndProc, WindowHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TControl::DefaultHandler(Message);
}

// A notification goes to the library control that sent it, as CN_ message; a foreign one is left to the
// window's default handling.
void TWinControl::ReflectToChild(TMessage& Message, HWND Child)
{
    TWinControl* control = Child && Child != WindowHandle ? FindControl(Child) : nullptr;
    if (control && !IsDestroying(control)) {
        Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMCommand(TMessage& Message)
{
    ReflectToChild(Message, HWND(Message.LParam));
}

void TWinControl::WMNotify(TMessage& Message)
{
    ReflectToChild(Message, reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (Message.WParam == 0 && draw->CtlType == ODT_MENU) {  // menus handle their own in the form
        DefaultHandler(Message);
        return;
    }
    ReflectToChild(Message, draw->hwndItem);
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (Message.WParam == 0 && measure->CtlType == ODT_MENU) {
        DefaultHandler(Message);
        return;
    }
    ReflectToChild(Message, GetDlgItem(WindowHandle, int(measure->CtlID)));
}

void TWinControl::WMCtlColor(TMessage& Message)
{
    ReflectToChild(Message, HWND(Message.LParam));
}

void TWinControl::WMHScroll(TMessage& Message)
{
    ReflectToChild(Message, HWND(Message.LParam));
}

void TWinControl::WMVScroll(TMessage& Message)
{
    ReflectToChild(Message, HWND(Message.LParam));
}

void TWinControl::CNCtlColor(TMessage& Message)
{
    HDC dc = HDC(Message.WParam);
    SetTextColor(dc, ColorToRGB(FFont->GetColor()));
    SetBkColor(dc, ColorToRGB(FBrush->GetColor()));
    Message.Result = LRESULT(FBrush->GetHandle());
}

void TWinControl::WMPaint(TMessage& Message)
{
    bool hasGraphicChildren = std::any_of(FControls.begin(), FControls.end(),
                                          [](TControl* c) { return !dynamic_cast<TWinControl*>(c); });
    if (!IsOwnClass() && !(ControlState.Contains(csCustomPaint)) && !hasGraphicChildren) {
        DefaultHandler(Message);
        return;
    }
    ControlState << csCustomPaint;
    PaintHandler(Message);
    ControlState >> csCustomPaint;
}

void TWinControl::WMPrintClient(TMessage& Message)
{
    HDC dc = HDC(Message.WParam);
    int saved = SaveDC(dc);
    if (IsOwnClass())
        PaintWindow(dc);
    else
        DefaultHandler(Message);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
    Message.Result = 0;
}

void TWinControl::PaintHandler(TMessage& Message)
{
    // The paint is ended and its DC given back even when a handler throws (EAbort included).
    struct PaintScope {
        HWND window;
        PAINTSTRUCT ps{};
        HDC dc;
        bool began;
        PaintScope(HWND w, HDC given) : window(w), dc(given), began(given == nullptr)
        {
            if (began)
                dc = BeginPaint(window, &ps);
        }
        ~PaintScope()
        {
            if (began)
                EndPaint(window, &ps);
        }
    } scope(WindowHandle, HDC(Message.WParam));
    if (!IsOwnClass()) {
        // A system control paints itself; the windowless children go on top.
        Message.WParam = WPARAM(scope.dc);
        DefaultHandler(Message);
    } else {
        int saved = SaveDC(scope.dc);
        PaintWindow(scope.dc);
        RestoreDC(scope.dc, saved);
    }
    PaintControls(scope.dc, nullptr);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage message{WM_PAINT, WPARAM(DC), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto it = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->GetVisible())
            continue;
        RECT r = c->GetBoundsRect();
        if (!RectVisible(DC, &r))
            continue;
        int saved = SaveDC(DC);
        // From the DC's own origin: a printed window's DC already has its place in the picture.
        OffsetViewportOrgEx(DC, c->GetLeft(), c->GetTop(), nullptr);
        IntersectClipRect(DC, 0, 0, c->GetWidth(), c->GetHeight());
        c->Perform(WM_PAINT, WPARAM(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    if (!IsOwnClass()) {
        DefaultHandler(Message);
        return;
    }
    RECT r;
    ::GetClientRect(WindowHandle, &r);
    FillRect(HDC(Message.WParam), &r, FBrush->GetHandle());
    Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message)
{
    DefaultHandler(Message);
    if (WindowHandle)
        UpdateBounds();
}

void TWinControl::WMMove(TMessage& Message)
{
    DefaultHandler(Message);
    if (WindowHandle)
        UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    DefaultHandler(Message);
    if (WindowHandle)
        UpdateBounds();
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(); form && form != this)
        form->FocusChanged(this);
    DoEnter();
}

void TWinControl::WMKillFocus(TMessage& Message)
{
    DefaultHandler(Message);
    DoExit();
}

void TWinControl::DoEnter()
{
    Perform(CM_ENTER);
    OnEnter(this);
}

void TWinControl::DoExit()
{
    Perform(CM_EXIT);
    OnExit(this);
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
    WORD key = WORD(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->GetKeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(Message))
        return true;
    KeyDown(key, shift);
    Message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    WORD key = WORD(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->GetKeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(Message))
        return true;
    KeyUp(key, shift);
    Message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->GetKeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(Message))
        return true;
    char key = char(Message.WParam & 0xFF);
    KeyPress(key);
    // Only the character's low word is written back: a packed high word survives.
    Message.WParam = (Message.WParam & ~WPARAM(0xFFFF)) | BYTE(key);
    return key == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& Message)
{
    if (!DoKeyDown(Message))
        DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message);
}

// Before dispatch, the application's loop offers key strokes as CN_ messages: dialog keys
// (Tab, Enter, Escape, arrows) go to the form unless the control wants them itself.
// A key that is the shortcut of an item of a pop-up menu up the parent chain or of the form's menu.
bool TWinControl::IsMenuKey(TMessage& Message)
{
    WORD key = WORD(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    for (TControl* c = this; c; c = c->GetParent())
        if (TPopupMenu* popup = c->GetPopupMenu(); popup && popup->IsShortCut(key, shift))
            return true;
    TCustomForm* form = GetParentForm();
    return form && form->IsShortCut(key, shift);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    if (IsMenuKey(Message))
        return;
    if (WindowHandle) {
        WORD key = WORD(Message.WParam);
        LRESULT wants = SendMessageA(WindowHandle, WM_GETDLGCODE, 0, 0);
        bool dialogKey = false;
        switch (key) {
        case VK_TAB:
            dialogKey = !(wants & DLGC_WANTTAB) && !(wants & DLGC_WANTALLKEYS);
            break;
        case VK_RETURN:
        case VK_ESCAPE:
            dialogKey = !(wants & DLGC_WANTALLKEYS);
            break;
        default:
            break;
        }
        if (dialogKey) {
            if (TCustomForm* form = GetParentForm();
                form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
                return;
        }
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 0;
}

// Alt+Space stays the window menu's.
void TWinControl::CNSysChar(TMessage& Message)
{
    TCustomForm* form = GetParentForm();
    Message.Result =
        Message.WParam != VK_SPACE && form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0;
}

void TWinControl::WMMouseWheel(TMessage& Message)
{
    bool handled = false;
    POINT pos{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
    if (short(HIWORD(Message.WParam)) < 0)
        DoMouseWheelDown(shift, pos, handled);
    else
        DoMouseWheelUp(shift, pos, handled);
    if (!handled)
        DefaultHandler(Message);
    else
        Message.Result = 1;
}

void TWinControl::DoMouseWheelDown(TShiftState, POINT, bool&) {}
void TWinControl::DoMouseWheelUp(TShiftState, POINT, bool&) {}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (HWND(Message.WParam) == WindowHandle && LOWORD(Message.LParam) == HTCLIENT) {
        TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
        if (cursor == crDefault) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(WindowHandle, &p);
            TControl* target = ControlAtPos(p, false);
            cursor = target && !dynamic_cast<TWinControl*>(target) ? target->GetCursor() : FCursor;
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->GetCursorHandle(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message)
{
    DefaultHandler(Message);
    HWND handle = WindowHandle;
    RemovePropA(handle, MAKEINTATOM(windowAtom));
    RemovePropA(handle, MAKEINTATOM(controlAtom));
    WindowHandle = nullptr;
    FTrackingMouse = false;
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    FTrackingMouse = false;
    if (FMouseControl) {
        FMouseControl->Perform(CM_MOUSELEAVE);
        FMouseControl = nullptr;
    }
    Perform(CM_MOUSELEAVE);
    DefaultHandler(Message);
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
    if (WindowHandle)
        EnableWindow(WindowHandle, FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage&)
{
    if (FVisible)
        UpdateControlState();
    if (FVisible && !WindowHandle && FParent && FParent->HandleAllocated() && !IsLoading(this))
        CreateHandle();
    if (WindowHandle) {
        ShowWindow(WindowHandle, FVisible ? SW_SHOWNA : SW_HIDE);
        Perform(CM_SHOWINGCHANGED);
    }
}

void TWinControl::CMShowingChanged(TMessage&) {}

void TWinControl::CMFontChanged(TMessage& Message)
{
    if (WindowHandle)
        Perform(WM_SETFONT, WPARAM(FFont->GetHandle()), 1);
    for (TControl* c : FControls)
        c->Perform(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    FBrush->SetColor(FColor);
    for (TControl* c : FControls)
        c->Perform(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message)
{
    for (TControl* c : FControls)
        c->Perform(CM_FOCUSCHANGED, Message.WParam, Message.LParam);
}

void TWinControl::CMSysColorChange(TMessage&)
{
    FBrush->SetColor(FColor);  // drops the brush of a system colour's old value
    for (TControl* c : FControls)
        c->Perform(CM_SYSCOLORCHANGE);
    Invalidate();
}

void TWinControl::CMRecreateWnd(TMessage&)
{
    RecreateWnd();
}

// Accelerator characters: the first child that takes it (Result <> 0) wins.
void TWinControl::CMDialogChar(TMessage& Message)
{
    for (TControl* c : FControls) {
        if (c->GetVisible() && c->GetEnabled() && c->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam)) {
            Message.Result = 1;
            return;
        }
    }
    Message.Result = 0;
}

// =============================================================================================
// TControlCanvas

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value)
{
    if (FControl != Value) {
        FreeHandle();
        FControl = Value;
    }
}

void TControlCanvas::FreeHandle()
{
    if (!FDeviceContext)
        return;
    SetHandle(nullptr);
    ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    auto& list = CanvasList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::CreateHandle()
{
    if (!FControl)
        return;
    if (auto* win = dynamic_cast<TWinControl*>(FControl)) {
        FWindowHandle = win->GetHandle();
        FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    } else {
        TWinControl* parent = FControl->GetParent();
        if (!parent)
            return;
        FWindowHandle = parent->GetHandle();
        FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
        SetViewportOrgEx(FDeviceContext, FControl->GetLeft(), FControl->GetTop(), nullptr);
        IntersectClipRect(FDeviceContext, 0, 0, FControl->GetWidth(), FControl->GetHeight());
    }
    if (FDeviceContext) {
        CanvasList().push_back(this);
        SetHandle(FDeviceContext);
    }
}

void TControlCanvas::FreeDeviceContexts()
{
    auto list = CanvasList();
    for (TControlCanvas* canvas : list)
        canvas->FreeHandle();
}

// =============================================================================================
// TGraphicControl and TCustomControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner)
{
    auto* canvas = new TControlCanvas;
    canvas->SetControl(this);
    FCanvas = canvas;
}

TGraphicControl::~TGraphicControl()
{
    delete FCanvas;
}

VCL_BEGIN_MESSAGE_MAP(TGraphicControl)
    VCL_MESSAGE(WM_PAINT, WMPaint)
VCL_END_MESSAGE_MAP(TControl)

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = HDC(Message.WParam);
    if (!dc)
        return;
    struct Release {
        TCanvas* canvas;
        ~Release() { canvas->SetHandle(nullptr); }
    } release{FCanvas};
    FCanvas->SetHandle(dc);
    FCanvas->GetFont()->Assign(FFont);
    Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* canvas = new TControlCanvas;
    canvas->SetControl(this);
    FCanvas = canvas;
}

TCustomControl::~TCustomControl()
{
    DestroyHandle();
    delete FCanvas;
}

void TCustomControl::PaintWindow(HDC DC)
{
    struct Release {
        TCanvas* canvas;
        ~Release() { canvas->SetHandle(nullptr); }
    } release{FCanvas};
    FCanvas->SetHandle(DC);
    FCanvas->GetFont()->Assign(FFont);
    FCanvas->GetBrush()->Assign(FBrush);
    Paint();
}

// =============================================================================================
// TMouse

POINT TMouse::GetCursorPos() const
{
    POINT p{0, 0};
    ::GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(POINT Value)
{
    ::SetCursorPos(Value.x, Value.y);
}

int TMouse::GetWheelScrollLines() const
{
    return ScrollLines();
}

TControl* TMouse::GetCapture() const
{
    return FindControl(::GetCapture());
}

}  // namespace vcl
