// The main window's transactions: starting one, adding its pages, restoring the queue folder at start,
// the tree's buttons, the size of what is checked and the clean-up after a disc job.
#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "Alert.h"
#include "CommandLine.h"
#include "DayLog.h"
#include "DiscEventsWindow.h"
#include "DiscRoadView.h"
#include "Main.h"
#include "SharedState.h"
#include "TwainWindow.h"
#include "WideText.h"

namespace pagorin {

namespace {

constexpr size_t ExpandedRestoreLimit = 100;
// A long restore hangs pages for this long per timer tick, leaving the rest of the time to the operator.
constexpr UINT RestoreSliceIntervalMs = 10;
constexpr DWORD RestoreSliceMs = 20;

std::string LocalNowFolder(const std::string& queuePath)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CreateTransactionFolder(queuePath, now);
}

// Holds the size updates of the tree's check-state events while many nodes change.
class SizeUpdateHold {
public:
    explicit SizeUpdateHold(int& held) : held_(held) { ++held_; }
    ~SizeUpdateHold() { --held_; }
    SizeUpdateHold(const SizeUpdateHold&) = delete;
    SizeUpdateHold& operator=(const SizeUpdateHold&) = delete;

private:
    int& held_;
};

}  // namespace

void StartTransaction(TfrmMain& form) { form.StartTransaction(); }
void AddPageNode(TfrmMain& form, const std::string& name) { form.AddPageNode(name); }

ScanTransaction CurrentScanTransaction(TfrmMain& form)
{
    ScanTransaction current;
    if (vcl::TTreeNode* transaction = form.CurrentTransaction) {
        current.Name = transaction->GetText();
        current.HasPages = transaction->GetCount() > 0;
        const TransactionRecord* record = TransactionTree::RecordOf(transaction);
        current.PdfComing = record->PdfSlot >= 0 && !record->PdfDone;
    }
    return current;
}

void CheckCurrentTransaction(TfrmMain& form)
{
    if (form.CurrentTransaction)
        form.tvSessions->ChangeNodeCheckState(form.CurrentTransaction, csChecked);
}

void DropEmptyTransaction(TfrmMain& form)
{
    if (form.CurrentTransaction)
        form.DropTransaction(form.CurrentTransaction, "removed: its scan brought no page");
}

void TfrmMain::StartTransaction()
{
    // Taken once: a later transaction of this run finds no command-line page.
    std::string commandLinePage;
    if (OperationMode == 0)
        commandLinePage.swap(CommandLineArgument);
    if (!commandLinePage.empty() && !IsAcceptablePage(commandLinePage)) {
        // The hot-key run has nothing to write: it ends before any disc is loaded, and its exit code tells the
        // tool that started it.
        WriteLogLine("Command-line page ignored: \"" + AsLogged(commandLinePage) + "\". Nothing to write: the run ends.");
        ProgramExitCode = 1;
        PostMessageW(GetHandle(), WM_CLOSE, 0, 0);
        return;
    }
    WriteLogLine("A Scan-To-Disc transaction started.");
    ckxWritePerTransaction->SetEnabled(false);
    PageNumber = 0;
    AppendMode = false;
    if (OperationMode == 1 && ckxWritePerTransaction->GetChecked()) {
        if (AutoWriteArmed)
            StartNotice(StatusLoadDisc);
        if (RobotDriveLetter == 0)
            AutoWriteArmed = true;
    }
    std::string name = LocalNowFolder(QueuePath);
    if (name.empty()) {
        WriteLogLine("No free transaction folder name in " + QueuePath + ": no transaction started.");
        return;
    }
    TransactionBytes = 0;
    TransactionRecord record;
    record.SessionTag = OperationMode;
    record.CompiledPdf = Config.CompiledPdf;
    record.Copies = cseCopies->GetValue();
    record.Path = QueuePath + "\\" + name + "\\FileList.txt";
    if (FILE* list = fopen(record.Path.c_str(), "wt"))
        fclose(list);
    record.DiscLabel = cbxDiscLabel->GetText();
    bool checked = OperationMode != 1 || ckxWritePerTransaction->GetChecked();
    CurrentTransaction = Transactions.AddTransaction(name, record, checked);
    tmrShowWaitNextPage->SetEnabled(true);

    if (!commandLinePage.empty())
        AddPageNode(commandLinePage);
    TransactionRecord* started = TransactionTree::RecordOf(CurrentTransaction);
    if (Config.CompiledPdf != 0) {
        started->PdfSlot = StartTransactionPdf(*this, QueuePath + "\\" + name + "\\" + AnsiText(cbxFileNaming) + ".pdf");
        if (started->PdfSlot < 0) {
            // Nothing will ever make this PDF: the transaction must not wait for it.
            started->PdfDone = true;
            WriteLogLine("No PDF job slot was free: transaction " + name + " is written without its PDF.");
        }
    } else
        started->PdfDone = true;
    SaveDiscLabelHistory();
    SaveFileNamingHistory();
}

void TfrmMain::AddPageNode(const std::string& name)
{
    vcl::TTreeNode* transaction = CurrentTransaction;
    if (!transaction) {
        WriteLogLine("A page came without a transaction to take it: " + name);
        return;
    }
    std::string path = OperationMode == 1 ? QueuePath + "\\" + transaction->GetText() + "\\" + name : name;
    if (path.size() > MaxTransactionPath) {
        WriteLogLine("A page path is longer than " + std::to_string(MaxTransactionPath) + " characters and was not added: " + path);
        return;
    }
    TransactionRecord record;
    record.Path = path;
    // Left out only while it goes into a PDF still on its way: a page after the PDF's end is written itself.
    const TransactionRecord* owner = TransactionTree::RecordOf(transaction);
    bool pdfOnly = owner->CompiledPdf == 2 && !owner->PdfDone;
    vcl::TTreeNode* page = Transactions.AddPage(transaction, name, record, !pdfOnly);
    // A handed-over page is written from where it lies; its copy in the queue outlives a run ended abruptly.
    if (OperationMode != 1 && KeepPageCopy(TransactionFolderPath(QueuePath, transaction->GetText()), path).empty())
        WriteLogLine("No copy of the page was kept in the queue folder: " + path);
    if (page->GetIndex() > 0 && frmAlert && frmAlert->GetVisible() && frmAlert->AlertKind == akWaitNextPage)
        frmAlert->AlertCountdown = 100;
    TransactionBytes += TransactionTree::RecordOf(page)->FileSize;
    if (Transactions.Transactions().size() < 2)
        ShowTransactionSizeBytes(TransactionBytes);
    transaction->Expand(true);
    if (OperationMode == 1)
        UpdateTransactionSize();
}

// A run ended abruptly meanwhile leaves the copy where the next start's restore finds it.
void TfrmMain::HoldHandedOverPage(const std::string& page)
{
    if (HeldPagesFolder.empty())
        HeldPagesFolder = LocalNowFolder(QueuePath);
    if (KeepPageCopy(TransactionFolderPath(QueuePath, HeldPagesFolder), page).empty())
        WriteLogLine("No copy of the page was kept in the queue folder: " + page);
    HeldPages.push_back(page);
    WriteLogLine("The page waits for the scan under way to end.");
}

void TfrmMain::TakeHeldPages()
{
    std::vector<std::string> pages;
    pages.swap(HeldPages);
    for (const std::string& page : pages) {
        if (IsAcceptablePage(page))
            TakeHandedOverPage(page);
        else
            WriteLogLine("Handed-over page gone before the scan ended: \"" + AsLogged(page) + "\"");
    }
    // Their transaction keeps copies of its own now.
    if (!HeldPagesFolder.empty())
        DeleteFolder(TransactionFolderPath(QueuePath, HeldPagesFolder));
    HeldPagesFolder.clear();
}

// First the queue folder's restore, then, while a long one hangs its pages, its next slice.
void TfrmMain::tmrCheckDirTimer(vcl::TObject*)
{
    if (RestoringQueue) {
        HangRestoredPages();
        return;
    }
    tmrCheckDir->SetEnabled(false);
    ScanQueueFolder();
}

// Every transaction shows at once. A few folders are read at once too and open to show their pages; the
// pages of many hang under them in slices of the timer, between the operator's input and paints.
void TfrmMain::ScanQueueFolder()
{
    std::unordered_set<std::string> known;
    for (vcl::TTreeNode* root : Transactions.Transactions())
        known.insert(root->GetText());
    // A transaction started before this scan (a click or a hand-over at start) is not a leftover.
    std::vector<std::string> folders;
    for (const std::string& name : QueueSubfolders(QueuePath))
        if (!known.count(name))
            folders.push_back(QueuePath + "\\" + name);
    bool few = folders.size() <= ExpandedRestoreLimit;
    {
        SizeUpdateHold hold(SizeUpdatesHeld);
        tvSessions->GetItems()->BeginUpdate();
        // Asked once: the combo box answers by a message through its window, thousands of times otherwise.
        Transactions.StartRestore(folders, cbxDiscLabel->GetText());
        if (few)
            Transactions.ReadAllPages();
        tvSessions->GetItems()->EndUpdate();
    }
    size_t shown = few ? Transactions.RestoredCount() : folders.size();
    if (shown > 0)
        ShowRestoredTransactions(shown);
    if (few) {
        EndQueueRestore();
        return;
    }
    RestoringQueue = true;
    tmrCheckDir->SetInterval(RestoreSliceIntervalMs);
    tmrCheckDir->SetEnabled(true);
}

void TfrmMain::HangRestoredPages()
{
    if (!Transactions.HangReadPages(RestoreSliceMs))
        return;
    tmrCheckDir->SetEnabled(false);
    RestoringQueue = false;
    if (Transactions.Empty())
        ShowEmptyTree();
    EndQueueRestore();
}

// Sizes and the count are shown once every page is in: a part of them would show a wrong figure.
void TfrmMain::EndQueueRestore()
{
    UpdateTransactionSize();
    WriteLogLine("Restored " + std::to_string(Transactions.RestoredCount()) + " transactions from the queue folder.");
}

// Restored transactions are written as they are, never one per disc. They open to show their pages while
// there are few; a queue of thousands stays closed, as opening every one costs seconds and shows nothing.
void TfrmMain::ShowRestoredTransactions(size_t restored)
{
    const auto& roots = Transactions.Transactions();
    if (restored <= ExpandedRestoreLimit)
        for (size_t i = roots.size() - restored; i < roots.size(); ++i)  // the restored ones came last
            roots[i]->Expand(true);
    ckxWritePerTransaction->SetChecked(false);
    ckxWritePerTransaction->SetEnabled(false);
    for (vcl::TControl* button : std::initializer_list<vcl::TControl*>{bbtnAbort, bbtnAppend, bbtnWrite})
        button->SetVisible(true);
    bbtnAbort->SetEnabled(false);
    bbtnAppend->SetEnabled(false);
    // A robot already online lets Write take the restored queue at once.
    UpdateWriteButton();
}

void TfrmMain::tvSessionsClick(vcl::TObject*)
{
    bool transaction = TransactionTree::IsTransaction(tvSessions->GetSelected());
    bbtnAbort->SetEnabled(transaction);
    bbtnAppend->SetEnabled(transaction);
}

// The keyboard moves the selection without a click.
void TfrmMain::tvSessionsChange(vcl::TObject* sender, vcl::TTreeNode*) { tvSessionsClick(sender); }

// A restored transaction whose pages are still to come has them read before it opens or its tick changes.
void TfrmMain::tvSessionsExpanding(vcl::TObject*, vcl::TTreeNode* node, bool&) { Transactions.ReadPages(node); }

void TfrmMain::tvSessionsStateChanging(vcl::TObject*, vcl::TTreeNode* node, TQvCheckState, bool&)
{
    Transactions.ReadPages(node);
}

// A check state changes no transaction's session tag: only the size is shown anew.
void TfrmMain::tvSessionsStateChange(vcl::TObject*, vcl::TTreeNode* node, TQvCheckState)
{
    Transactions.StateChanged(node);
    if (SizeUpdatesHeld == 0)
        ShowSize(CheckedSizeText(Transactions.CheckedBytes()));
}

vcl::TTreeNode* TfrmMain::SelectedIdleTransaction()
{
    vcl::TTreeNode* node = tvSessions->GetSelected();
    if (!TransactionTree::IsTransaction(node))
        return nullptr;
    // Append and Abort take it with every page; a folder found without one loses its transaction now.
    if (!Transactions.ReadPages(node)) {
        Transactions.DropEmptied();
        if (Transactions.Empty())
            ShowEmptyTree();
        return nullptr;
    }
    const TransactionRecord* record = TransactionTree::RecordOf(node);
    bool scanning = ScanInProgress() && node == CurrentTransaction;
    bool onDisc = false;
    for (int i = 0; i < node->GetCount() && !onDisc; ++i)
        onDisc = TransactionTree::RecordOf(node->GetItem(i))->WriteState == 2;
    if (scanning || onDisc || record->WriteState == 2) {
        WriteLogLine("Transaction " + node->GetText() + " is being scanned or written and was left as it is.");
        return nullptr;
    }
    return node;
}

// Its PDF is no longer made, and it no longer takes pages.
void TfrmMain::StopTransactionWork(vcl::TTreeNode* transaction)
{
    TransactionRecord* record = TransactionTree::RecordOf(transaction);
    if (record->PdfSlot >= 0 && !record->PdfDone) {
        StopPdfJobSlot(*this, record->PdfSlot);
        record->PdfSlot = -1;
        record->PdfDone = true;
    }
    if (transaction == CurrentTransaction)
        CurrentTransaction = nullptr;
}

void TfrmMain::bbtnAppendClick(vcl::TObject*)
{
    // The scan under way keeps its transaction: pages go to one transaction at a time.
    if (ScanInProgress())
        return;
    if (!TakeScanEndNow())
        return;
    vcl::TTreeNode* transaction = SelectedIdleTransaction();
    if (!transaction)
        return;
    StopTransactionWork(transaction);
    tvSessions->SetEnabled(false);
    CurrentTransaction = transaction;
    std::vector<std::string> children;
    for (int i = 0; i < transaction->GetCount(); ++i)
        children.push_back(transaction->GetItem(i)->GetText());
    PageNumber = AppendPageNumber(children, TransactionFolderPath(QueuePath, transaction->GetText()),
                                  AnsiText(cbxFileNaming));
    AppendHadPdf = std::any_of(children.begin(), children.end(), IsPdfName);
    AppendMode = true;
    WriteLogLine("Pages are appended to transaction " + transaction->GetText() + " after page " +
                 std::to_string(PageNumber) + ".");
    btnScan->Click();
}

void TfrmMain::bbtnAbortClick(vcl::TObject*)
{
    if (vcl::TTreeNode* transaction = SelectedIdleTransaction())
        DropTransaction(transaction, "aborted");
}

void TfrmMain::DropTransaction(vcl::TTreeNode* transaction, const char* why)
{
    StopTransactionWork(transaction);
    std::string name = transaction->GetText();
    Transactions.Remove(transaction);
    DeleteFolder(TransactionFolderPath(QueuePath, name));
    WriteLogLine("Transaction " + name + " " + why + ".");
    if (Transactions.Empty())
        ShowEmptyTree();
    UpdateTransactionSize();
}

void TfrmMain::ShowEmptyTree()
{
    ckxWritePerTransaction->SetEnabled(true);
    for (vcl::TControl* button : std::initializer_list<vcl::TControl*>{bbtnAbort, bbtnAppend, bbtnWrite}) {
        button->SetEnabled(false);
        button->SetVisible(false);
    }
}

void TfrmMain::bbtnWriteClick(vcl::TObject*)
{
    if (Transactions.Empty()) {
        bbtnWrite->SetEnabled(false);
        return;
    }
    if (RobotState != 0) {
        // Nothing would start now and nothing would enable the controls again.
        SetPanelText(StatusBar1->GetPanels()->GetItem(0), RobotOperatingText);
        return;
    }
    // The scan's transaction is not done yet: the write waits for the scan's end, which gives the controls
    // back and carries it out then.
    if (ScanInProgress()) {
        if (!WriteHeld)
            WriteLogLine("Write waits for the scan under way to end.");
        WriteHeld = true;
        return;
    }
    if (!TakeScanEndNow())
        return;
    EnableMainControls(false);
    WriteRequested = true;
    GoBurning();
    // With a disc already classified in the writer nothing else would take the job to it.
    if (WriteRequested && DiscInWriter())
        tmrDiscReady->SetEnabled(true);
}

void TfrmMain::ckxWritePerTransactionClick(vcl::TObject*)
{
    if (!ckxWritePerTransaction->GetChecked())
        return;
    for (vcl::TControl* button : std::initializer_list<vcl::TControl*>{bbtnAbort, bbtnAppend, bbtnWrite})
        button->SetVisible(false);
}

void TfrmMain::UpdateTransactionSize()
{
    if (SizeUpdatesHeld > 0)
        return;
    if (OperationMode == 2)
        OperationMode = 1;
    for (vcl::TTreeNode* root : Transactions.Transactions())
        if (TransactionTree::RecordOf(root)->SessionTag != 1)
            OperationMode = TransactionTree::RecordOf(root)->SessionTag;
    ShowSize(CheckedSizeText(Transactions.CheckedBytes()));
}

void TfrmMain::ShowTransactionSizeBytes(long long bytes) { ShowSize(TransactionBytesText(bytes)); }

// Ticking a transaction changes the size once per page: the label and the gauge are drawn anew only when
// what they show changes.
void TfrmMain::ShowSize(const SizeShown& shown)
{
    if (Transactions.Restoring())
        return;
    if (shown.Text == ShownSize.Text && shown.GaugeMegabytes == ShownSize.GaugeMegabytes)
        return;
    ShownSize = shown;
    SetAnsiCaption(txtTransactionSize, shown.Text);
    DrawCapacityGauge(shown.GaugeMegabytes);
}

bool TfrmMain::FinishWrittenItems()
{
    pgbWrite->SetPosition(0);
    DiscsWritten = 0;
    bool more = Transactions.RemoveWritten(QueuePath, WritingSessionTag, Config.DeleteHotkeyFiles);
    const auto& roots = Transactions.Transactions();
    if (std::find(roots.begin(), roots.end(), CurrentTransaction) == roots.end())
        CurrentTransaction = nullptr;
    if (Transactions.Empty())
        ShowEmptyTree();
    else {
        ckxWritePerTransaction->SetEnabled(false);
        if (!more) {
            WritingSessionTag = TransactionTree::RecordOf(Transactions.Transactions().front())->SessionTag;
            more = WritingSessionTag != 1 || ckxWritePerTransaction->GetChecked();
        }
    }
    UpdateTransactionSize();
    return more;
}

// The list keeps its texts whole, in any script; the registry holds them in the system code page.
void TfrmMain::SaveRecentTexts(TWydComboBox* box, const char* base)
{
    std::vector<std::wstring> items = WideItems(box);
    std::wstring text = WydControl_GetText(box);
    if (!UpdateRecentList(items, text))
        return;
    SetWideItems(box, items);
    SetWideCaption(box, text);
    std::vector<std::string> stored;
    for (const std::wstring& item : items)
        stored.push_back(vcl::WideToAnsi(item));
    SaveRecentList(KeyLocation(), base, stored);
}

void TfrmMain::SaveDiscLabelHistory() { SaveRecentTexts(cbxDiscLabel, "Disc Label"); }
void TfrmMain::SaveFileNamingHistory() { SaveRecentTexts(cbxFileNaming, "File Naming"); }

bool HotKeyPdfsPending(TfrmMain& form)
{
    for (vcl::TTreeNode* root : form.Transactions.Transactions()) {
        const TransactionRecord* record = TransactionTree::RecordOf(root);
        if (record->SessionTag != 1 && !record->PdfDone)
            return true;
    }
    return false;
}

void DeleteHotKeyTransactionFolders(TfrmMain& form)
{
    for (vcl::TTreeNode* root : form.Transactions.Transactions())
        if (TransactionTree::RecordOf(root)->SessionTag != 1)
            DeleteFolder(TransactionFolderPath(form.QueuePath, root->GetText()));
}

}  // namespace pagorin
