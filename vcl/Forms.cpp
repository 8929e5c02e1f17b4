// Forms: application, screen, hints and forms.
#include "Forms.h"

#include <algorithm>
#include <condition_variable>
#include <memory>

#include "ActnList.h"
#include "AppEvnts.h"
#include "Buttons.h"
#include "CSpin.h"
#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdActns.h"
#include "StdCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(THintWindow, TCustomControl)
VCL_IMPLEMENT_CLASS(TApplication, TComponent)
VCL_IMPLEMENT_CLASS(TScreen, TComponent)
VCL_IMPLEMENT_CLASS(TCustomForm, TWinControl)
VCL_IMPLEMENT_CLASS(TScrollBox, TWinControl, {
    m.Publish("AutoScroll", &TScrollBox::GetAutoScroll, &TScrollBox::SetAutoScroll).WithDefault(1);
    m.Publish("BorderStyle", &TScrollBox::GetBorderStyle, &TScrollBox::SetBorderStyle)
        .WithNames({"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})
        .WithDefault(int(TFormBorderStyle::bsSingle));
})
VCL_IMPLEMENT_CLASS(TCustomFrame, TScrollBox)
VCL_IMPLEMENT_CLASS(TFrame, TCustomFrame)
VCL_IMPLEMENT_CLASS(TForm, TCustomForm, {
    m.Publish("Caption", &TForm::GetTextProp, &TForm::SetText);
    m.Publish("ClientWidth", &TForm::GetClientWidth, &TForm::SetClientWidth);
    m.Publish("ClientHeight", &TForm::GetClientHeight, &TForm::SetClientHeight);
    m.Publish("BorderStyle", &TForm::GetBorderStyle, &TForm::SetBorderStyle)
        .WithNames({"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})
        .WithDefault(2);
    m.Publish("Position", &TForm::GetPosition, &TForm::SetPosition)
        .WithNames({"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"})
        .WithDefault(0);
    m.Publish("FormStyle", &TForm::GetFormStyle, &TForm::SetFormStyle)
        .WithNames({"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"})
        .WithDefault(0);
    m.Publish("KeyPreview", &TForm::GetKeyPreview, &TForm::SetKeyPreview).WithDefault(0);
    m.Publish("TileMode", &TForm::GetTileMode, &TForm::SetTileMode)
        .WithNames({"tbHorizontal", "tbVertical"})
        .WithDefault(0);
    m.Publish("AlphaBlend", &TForm::GetAlphaBlend, &TForm::SetAlphaBlend).WithDefault(0);
    m.Publish("AlphaBlendValue", &TForm::GetAlphaBlendValue, &TForm::SetAlphaBlendValue).WithDefault(255);
    m.Publish("TransparentColor", &TForm::GetTransparentColor, &TForm::SetTransparentColor).WithDefault(0);
    m.Publish("TransparentColorValue", &TForm::GetTransparentColorValue, &TForm::SetTransparentColorValue)
        .WithIdents(ColorIdents())
        .WithDefault(0);
    m.Publish("Menu", &TForm::GetMenu, &TForm::SetMenu);
    m.Publish("ActiveControl", &TForm::GetActiveControl, &TForm::SetActiveControl);
    m.Publish("OnCreate", &TForm::GetOnCreate, &TForm::SetOnCreate);
    m.Publish("OnDestroy", &TForm::GetOnDestroy, &TForm::SetOnDestroy);
    m.Publish("OnShow", &TForm::GetOnShow, &TForm::SetOnShow);
    m.Publish("OnActivate", &TForm::GetOnActivate, &TForm::SetOnActivate);
    m.Publish("OnClose", &TForm::GetOnClose, &TForm::SetOnClose);
    m.Publish("OnCloseQuery", &TForm::GetOnCloseQuery, &TForm::SetOnCloseQuery);
})

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TClass HintWindowClass = nullptr;

namespace {

// A root's components that no control holds (menus, action lists, timers), which a stream carries first.
void ReportParentlessComponents(TComponent* Root, const TGetChildProc& Proc)
{
    for (int i = 0; i < Root->GetComponentCount(); ++i)
        if (TComponent* component = Root->GetComponents(i); !component->HasParent())
            Proc(component);
}

const char AppClassName[] = "TApplication";
constexpr UINT_PTR HintTimerId = 1;
constexpr UINT_PTR HintHideTimerId = 2;
// Runs queued work whose wake-up message could not be posted (a full message queue).
constexpr UINT_PTR QueueTimerId = 3;
constexpr UINT QueueTimerInterval = 250;

bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

}  // namespace

void HandleControlException(TObject* Sender)
{
    if (Application)
        Application->HandleException(Sender);
}

// Every class a form resource may name.
static void RegisterVisualClasses()
{
    RegisterClasses({TForm::StaticClass(), TLabel::StaticClass(), TStaticText::StaticClass(), TButton::StaticClass(),
                     TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
                     TEdit::StaticClass(), TMemo::StaticClass(), TComboBox::StaticClass(), TListBox::StaticClass(),
                     TScrollBar::StaticClass(), TTimer::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(),
                     TImage::StaticClass(), TPaintBox::StaticClass(), TShape::StaticClass(),
                     TRadioGroup::StaticClass(), TSplitter::StaticClass(), TTreeView::StaticClass(),
                     TListView::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(),
                     TTabControl::StaticClass(), TStatusBar::StaticClass(), TToolBar::StaticClass(),
                     TToolButton::StaticClass(), TProgressBar::StaticClass(), TMainMenu::StaticClass(),
                     TPopupMenu::StaticClass(), TMenuItem::StaticClass(), TActionList::StaticClass(),
                     TAction::StaticClass(), TImageList::StaticClass(), TOpenDialog::StaticClass(),
                     TSaveDialog::StaticClass(), TBitBtn::StaticClass(), TSpeedButton::StaticClass(),
                     TCSpinEdit::StaticClass(), TApplicationEvents::StaticClass(), TScrollBox::StaticClass(), TFrame::StaticClass(),
                     TRichEdit::StaticClass()});
    RegisterStdActions();
    RegisterDialogs();
    RegisterExtendedCommonControls();
    RegisterControlBar();
}

void InitForms()
{
    InitControls();
    RegisterVisualClasses();
    HintWindowClass = THintWindow::StaticClass();
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    PopupList = new TPopupList;
}

void DoneForms()
{
    delete Application;
    Application = nullptr;
    delete PopupList;
    PopupList = nullptr;
    DoneClipboard();
    delete Screen;
    Screen = nullptr;
    DoneControls();
}

TCustomForm* GetParentForm(TControl* Control)
{
    return Control ? Control->GetParentForm() : nullptr;
}

// =============================================================================================
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FMainThreadId(GetCurrentThreadId())
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    FTitle = ChangeFileExt(ExtractFileName(path), "");
    WNDCLASSA cls{};
    if (!GetClassInfoA(HInstance, AppClassName, &cls)) {
        cls.lpfnWndProc = &AppWndProc;
        cls.hInstance = HInstance;
        cls.hIcon = LoadIconA(HInstance, "MAINICON");
        cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        cls.lpszClassName = AppClassName;
        RegisterClassA(&cls);
    }
    FHandle = CreateWindowExA(0, AppClassName, FTitle.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, HInstance, this);
    if (!FHandle)
        RaiseLastOSError();
    SetTimer(FHandle, QueueTimerId, QueueTimerInterval, nullptr);
}

TApplication::~TApplication()
{
    FClosing = true;
    DoneForms();
    delete FHintWindow;
    FHintWindow = nullptr;
    DropQueuedWork();
    if (FHandle) {
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

// Forms go in the reverse order of their creation, before anything else of the library.
void TApplication::DoneForms()
{
    for (int i = GetComponentCount() - 1; i >= 0; i = std::min(i - 1, GetComponentCount() - 1)) {
        if (auto* form = dynamic_cast<TCustomForm*>(GetComponents(i)))
            delete form;
    }
    FMainForm = nullptr;
}

LRESULT CALLBACK TApplication::AppWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(LParam);
        SetWindowLongPtrA(Window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
        static_cast<TApplication*>(create->lpCreateParams)->FHandle = Window;
    }
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!app)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    try {
        app->WndProc(message);
    } catch (...) {
        app->HandleException(app);
    }
    return message.Result;
}

void TApplication::WndProc(TMessage& Message)
{
    for (auto it = FHooks.rbegin(); it != FHooks.rend(); ++it)
        if (it->second(Message))
            return;
    switch (Message.Msg) {
    case CM_RUNCLOSURE:
        RunQueuedWork();
        return;
    case WM_TIMER:
        if (Message.WParam == QueueTimerId)
            RunQueuedWork();
        else if (Message.WParam == HintTimerId)
            HintTimerExpired();
        else if (Message.WParam == HintHideTimerId)
            CancelHint();
        return;
    case WM_CLOSE:
        if (FMainForm)
            FMainForm->Close();
        return;
    case WM_ACTIVATEAPP:
        (Message.WParam ? OnActivate : OnDeactivate)(this);
        break;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
        if (FMainForm)
            Message.Result = FMainForm->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SetTitle(const AnsiString& Value)
{
    FTitle = Value;
    if (FHandle)
        SetWindowTextA(FHandle, Value.c_str());
}

AnsiString TApplication::GetExeName() const
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void TApplication::AddForm(TCustomForm* Form)
{
    if (!FMainForm)
        FMainForm = Form;
}

void TApplication::Run()
{
    FRunning = true;
    if (FMainForm)
        FMainForm->Show();
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
    FRunning = false;
}

void TApplication::Terminate()
{
    FTerminated = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    OnMessage(Msg, handled);
    if (!handled && !IsHintMsg(Msg) && !IsKeyMsg(Msg) && !IsDlgMsg(Msg)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
    return true;
}

void TApplication::HandleMessage()
{
    MSG msg{};
    if (!ProcessMessage(msg))
        Idle(msg);
}

void TApplication::ProcessMessages()
{
    MSG msg{};
    while (ProcessMessage(msg)) {
    }
}

void TApplication::Idle(const MSG&)
{
    TControlCanvas::FreeDeviceContexts();
    bool done = true;
    try {
        OnIdle(this, done);
        if (done)
            UpdateActions();
    } catch (...) {
        HandleException(this);
    }
    if (done && !FTerminated)
        WaitMessage();
}

void TApplication::UpdateActions()
{
    if (!Screen)
        return;
    for (TCustomForm* form : Screen->FForms)
        if (form->GetVisible() && form->HandleAllocated())
            form->UpdateActions();
}

// Key strokes are offered to the library control that has the focus first (CN_KEYDOWN, CN_CHAR...);
// Result <> 0 means it took the key.
bool TApplication::IsKeyMsg(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST || !Msg.hwnd)
        return false;
    HWND window = Msg.hwnd;
    TWinControl* control = FindControl(window);
    if (!control) {
        // An inner window (the edit of a combo box) belongs to the library control around it.
        HWND parent = GetParent(window);
        control = parent ? FindControl(parent) : nullptr;
    }
    if (!control)
        return false;
    return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsDlgMsg(MSG& Msg)
{
    return DialogHandle && IsDialogMessageA(DialogHandle, &Msg);
}

bool TApplication::IsHintMsg(MSG& Msg)
{
    if (FHintActive && ((Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) ||
                        Msg.message == WM_LBUTTONDOWN || Msg.message == WM_RBUTTONDOWN ||
                        Msg.message == WM_MBUTTONDOWN || Msg.message == WM_NCLBUTTONDOWN))
        CancelHint();
    if (Msg.message == WM_MOUSEMOVE && FShowHint) {
        POINT p = Msg.pt;
        ActivateHint(p);
    }
    return false;
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    auto report = [&](Exception* e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    };
    // A handler that fails itself must not let its exception reach the window procedure around us.
    try {
        try {
            std::rethrow_exception(current);
        } catch (EAbort&) {
        } catch (Exception& e) {
            report(&e);
        } catch (std::exception& e) {
            Exception wrapped(e.what());
            report(&wrapped);
        } catch (...) {
            Exception wrapped("Unknown exception");
            report(&wrapped);
        }
    } catch (...) {
        ::MessageBoxA(nullptr, "An error occurred while an error was being reported.", FTitle.c_str(),
                      MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

void TApplication::ShowException(Exception* E)
{
    AnsiString text = E->Message;
    if (!text.empty() && text.back() > '.')
        text += '.';
    try {
        MessageDlg(FTitle, text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK}, 0);
    } catch (...) {
        // The box itself failed: fall back to the system's.
        ::MessageBoxA(nullptr, text.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->WindowHandle : FHandle;
    return ::MessageBoxA(owner, Text.c_str(), Caption.c_str(), Flags);
}

void TApplication::HookMainWindow(const void* Key, TWindowHook Hook)
{
    FHooks.emplace_back(Key, std::move(Hook));
}

void TApplication::UnhookMainWindow(const void* Key)
{
    FHooks.erase(std::remove_if(FHooks.begin(), FHooks.end(), [Key](const auto& h) { return h.first == Key; }),
                 FHooks.end());
}

void TApplication::Queue(std::function<void()> Work)
{
    if (FClosing)
        return;
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        FQueued.push_back(std::move(Work));
        if (FWakePosted)
            return;
        FWakePosted = true;
    }
    WakeForQueuedWork();
}

// One wake-up message at a time; when it cannot be posted the queue timer runs the work instead.
void TApplication::WakeForQueuedWork()
{
    if (PostMessageA(FHandle, CM_RUNCLOSURE, 0, 0))
        return;
    std::lock_guard<std::mutex> lock(FQueueLock);
    FWakePosted = false;
}

void TApplication::Synchronize(std::function<void()> Work)
{
    if (IsMainThread()) {
        Work();
        return;
    }
    std::mutex m;
    std::condition_variable done;
    bool finished = false;
    Queue([&] {
        struct Signal {
            std::mutex& m;
            std::condition_variable& done;
            bool& finished;
            ~Signal()
            {
                std::lock_guard<std::mutex> lock(m);
                finished = true;
                done.notify_all();
            }
        } signal{m, done, finished};
        Work();
    });
    std::unique_lock<std::mutex> lock(m);
    // Bounded: an application that is closing never runs the work.
    while (!finished && !FClosing)
        done.wait_for(lock, std::chrono::milliseconds(100));
}

// Runs the closures queued so far, one at a time and in order (a closure may run a modal loop that runs
// the next ones); what is queued meanwhile runs at the next wake-up, so the loop's other messages are
// never starved.
void TApplication::RunQueuedWork()
{
    size_t count;
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        count = FQueued.size();
        FWakePosted = false;  // work queued from now on posts its own wake-up
    }
    for (; count > 0; --count) {
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(FQueueLock);
            if (FQueued.empty())
                break;
            work = std::move(FQueued.front());
            FQueued.pop_front();
        }
        try {
            if (work)
                work();
        } catch (...) {
            HandleException(this);
        }
    }
    bool more;
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        more = !FQueued.empty() && !FWakePosted;
        FWakePosted = FWakePosted || more;
    }
    if (more)
        WakeForQueuedWork();
}

void TApplication::DropQueuedWork()
{
    std::deque<std::function<void()>> dropped;  // destroyed outside the lock
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        dropped.swap(FQueued);
        FWakePosted = false;
    }
    MSG msg;
    while (PeekMessageA(&msg, FHandle, CM_RUNCLOSURE, CM_RUNCLOSURE, PM_REMOVE)) {
    }
}

AnsiString TApplication::GetShortHint(const AnsiString& Hint)
{
    size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

AnsiString TApplication::GetLongHint(const AnsiString& Hint)
{
    size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(bar + 1);
}

void TApplication::SetHint(const AnsiString& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    if (OnHint) {
        OnHint(this);
        return;
    }
    // Without a handler the hint goes out as a hint action (a status bar with AutoHint shows it).
    THintAction action(nullptr);
    action.SetHint(Value);
    if (FHandle)
        SendMessageA(FHandle, CM_ACTIONEXECUTE, 0, LPARAM(&action));
}

void TApplication::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (!Value)
        CancelHint();
}

void TApplication::CancelHint()
{
    KillTimer(FHandle, HintTimerId);
    KillTimer(FHandle, HintHideTimerId);
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
    FHintActive = false;
}

void TApplication::ControlDestroyed(TControl* Control)
{
    if (Control != FHintControl)
        return;
    CancelHint();
    FHintControl = nullptr;
}

// The control under the mouse gets a hint after a pause, if it shows hints and has one.
void TApplication::ActivateHint(POINT CursorPos)
{
    HWND window = WindowFromPoint(CursorPos);
    TWinControl* win = FindControl(window);
    TControl* control = win;
    if (win) {
        POINT local = CursorPos;
        ::ScreenToClient(window, &local);
        if (TControl* inner = win->ControlAtPos(local, true); inner && !dynamic_cast<TWinControl*>(inner))
            control = inner;
    }
    if (control == FHintControl)
        return;
    CancelHint();
    FHintControl = control;
    SetHint(control ? GetLongHint(control->Hint) : AnsiString());
    if (control && control->GetShowHint() && !control->Hint.empty())
        SetTimer(FHandle, HintTimerId, UINT(HintPause), nullptr);
}

void TApplication::HintTimerExpired()
{
    KillTimer(FHandle, HintTimerId);
    if (!FHintControl)
        return;
    THintInfo info;
    info.HintControl = FHintControl;
    info.HintWindowClass = HintWindowClass;
    GetCursorPos(&info.CursorPos);
    info.HintPos = {info.CursorPos.x, info.CursorPos.y + 20};
    info.HintMaxWidth = Screen ? Screen->GetWidth() : 640;
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(FHintControl->Hint);
    if (FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || info.HintStr.empty())
        return;
    if (HintShortCuts)
        if (auto* action = dynamic_cast<TCustomAction*>(FHintControl->GetAction()); action && action->GetShortCut())
            info.HintStr = Format("%s (%s)", {info.HintStr, ShortCutToText(action->GetShortCut())});
    if (!FHintWindow || FHintWindow->ClassType() != info.HintWindowClass) {
        delete FHintWindow;
        FHintWindow = static_cast<THintWindow*>(info.HintWindowClass->Create(this));
    }
    RECT r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    FHintActive = true;
    if (info.HideTimeout > 0)
        SetTimer(FHandle, HintHideTimerId, UINT(info.HideTimeout), nullptr);
}

// =============================================================================================
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clInfoBk;
    FParentColor = false;
    FParentFont = false;
    FVisible = false;
    if (Screen)
        GetFont()->Assign(Screen->GetHintFont());
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = Application ? Application->GetHandle() : nullptr;
}

VCL_BEGIN_MESSAGE_MAP(THintWindow)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
    VCL_MESSAGE(WM_NCHITTEST, WMNCHitTest)
VCL_END_MESSAGE_MAP(TCustomControl)

void THintWindow::CMTextChanged(TMessage&)
{
    Invalidate();
}

void THintWindow::WMNCHitTest(TMessage& Message)
{
    Message.Result = HTTRANSPARENT;
}

RECT THintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void*)
{
    RECT r{0, 0, MaxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
    DrawTextA(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r.right += 6;
    r.bottom += 4;
    return r;
}

void THintWindow::ActivateHint(RECT Rect, const AnsiString& AHint)
{
    SetCaption(AHint);
    HandleNeeded();
    SetWindowPos(WindowHandle, HWND_TOPMOST, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ActivateHintData(RECT Rect, const AnsiString& AHint, void*)
{
    ActivateHint(Rect, AHint);
}

void THintWindow::ReleaseHandle()
{
    DestroyHandle();
}

void THintWindow::Paint()
{
    RECT r = GetClientRect();
    InflateRect(&r, -2, -2);
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->SetColor(clInfoText);
    SetBkMode(canvas->GetHandle(), TRANSPARENT);
    AnsiString text = GetText();
    DrawTextA(canvas->GetHandle(), text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// =============================================================================================
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FHintFont(new TFont)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        FHintFont->SetName(metrics.lfStatusFont.lfFaceName);
        FHintFont->SetHeight(metrics.lfStatusFont.lfHeight);
    }
    FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen()
{
    delete FHintFont;
}

HCURSOR TScreen::GetCursorHandle(TCursor Cursor) const
{
    static const struct {
        TCursor cursor;
        LPCSTR id;
    } cursors[] = {{crArrow, IDC_ARROW},     {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},
                   {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE},
                   {crSizeWE, IDC_SIZEWE},   {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT},
                   {crNo, IDC_NO},           {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
                   {crHandPoint, IDC_HAND},  {crSizeAll, IDC_SIZEALL}};
    if (Cursor == crNone)
        return nullptr;
    for (const auto& c : cursors)
        if (c.cursor == Cursor)
            return LoadCursorA(nullptr, c.id);
    return LoadCursorA(nullptr, IDC_ARROW);
}

void TScreen::SetCursor(TCursor Value)
{
    if (Application && !Application->IsMainThread()) {
        Application->Queue([this, Value] { SetCursor(Value); });
        return;
    }
    if (FCursor == Value)
        return;
    FCursor = Value;
    POINT p;
    GetCursorPos(&p);
    ::SetCursor(GetCursorHandle(Value == crDefault ? crArrow : Value));
}

TCustomForm* TScreen::GetActiveForm() const
{
    TWinControl* control = FindControl(GetActiveWindow());
    return dynamic_cast<TCustomForm*>(control);
}

TWinControl* TScreen::GetActiveControl() const
{
    TCustomForm* form = GetActiveForm();
    return form ? form->GetActiveControl() : nullptr;
}

RECT TScreen::GetWorkAreaRect() const
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

// =============================================================================================
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FColor = clBtnFace;
    GetBrush()->SetColor(clBtnFace);
    FLeft = FTop = CW_USEDEFAULT;
    FWidth = 320;
    FHeight = 240;
    if (Screen)
        Screen->FForms.push_back(this);
}

TCustomForm::TCustomForm(TComponent* AOwner, int) : TCustomForm(AOwner)
{
    FWithResource = false;
}

TCustomForm::~TCustomForm()
{
    Destroying();
    if (FCreated) {
        try {
            DoDestroy();
        } catch (...) {
            HandleControlException(this);
        }
    }
    if (Screen) {
        auto& forms = Screen->FForms;
        forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    }
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
    SetMenu(nullptr);
    DestroyHandle();
}

void TCustomForm::AfterConstruction()
{
    if (FWithResource && ClassType() != TForm::StaticClass() && ClassType() != TCustomForm::StaticClass()) {
        if (!InitInheritedComponent(this, TForm::StaticClass()))
            throw EResNotFound("Resource " + ClassName() + " not found");
    }
    FCreated = true;
    DoCreate();
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    if (FActiveControl && !FActiveControl->CanFocus())
        FActiveControl = nullptr;
}

void TCustomForm::DoCreate()
{
    OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    OnDestroy(this);
}

void TCustomForm::DoShow()
{
    OnShow(this);
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    // A top-level form is shown once placed; one on a parent (docked) is a child window like any control.
    if (IsTopLevel())
        Params.Style &= ~DWORD(WS_CHILD | WS_VISIBLE);
    Params.Style |= WS_CLIPCHILDREN;
    switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
        Params.Style |= WS_POPUP;
        break;
    case TFormBorderStyle::bsSingle:
        Params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
        break;
    case TFormBorderStyle::bsSizeable:
        Params.Style |= WS_OVERLAPPEDWINDOW;
        break;
    case TFormBorderStyle::bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case TFormBorderStyle::bsToolWindow:
        Params.Style |= WS_CAPTION | WS_SYSMENU;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FFormStyle == TFormStyle::fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
    if (IsTopLevel()) {
        // Secondary forms belong to the main form: they stay above it and leave the task bar to it.
        TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
        Params.WndParent = main && main != this && main->HandleAllocated() ? main->WindowHandle : nullptr;
        if (FAlphaBlend || FTransparentColor)
            Params.ExStyle |= WS_EX_LAYERED;
    } else if (FFormStyle == TFormStyle::fsMDIChild) {
        Params.Style = (Params.Style & ~DWORD(WS_POPUP | WS_VISIBLE)) | WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = nullptr;  // the frame's client window, found when the window is made
        Params.WindowClass.lpfnWndProc = DefMDIChildProcA;
    } else {
        Params.Style &= ~DWORD(WS_POPUP);
    }
    Params.WindowClass.hIcon = LoadIconA(HInstance, "MAINICON");
    if (!Params.WindowClass.hIcon)
        Params.WindowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FMenu)
        ::SetMenu(WindowHandle, FMenu->GetHandle());
    if (FFormStyle == TFormStyle::fsMDIForm)
        CreateMDIClient();
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params)
{
    FCreatedMDIChild = false;
    if (FFormStyle == TFormStyle::fsMDIChild) {
        WindowHandle = CreateMDIWindowA(Params.WinClassName, Params.Caption, Params.Style, Params.X, Params.Y,
                                        Params.Width, Params.Height, MDIClientForChild(), Params.WindowClass.hInstance,
                                        LPARAM(Params.Param));
        FCreatedMDIChild = WindowHandle != nullptr;
    } else {
        TWinControl::CreateWindowHandle(Params);
    }
    SetLayeredAttribs();
}

void TCustomForm::DestroyWindowHandle()
{
    if (FMenu && WindowHandle)
        ::SetMenu(WindowHandle, nullptr);  // the menu object keeps its own handle
    if (FCreatedMDIChild && WindowHandle && IsWindow(WindowHandle)) {
        // The client destroys its child (and activates the next one); no exception leaves a window procedure.
        ControlState << csDestroyingHandle;
        SendMessageA(::GetParent(WindowHandle), WM_MDIDESTROY, WPARAM(WindowHandle), 0);
        ControlState >> csDestroyingHandle;
        WindowHandle = nullptr;
    }
    TWinControl::DestroyWindowHandle();
    FCreatedMDIChild = false;
    FClientHandle = nullptr;  // gone with the frame's window
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle != Value) {
        FBorderStyle = Value;
        RecreateWnd();
    }
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    bool mdi = FFormStyle == TFormStyle::fsMDIForm || FFormStyle == TFormStyle::fsMDIChild ||
               Value == TFormStyle::fsMDIForm || Value == TFormStyle::fsMDIChild;
    FFormStyle = Value;
    if (mdi) {
        RecreateWnd();  // a frame gets or loses its client window, a child its place in one
        return;
    }
    if (WindowHandle)
        SetWindowPos(WindowHandle, Value == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetAlphaBlend(bool Value)
{
    if (FAlphaBlend != Value) {
        FAlphaBlend = Value;
        SetLayeredAttribs();
    }
}

void TCustomForm::SetAlphaBlendValue(BYTE Value)
{
    if (FAlphaBlendValue != Value) {
        FAlphaBlendValue = Value;
        SetLayeredAttribs();
    }
}

void TCustomForm::SetTransparentColor(bool Value)
{
    if (FTransparentColor != Value) {
        FTransparentColor = Value;
        SetLayeredAttribs();
    }
}

void TCustomForm::SetTransparentColorValue(TColor Value)
{
    if (FTransparentColorValue != Value) {
        FTransparentColorValue = Value;
        SetLayeredAttribs();
    }
}

// The window is layered while blending or a transparent colour is on, with both applied; switched off it is an
// ordinary window again, drawn afresh. Only top-level windows are layered.
void TCustomForm::SetLayeredAttribs()
{
    if (!WindowHandle || !IsTopLevel())
        return;
    LONG_PTR exStyle = GetWindowLongPtrA(WindowHandle, GWL_EXSTYLE);
    if (FAlphaBlend || FTransparentColor) {
        if (!(exStyle & WS_EX_LAYERED))
            SetWindowLongPtrA(WindowHandle, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(WindowHandle, ColorToRGB(FTransparentColorValue), FAlphaBlendValue,
                                   (FAlphaBlend ? LWA_ALPHA : 0) | (FTransparentColor ? LWA_COLORKEY : 0));
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongPtrA(WindowHandle, GWL_EXSTYLE, exStyle & ~LONG_PTR(WS_EX_LAYERED));
        RedrawWindow(WindowHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    if (WindowHandle && FVisible)
        ShowWindow(WindowHandle, Value == TWindowState::wsMaximized   ? SW_MAXIMIZE
                                 : Value == TWindowState::wsMinimized ? SW_MINIMIZE
                                                                      : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    if (WindowHandle && !IsDestroying(this)) {
        ::SetMenu(WindowHandle, Value ? Value->GetHandle() : nullptr);
        DrawMenuBar(WindowHandle);
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control && (Control == this || !ContainsControl(Control)))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control && WindowHandle && IsWindowVisible(WindowHandle) && Control->CanFocus())
        ::SetFocus(Control->GetHandle());
}

void TCustomForm::FocusChanged(TWinControl* Control)
{
    FActiveControl = Control;
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
}

RECT TCustomForm::GetClientRect() const
{
    if (WindowHandle)
        return TWinControl::GetClientRect();
    TCreateParams params;
    const_cast<TCustomForm*>(this)->CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FMenu != nullptr, params.ExStyle);
    return {0, 0, std::max(0L, FWidth - (frame.right - frame.left)), std::max(0L, FHeight - (frame.bottom - frame.top))};
}

HMONITOR TCustomForm::GetMonitor() const
{
    return MonitorFromWindow(WindowHandle, MONITOR_DEFAULTTONEAREST);
}

void TCustomForm::PlaceOnScreen()
{
    if (FPlaced)
        return;
    FPlaced = true;
    RECT work = Screen ? Screen->GetWorkAreaRect() : RECT{0, 0, 800, 600};
    RECT around = work;
    if (FPosition == TPosition::poMainFormCenter || FPosition == TPosition::poOwnerFormCenter) {
        TCustomForm* other = FPosition == TPosition::poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
        if (!other && Application)
            other = Application->GetMainForm();
        if (other && other != this && other->HandleAllocated())
            GetWindowRect(other->WindowHandle, &around);
    }
    switch (FPosition) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter:
        SetBounds(around.left + (around.right - around.left - FWidth) / 2,
                  around.top + (around.bottom - around.top - FHeight) / 2, FWidth, FHeight);
        break;
    default:
        if (FLeft == CW_USEDEFAULT)
            SetBounds(work.left + 40, work.top + 40, FWidth, FHeight);
        break;
    }
}

void TCustomForm::VisibleChanging()
{
    if (FModal && FVisible)
        throw EInvalidOperation("Cannot make a visible window modal");
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (WindowHandle && IsTopLevel())
        SetForegroundWindow(WindowHandle);
}

// A form makes its window when it is first shown, and is placed on the screen then; a form on a parent shows as
// any control, an MDI child becomes the active one.
void TCustomForm::CMVisibleChanged(TMessage& Message)
{
    if (FParent || FParentWindow) {
        TWinControl::Dispatch(Message);
        return;
    }
    if (!FVisible) {
        if (WindowHandle)
            ShowWindow(WindowHandle, SW_HIDE);
        return;
    }
    HandleNeeded();
    if (!FCreatedMDIChild)
        PlaceOnScreen();
    ShowWindow(WindowHandle, FWindowState == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                             : FWindowState == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                         : SW_SHOWNORMAL);
    if (FCreatedMDIChild)
        SendMessageA(::GetParent(WindowHandle), WM_MDIACTIVATE, WPARAM(WindowHandle), 0);
}

VCL_BEGIN_MESSAGE_MAP(TCustomForm)
    VCL_MESSAGE(WM_COMMAND, WMCommand)
    VCL_MESSAGE(WM_CLOSE, WMClose)
    VCL_MESSAGE(WM_ACTIVATE, WMActivate)
    VCL_MESSAGE(WM_SHOWWINDOW, WMShowWindow)
    VCL_MESSAGE(WM_INITMENUPOPUP, WMInitMenuPopup)
    VCL_MESSAGE(WM_MENUSELECT, WMMenuSelect)
    VCL_MESSAGE(WM_DRAWITEM, WMDrawItem)
    VCL_MESSAGE(WM_MEASUREITEM, WMMeasureItem)
    VCL_MESSAGE(WM_WINDOWPOSCHANGING, WMWindowPosChanging)
    VCL_MESSAGE(WM_SYSCOLORCHANGE, WMSysColorChange)
    VCL_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
    VCL_MESSAGE(CM_DIALOGKEY, CMDialogKey)
    VCL_MESSAGE(CM_RELEASE, CMRelease)
    VCL_MESSAGE(CM_BIDIMODECHANGED, CMBiDiModeChanged)
    VCL_MESSAGE(CM_ACTIONEXECUTE, CMActionExecute)
    VCL_MESSAGE(CM_ACTIONUPDATE, CMActionUpdate)
VCL_END_MESSAGE_MAP(TWinControl)

// An MDI frame's messages go to the frame procedure, which looks after its client window and children; WM_SIZE
// does not: the client window takes the room the aligned controls leave (AlignControls).
void TCustomForm::DefaultHandler(TMessage& Message)
{
    if (FClientHandle && WindowHandle) {
        Message.Result = Message.Msg == WM_SIZE
                             ? DefWindowProcA(WindowHandle, Message.Msg, Message.WParam, Message.LParam)
                             : DefFrameProcA(WindowHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TWinControl::DefaultHandler(Message);
}

// Showing a form places it, then shows its window; hiding just hides it.
void TCustomForm::PaintWindow(HDC DC)
{
    (void)DC;
    Paint();
}

void TCustomForm::Paint()
{
    OnPaint(this);
}

void TCustomForm::WMCommand(TMessage& Message)
{
    if (Message.LParam == 0 && FMenu && HIWORD(Message.WParam) == 0) {
        if (TMenuItem* item = FMenu->FindItem(LOWORD(Message.WParam), TFindItemKind::fkCommand)) {
            item->Click();
            return;
        }
    }
    TWinControl::WMCommand(Message);
}

void TCustomForm::WMClose(TMessage&)
{
    Close();
}

void TCustomForm::WMActivate(TMessage& Message)
{
    DefaultHandler(Message);
    bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    FActive = active;
    if (active) {
        if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
            ::SetFocus(FActiveControl->WindowHandle);
        OnActivate(this);
    } else {
        OnDeactivate(this);
    }
}

void TCustomForm::WMShowWindow(TMessage& Message)
{
    DefaultHandler(Message);
    if (Message.WParam)
        DoShow();
    else
        OnHide(this);
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    if (Root == this)
        ReportParentlessComponents(this, Proc);
    TWinControl::GetChildren(Proc, Root);
}

bool TCustomForm::IsShortCut(WORD Key, TShiftState Shift)
{
    return FMenu && FMenu->IsShortCut(Key, Shift);
}

void TCustomForm::WMInitMenuPopup(TMessage& Message)
{
    if (FMenu)
        FMenu->DispatchPopup(HMENU(Message.WParam));
    DefaultHandler(Message);
}

TMenuItem* TCustomForm::SelectedMenuItem(const TMessage& Message) const
{
    const UINT flags = HIWORD(Message.WParam);
    if (!FMenu || (flags == 0xFFFF && Message.LParam == 0))
        return nullptr;
    if (flags & MF_POPUP)
        return FMenu->FindItem(UINT_PTR(GetSubMenu(HMENU(Message.LParam), LOWORD(Message.WParam))),
                               TFindItemKind::fkHandle);
    return FMenu->FindItem(LOWORD(Message.WParam), TFindItemKind::fkCommand);
}

void TCustomForm::WMMenuSelect(TMessage& Message)
{
    if (Application) {
        TMenuItem* item = SelectedMenuItem(Message);
        Application->SetHint(item ? TApplication::GetLongHint(item->GetHint()) : AnsiString());
    }
    DefaultHandler(Message);
}

void TCustomForm::WMDrawItem(TMessage& Message)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (draw->CtlType == ODT_MENU && FMenu) {
        if (TMenuItem* item = FMenu->FindItem(draw->itemID, TFindItemKind::fkCommand)) {
            item->DrawItemStruct(*draw);
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WMDrawItem(Message);
}

void TCustomForm::WMMeasureItem(TMessage& Message)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (measure->CtlType == ODT_MENU && FMenu) {
        if (TMenuItem* item = FMenu->FindItem(measure->itemID, TFindItemKind::fkCommand)) {
            item->MeasureItemStruct(*measure);
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WMMeasureItem(Message);
}

void TCustomForm::WMWindowPosChanging(TMessage& Message)
{
    DefaultHandler(Message);
}

// Enter clicks the default button, Escape the cancel button, Tab moves the focus.
void TCustomForm::CMDialogKey(TMessage& Message)
{
    WORD key = WORD(Message.WParam);
    if (key == VK_TAB) {
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        Message.Result = 1;
        return;
    }
    if (key == VK_RETURN || key == VK_ESCAPE) {
        std::vector<TWinControl*> list;
        GetTabOrderList(list);
        for (TWinControl* c : list) {
            if (c->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
    }
    Message.Result = 0;
}

// Only top-level windows hear of new system colours: the form passes the news to its controls.
void TCustomForm::WMSysColorChange(TMessage& Message)
{
    DefaultHandler(Message);
    Perform(CM_SYSCOLORCHANGE);
}

void TCustomForm::CMRelease(TMessage&)
{
    delete this;
}

void TCustomForm::CMBiDiModeChanged(TMessage& Message)
{
    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->Perform(CM_BIDIMODECHANGED, Message.WParam, Message.LParam);
}

// The form itself first, then its controls, the first that takes the action ending the search.
void TCustomForm::CMActionExecute(TMessage& Message)
{
    auto* action = reinterpret_cast<TBasicAction*>(Message.LParam);
    Message.Result = 0;
    if (!action)
        return;
    if (action->HandlesTarget(this)) {
        action->ExecuteTarget(this);
        Message.Result = 1;
        return;
    }
    std::function<bool(TWinControl*)> offer = [&](TWinControl* parent) {
        for (int i = 0; i < parent->GetControlCount(); ++i) {
            TControl* c = parent->GetControl(i);
            auto* w = dynamic_cast<TWinControl*>(c);
            if (c->ExecuteAction(action) || (w && offer(w)))
                return true;
        }
        return false;
    };
    Message.Result = offer(this) ? 1 : 0;
}

void TCustomForm::CMActionUpdate(TMessage& Message)
{
    auto* action = reinterpret_cast<TBasicAction*>(Message.LParam);
    Message.Result = action && action->HandlesTarget(this) ? (action->UpdateTarget(this), 1) : 0;
}

void TCustomForm::UpdateActions()
{
    // Action-linked controls and menu items refresh their state from their actions.
    std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
        for (int i = 0; i < parent->GetControlCount(); ++i) {
            TControl* c = parent->GetControl(i);
            if (!c->GetVisible())
                continue;
            c->InitiateAction();
            if (auto* w = dynamic_cast<TWinControl*>(c))
                walk(w);
        }
    };
    walk(this);
    if (FMenu)
        FMenu->GetItems()->InitiateActions();
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FModal) {
        FModalResult = mrCancel;  // the modal loop runs the close steps
        return;
    }
    if (!CloseQuery())
        return;
    bool isMain = Application && Application->GetMainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    DoClose(action);
    switch (action) {
    case TCloseAction::caNone:
        return;
    case TCloseAction::caMinimize:
        if (WindowHandle)
            ShowWindow(WindowHandle, SW_MINIMIZE);
        return;
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caFree:
        if (isMain) {
            Hide();
            Application->Terminate();
        } else {
            Release();
        }
        break;
    }
}

void TCustomForm::Release()
{
    if (WindowHandle)
        PostMessageA(WindowHandle, CM_RELEASE, 0, 0);
    else
        delete this;
}

int TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture())
        SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    HWND previous = GetActiveWindow();
    // Every other window of the thread is disabled for the time of the loop.
    struct Disabled {
        std::vector<HWND> windows;
        static BOOL CALLBACK Collect(HWND window, LPARAM data)
        {
            auto* self = reinterpret_cast<Disabled*>(data);
            if (IsWindowVisible(window) && IsWindowEnabled(window)) {
                self->windows.push_back(window);
            }
            return TRUE;
        }
        ~Disabled()
        {
            for (HWND w : windows)
                if (IsWindow(w))
                    EnableWindow(w, TRUE);
        }
    } disabled;
    HandleNeeded();
    EnumThreadWindows(GetCurrentThreadId(), &Disabled::Collect, LPARAM(&disabled));
    disabled.windows.erase(std::remove(disabled.windows.begin(), disabled.windows.end(), WindowHandle),
                           disabled.windows.end());
    for (HWND w : disabled.windows)
        EnableWindow(w, FALSE);
    FModal = true;
    FModalResult = mrNone;
    struct ModalFlag {
        TCustomForm* form;
        HWND previous;
        ~ModalFlag()
        {
            form->FModal = false;
            if (form->FVisible)
                form->SetVisible(false);
            if (previous && IsWindow(previous))
                SetActiveWindow(previous);
        }
    } flag{this, previous};
    SetVisible(true);
    SetForegroundWindow(WindowHandle);
    ModalLoop();
    return FModalResult;
}

// The form's own loop: the application's message handling (OnMessage, keys, hints), until a result
// is set and the form agrees to close.
void TCustomForm::ModalLoop()
{
    while (true) {
        try {
            Application->HandleMessage();
        } catch (...) {
            Application->HandleException(this);
        }
        if (Application->GetTerminated() && FModalResult == mrNone)
            FModalResult = mrCancel;
        if (FModalResult == mrNone)
            continue;
        if (!CloseQuery()) {
            FModalResult = mrNone;
            continue;
        }
        TCloseAction action = TCloseAction::caHide;
        DoClose(action);
        if (action == TCloseAction::caNone) {
            FModalResult = mrNone;
            continue;
        }
        if (action == TCloseAction::caFree)
            Release();
        break;
    }
}

// =============================================================================================
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle << csAcceptsControls << csSetCaption << csDoubleClicks;
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
}

// =============================================================================================
// TCustomFrame

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollBox(AOwner)
{
    SetBorderStyle(TFormBorderStyle::bsNone);
}

void TCustomFrame::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    if (Root == this)
        ReportParentlessComponents(this, Proc);
    TScrollBox::GetChildren(Proc, Root);
}

VCL_BEGIN_MESSAGE_MAP(TScrollBox)
    VCL_MESSAGE(WM_SIZE, WMSize)
    VCL_MESSAGE(WM_HSCROLL, WMHScroll)
    VCL_MESSAGE(WM_VSCROLL, WMVScroll)
VCL_END_MESSAGE_MAP(TWinControl)

void TScrollBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    if (FBorderStyle != TFormBorderStyle::bsNone)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollBox::SetAutoScroll(bool Value)
{
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    if (!Value)
        ScrollTo(0, 0);
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::AlignControls(TControl* AControl, RECT& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollBox::WMSize(TMessage& Message)
{
    TWinControl::WMSize(Message);
    UpdateScrollBars();
}

SIZE TScrollBox::ContentSize() const
{
    SIZE size{0, 0};
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* c = GetControl(i);
        if (!c->GetVisible() || c->GetAlign() != TAlign::alNone)
            continue;
        size.cx = std::max<LONG>(size.cx, c->GetLeft() + c->GetWidth() + FPosition.x);
        size.cy = std::max<LONG>(size.cy, c->GetTop() + c->GetHeight() + FPosition.y);
    }
    return size;
}

// Showing one bar narrows the client area, which may call for the other: two passes settle it.
void TScrollBox::UpdateScrollBars()
{
    if (!WindowHandle || FUpdating)
        return;
    FUpdating = true;
    SIZE content = FAutoScroll ? ContentSize() : SIZE{0, 0};
    RECT client{};
    for (int pass = 0; pass < 2; ++pass) {
        ::GetClientRect(WindowHandle, &client);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        si.nMax = content.cx > client.right ? content.cx - 1 : 0;
        si.nPage = content.cx > client.right ? UINT(client.right) : 0;
        si.nPos = FPosition.x;
        SetScrollInfo(WindowHandle, SB_HORZ, &si, TRUE);
        si.nMax = content.cy > client.bottom ? content.cy - 1 : 0;
        si.nPage = content.cy > client.bottom ? UINT(client.bottom) : 0;
        si.nPos = FPosition.y;
        SetScrollInfo(WindowHandle, SB_VERT, &si, TRUE);
    }
    FUpdating = false;
    // A grown client area (or shrunk content) may leave the view scrolled past the end.
    ::GetClientRect(WindowHandle, &client);
    ScrollTo(std::min<int>(FPosition.x, std::max<int>(0, content.cx - client.right)),
             std::min<int>(FPosition.y, std::max<int>(0, content.cy - client.bottom)));
}

void TScrollBox::ScrollTo(int X, int Y)
{
    if (WindowHandle) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(WindowHandle, SB_HORZ, &si);
        X = std::max(0, std::min<int>(X, si.nMax - std::max<int>(int(si.nPage) - 1, 0)));
        GetScrollInfo(WindowHandle, SB_VERT, &si);
        Y = std::max(0, std::min<int>(Y, si.nMax - std::max<int>(int(si.nPage) - 1, 0)));
    } else {
        X = std::max(0, X);
        Y = std::max(0, Y);
    }
    int dx = FPosition.x - X, dy = FPosition.y - Y;
    if (dx == 0 && dy == 0)
        return;
    FPosition = {X, Y};
    DisableAlign();
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* c = GetControl(i);
        if (c->GetAlign() == TAlign::alNone)
            c->SetBounds(c->GetLeft() + dx, c->GetTop() + dy, c->GetWidth(), c->GetHeight());
    }
    EnableAlign();
    if (WindowHandle) {
        SetScrollPos(WindowHandle, SB_HORZ, X, TRUE);
        SetScrollPos(WindowHandle, SB_VERT, Y, TRUE);
        InvalidateRect(WindowHandle, nullptr, TRUE);
    }
}

int TScrollBox::ScrollCode(int Bar, WORD Code, int Line) const
{
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(WindowHandle, Bar, &si);
    switch (Code) {
    case SB_LINEUP: return si.nPos - Line;
    case SB_LINEDOWN: return si.nPos + Line;
    case SB_PAGEUP: return si.nPos - int(si.nPage);
    case SB_PAGEDOWN: return si.nPos + int(si.nPage);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return si.nTrackPos;
    case SB_TOP: return 0;
    case SB_BOTTOM: return si.nMax;
    default: return si.nPos;
    }
}

// The box's own bars send lParam 0; a scroll-bar child's messages go to the child as usual.
void TScrollBox::WMHScroll(TMessage& Message)
{
    if (Message.LParam != 0)
        return TWinControl::WMHScroll(Message);
    ScrollTo(ScrollCode(SB_HORZ, LOWORD(Message.WParam), 16), FPosition.y);
}

void TScrollBox::WMVScroll(TMessage& Message)
{
    if (Message.LParam != 0)
        return TWinControl::WMVScroll(Message);
    ScrollTo(FPosition.x, ScrollCode(SB_VERT, LOWORD(Message.WParam), 16));
}

void TScrollBox::DoMouseWheelDown(TShiftState, POINT, bool& Handled)
{
    ScrollTo(FPosition.x, FPosition.y + 48);
    Handled = true;
}

void TScrollBox::DoMouseWheelUp(TShiftState, POINT, bool& Handled)
{
    ScrollTo(FPosition.x, FPosition.y - 48);
    Handled = true;
}

void TScrollBox::ScrollInView(TControl* AControl)
{
    if (!AControl || AControl->GetParent() != this || !WindowHandle)
        return;
    RECT client{};
    ::GetClientRect(WindowHandle, &client);
    RECT r = AControl->GetBoundsRect();
    int x = FPosition.x, y = FPosition.y;
    if (r.right > client.right)
        x += r.right - client.right;
    if (r.left - (x - FPosition.x) < 0)
        x = FPosition.x + r.left;
    if (r.bottom > client.bottom)
        y += r.bottom - client.bottom;
    if (r.top - (y - FPosition.y) < 0)
        y = FPosition.y + r.top;
    ScrollTo(x, y);
}

}  // namespace vcl
