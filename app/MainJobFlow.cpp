// The main window's job flow: one-shot timers carry a transaction from its last page through loading,
// checking, writing and unloading a disc to the next copy, the next disc or the end. Every handler runs on
// the main thread; the robot and disc threads only post to it. The robot and disc state they share is
// changed by compare-and-set, so a request never overwrites what a thread has just moved on.
#include <cstdio>

#include "Alert.h"
#include "DayLog.h"
#include "DiscEventsWindow.h"
#include "DiscJob.h"
#include "DiscRoadView.h"
#include "Main.h"
#include "SharedState.h"
#include "WideText.h"

namespace pagorin {

namespace {

// An alert arriving while another is on screen waits this long before it tries again.
constexpr UINT AlertRetryMs = 250;
constexpr UINT NoticeShownMs = 1000, NoticeBlankMs = 300, NoticeShowingThreshold = 600;
constexpr UINT GoBurningFirstMs = 5, GoBurningWaitMs = 1000;
constexpr UINT WaitNextPageFirstMs = 1000;

bool AlertShowing() { return frmAlert && frmAlert->GetVisible(); }

// A job takes every page: a restore still under way reads the rest of its folders now.
std::vector<JobTransaction> DescribeForJob(TransactionTree& tree)
{
    tree.ReadAllPages();
    std::vector<JobTransaction> described;
    for (vcl::TTreeNode* root : tree.Transactions()) {
        const TransactionRecord* record = TransactionTree::RecordOf(root);
        JobTransaction t;
        t.FolderName = root->GetText();
        t.CheckState = root->GetStateIndex();
        t.SessionTag = record->SessionTag;
        t.Closed = record->Closed;
        t.PdfDone = record->PdfDone;
        t.Copies = record->Copies;
        t.DiscLabel = record->DiscLabel;
        t.WriteState = record->WriteState;
        for (int i = 0; i < root->GetCount(); ++i) {
            vcl::TTreeNode* page = root->GetItem(i);
            const TransactionRecord* pageRecord = TransactionTree::RecordOf(page);
            t.Pages.push_back({page->GetStateIndex(), pageRecord->WriteState, pageRecord->Path});
        }
        described.push_back(std::move(t));
    }
    return described;
}

DiscJobInputs JobInputs(TfrmMain& form, int writingTag)
{
    DiscJobInputs inputs;
    inputs.WritingSessionTag = writingTag;
    inputs.OperationMode = form.OperationMode;
    inputs.WritePerTransaction = form.ckxWritePerTransaction->GetChecked();
    inputs.DetectedDiscType = DetectedDiscType;
    inputs.CopiesWritten = form.DiscsWritten;
    inputs.QueuePath = form.QueuePath;
    return inputs;
}

void ApplyWriteStates(const TransactionTree& tree, const std::vector<JobTransaction>& described)
{
    const auto& roots = tree.Transactions();
    for (size_t t = 0; t < roots.size() && t < described.size(); ++t) {
        TransactionTree::RecordOf(roots[t])->WriteState = described[t].WriteState;
        for (int i = 0; i < roots[t]->GetCount() && size_t(i) < described[t].Pages.size(); ++i)
            TransactionTree::RecordOf(roots[t]->GetItem(i))->WriteState = described[t].Pages[size_t(i)].WriteState;
    }
}

}  // namespace

void GoBurning(TfrmMain& form) { form.GoBurning(); }

void TfrmMain::StartNotice(const std::wstring& text)
{
    NoticeText = text;
    NoticeActive = true;
    tmrNoticeMsg->SetEnabled(true);
}

void TfrmMain::GoBurning()
{
    if (RobotDriveLetter == 0) {
        StartNotice(StatusRobotNotOnline);
        return;
    }
    // A disc taken out that the window has not heard of yet, or a written disc's job end still due: that report
    // or end clears what the disc took, then decides what comes next.
    if (Closing || DiscBusy || RobotState != StateIdle || DiscOutReportDue || Transactions.Empty() ||
        AlertShowing() || tmrBurnJobDone->GetEnabled())
        return;
    // Decided from the writer itself: no classified disc in it, and none being checked, erased or written.
    if (!DiscInWriter() && DiscCommand == CommandNone) {
        // A failed burn is retried on the next disc with the job lists it already had.
        if (!BurnRetryPending && !DiscJobHasWork(DescribeForJob(Transactions), JobInputs(*this, OperationMode))) {
            EndJobWithNothingToWrite();
            return;
        }
        // Busy before the request: the robot thread clears it again when the load fails.
        DiscBusy = true;
        int idle = StateIdle;
        if (!RobotState.compare_exchange_strong(idle, StateLoadWriter)) {
            DiscBusy = false;
            return;
        }
        menuTestTray->SetEnabled(false);
        tmrGoBurning->SetEnabled(true);
        WritingSessionTag = OperationMode;
        StartNotice(StatusLoadDisc);
        return;
    }
    menuTestTray->SetEnabled(false);
    tmrGoBurning->SetEnabled(true);
    if (OperationMode == 1)
        return;  // the burn command comes from the job's preparation
    WritingSessionTag = OperationMode;
    // The burn needs its job lists: a classified disc without a prepared job has them made first.
    if (DiscCommand == CommandNone)
        tmrDiscReady->SetEnabled(true);
}

void TfrmMain::tmrGoBurningTimer(vcl::TObject*)
{
    if (DetectedDiscType == -1) {
        if (tmrGoBurning->GetInterval() != GoBurningWaitMs)
            tmrGoBurning->SetInterval(GoBurningWaitMs);
        return;
    }
    tmrGoBurning->SetEnabled(false);
    tmrGoBurning->SetInterval(GoBurningFirstMs);
}

// The countdown of a hot-key transaction waits for an alert already on screen (an empty input bin, say): only
// its end closes the transaction, which the disc job waits for. It is the transaction's own session that
// asks for it, not the run's: a job that failed meanwhile has given the run back to the operator, and the
// transaction still has to close for the next Write.
void TfrmMain::tmrShowWaitNextPageTimer(vcl::TObject*)
{
    tmrShowWaitNextPage->SetEnabled(false);
    if (Closing)
        return;
    const TransactionRecord* waiting = TransactionTree::RecordOf(CurrentTransaction);
    if (!waiting || waiting->Closed || waiting->SessionTag == 1)
        return;
    if (AlertShowing()) {
        if (tmrShowWaitNextPage->GetInterval() != AlertRetryMs)
            WriteLogLine("The next-page countdown waits for the alert on screen to close.");
        tmrShowWaitNextPage->SetInterval(AlertRetryMs);
        tmrShowWaitNextPage->SetEnabled(true);
        return;
    }
    tmrShowWaitNextPage->SetInterval(WaitNextPageFirstMs);
    frmAlert->AlertKind = akWaitNextPage;
    frmAlert->ShowModal();
}

void TfrmMain::tmrAllPagesDoneTimer(vcl::TObject*)
{
    tmrAllPagesDone->SetEnabled(false);
    CloseCurrentTransaction();
    TakeHeldPages();
}

// Pages held during the scan get a job of their own at its close, and that job holds the controls until it
// ends: a scan or a write started now would take its transaction from it, and nothing would close either.
bool TfrmMain::TakeScanEndNow()
{
    // A hand-over's transaction whose job was given up before its countdown came closes now, as the
    // countdown's end would: the command's transaction must not take its place as the current one.
    if (OpenHandOverTransaction())
        CloseCurrentTransaction();
    if (tmrAllPagesDone->GetEnabled())
        tmrAllPagesDoneTimer(tmrAllPagesDone);
    if (OperationMode == 1)
        return true;
    WriteLogLine("The command was not carried out: the pages handed over meanwhile are being written first.");
    return false;
}

void TfrmMain::CloseCurrentTransaction()
{
    vcl::TTreeNode* transaction = CurrentTransaction;
    if (!transaction) {
        WriteLogLine("The pages were done without a transaction receiving them.");
        return;
    }
    TransactionRecord* record = TransactionTree::RecordOf(transaction);
    record->Closed = true;
    // A hand-over's transaction closing after its job ended waits as the operator's own, which Write takes.
    if (OperationMode == 1)
        record->SessionTag = 1;
    char line[96];
    std::snprintf(line, sizeof line, "Total %d pages scanned in current transaction.", transaction->GetCount());
    WriteLogLine(line);
    // A PDF that has already ended (or could not be made) is not waited for.
    bool noPdf = record->CompiledPdf == 0 || record->PdfDone;
    if (RobotDriveLetter != 0) {
        CurrentTransaction = nullptr;
        if (DiscInWriter() && noPdf)
            tmrDiscReady->SetEnabled(true);
        else if (noPdf && OperationMode != 1)
            GoBurning();
        return;
    }
    // Without an autoloader the transaction waits; it stays current unless the robot is still at work.
    if (RobotState != StateIdle)
        CurrentTransaction = nullptr;
    else if (OperationMode != 1)
        WriteLogLine("No autoloader is online: the transaction waits to be written.");
}

void TfrmMain::tmrRunPDFTimer(vcl::TObject*) { FeedPdfJobs(*this); }

void TfrmMain::tmrNoticeMsgTimer(vcl::TObject*)
{
    tmrNoticeMsg->SetEnabled(false);
    auto* panel = StatusBar1->GetPanels()->GetItem(0);
    if (tmrNoticeMsg->GetInterval() >= NoticeShowingThreshold) {
        SetPanelText(panel, L"");
        tmrNoticeMsg->SetInterval(NoticeBlankMs);
        if (!NoticeActive)
            return;
    } else {
        SetPanelText(panel, NoticeText);
        tmrNoticeMsg->SetInterval(NoticeShownMs);
    }
    tmrNoticeMsg->SetEnabled(true);
}

void TfrmMain::tmrDiscReadyTimer(vcl::TObject*)
{
    tmrDiscReady->SetEnabled(false);
    // Armed for a disc in the writer, the timer may come after the robot was asked to take it out.
    if (Closing || !DiscInWriter())
        return;
    bool retry = true;
    if (BurnRetryPending.compare_exchange_strong(retry, false)) {
        int none = CommandNone;
        DiscCommand.compare_exchange_strong(none, CommandBurn);  // the same job lists again
        return;
    }
    if (OperationMode == 1 && !ckxWritePerTransaction->GetChecked() && !WriteRequested)
        return;
    std::vector<JobTransaction> described = DescribeForJob(Transactions);
    DiscJob job = PrepareDiscJob(described, JobInputs(*this, WritingSessionTag));
    for (const std::string& line : job.LogLines)
        WriteLogLine(line);
    if (job.NothingToWrite) {
        EndJobWithNothingToWrite();
        return;
    }
    if (!job.Ready)
        return;  // a transaction of the job is still open: its close or its PDF looks again
    ApplyWriteStates(Transactions, described);
    if (job.NewJob) {
        JobCopies = job.JobCopies;
        DiscsWritten = job.CopiesWritten;
        SetAnsiCaption(txtCurrentDisc, job.CurrentDiscText);
        ShowDiscWritingStatus(StatusWriting);
    }
    WriteLogLine("Start the Disc Writing Session.");
    GoBurning();
}

void TfrmMain::tmrBurnJobDoneTimer(vcl::TObject*)
{
    tmrBurnJobDone->SetEnabled(false);
    ++DiscsWritten;
    if (DiscsWritten < JobCopies) {
        SetAnsiCaption(txtCurrentDisc, std::to_string(DiscsWritten + 1));
        GoBurning();
        return;
    }
    char line[96];
    std::snprintf(line, sizeof line, "Total %d discs written in current session.", DiscsWritten);
    WriteLogLine(line);
    if (FinishWrittenItems()) {
        GoBurning();
        return;
    }
    EndWriting();
}

// A hot-key run that ends with pages in its tree ends with them unwritten: its exit code says so to the tool
// that started it.
void TfrmMain::ReportFilesLeftUnwritten()
{
    int left = 0;
    for (vcl::TTreeNode* root : Transactions.Transactions())
        left += root->GetCount();
    if (left > 0) {
        ProgramExitCode = 1;
        WriteLogLine("The hot-key run ends with " + std::to_string(left) + " files not written to a disc.");
    }
}

// Nothing is left to write: a hot-key run ends the program, an interactive one gives the operator the
// controls back.
void TfrmMain::EndWriting()
{
    AutoWriteArmed = true;
    if (OperationMode == 0) {
        ReportFilesLeftUnwritten();
        HotKeyOperation = false;
        RunEnded = true;
        Close();
        return;
    }
    OperationMode = 1;
    HotKeyOperation = false;
    EnableMainControls(true);
}

void TfrmMain::GiveControlsBack()
{
    bool held = WriteHeld;
    EnableMainControls(true);
    if (held)
        bbtnWriteClick(bbtnWrite);
}

// A job with nothing to write ends at once. A disc already loaded for it has never been written on: it goes to
// the reject bin, and the job ends once it has left the writer.
void TfrmMain::EndJobWithNothingToWrite()
{
    WriteLogLine("Nothing to write: no checked page waits for a disc.");
    int idle = StateIdle;
    if (DiscInWriter() && RobotState.compare_exchange_strong(idle, StateRejectWriter)) {
        WriteLogLine("The disc loaded for it is put into the reject bin unwritten.");
        EndAfterReject = true;
        StartNotice(StatusUnloadDisc);
        return;
    }
    EndWriting();
}

// The pages wait to be written again, and in an interactive run only the operator starts them: Write comes
// back beside them (writing per transaction hides it). The run is back in its own session, which is all
// that Write takes, so a handed-over job's closed transactions wait as the operator's own.
void TfrmMain::EndJobWithoutDisc()
{
    Transactions.ForgetJobMarks();
    DiscsWritten = 0;
    NoticeActive = false;
    EndWriting();
    if (OperationMode != 1 || Transactions.Empty())
        return;
    for (vcl::TTreeNode* root : Transactions.Transactions()) {
        TransactionRecord* record = TransactionTree::RecordOf(root);
        if (record->Closed)
            record->SessionTag = 1;
    }
    bbtnWrite->SetVisible(true);
}

void TfrmMain::ShowAlertLater(int kind)
{
    PendingAlertKind = kind;
    tmrShowAlert->SetInterval(5);
    tmrShowAlert->SetEnabled(true);
}

// The alert on screen keeps its kind: a later one waits until it has closed.
void TfrmMain::tmrShowAlertTimer(vcl::TObject*)
{
    tmrShowAlert->SetEnabled(false);
    if (Closing)
        return;
    if (AlertShowing()) {
        tmrShowAlert->SetInterval(AlertRetryMs);
        tmrShowAlert->SetEnabled(true);
        return;
    }
    int kind = PendingAlertKind;
    frmAlert->AlertKind = kind;
    frmAlert->ShowModal();
    // The alert held back the close of a run that ended meanwhile.
    if (RunEnded && !Closing) {
        Close();
        return;
    }
    // Cancel at the empty input bin gives the wait for a disc up: nothing else would ever end the job.
    if (kind == akInputBinEmpty && frmAlert->AlertAnswer != 0 && !Closing) {
        WriteLogLine("The operator cancelled the wait for a disc: writing stops, the pages wait in the queue.");
        EndJobWithoutDisc();
    }
}

void TfrmMain::tmrLoadDiscTimer(vcl::TObject*)
{
    tmrLoadDisc->SetEnabled(false);
    GoBurning();
}

}  // namespace pagorin
