// TfrmMain, Pagorin's main window and the program's one stateful object: operation mode, paths, settings,
// the operator's controls, the single-instance handover and the orderly close.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "AppEvnts.h"
#include "Buttons.h"
#include "CSpin.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "LanguageTexts.h"
#include "Menus.h"
#include "PdfRoad.h"
#include "PdfRoadWindow.h"
#include "QvTreeVw.h"
#include "SettingsStore.h"
#include "StdCtrls.h"
#include "TransactionTree.h"
#include "WydButtons.h"
#include "WydComCtrls.h"
#include "WydMenus.h"
#include "WydStdCtrls.h"

namespace pagorin {

// Components of the form, by class.
#define PAGORIN_MAIN_COMPONENTS(X)                                                                           \
    X(TWydMainMenu, MainMenu1) X(TWydMenuItem, menuFile) X(TWydMenuItem, menuStartTransaction)          \
    X(TWydMenuItem, menuLoadSettings) X(TWydMenuItem, menuSaveSettings) X(TWydMenuItem, menuSelectScanner) \
    X(TWydMenuItem, menuExit) X(TWydMenuItem, menuOptions) X(TWydMenuItem, menuSettings)                  \
    X(TWydMenuItem, menuTestTray) X(TWydMenuItem, menuHelp) X(TWydMenuItem, menuHelpManual)              \
    X(TWydMenuItem, menuWebPage) X(TWydMenuItem, menuAbout)                                              \
    X(TWydToolBar, ToolBar1) X(TWydToolButton, btnStartTransaction) X(TWydToolButton, btnLoadSettings)             \
    X(TWydToolButton, btnSaveSettings) X(TWydToolButton, btnSelectScanner) X(TWydToolButton, btnSettings)            \
    X(TWydToolButton, btnLanguage) X(TWydToolButton, btnHelpManual) X(TWydToolButton, btnWeb)                        \
    X(TWydToolButton, btnAbout) X(TWydToolButton, btnExit)                                                       \
    X(TWydGroupBox, gbxScanSettings) X(TWydLabel, lblScanner) X(TWydLabel, txtScanner)                   \
    X(TWydLabel, lblColorMode) X(TWydLabel, txtColorMode) X(TWydLabel, lblResolution)                    \
    X(TWydLabel, txtResolution) X(TWydLabel, lblPageSize) X(TWydLabel, txtPageSize)                      \
    X(TWydLabel, lblFileFormat) X(TWydLabel, txtFileFormat) X(TWydLabel, lblFileNaming)                  \
    X(TWydComboBox, cbxFileNaming) X(TWydCheckBox, ckxDuplex)                                           \
    X(TWydGroupBox, gbxFilesToBeWritten) X(TWydLabel, lblScannedFiles) X(TWydLabel, txtScannedFiles)     \
    X(TWydLabel, lblCompiledPDF) X(TWydLabel, txtCompiledPDF)                                            \
    X(TWydGroupBox, gbxTargetDisc) X(TWydLabel, lblDiscType) X(TWydLabel, txtDiscType)                   \
    X(TWydLabel, lblCapacity) X(TWydLabel, txtCapacity) X(TWydLabel, lblTransactionSize)                 \
    X(TWydLabel, txtTransactionSize) X(TWydLabel, lblDiscsRequired) X(TWydLabel, txtDiscsRequired)       \
    X(TWydCheckBox, ckxWritePerTransaction) X(TWydLabel, lblCopies) X(vcl::TCSpinEdit, cseCopies)           \
    X(TWydLabel, lblDiscLabel) X(TWydComboBox, cbxDiscLabel) X(vcl::TImage, imgBar) X(vcl::TImage, imgDraw) \
    X(TWydGroupBox, gbxDiscWriteStatus) X(TWydLabel, lblAutoloader) X(TWydLabel, txtAutoloader)          \
    X(TWydLabel, lblCurrentDisc) X(TWydLabel, txtCurrentDisc) X(TWydLabel, lbl0) X(TWydLabel, lbl100)  \
    X(TWydProgressBar, pgbWrite)                                                                                 \
    X(TWydGroupBox, gbxScanTransaction) X(TQvCheckTree, tvSessions) X(TWydBitBtn, bbtnWrite)              \
    X(TWydBitBtn, bbtnAppend) X(TWydBitBtn, bbtnAbort) X(TWydLabel, lblCountdown) X(TWydProgressBar, pgbCountDown) \
    X(TWydStatusBar, StatusBar1) X(vcl::TApplicationEvents, ApplicationEvents1)                               \
    X(vcl::TListView, lvDataSources) X(vcl::TComboBox, cbXferMech) X(vcl::TComboBox, cbRobots)                 \
    X(vcl::TComboBox, cbColorModes) X(vcl::TComboBox, cbPageSize) X(vcl::TComboBox, cbPDFOption)              \
    X(vcl::TRadioGroup, rgWriteSettings) X(vcl::TButton, btnScan) X(vcl::TButton, btnWrite)                   \
    X(vcl::TTimer, tmrStartRobotThread) X(vcl::TTimer, tmrCheckDir) X(vcl::TTimer, tmrShowWaitNextPage)         \
    X(vcl::TTimer, tmrAllPagesDone) X(vcl::TTimer, tmrRunPDF) X(vcl::TTimer, tmrNoticeMsg)                     \
    X(vcl::TTimer, tmrDiscReady) X(vcl::TTimer, tmrGoBurning) X(vcl::TTimer, tmrBurnJobDone)                   \
    X(vcl::TTimer, tmrShowAlert) X(vcl::TTimer, tmrLoadDisc)

class TfrmMain : public vcl::TForm {
    VCL_CLASS(TfrmMain, vcl::TForm)
    explicit TfrmMain(vcl::TComponent* owner);

#define PAGORIN_DECLARE_COMPONENT(type, name) type* name = nullptr;
    PAGORIN_MAIN_COMPONENTS(PAGORIN_DECLARE_COMPONENT)
#undef PAGORIN_DECLARE_COMPONENT

    void FormCreate(vcl::TObject* sender);
    void FormCloseQuery(vcl::TObject* sender, bool& canClose);
    void FormClose(vcl::TObject* sender, vcl::TCloseAction& action);
    void btnExitClick(vcl::TObject* sender);
    void tmrStartRobotThreadTimer(vcl::TObject* sender);
    void btnScanClick(vcl::TObject* sender);
    // Fills the hidden source list, which chooses the current scanner in the TWAIN session; once.
    void ListSourcesOnce();
    bool SourcesListed = false;
    void ApplicationEvents1Message(vcl::TMsg& message, bool& handled);
    void Dispatch(vcl::TMessage& message) override;

    // Commands of the tool bar and the menus (the menu items share the buttons' handlers).
    void btnStartTransactionClick(vcl::TObject* sender);
    void btnLoadSettingsClick(vcl::TObject* sender);
    void btnSaveSettingsClick(vcl::TObject* sender);
    void btnSelectScannerClick(vcl::TObject* sender);
    void btnSettingsClick(vcl::TObject* sender);
    void btnLanguageClick(vcl::TObject* sender);
    void btnHelpManualClick(vcl::TObject* sender);
    void btnWebClick(vcl::TObject* sender);
    void btnAboutClick(vcl::TObject* sender);
    void cseCopiesClick(vcl::TObject* sender);
    void menuTestTrayClick(vcl::TObject* sender);
    void DrawCapacityGauge(long long megabytes);

    // Transactions and the transaction tree.
    void StartTransaction();
    void AddPageNode(const std::string& name);
    void ScanQueueFolder();
    // A slice of a long restore's pages; the restore's end once all are in.
    void HangRestoredPages();
    void EndQueueRestore();
    bool RestoringQueue = false;
    void tmrCheckDirTimer(vcl::TObject* sender);
    void tvSessionsClick(vcl::TObject* sender);
    void tvSessionsChange(vcl::TObject* sender, vcl::TTreeNode* node);
    void tvSessionsExpanding(vcl::TObject* sender, vcl::TTreeNode* node, bool& allow);
    void tvSessionsStateChanging(vcl::TObject* sender, vcl::TTreeNode* node, TQvCheckState state, bool& allow);
    void tvSessionsStateChange(vcl::TObject* sender, vcl::TTreeNode* node, TQvCheckState state);
    void bbtnAppendClick(vcl::TObject* sender);
    void bbtnAbortClick(vcl::TObject* sender);
    void bbtnWriteClick(vcl::TObject* sender);
    void ckxWritePerTransactionClick(vcl::TObject* sender);
    void UpdateTransactionSize();
    void ShowTransactionSizeBytes(long long bytes);
    bool FinishWrittenItems();
    // Removes a transaction with its pages and folder, and says why in the day log.
    void DropTransaction(vcl::TTreeNode* transaction, const char* why);
    void SaveDiscLabelHistory();
    void SaveFileNamingHistory();

    // The job flow (MainJobFlow.cpp): one-shot timers and the step that starts or continues a disc.
    void GoBurning();
    void tmrShowWaitNextPageTimer(vcl::TObject* sender);
    void tmrAllPagesDoneTimer(vcl::TObject* sender);
    void tmrRunPDFTimer(vcl::TObject* sender);
    void tmrNoticeMsgTimer(vcl::TObject* sender);
    void tmrDiscReadyTimer(vcl::TObject* sender);
    void tmrGoBurningTimer(vcl::TObject* sender);
    void tmrBurnJobDoneTimer(vcl::TObject* sender);
    void tmrShowAlertTimer(vcl::TObject* sender);
    void tmrLoadDiscTimer(vcl::TObject* sender);
    // Blinks `text` in the status bar's first panel until NoticeActive is cleared.
    void StartNotice(const std::wstring& text);
    // Shows the alert of `kind` once no other alert is on screen.
    void ShowAlertLater(int kind);
    void EndWriting();
    void ReportFilesLeftUnwritten();
    void EndJobWithNothingToWrite();
    // The job ends without its disc: its pages wait in the queue, and the next job is prepared anew.
    void EndJobWithoutDisc();
    // After a scan, or its PDF, of the interactive run: the controls come back, and a Write pressed during the
    // scan is carried out now.
    void GiveControlsBack();
    // Handed-over pages held while an interactive scan fills its transaction, taken once it has closed.
    void TakeHeldPages();
    // A scan's end is taken by a timer after the controls came back: a command that starts new work takes it
    // first, so that the scanned transaction is the one that closes (and a hand-over's that waits for its
    // countdown closes too). False when the run is no longer the operator's (the close handed it to pages
    // held meanwhile): the command is then not carried out.
    bool TakeScanEndNow();

    void EnableMainControls(bool on);
    // Write is on only while it can be carried out: the operator has the controls, a writer is online, and no
    // scan, hot-key operation or Write is under way.
    void UpdateWriteButton();
    void ApplyLanguageTexts();
    // The disc writing status box's caption: its title and the state's text.
    void ShowDiscWritingStatus(const std::wstring& state);
    void LayoutMainWindow();
    void LoadDefaultSettings();
    void LoadMainSettings();
    void ShowSettingsView(const SettingsView& view);

    // State (names as the rest of the program uses them).
    int OperationMode = 1;  // 0 hot-key run, 1 interactive, 2 hot-key operation inside an interactive run
    bool AppendMode = false, AutoWriteArmed = false, PdfRunning = false;
    bool ShowAllSources = false, HotKeyOperation = false, NoticeActive = false, FirstUseNotice = false;
    bool WriteRequested = false, AppendHadPdf = false;
    // Write was pressed while a scan ran; it is carried out when the scan's controls come back.
    bool WriteHeld = false;
    // The operator's controls are on (EnableMainControls).
    bool ControlsOn = true;
    // The disc in the writer is being rejected because the job had nothing for it: the job ends after it.
    bool EndAfterReject = false;
    // A hot-key run has nothing left to do: it ends as soon as no alert on screen holds its close back.
    bool RunEnded = false;
    std::vector<std::string> HeldPages;
    std::string HeldPagesFolder;  // the queue folder that keeps their copies meanwhile
    // Set once the window has begun to close: no hand-over, job step or second close is taken from then on.
    bool Closing = false, Closed = false;
    int PendingAlertKind = 0;
    int DiscsWritten = 0, JobCopies = 0;
    int GaugeTop = 4, GaugeUnit = 3, GaugeWidth = 0, GaugeMargin = 0;
    int PageNumber = 0, WritingSessionTag = 0;
    long long TransactionBytes = 0;
    vcl::TTreeNode* CurrentTransaction = nullptr;  // the tree node receiving pages
    TransactionTree Transactions;
    Settings Config;
    std::string HelpFilePath, LanguageIniPath, QueuePath;
    LanguageFile Texts;
    std::wstring NoticeText;
    // Texts shown later by the disc road, in the current language.
    std::wstring DiscWritingStatusText, StatusErase, StatusIdle, StatusWriting, StatusVerify, RobotOperatingText;
    std::wstring StatusRobotNotOnline, StatusConnectintRobot, StatusPDFGenerating, StatusLoadDisc, StatusUnloadDisc;
    PdfRoad PdfJobs{[this](int) { PdfSlotChanged(*this); }};
    HANDLE RobotThread = nullptr, DiscThread = nullptr;
    HWND MainWindowHandle = nullptr;

protected:
    void Loaded() override;

private:
    void HandleCopyData(vcl::TMessage& message);
    // A page file handed over (already judged acceptable) joins the current hot-key transaction, or starts a
    // hot-key operation inside the interactive run.
    void TakeHandedOverPage(const std::string& page);
    // Keeps a handed-over page for the scan's end, its copy in a queue folder of its own meanwhile.
    void HoldHandedOverPage(const std::string& page);
    // An interactive transaction is taking scanned pages: a handed-over page must not take its place as the
    // current transaction.
    bool ScannedTransactionOpen();
    // The current transaction when it is a hand-over's that its next-page countdown has not closed yet.
    vcl::TTreeNode* OpenHandOverTransaction() const;
    void CloseCurrentTransaction();
    enum class CloseAnswer { Refused, Allowed, Terminated };
    CloseAnswer ConfirmClose();
    void StopWorkerThreads();
    void CheckFirstRun();
    void DrawCapacityRuler();
    void ShowDiscType();
    // The selected node when it is a transaction that Append or Abort may take, else none.
    vcl::TTreeNode* SelectedIdleTransaction();
    void StopTransactionWork(vcl::TTreeNode* transaction);
    void ShowSize(const SizeShown& shown);
    SizeShown ShownSize;  // what the size label and the gauge show
    void ShowRestoredTransactions(size_t restored);
    // Write-per-transaction may be chosen again; the tree's buttons go.
    void ShowEmptyTree();
    void SaveRecentTexts(TWydComboBox* box, const char* base);
    // Size updates wait while many nodes change at once (the queue's restore).
    int SizeUpdatesHeld = 0;
};

extern TfrmMain* frmMain;

// Set by the program entry before the forms exist.
extern std::string CommandLineArgument;
extern std::string InstallationFolder;
constexpr const char* MainCaption = "Pagorin 1.2";
// What the process ends with: 0, or 1 when a hot-key run ended with pages that reached no disc (the day log
// says why).
extern int ProgramExitCode;

// The running instance's answers to a hand-over: the text was ignored, the page taken, or the instance is
// closing and takes nothing more (the start that sent it then takes the page itself).
enum HandOverAnswer : LRESULT { HandOverIgnored = 0, HandOverTaken = 1, HandOverClosing = 2 };

// The main window's transactions as scanning and closing take them (MainTransactions.cpp).
void StartTransaction(TfrmMain& form);
void AddPageNode(TfrmMain& form, const std::string& pagePath);
// The transaction receiving the scanned pages, as scanning needs it (an empty name without one).
struct ScanTransaction {
    std::string Name;  // its folder in the queue folder
    bool HasPages = false;
    // A PDF of it is being compiled, or its slot waits for the pages: none comes when none was asked for,
    // no slot was free, or it failed or was stopped.
    bool PdfComing = false;
};
ScanTransaction CurrentScanTransaction(TfrmMain& form);
// Checks the current transaction's node.
void CheckCurrentTransaction(TfrmMain& form);
// Removes the current transaction, which holds no page: its node, its folder and its PDF slot.
void DropEmptyTransaction(TfrmMain& form);
// True while a hot-key transaction still waits for its PDF.
bool HotKeyPdfsPending(TfrmMain& form);
void DeleteHotKeyTransactionFolders(TfrmMain& form);

}  // namespace pagorin
