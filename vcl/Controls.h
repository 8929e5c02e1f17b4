// Controls: the base of every visual component. A TControl is windowless (painted by its parent) or,
// as a TWinControl, owns a real window of an ANSI class registered by the library, bound to the object
// through window properties; messages run WindowProc -> WndProc -> Dispatch (message map) -> DefaultHandler.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "SysUtils.h"

namespace vcl {

class TControl;
class TWinControl;
class TPopupMenu;
class TBasicAction;
class TActionLink;
class TCustomForm;

// A control's message map: one line per handled message, the base class chained last.
//   VCL_BEGIN_MESSAGE_MAP(TMyControl)
//     VCL_MESSAGE(WM_PAINT, WMPaint)
//   VCL_END_MESSAGE_MAP(TWinControl)
#define VCL_BEGIN_MESSAGE_MAP(Self)                  \
    void Self::Dispatch(::vcl::TMessage& Message) \
    {                                                \
        switch (Message.Msg) {
#define VCL_MESSAGE(Msg, Handler) \
    case Msg:                     \
        Handler(Message);         \
        return;
#define VCL_END_MESSAGE_MAP(Base) \
    default:                      \
        break;                    \
        }                         \
        Base::Dispatch(Message);  \
        }
// The root of the chains (TControl): what no handler took goes to DefaultHandler.
#define VCL_END_MESSAGE_MAP_ROOT  \
    default:                      \
        break;                    \
        }                         \
        DefaultHandler(Message);  \
        }

using TWndMethod = TEvent<TMessage&>;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
// How a control is dragged: plainly (drag and drop) or to dock it on a dock site.
enum class TDragKind { dkDrag, dkDock };

TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState GetShiftState();

using TCursor = short;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;

// What a control is (ControlStyle) and what it is doing (ControlState).
enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
    csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;
using TContextPopupEvent = TEvent<TObject*, POINT, bool&>;

// A control on its way to a dock site: CM_DOCKCLIENT carries it (wParam) to the site.
class TDragDockObject : public TObject {
    VCL_CLASS(TDragDockObject, TObject)
    explicit TDragDockObject(TControl* AControl = nullptr) : FControl(AControl) {}
    TControl* GetControl() const { return FControl; }
    RECT DockRect{};                  // where the control goes, in screen coordinates
    TAlign DropAlign = TAlign::alNone;  // the side of DropOnControl (or of the site) it docks at
    TControl* DropOnControl = nullptr;

private:
    TControl* FControl;
};

// What CM_DOCKNOTIFICATION tells a dock site (lParam; wParam is the docked control): a message the control got.
struct TDockNotifyRec {
    UINT ClientMsg;
    WPARAM MsgWParam;
    LPARAM MsgLParam;
};

// A docked control's caption as the tab of its sheet shows it: up to the first line break.
template <class S>
S FirstLine(const S& Text)
{
    using C = typename S::value_type;
    return Text.substr(0, std::min(Text.find(C('\r')), Text.find(C('\n'))));
}
// The text a docked control's WM_SETTEXT carried (CM_DOCKNOTIFICATION), its first line: wide when the control is a
// windowed control with a Unicode window (a layer's), else ANSI widened.
WideString DockedCaption(TControl* Client, LPARAM Text);

// Lays out the controls docked on a site that uses a dock manager (UseDockManager); the site owns it.
class TDockManager {
public:
    virtual ~TDockManager() = default;
    // Control arrives at the side InsertAt of DropCtl (of the whole site without one).
    virtual void InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl) = 0;
    virtual void RemoveControl(TControl* Control) = 0;
    // Places the docked controls in the site's client area (Force: even when the area did not change).
    virtual void ResetBounds(bool Force) = 0;
};

// Everything CreateWnd needs to make the window: class, styles, position and the initial text.
struct TCreateParams {
    const char* Caption = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    char WinClassName[64] = {};
};

// The control whose window is being created; InitWndProc binds the new window to it (main thread only).
extern TWinControl* CreationControl;
// Window procedure of every class the library registers: binds the window, then hands over to the control.
LRESULT CALLBACK InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The procedure a bound window runs on: finds its control and calls MainWndProc.
LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The global atoms naming the two window properties that hold the control.
ATOM WindowAtom();
ATOM ControlAtom();
// Binds a window made elsewhere to a control (sets both properties); the layer's own creation uses it.
void BindWindowToControl(HWND Window, TWinControl* Control);
// The library control a window of this process belongs to; nullptr for foreign windows.
TWinControl* FindControl(HWND Window);
// Sets up the atoms and the common controls; called once by the application before any window.
void InitControls();
void DoneControls();
// Hands the exception being handled to the application (never lets it reach Windows).
void HandleControlException(TObject* Sender);
// A hidden window of the calling thread whose messages go to Method (exceptions to the application). A
// message-only window costs the system less (no window of the display behind it) but gets no broadcasts.
HWND AllocateHWnd(TEvent<TMessage&> Method, bool MessageOnly = false);
void DeallocateHWnd(HWND Window);

class TControl : public TComponent {
    VCL_CLASS(TControl, TComponent)
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // ---- messages
    TWndMethod WindowProc;  // replaceable; starts as WndProc
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // ---- parent and bounds
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* Value);
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int GetTop() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT GetBoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const RECT& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual RECT GetClientRect() const;
    int GetClientWidth() const;
    void SetClientWidth(int Value);
    int GetClientHeight() const;
    void SetClientHeight(int Value);
    // Position of the client area's origin relative to the parent's client area.
    virtual POINT GetClientOrigin() const;
    POINT ClientToScreen(POINT P) const;
    POINT ScreenToClient(POINT P) const;
    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);
    bool GetAutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    void BringToFront();
    void SendToBack();

    // ---- state
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    virtual bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TControlStyle ControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState ControlState;

    // ---- text: through WM_GETTEXT / WM_SETTEXT, kept in a buffer while there is no window
    AnsiString GetText();
    void SetText(const AnsiString& Value);
    AnsiString GetCaption() { return GetText(); }
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    int GetTextLen();
    int GetTextBuf(char* Buffer, int BufSize);
    void SetTextBuf(const char* Buffer);
    AnsiString GetTextProp() const { return const_cast<TControl*>(this)->GetText(); }
    // Hint: plain field, written directly without side effects ("short|long").
    AnsiString Hint;
    AnsiString GetHint() const { return Hint; }
    void SetHint(const AnsiString& Value) { Hint = Value; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    // ---- looks
    TFont* GetFont() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor GetColor() const { return FColor; }
    virtual void SetColor(TColor Value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    bool IsColorStored() const { return !FParentColor; }
    bool IsFontStored() const { return !FParentFont; }
    bool IsShowHintStored() const { return !FParentShowHint; }
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool UseRightToLeftAlignment() const;
    bool UseRightToLeftReading() const;
    UINT DrawTextBiDiModeFlags(UINT Flags) const;
    UINT DrawTextBiDiModeFlagsReadingOnly() const;

    // ---- painting
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- actions
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* Value);
    TActionLink* ActionLink = nullptr;
    virtual void InitiateAction();
    // A control that acts on actions sent through its form (the status bar on the hint action) says so.
    virtual bool ExecuteAction(TBasicAction* Action) { (void)Action; return false; }

    // ---- input
    virtual void Click();
    virtual void DblClick();

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent GetOnClick() const { return OnClick; }
    void SetOnClick(TNotifyEvent Value) { OnClick = Value; }
    TNotifyEvent GetOnDblClick() const { return OnDblClick; }
    void SetOnDblClick(TNotifyEvent Value) { OnDblClick = Value; }
    TMouseEvent GetOnMouseDown() const { return OnMouseDown; }
    void SetOnMouseDown(TMouseEvent Value) { OnMouseDown = Value; }
    TMouseEvent GetOnMouseUp() const { return OnMouseUp; }
    void SetOnMouseUp(TMouseEvent Value) { OnMouseUp = Value; }

    // A form the control sits on (nullptr when it sits on none).
    TCustomForm* GetParentForm() const;

    // ---- docking
    TDragKind GetDragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    // The site the control is docked on; nullptr while it is not docked.
    TWinControl* GetHostDockSite() const { return FHostDockSite; }
    // Docks the control on NewDockSite (CM_DOCKCLIENT to the site) at the side ControlSide of DropControl; true
    // when it is docked there.
    bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = TAlign::alNone);
    // Takes the control off its site: a form becomes a window of its own at ScreenPos, any other control floats in
    // a dock form there. False when the site keeps it.
    bool ManualFloat(const RECT& ScreenPos);
    // Moves the control onto NewDockSite, ARect in the site's client coordinates; with nullptr it floats at ARect
    // (screen coordinates).
    virtual void Dock(TWinControl* NewDockSite, const RECT& ARect);

    // Streaming: a control's parent is its parent component.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // An action takes the control's caption, hint, enabled and visible states and click handler.
    void AssignTo(TPersistent* Dest) override;
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void AdjustSize();
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // Class of the link that ties this control to an action.
    virtual TClass GetActionLinkClass() const;
    virtual void Changed();
    void SetZOrder(bool TopMost);
    virtual void SetZOrderPosition(bool TopMost);
    // Handlers, overridable through the message map of a descendant.
    void WMLButtonDown(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMRButtonDown(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMHintShow(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    virtual void VisibleChanging() {}
    void FontChanged(TObject* Sender);
    // A control that docks by dragging (dkDock) tells its site about a message it got (CM_DOCKNOTIFICATION).
    void SendDockNotification(UINT Msg, WPARAM WParam, LPARAM LParam);

    AnsiString FText;  // the text while there is no window (always, for windowless controls)
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = TAlign::alNone;
    bool FAutoSize = false;
    bool FVisible = true;
    bool FEnabled = true;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FParentFont = true;
    bool FParentColor = true;
    bool FMouseInControl = false;
    TFont* FFont;
    TColor FColor = clWindow;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
    TDragKind FDragKind = TDragKind::dkDrag;
    TWinControl* FHostDockSite = nullptr;

private:
    friend class TWinControl;
    // A docked control that goes leaves its site first.
    void UndockBeforeDestruction();
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    TBasicAction* FAction = nullptr;
};

using TControlList = std::vector<TControl*>;

class TWinControl : public TControl {
    VCL_CLASS(TWinControl, TControl)
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // ---- the window
    HWND GetHandle();
    HWND WindowHandle = nullptr;  // raw handle field: writing it has no side effects
    bool HandleAllocated() const { return WindowHandle != nullptr; }
    void HandleNeeded();
    // A control (a form whose start must be quick) may leave its hidden children's windows for later: each is
    // made when it is shown or its handle is asked for, and every one left by CreateDeferredWindows, which
    // also ends the deferral.
    void SetDeferHiddenWindows(bool Value) { FDeferHiddenWindows = Value; }
    void CreateDeferredWindows();
    // The procedure unhandled messages go to (the system class's, or DefWindowProcA); writable.
    WNDPROC DefWndProc = DefWindowProcA;
    virtual void RecreateWnd();
    // For a window without a library parent (a control hosted in a foreign window).
    HWND GetParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    void MainWndProc(TMessage& Message);
    bool GetShowing() const;

    // ---- children
    int GetControlCount() const { return int(FControls.size()); }
    TControl* GetControl(int Index) const { return FControls[size_t(Index)]; }
    bool ContainsControl(const TControl* Control) const;
    TControl* ControlAtPos(POINT Pos, bool AllowDisabled) const;
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();

    // ---- focus
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int GetTabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value) { FTabOrder = Value; }
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    void SelectFirst();
    void SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);
    void GetTabOrderList(std::vector<TWinControl*>& List);

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    RECT GetClientRect() const override;
    POINT GetClientOrigin() const override;
    void PaintTo(HDC DC, int X, int Y);
    void UpdateControlState();

    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    TBrush* GetBrush() const { return FBrush; }
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);

    // ---- docking: a dock site takes controls docked on it (ManualDock); with UseDockManager its dock manager
    // lays them out.
    bool GetDockSite() const { return FDockSite; }
    void SetDockSite(bool Value);
    bool GetUseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value);
    TDockManager* GetDockManager() const { return FDockManager.get(); }
    int GetDockClientCount() const { return int(FDockClients.size()); }
    TControl* GetDockClients(int Index) const { return FDockClients.at(size_t(Index)); }

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent GetOnKeyDown() const { return OnKeyDown; }
    void SetOnKeyDown(TKeyEvent Value) { OnKeyDown = Value; }
    TKeyPressEvent GetOnKeyPress() const { return OnKeyPress; }
    void SetOnKeyPress(TKeyPressEvent Value) { OnKeyPress = Value; }
    TNotifyEvent GetOnEnter() const { return OnEnter; }
    void SetOnEnter(TNotifyEvent Value) { OnEnter = Value; }
    TNotifyEvent GetOnExit() const { return OnExit; }
    void SetOnExit(TNotifyEvent Value) { OnExit = Value; }

    // ---- the window's life: creation path CreateHandle -> CreateWnd -> CreateParams, class registration,
    // CreateWindowHandle; destruction path DestroyHandle -> DestroyWnd -> DestroyWindowHandle.
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void CreateHandle();
    void DestroyHandle();
    // Uses a system class ("BUTTON", "EDIT", a common control) as the base of the library's class.
    static void CreateSubClass(TCreateParams& Params, const char* ClassName);

protected:
    TClass GetActionLinkClass() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The dock manager of a dock site that uses one (made when both are switched on): a TDockTree.
    virtual TDockManager* CreateDockManager();
    // A control arriving: it becomes a child of the site, at ARect unless the dock manager places it.
    virtual void DoAddDockClient(TControl* Client, const RECT& ARect);
    // A control has left the site (docked elsewhere, floating or gone).
    virtual void DoRemoveDockClient(TControl* Client);
    // A docked control is about to leave for NewTarget (nullptr: floating or gone); false keeps it here.
    virtual bool DoUndock(TWinControl* NewTarget, TControl* Client);
    // A control docked here (Client->Dock): the site docks it where the drag object says.
    void CMDockClient(TMessage& Message);
    virtual void AlignControls(TControl* AControl, RECT& Rect);
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(TMessage& Message);
    virtual bool DoKeyDown(TMessage& Message);
    virtual bool DoKeyUp(TMessage& Message);
    virtual bool DoKeyPress(TMessage& Message);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void DoMouseWheelDown(TShiftState Shift, POINT MousePos, bool& Handled);
    virtual void DoMouseWheelUp(TShiftState Shift, POINT MousePos, bool& Handled);
    // Owner-painted classes (forms, panels) erase with their colour; system classes paint themselves. Decided
    // by the class the window is made of, whatever procedure a layer later puts in DefWndProc.
    bool IsOwnClass() const { return FOwnClass; }

    void WMPaint(TMessage& Message);
    // The client area drawn into the given DC as a paint would show it, windowless controls included (printing
    // a window: PrintWindow, WM_PRINT).
    void WMPrintClient(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMCtlColor(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMMove(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void WMMouseLeave(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMRecreateWnd(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    // The form's focus moved (lParam: the control that has it now): every control hears of it.
    void CMFocusChanged(TMessage& Message);
    bool IsMenuKey(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    // Alt with a character: the controls of the form are asked whether it is their accelerator (CM_DIALOGCHAR).
    void CNSysChar(TMessage& Message);
    void CNCtlColor(TMessage& Message);

    TControlList FControls;  // children in z-order: windowless and windowed
    TBrush* FBrush;
    HWND FParentWindow = nullptr;
    bool FTabStop = false;
    int FTabOrder = -1;
    bool FCtl3D = true;
    int FAlignLevel = 0;
    bool FOwnClass = true;
    bool FDeferHiddenWindows = false;

private:
    friend class TControl;
    void UpdateDockManager();
    void AddDockClient(TControl* Client);
    void ForgetDockClient(TControl* Client);
    void UpdateBounds();
    void CreateChildHandles();
    bool DefersHiddenWindows() const;
    // The window a child's window goes just below (HWND_TOP for none).
    HWND WindowAbove(const TWinControl* Child) const;
    void ReflectToChild(TMessage& Message, HWND Child);
    bool ForwardMouseToGraphicChild(TMessage& Message);
    TControl* FMouseControl = nullptr;
    bool FTrackingMouse = false;
    bool FDockSite = false;
    bool FUseDockManager = false;
    std::unique_ptr<TDockManager> FDockManager;
    std::vector<TControl*> FDockClients;
};

// The dock manager every dock site gets by default: the docked controls share the site's client area in the
// order they were docked, side by side once one docked at a left or right side, else one above the other. It
// hooks the site's WindowProc to follow its size.
class TDockTree : public TDockManager {
public:
    explicit TDockTree(TWinControl* DockSite);
    ~TDockTree() override;
    TDockTree(const TDockTree&) = delete;
    TDockTree& operator=(const TDockTree&) = delete;
    void InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl) override;
    void RemoveControl(TControl* Control) override;
    void ResetBounds(bool Force) override;

private:
    void WindowProcHook(TMessage& Message);
    TWinControl* FDockSite;
    TWndMethod FOldWndProc;
    std::vector<TControl*> FControls;
    bool FSideBySide = false;
    RECT FLaidOut{};
};

// A canvas on a control: takes the control's DC itself when no DC is given.
class TControlCanvas : public TCanvas {
    VCL_CLASS(TControlCanvas, TCanvas)
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* GetControl() const { return FControl; }
    void SetControl(TControl* Value);
    void FreeHandle();
    // Lets every control canvas holding a DC of its own give it back (the application's idle time).
    static void FreeDeviceContexts();

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// Windowless: painted on the parent's DC, messages only through Perform.
class TGraphicControl : public TControl {
    VCL_CLASS(TGraphicControl, TControl)
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* GetCanvas() const { return FCanvas; }
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& Message);

private:
    TCanvas* FCanvas;
};

// A window of its own class painted by Paint on a Canvas.
class TCustomControl : public TWinControl {
    VCL_CLASS(TCustomControl, TWinControl)
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* GetCanvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    TCanvas* FCanvas;
};

// The mouse: where it is and how far a wheel notch scrolls.
class TMouse {
public:
    POINT GetCursorPos() const;
    void SetCursorPos(POINT Value);
    int GetWheelScrollLines() const;
    TControl* GetCapture() const;
};
extern TMouse* Mouse;

}  // namespace vcl
