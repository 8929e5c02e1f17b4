// The main window's side of the PDF road: the tree's transactions described to the road, and what the
// road made applied to the tree and the job flow.
#include "PdfRoadWindow.h"

#include "DayLog.h"
#include "DiscRoadView.h"
#include "Main.h"
#include "SharedState.h"
#include "TwainWindow.h"
#include "WideText.h"

namespace pagorin {

namespace {

constexpr UINT HandOverTickMs = 100, IdleTickMs = 1000;

std::vector<std::string> ChildTexts(vcl::TTreeNode* transaction)
{
    std::vector<std::string> texts;
    for (int i = 0; i < transaction->GetCount(); ++i)
        texts.push_back(transaction->GetItem(i)->GetText());
    return texts;
}

// A PDF made before is out of date once the transaction is compiled again: its file and node go.
void DeleteOldPdf(TfrmMain& form, vcl::TTreeNode* transaction)
{
    int child = FindPdfChild(ChildTexts(transaction));
    if (child < 0)
        return;
    vcl::TTreeNode* pdf = transaction->GetItem(child);
    DeleteFileA(TransactionTree::RecordOf(pdf)->Path.c_str());
    form.Transactions.Remove(pdf);
}

int StartPdf(TfrmMain& form, vcl::TTreeNode* transaction, const std::string& pdfPath)
{
    if (!transaction)
        return -1;
    DeleteOldPdf(form, transaction);
    TransactionRecord* record = TransactionTree::RecordOf(transaction);
    record->PdfSlot = form.PdfJobs.Start(record->PdfSlot, pdfPath);
    record->PdfDone = record->PdfSlot < 0;  // none free: the transaction is written without its PDF
    if (record->PdfSlot < 0)
        return -1;
    form.StartNotice(form.StatusPDFGenerating);
    if (!form.PdfRunning) {
        form.PdfRunning = true;
        form.tmrRunPDF->SetInterval(HandOverTickMs);
        form.tmrRunPDF->SetEnabled(true);
    }
    return record->PdfSlot;
}

// The transaction's PDF is made or given up: with no disc command under way, the job flow goes on as its
// run wants. A scan under way keeps the controls off until its own end, and a Write under way goes on with
// its disc instead of handing the controls back.
void ContinueAfterPdf(TfrmMain& form, const TransactionRecord& record)
{
    if (DiscCommand != CommandNone)
        return;
    if (record.SessionTag != 1) {
        form.GoBurning();
        return;
    }
    if (form.OperationMode != 1 || ScanInProgress())
        return;
    if (form.WriteRequested) {
        if (DiscInWriter())
            form.tmrDiscReady->SetEnabled(true);
        return;
    }
    if (form.ckxWritePerTransaction->GetChecked()) {
        form.EnableMainControls(true);
        form.GoBurning();
    } else {
        form.GiveControlsBack();
    }
    form.bbtnAbort->SetEnabled(false);
    form.bbtnAppend->SetEnabled(false);
}

void AddPdfNode(TfrmMain& form, vcl::TTreeNode* transaction, const std::string& pdfPath)
{
    TransactionRecord record;
    record.Path = pdfPath;
    form.Transactions.AddPage(transaction, pdfPath, record, true);
    form.bbtnAbort->SetEnabled(false);
    form.bbtnAppend->SetEnabled(false);
    WriteLogLine("PDF writing finished.");
}

// Without its PDF, a transaction that wanted only the PDF would write nothing: its pages are written instead.
void WritePagesInstead(TfrmMain& form, vcl::TTreeNode* transaction, const TransactionRecord& record)
{
    if (record.CompiledPdf != 2)
        return;
    form.tvSessions->ChangeNodeCheckState(transaction, csChecked);
    WriteLogLine("Transaction " + transaction->GetText() + " is written with its pages as images.");
}

void ApplyOutcome(TfrmMain& form, vcl::TTreeNode* transaction, const PdfOutcome& outcome)
{
    TransactionRecord* record = TransactionTree::RecordOf(transaction);
    record->PdfSlot = -1;
    record->PdfDone = true;
    form.NoticeActive = false;
    if (outcome.Saved) {
        AddPdfNode(form, transaction, outcome.PdfPath);
    } else {
        WriteLogLine("The PDF of transaction " + transaction->GetText() + " was not made: " + outcome.Reason);
        WritePagesInstead(form, transaction, *record);
    }
    form.UpdateTransactionSize();
    ContinueAfterPdf(form, *record);
}

}  // namespace

int StartTransactionPdf(TfrmMain& form, const std::string& pdfPath)
{
    return StartPdf(form, form.CurrentTransaction, pdfPath);
}

void StartPdfForAppend(TfrmMain& form)
{
    vcl::TTreeNode* transaction = form.CurrentTransaction;
    if (!transaction)
        return;
    std::string pdfPath = TransactionFolderPath(form.QueuePath, transaction->GetText()) + "\\" +
                          AnsiText(form.cbxFileNaming) + ".pdf";
    if (StartPdf(form, transaction, pdfPath) >= 0)
        return;
    WriteLogLine("No PDF job slot was free: transaction " + transaction->GetText() + " is written without its PDF.");
    ContinueAfterPdf(form, *TransactionTree::RecordOf(transaction));
}

void FeedPdfJobs(TfrmMain& form)
{
    form.tmrRunPDF->SetEnabled(false);
    // Outcomes add nodes under the transactions, never new transactions: the roots stay as described.
    const std::vector<vcl::TTreeNode*> roots = form.Transactions.Transactions();
    if (roots.empty()) {
        form.PdfRunning = false;
        return;
    }
    std::vector<PdfTransaction> described;
    for (vcl::TTreeNode* root : roots) {
        const TransactionRecord* record = TransactionTree::RecordOf(root);
        PdfTransaction t{record->PdfSlot, bool(record->PdfDone), bool(record->Closed), {}};
        for (int i = 0; i < root->GetCount(); ++i)
            t.PagePaths.push_back(TransactionTree::RecordOf(root->GetItem(i))->Path);
        described.push_back(std::move(t));
    }
    PdfFeed feed = form.PdfJobs.Feed(described);
    for (int i = 0; i < feed.FinishesStarted; ++i)
        WriteLogLine("PDF writing started.");
    if (feed.Compiling)
        form.StartNotice(form.StatusPDFGenerating);
    for (const PdfOutcome& outcome : feed.Outcomes)
        if (outcome.Transaction < roots.size())
            ApplyOutcome(form, roots[outcome.Transaction], outcome);
    form.PdfRunning = form.PdfJobs.Running();
    if (!form.PdfRunning)
        return;
    form.tmrRunPDF->SetInterval(feed.PageHandedOver ? HandOverTickMs : IdleTickMs);
    form.tmrRunPDF->SetEnabled(true);
}

void StopPdfJobSlot(TfrmMain& form, int slot)
{
    form.PdfJobs.Stop(slot);
    form.PdfRunning = form.PdfJobs.Running();
}

void PdfSlotChanged(TfrmMain& form)
{
    TfrmMain* target = &form;
    vcl::Application->Queue([target] {
        if (!target->PdfRunning)
            return;
        // A new interval restarts the timer; its handler sets its own interval again.
        target->tmrRunPDF->SetInterval(1);
        target->tmrRunPDF->SetEnabled(true);
    });
}

}  // namespace pagorin
