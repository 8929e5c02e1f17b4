// Forms: the application (hidden window, message loop, exception handling, work handed to the main
// thread), the screen, hint windows, and top-level forms with their modal loop.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "Controls.h"

namespace vcl {

class TMainMenu;
class TMenuItem;
class TCustomForm;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TTileMode { tbHorizontal, tbVertical };

using TMsg = MSG;
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1, mrNoToAll = mrAll + 1,
                       mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TMessageEvent = TEvent<TMsg&, bool&>;
using TExceptionEvent = TEvent<TObject*, Exception*>;
using TIdleEvent = TEvent<TObject*, bool&>;
// A hook on the application window: true = handled, the window does nothing more with it.
using TWindowHook = std::function<bool(TMessage&)>;

// What CM_HINTSHOW hands the control before a hint shows; the control may change any of it.
class THintWindow;
struct THintInfo {
    TControl* HintControl = nullptr;
    TClass HintWindowClass = nullptr;
    POINT HintPos{};
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{};
    POINT CursorPos{};
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    AnsiString HintStr;
    void* HintData = nullptr;
};

class THintWindow : public TCustomControl {
    VCL_CLASS(THintWindow, TCustomControl)
    explicit THintWindow(TComponent* AOwner);
    virtual void ActivateHint(RECT Rect, const AnsiString& AHint);
    virtual void ActivateHintData(RECT Rect, const AnsiString& AHint, void* AData);
    virtual RECT CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData);
    void ReleaseHandle();
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
};

// The class the application makes its hint window of; the Unicode layer swaps it.
extern TClass HintWindowClass;

class TApplication : public TComponent {
    VCL_CLASS(TApplication, TComponent)
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    HWND GetHandle() const { return FHandle; }
    AnsiString GetTitle() const { return FTitle; }
    void SetTitle(const AnsiString& Value);
    AnsiString GetExeName() const;
    TCustomForm* GetMainForm() const { return FMainForm; }
    bool GetTerminated() const { return FTerminated; }
    HWND DialogHandle = nullptr;

    void Initialize() {}
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T>
    void CreateForm(T*& Reference);
    void Run();
    void Terminate();
    void HandleMessage();
    void ProcessMessages();
    // Runs when no message waits: actions are updated, idle handlers run.
    void Idle(const MSG& Msg);
    void HandleException(TObject* Sender);
    void ShowException(Exception* E);
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);
    void HookMainWindow(const void* Key, TWindowHook Hook);
    void UnhookMainWindow(const void* Key);
    // Hands work to the main thread; callable from any thread. Closures run in the order queued, in the
    // main thread's loop (modal loops too), with exceptions handed to HandleException. None is lost: they
    // wait in the application's own queue, and a posted message only wakes the loop.
    void Queue(std::function<void()> Work);
    // Runs work on the main thread and waits for it (only from another thread; the main thread runs it now).
    void Synchronize(std::function<void()> Work);
    bool IsMainThread() const { return GetCurrentThreadId() == FMainThreadId; }

    AnsiString GetHint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    void CancelHint();
    void ActivateHint(POINT CursorPos);
    // A control going: a hint waiting for it is cancelled.
    void ControlDestroyed(TControl* Control);
    bool HintShortCuts = true;
    int HintPause = 500;
    int HintHidePause = 2500;
    THintWindow* GetHintWindow() const { return FHintWindow; }
    // The first line of a "short|long" hint and the rest.
    static AnsiString GetShortHint(const AnsiString& Hint);
    static AnsiString GetLongHint(const AnsiString& Hint);

    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    void AddForm(TCustomForm* Form);
    void UpdateActions();

private:
    friend class TCustomForm;
    static LRESULT CALLBACK AppWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void WndProc(TMessage& Message);
    bool ProcessMessage(MSG& Msg);
    bool IsKeyMsg(MSG& Msg);
    bool IsDlgMsg(MSG& Msg);
    bool IsHintMsg(MSG& Msg);
    void WakeForQueuedWork();
    void RunQueuedWork();
    void DropQueuedWork();
    void HintTimerExpired();
    void DoneForms();

    HWND FHandle = nullptr;
    DWORD FMainThreadId;
    AnsiString FTitle;
    AnsiString FHint;
    bool FShowHint = true;
    bool FTerminated = false;
    bool FRunning = false;
    TCustomForm* FMainForm = nullptr;
    std::vector<std::pair<const void*, TWindowHook>> FHooks;
    THintWindow* FHintWindow = nullptr;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
    std::atomic<bool> FClosing{false};
    std::mutex FQueueLock;
    std::deque<std::function<void()>> FQueued;  // guarded by FQueueLock
    bool FWakePosted = false;                   // guarded by FQueueLock
};

class TScreen : public TComponent {
    VCL_CLASS(TScreen, TComponent)
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    HCURSOR GetCursorHandle(TCursor Cursor) const;
    int GetFormCount() const { return int(FForms.size()); }
    TCustomForm* GetForm(int Index) const { return FForms[size_t(Index)]; }
    TCustomForm* GetActiveForm() const;
    TWinControl* GetActiveControl() const;
    TFont* GetHintFont() const { return FHintFont; }
    int GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
    int GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
    RECT GetWorkAreaRect() const;
    int GetPixelsPerInch() const { return TFont::PixelsPerInch(); }

private:
    friend class TCustomForm;
    friend class TApplication;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
    TFont* FHintFont;
};

class TCustomForm : public TWinControl {
    VCL_CLASS(TCustomForm, TWinControl)
    // Creates the form and, once its constructor chain has run (Create / CreateForm), reads its form resource.
    explicit TCustomForm(TComponent* AOwner);
    // A form without a form resource.
    TCustomForm(TComponent* AOwner, int Dummy);
    ~TCustomForm() override;

    // The two-step creation every form goes through: construct, then load the resource and fire OnCreate.
    template <class T>
    static T* Create(TComponent* AOwner)
    {
        T* form = new T(AOwner);
        try {
            form->AfterConstruction();
        } catch (...) {
            delete form;
            throw;
        }
        return form;
    }
    virtual void AfterConstruction();

    void Show();
    void Hide() { SetVisible(false); }
    virtual int ShowModal();
    void Close();
    void Release();
    virtual bool CloseQuery();
    bool GetModal() const { return FModal; }
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TMainMenu* GetMenu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TWinControl* GetActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    bool GetActive() const { return FActive; }

    // ---- MDI: a frame (fsMDIForm) shows its children (fsMDIChild) in a client window of the system class
    // "MDICLIENT"; a child's window can be made only while the main form is such a frame.
    HWND GetClientHandle() const { return FClientHandle; }
    int GetMDIChildCount() const { return int(MDIChildForms().size()); }
    // The children in the client's order, the active one first.
    TCustomForm* GetMDIChildren(int Index) const { return MDIChildForms().at(size_t(Index)); }
    TCustomForm* GetActiveMDIChild() const;
    TTileMode GetTileMode() const { return FTileMode; }
    void SetTileMode(TTileMode Value) { FTileMode = Value; }
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();

    // ---- a layered window: the whole form blended with what lies below (AlphaBlendValue, 0 invisible to 255
    // opaque), or the pixels of TransparentColorValue left out
    bool GetAlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    BYTE GetAlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(BYTE Value);
    bool GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(bool Value);
    TColor GetTransparentColorValue() const { return FTransparentColorValue; }
    void SetTransparentColorValue(TColor Value);

    // A form docked on a site loses its border until it floats again.
    void Dock(TWinControl* NewDockSite, const RECT& ARect) override;
    HMONITOR GetMonitor() const;
    // Without a window the client area is what the frame of the window to be made leaves.
    RECT GetClientRect() const override;
    void FocusChanged(TWinControl* Control);
    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    virtual void UpdateActions();
    // A key with its shift state that clicks an item of the form's menu (true when it did).
    virtual bool IsShortCut(WORD Key, TShiftState Shift);
    // In a form stream: the components without a parent (menus, action lists, timers), then the controls.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    int HelpContext = 0;
    AnsiString HelpFile;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnPaint;
    TNotifyEvent GetOnCreate() const { return OnCreate; }
    void SetOnCreate(TNotifyEvent Value) { OnCreate = Value; }
    TNotifyEvent GetOnDestroy() const { return OnDestroy; }
    void SetOnDestroy(TNotifyEvent Value) { OnDestroy = Value; }
    TNotifyEvent GetOnShow() const { return OnShow; }
    void SetOnShow(TNotifyEvent Value) { OnShow = Value; }
    TNotifyEvent GetOnActivate() const { return OnActivate; }
    void SetOnActivate(TNotifyEvent Value) { OnActivate = Value; }
    TCloseEvent GetOnClose() const { return OnClose; }
    void SetOnClose(TCloseEvent Value) { OnClose = Value; }
    TCloseQueryEvent GetOnCloseQuery() const { return OnCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent Value) { OnCloseQuery = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // An MDI child's window is made in the frame's client window; a layered form's attributes are set.
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWindowHandle() override;
    // An MDI frame's client window takes the room its aligned controls leave.
    void AlignControls(TControl* AControl, RECT& Rect) override;
    void Loaded() override;
    // The main form's client window, where an MDI child's window goes; EInvalidOperation when the main form is
    // no MDI frame.
    static HWND MDIClientForChild();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoClose(TCloseAction& Action);
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    void VisibleChanging() override;
    void WMCommand(TMessage& Message);
    void WMClose(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMShowWindow(TMessage& Message);
    void WMInitMenuPopup(TMessage& Message);
    void WMMenuSelect(TMessage& Message);
    // The item of the form's menu a WM_MENUSELECT names (a command, or the submenu at a position); nullptr
    // when the menu closes or the form has no menu.
    TMenuItem* SelectedMenuItem(const TMessage& Message) const;
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMWindowPosChanging(TMessage& Message);
    void WMSysColorChange(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMRelease(TMessage& Message);
    void CMBiDiModeChanged(TMessage& Message);
    void CMActionExecute(TMessage& Message);
    void CMActionUpdate(TMessage& Message);

    // The window was made as an MDI child, so the client window destroys it.
    bool FCreatedMDIChild = false;

private:
    void PlaceOnScreen();
    void ModalLoop();
    bool IsTopLevel() const { return !FParent && !FParentWindow && FFormStyle != TFormStyle::fsMDIChild; }
    void CreateMDIClient();
    std::vector<TCustomForm*> MDIChildForms() const;
    void SetLayeredAttribs();
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TPosition FPosition = TPosition::poDesigned;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TWindowState FWindowState = TWindowState::wsNormal;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FCreated = false;
    bool FPlaced = false;
    bool FWithResource = true;
    HWND FClientHandle = nullptr;
    TTileMode FTileMode = TTileMode::tbHorizontal;
    bool FAlphaBlend = false;
    BYTE FAlphaBlendValue = 255;
    bool FTransparentColor = false;
    TColor FTransparentColorValue = clBlack;
    TFormBorderStyle FUndockedBorderStyle = TFormBorderStyle::bsSizeable;
};

class TForm : public TCustomForm {
    VCL_CLASS(TForm, TCustomForm)
    using TCustomForm::TCustomForm;
};

// The tool window a control that is not a form floats in (ManualFloat): the control fills it and gives it its
// caption; the window goes when the control leaves.
class TCustomDockForm : public TCustomForm {
    VCL_CLASS(TCustomDockForm, TCustomForm)
    explicit TCustomDockForm(TComponent* AOwner);

protected:
    void DoAddDockClient(TControl* Client, const RECT& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;
};

// A windowed container with scroll bars: when its children reach beyond the client area, the bars
// appear and scrolling moves the children (aligned children stay where alignment puts them).
class TScrollBox : public TWinControl {
    VCL_CLASS(TScrollBox, TWinControl)
    explicit TScrollBox(TComponent* AOwner);
    bool GetAutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    int GetHorzPosition() const { return FPosition.x; }
    void SetHorzPosition(int Value) { ScrollTo(Value, FPosition.y); }
    int GetVertPosition() const { return FPosition.y; }
    void SetVertPosition(int Value) { ScrollTo(FPosition.x, Value); }
    // Scrolls so that the control (a child) is fully visible where it fits.
    void ScrollInView(TControl* AControl);
    // Recomputes the bars from the children's extent (after moving children by hand).
    void UpdateScrollBars();
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AlignControls(TControl* AControl, RECT& Rect) override;
    void DoMouseWheelDown(TShiftState Shift, POINT MousePos, bool& Handled) override;
    void DoMouseWheelUp(TShiftState Shift, POINT MousePos, bool& Handled) override;
    void WMSize(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMVScroll(TMessage& Message);

private:
    void ScrollTo(int X, int Y);
    // The children's extent in unscrolled coordinates.
    SIZE ContentSize() const;
    int ScrollCode(int Bar, WORD Code, int Line) const;
    bool FAutoScroll = true;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSingle;
    POINT FPosition{};
    bool FUpdating = false;
};

// A container designed on its own: a borderless scroll box whose components are its own. Create reads the form
// resources of its classes, as a form's are read; written as a root it streams its components like a form.
class TCustomFrame : public TScrollBox {
    VCL_CLASS(TCustomFrame, TScrollBox)
    explicit TCustomFrame(TComponent* AOwner);
    template <class T>
    static T* Create(TComponent* AOwner)
    {
        std::unique_ptr<T> frame(new T(AOwner));
        InitInheritedComponent(frame.get(), TCustomFrame::StaticClass());
        return frame.release();
    }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
};

class TFrame : public TCustomFrame {
    VCL_CLASS(TFrame, TCustomFrame)
    using TCustomFrame::TCustomFrame;
};

extern TApplication* Application;
extern TScreen* Screen;

// Sets up the visual half of the library (atoms, common controls, Application, Screen) and takes it down
// again after every form is gone.
void InitForms();
void DoneForms();

// The form a control sits on; nullptr for none.
TCustomForm* GetParentForm(TControl* Control);

template <class T>
void TApplication::CreateForm(T*& Reference)
{
    Reference = TCustomForm::Create<T>(this);
    if (!FMainForm)
        FMainForm = Reference;
}

// ---- help --------------------------------------------------------------------------------------

// The help file of the active form, else of the main form; empty when neither names one.
AnsiString CurrentHelpFile();
// Runs a command of the help system (WinHelp: HELP_CONTEXT, HELP_FINDER ...) on the current help file,
// owned by the active form. False when there is no help file or the help system refused.
bool HelpCommand(UINT Command, ULONG_PTR Data);

}  // namespace vcl
