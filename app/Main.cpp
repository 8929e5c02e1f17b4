// The main window: construction, creation in its fixed order, message routing, enabling and closing.
#include "Main.h"

#include "Alert.h"
#include "CommandLine.h"
#include "DayLog.h"
#include "Dialogs.h"
#include "DiscEventsWindow.h"
#include "DiscJobWindow.h"
#include "KTRobots20.h"
#include "SharedState.h"
#include "SysUtils.h"
#include "TwainWindow.h"
#include "WideText.h"
#include "WydForms.h"

namespace pagorin {

TfrmMain* frmMain = nullptr;
std::string CommandLineArgument;
std::string InstallationFolder;
int ProgramExitCode = 0;

namespace {

constexpr DWORD PdfWaitLimitMs = 30000;
constexpr DWORD PdfStopLimitMs = 10000;
constexpr DWORD WorkerStopLimitMs = 10000;

// Runs the message loop while `busy` holds, at most `limitMs`: the work waited for may need this thread.
template <class Busy>
void PumpWhile(Busy busy, DWORD limitMs)
{
    DWORD start = GetTickCount();
    while (busy() && GetTickCount() - start < limitMs) {
        vcl::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

std::string CurrentFolder()
{
    char folder[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    std::string result(folder, length < MAX_PATH ? length : 0);
    if (result.size() > 3 && result.back() == '\\')
        result.pop_back();
    return result;
}

}  // namespace

TfrmMain::TfrmMain(vcl::TComponent* owner) : vcl::TForm(owner)
{
    PdfRunning = false;
    DiscsWritten = 0;
    RobotDriveLetter = 0;
    bool hotKeyRun = !CommandLineArgument.empty();
    OperationMode = hotKeyRun ? 0 : 1;
    AutoWriteArmed = hotKeyRun;
    ShowAllSources = false;
    HotKeyOperation = hotKeyRun;
    TransactionBytes = 0;
    FirstUseNotice = false;
    // The hidden helper lists and buttons get their windows once the window is drawn (the start makes them).
    SetDeferHiddenWindows(true);
}

void TfrmMain::Loaded()
{
    vcl::TForm::Loaded();
    Transactions.Attach(tvSessions);
    if (menuTestTray)
        menuTestTray->SetEnabled(false);
}

void TfrmMain::FormCreate(vcl::TObject*)
{
    LayoutMainWindow();
    Config.InstallFolder = InstallationFolder.empty() ? CurrentFolder() : InstallationFolder;
    LanguageIniPath = Config.InstallFolder + "\\Pagorin.ini";
    LoadMainSettings();
    QueuePath = Config.WorkingPath + "\\Queue";
    CreateDirectoryA(QueuePath.c_str(), nullptr);
    HelpFilePath = Config.WorkingPath + "\\Pagorin.chm";
    CopyFileA((Config.InstallFolder + "\\Pagorin.chm").c_str(), HelpFilePath.c_str(), FALSE);
    SetSessionFilePath(Config.WorkingPath + "\\Session.txt");
    cbRobots->GetItems()->Clear();
    MainWindowHandle = GetHandle();
    OpenTwainManager(*this);

    for (vcl::TComboBox* list : {cbColorModes, cbPageSize, cbXferMech, cbPDFOption})
        list->GetItems()->Clear();
    for (const char* item : {"No PDF file", "Compile one PDF file only", "Compile one additional PDF file"})
        cbPDFOption->GetItems()->Add(item);
    cbPDFOption->SetItemIndex(0);
    for (const char* item : {"Write to disc every transaction", "Write to disc after compilation"})
        rgWriteSettings->GetItems()->Add(item);
    rgWriteSettings->SetItemIndex(0);

    // Before the hot-key run's first transaction starts its PDF.
    FendrixPath = Config.InstallFolder + "\\Fendrix.exe";
    tmrStartRobotThread->SetEnabled(true);
    WriteLogLine("Application started.");
    if (OperationMode == 0) {
        EnableMainControls(false);
        StartTransaction();
    }
    pgbCountDown->SetMax(120);
    SetDiscTitle(cbxDiscLabel->GetText());
    if (OperationMode == 1)
        tmrCheckDir->SetEnabled(true);
    for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{
             gbxDiscWriteStatus, txtAutoloader, lbl0, lbl100, lblAutoloader, lblCurrentDisc})
        control->SetEnabled(false);
    ApplyLanguageTexts();
}

void TfrmMain::ShowSettingsView(const SettingsView& view)
{
    auto show = [](vcl::TControl* label, const std::optional<std::string>& text) {
        if (text)
            SetAnsiCaption(label, *text);
    };
    show(txtScanner, view.Scanner);
    show(txtColorMode, view.ColorMode);
    show(txtResolution, view.Resolution);
    show(txtPageSize, view.PageSize);
    show(txtFileFormat, view.FileFormat);
    auto fill = [](TWydComboBox* box, const std::optional<std::vector<std::string>>& items) {
        if (!items)
            return;
        SetAnsiItems(box, *items);
        box->SetItemIndex(0);
    };
    fill(cbxDiscLabel, view.DiscLabels);
    fill(cbxFileNaming, view.FileNamings);
    if (view.DuplexVisible)
        ckxDuplex->SetVisible(*view.DuplexVisible);
    if (view.DuplexChecked)
        ckxDuplex->SetChecked(*view.DuplexChecked);
    auto [scanned, compiled] = CompiledPdfLabels(Config.CompiledPdf);
    SetAnsiCaption(txtScannedFiles, scanned);
    SetAnsiCaption(txtCompiledPDF, compiled);
    cseCopies->SetValue(Config.Copies);
}

void TfrmMain::LoadDefaultSettings()
{
    SettingsView view;
    if (!pagorin::LoadDefaultSettings(KeyLocation(), Config, view))
        return;
    ShowSettingsView(view);
    SetAnsiCaption(txtCapacity, CapacityText(Config.DiscType));
    ShowDiscType();
}

void TfrmMain::LoadMainSettings()
{
    SettingsView view;
    pagorin::LoadMainSettings(KeyLocation(), Config, view, TheDayLog());
    ShowSettingsView(view);
}

void TfrmMain::ShowDiscWritingStatus(const std::wstring& state)
{
    SetWideCaption(gbxDiscWriteStatus, DiscWritingStatusText + L" " + state);
}

void TfrmMain::ApplyLanguageTexts()
{
    // Before the installation folder is known there is no file to read: the built-in texts apply.
    Texts.Select(LanguageIniPath.empty() ? std::wstring() : vcl::AnsiToWide(LanguageIniPath), Config.LanguageId);
    struct MenuText {
        const char* Key;
        TWydMenuItem* Item;
        vcl::TControl* HintOf;
    };
    const MenuText menus[] = {
        {"Main.Menu.File", menuFile, nullptr}, {"Main.Menu.Options", menuOptions, nullptr},
        {"Main.Menu.Help", menuHelp, nullptr},
        {"Main.Menu.StartTransaction", menuStartTransaction, btnStartTransaction},
        {"Main.Menu.LoadDefaultSettings", menuLoadSettings, btnLoadSettings},
        {"Main.Menu.SaveSettingsToDefault", menuSaveSettings, btnSaveSettings},
        {"Main.Menu.SelectScanner", menuSelectScanner, btnSelectScanner},
        {"Main.Menu.Exit", menuExit, btnExit}, {"Main.Menu.Settings", menuSettings, btnSettings},
        {"Main.Menu.TestTray", menuTestTray, nullptr}, {"Main.Menu.HelpManual", menuHelpManual, btnHelpManual},
        {"Main.Menu.WebPage", menuWebPage, btnWeb}, {"Main.Menu.About", menuAbout, btnAbout},
    };
    for (const MenuText& menu : menus) {
        std::wstring text = Texts.Text(menu.Key);
        SetWideCaption(menu.Item, text);
        if (menu.HintOf)
            SetHintText(menu.HintOf, text);
    }
    const std::pair<const char*, vcl::TControl*> captions[] = {
        {"Main.GroupBoxScanSettings", gbxScanSettings}, {"Main.GroupBoxScanSettings.Scanner", lblScanner},
        {"Main.GroupBoxScanSettings.ColorMode", lblColorMode}, {"Main.GroupBoxScanSettings.Resolution", lblResolution},
        {"Main.GroupBoxScanSettings.FileNaming", lblFileNaming}, {"Main.GroupBoxScanSettings.PageSize", lblPageSize},
        {"Main.GroupBoxScanSettings.FileFormat", lblFileFormat}, {"Main.GroupBoxScanSettings.DuplexMode", ckxDuplex},
        {"Main.FileWritten", gbxFilesToBeWritten}, {"Main.FileWritten.ScannedFiles", lblScannedFiles},
        {"Main.FileWritten.CompiledPDF", lblCompiledPDF}, {"Main.TargetDisc", gbxTargetDisc},
        {"Main.TargetDisc.DiscType", lblDiscType}, {"Main.TargetDisc.Capacity", lblCapacity},
        {"Main.TargetDisc.DiscLabel", lblDiscLabel}, {"Main.TargetDisc.WritePerTransaction", ckxWritePerTransaction},
        {"Main.TargetDisc.TransactionSize", lblTransactionSize}, {"Main.TargetDisc.DiscsRequired", lblDiscsRequired},
        {"Main.TargetDisc.Copies", lblCopies}, {"Main.DiscWritingStatus.Autoloader", lblAutoloader},
        {"Main.DiscWritingStatus.CurrentDisc", lblCurrentDisc}, {"Main.ScanTransactions", gbxScanTransaction},
        {"Main.ScanTransactions.NextScannedPageWaiting", lblCountdown}, {"Main.ScanTransactions.Write", bbtnWrite},
        {"Main.ScanTransactions.Append", bbtnAppend}, {"Main.ScanTransactions.Abort", bbtnAbort},
    };
    for (auto [key, control] : captions)
        SetWideCaption(control, Texts.Text(key));
    DiscWritingStatusText = Texts.Text("Main.DiscWritingStatus", 255);
    StatusErase = Texts.Text("Main.DiscWritingStatus.Erase", 15);
    StatusIdle = Texts.Text("Main.DiscWritingStatus.Idle", 15);
    StatusWriting = Texts.Text("Main.DiscWritingStatus.Writing", 15);
    StatusVerify = Texts.Text("Main.DiscWritingStatus.Verify", 15);
    RobotOperatingText = Texts.Text("Main.RobotOperating", 255);
    StatusRobotNotOnline = Texts.Text("Main.Status.RobotNotOnline", 255);
    StatusConnectintRobot = Texts.Text("Main.Status.ConnectintRobot", 255);
    StatusPDFGenerating = Texts.Text("Main.Status.PDFGenerating", 255);
    StatusLoadDisc = Texts.Text("Main.Status.LoadDisc", 255);
    StatusUnloadDisc = Texts.Text("Main.Status.UnloadDisc", 255);
    ShowDiscType();
    ShowDiscWritingStatus(StatusIdle);

    char help[32];
    snprintf(help, sizeof(help), "\\Pagorin%04d.chm", Config.LanguageId);
    std::string languageHelp = Config.InstallFolder + help;
    if (!HelpFilePath.empty() && vcl::FileExists(languageHelp))
        CopyFileA(languageHelp.c_str(), HelpFilePath.c_str(), FALSE);
}

void TfrmMain::EnableMainControls(bool on)
{
    ControlsOn = on;
    for (vcl::TMenuItem* item : {menuFile, menuOptions})
        item->SetEnabled(on);
    for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{
             btnStartTransaction, btnLoadSettings, btnSaveSettings, btnSelectScanner, btnSettings, btnLanguage,
             btnExit, cbxDiscLabel, cbxFileNaming, cseCopies, tvSessions, bbtnAbort, bbtnAppend})
        control->SetEnabled(on);
    if (on)
        WriteRequested = WriteHeld = false;
    vcl::TTreeNode* selected = tvSessions->GetSelected();
    if (!selected || selected->GetLevel() >= 1) {
        bbtnAbort->SetEnabled(false);
        bbtnAppend->SetEnabled(false);
    }
    if (ckxWritePerTransaction->GetChecked())
        tvSessions->SetEnabled(false);
    UpdateWriteButton();
}

void TfrmMain::UpdateWriteButton()
{
    bbtnWrite->SetEnabled(ControlsOn && RobotDriveLetter != 0 && OperationMode == 1 && !ScanInProgress() &&
                          !WriteRequested);
}

void TfrmMain::Dispatch(vcl::TMessage& message)
{
    switch (message.Msg) {
    case WM_COPYDATA: HandleCopyData(message); break;
    case WM_DEVICECHANGE: DiscRoadDeviceChange(*this, message.WParam, message.LParam); break;
    default: vcl::TForm::Dispatch(message);
    }
}

void TfrmMain::HandleCopyData(vcl::TMessage& message)
{
    // Any process may send this: only a page file is taken.
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(message.LParam);
    const std::string text = data ? HandedOverText(data->lpData, data->cbData) : std::string();
    if (Closing) {
        WriteLogLine("Handed-over page left to its own start while closing: \"" + AsLogged(text) + "\"");
        message.Result = HandOverClosing;
        return;
    }
    if (!IsAcceptablePage(text)) {
        WriteLogLine("Handed-over page ignored: \"" + AsLogged(text) + "\"");
        message.Result = HandOverIgnored;
        return;
    }
    WriteLogLine("Page handed over: " + text);
    message.Result = HandOverTaken;
    if (OperationMode == 1 && ScannedTransactionOpen()) {
        HoldHandedOverPage(text);
        return;
    }
    TakeHandedOverPage(text);
}

// Until its pages are done (the scan ended and its transaction closed), the scanned transaction is the current
// one: pages of a hand-over in between would land in it, or take its place and leave it open for ever.
bool TfrmMain::ScannedTransactionOpen() { return ScanInProgress() || tmrAllPagesDone->GetEnabled(); }

vcl::TTreeNode* TfrmMain::OpenHandOverTransaction() const
{
    const TransactionRecord* record = TransactionTree::RecordOf(CurrentTransaction);
    return record && !record->Closed && record->SessionTag != 1 ? CurrentTransaction : nullptr;
}

void TfrmMain::TakeHandedOverPage(const std::string& text)
{
    // No pause here: the sender waits for this answer, and every later start waits behind it, so a burst of
    // starts would queue for a fixed wait per page until the last ones gave up and their pages were lost.
    // A hot-key run whose end an alert still holds back is not over once it takes a page: it writes it first.
    if (RunEnded) {
        RunEnded = false;
        HotKeyOperation = true;
    }
    // A hand-over's transaction that its countdown has not closed yet takes the page whatever the run's mode:
    // a job given up meanwhile gave the run back to the operator, and a transaction of its own would be the
    // one the countdown closes, leaving the first open for good.
    vcl::TTreeNode* open = OpenHandOverTransaction();
    bool operatorsRun = OperationMode == 1;
    if (operatorsRun) {
        EnableMainControls(false);
        OperationMode = 2;
        AutoWriteArmed = true;
        HotKeyOperation = true;
    }
    if (!open)
        StartTransaction();
    AddPageNode(text);
    // Once the transaction holds its page, a disc may be loaded for it while further pages are awaited.
    if (operatorsRun)
        TryBurnAfterHotKey(*this);
}

void TfrmMain::FormCloseQuery(vcl::TObject*, bool& canClose)
{
    // Closing runs the message loop while it waits: a second close request arriving then is not taken.
    if (Closing || (frmAlert && frmAlert->GetVisible())) {
        canClose = false;
        return;
    }
    CloseAnswer answer = ConfirmClose();
    canClose = answer != CloseAnswer::Refused;
    // The alert held back the disc cycle of an unattended run meanwhile; it goes on now.
    if (!canClose && OperationMode != 1)
        GoBurning();
    if (!canClose)
        return;
    // Terminate ends the hot-key operation at once: its PDFs are stopped with it. Otherwise the PDFs need this
    // thread's timer to finish, so the wait keeps the messages flowing.
    if (answer != CloseAnswer::Terminated && HotKeyPdfsPending(*this)) {
        Closing = true;
        Hide();
        PumpWhile([this] { return HotKeyPdfsPending(*this); }, PdfWaitLimitMs);
    }
}

// The robot is let finish its move first; a hot-key operation is ended only when the operator confirms.
TfrmMain::CloseAnswer TfrmMain::ConfirmClose()
{
    if (RobotState != 0) {
        frmAlert->AlertKind = akWaitRobotIdle;
        frmAlert->ShowModal();
        if (RobotState != 0)
            return CloseAnswer::Refused;
    }
    if (HotKeyOperation && tvSessions->GetItems()->GetCount() > 0) {
        frmAlert->AlertKind = akConfirmClose;
        frmAlert->ShowModal();
        if (frmAlert->AlertAnswer == 0) {
            ReportFilesLeftUnwritten();
            return CloseAnswer::Terminated;
        }
        // The run may have written its last disc while the question was up: nothing is left to keep it open.
        return RunEnded ? CloseAnswer::Allowed : CloseAnswer::Refused;
    }
    return CloseAnswer::Allowed;
}

// A worker that does not stop in time is never terminated: it may hold the day log's lock, the disc road's
// report gate or a library's, and the close would then wait on them for ever. It is left to end with the
// process, and the road reports nothing more from it.
void TfrmMain::StopWorkerThreads()
{
    StopWorkers = true;
    for (HANDLE* thread : {&RobotThread, &DiscThread}) {
        if (!*thread)
            continue;
        PumpWhile([thread] { return WaitForSingleObject(*thread, 0) == WAIT_TIMEOUT; }, WorkerStopLimitMs);
        if (WaitForSingleObject(*thread, 0) == WAIT_TIMEOUT)
            WriteLogLine("A worker thread did not stop in time: it is left to end with the program.");
        CloseHandle(*thread);
        *thread = nullptr;
    }
    StopDiscRoad();
}

void TfrmMain::FormClose(vcl::TObject*, vcl::TCloseAction&)
{
    if (Closed)
        return;
    Closed = Closing = true;
    for (vcl::TTimer* timer : {tmrShowWaitNextPage, tmrAllPagesDone, tmrRunPDF, tmrDiscReady, tmrGoBurning,
                               tmrBurnJobDone, tmrShowAlert, tmrLoadDisc})
        timer->SetEnabled(false);
    // The window goes at once; what the close still waits for happens behind it.
    Hide();
    // PDF threads stop before their folders go, all at once and with the messages flowing, so a hand-over
    // meanwhile is answered; the workers stop before the robot is parked from here.
    PdfRunning = false;
    PdfJobs.RequestStopAll();
    PumpWhile([this] { return PdfJobs.ThreadsRunning(); }, PdfStopLimitMs);
    for (int slot = 0; slot < PdfRoad::SlotCount; ++slot)
        StopPdfJobSlot(*this, slot);
    DeleteHotKeyTransactionFolders(*this);
    CloseTwainSource(*this);
    CloseTwainManager(*this);
    StopWorkerThreads();
    if (RobotDriveLetter != 0) {
        EnableMainControls(false);
        KT_Robots_Park(FirstRobotId);
    }
    KT_Robots_Close();
    WriteLogLine("Application closed\n");
}

void TfrmMain::btnExitClick(vcl::TObject*) { Close(); }

void TfrmMain::tmrStartRobotThreadTimer(vcl::TObject*)
{
    tmrStartRobotThread->SetEnabled(false);
    StartDiscRoad(*this);
    // The manager loads every source to list them, which takes long: the hidden source list is filled
    // once the window shows, not while it is being made.
    ListSourcesOnce();
    EnumerateScanners(*this);
    StatusBar1->GetFont()->SetName("Arial");
    StatusBar1->GetFont()->SetSize(9);
    CheckFirstRun();
}

void TfrmMain::ListSourcesOnce()
{
    if (SourcesListed)
        return;
    SourcesListed = true;
    ListTwainSources(*this);
}

// A scan asked for before the start-up timer ran scans from the chosen scanner all the same.
void TfrmMain::btnScanClick(vcl::TObject*)
{
    ListSourcesOnce();
    ScanPages(*this);
}

// Every message of the main thread, in modal loops too; it always goes on to its window.
void TfrmMain::ApplicationEvents1Message(vcl::TMsg& message, bool&) { CheckTwainEvent(message); }

#define PAGORIN_PUBLISH_COMPONENT(type, name) m.PublishField(#name, &TfrmMain::name);
VCL_IMPLEMENT_CLASS(TfrmMain, vcl::TForm, {
    PAGORIN_MAIN_COMPONENTS(PAGORIN_PUBLISH_COMPONENT)
    m.PublishMethod("FormCreate", &TfrmMain::FormCreate);
    m.PublishMethod("FormCloseQuery", &TfrmMain::FormCloseQuery);
    m.PublishMethod("FormClose", &TfrmMain::FormClose);
    m.PublishMethod("btnExitClick", &TfrmMain::btnExitClick);
    m.PublishMethod("tmrStartRobotThreadTimer", &TfrmMain::tmrStartRobotThreadTimer);
    m.PublishMethod("btnScanClick", &TfrmMain::btnScanClick);
    m.PublishMethod("ApplicationEvents1Message", &TfrmMain::ApplicationEvents1Message);
    m.PublishMethod("btnStartTransactionClick", &TfrmMain::btnStartTransactionClick);
    m.PublishMethod("btnLoadSettingsClick", &TfrmMain::btnLoadSettingsClick);
    m.PublishMethod("btnSaveSettingsClick", &TfrmMain::btnSaveSettingsClick);
    m.PublishMethod("btnSelectScannerClick", &TfrmMain::btnSelectScannerClick);
    m.PublishMethod("btnSettingsClick", &TfrmMain::btnSettingsClick);
    m.PublishMethod("btnLanguageClick", &TfrmMain::btnLanguageClick);
    m.PublishMethod("btnHelpManualClick", &TfrmMain::btnHelpManualClick);
    m.PublishMethod("btnWebClick", &TfrmMain::btnWebClick);
    m.PublishMethod("btnAboutClick", &TfrmMain::btnAboutClick);
    m.PublishMethod("cseCopiesClick", &TfrmMain::cseCopiesClick);
    m.PublishMethod("menuTestTrayClick", &TfrmMain::menuTestTrayClick);
    m.PublishMethod("tmrCheckDirTimer", &TfrmMain::tmrCheckDirTimer);
    m.PublishMethod("tvSessionsClick", &TfrmMain::tvSessionsClick);
    m.PublishMethod("tvSessionsChange", &TfrmMain::tvSessionsChange);
    m.PublishMethod("tvSessionsStateChange", &TfrmMain::tvSessionsStateChange);
    m.PublishMethod("tvSessionsExpanding", &TfrmMain::tvSessionsExpanding);
    m.PublishMethod("tvSessionsStateChanging", &TfrmMain::tvSessionsStateChanging);
    m.PublishMethod("bbtnAppendClick", &TfrmMain::bbtnAppendClick);
    m.PublishMethod("bbtnAbortClick", &TfrmMain::bbtnAbortClick);
    m.PublishMethod("bbtnWriteClick", &TfrmMain::bbtnWriteClick);
    m.PublishMethod("ckxWritePerTransactionClick", &TfrmMain::ckxWritePerTransactionClick);
    m.PublishMethod("tmrShowWaitNextPageTimer", &TfrmMain::tmrShowWaitNextPageTimer);
    m.PublishMethod("tmrAllPagesDoneTimer", &TfrmMain::tmrAllPagesDoneTimer);
    m.PublishMethod("tmrRunPDFTimer", &TfrmMain::tmrRunPDFTimer);
    m.PublishMethod("tmrNoticeMsgTimer", &TfrmMain::tmrNoticeMsgTimer);
    m.PublishMethod("tmrDiscReadyTimer", &TfrmMain::tmrDiscReadyTimer);
    m.PublishMethod("tmrGoBurningTimer", &TfrmMain::tmrGoBurningTimer);
    m.PublishMethod("tmrBurnJobDoneTimer", &TfrmMain::tmrBurnJobDoneTimer);
    m.PublishMethod("tmrShowAlertTimer", &TfrmMain::tmrShowAlertTimer);
    m.PublishMethod("tmrLoadDiscTimer", &TfrmMain::tmrLoadDiscTimer);
})
#undef PAGORIN_PUBLISH_COMPONENT

}  // namespace pagorin
