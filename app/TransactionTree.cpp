// The transaction tree's nodes and records: adding, restoring, sizing and removing transactions.
#include "TransactionTree.h"

#include <algorithm>

namespace pagorin {

namespace {

std::string LastPart(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsInFolder(const std::string& path, const std::string& folder)
{
    return !folder.empty() && path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '\\' && path.find('\\', folder.size() + 1) == std::string::npos;
}

bool TookPartInJob(const vcl::TTreeNode* transaction)
{
    if (TransactionTree::RecordOf(transaction)->WriteState == 2)
        return true;
    for (int i = 0; i < transaction->GetCount(); ++i)
        if (TransactionTree::RecordOf(transaction->GetItem(i))->WriteState == 2)
            return true;
    return false;
}

bool HasPageToWrite(const vcl::TTreeNode* transaction)
{
    for (int i = 0; i < transaction->GetCount(); ++i) {
        const vcl::TTreeNode* page = transaction->GetItem(i);
        if (!TransactionTree::IsUnchecked(page) && TransactionTree::RecordOf(page)->WriteState != 2)
            return true;
    }
    return false;
}

}  // namespace

vcl::TTreeNode* TransactionTree::Find(const std::string& name) const
{
    for (vcl::TTreeNode* root : Transactions())
        if (root->GetText() == name)
            return root;
    return nullptr;
}

vcl::TTreeNode* TransactionTree::Hang(vcl::TTreeNode* node, const TransactionRecord& record)
{
    auto owned = std::make_unique<TransactionRecord>(record);
    const TransactionRecord* key = owned.get();
    node->Data = owned.get();
    records_.emplace(key, HeldRecord{std::move(owned)});
    return node;
}

void TransactionTree::StateChanged(const vcl::TTreeNode* node)
{
    auto held = records_.find(RecordOf(node));
    if (held == records_.end() || IsTransaction(node))
        return;
    bool counts = !IsUnchecked(node);
    if (counts == held->second.Counted)
        return;
    held->second.Counted = counts;
    checkedBytes_ += counts ? held->second.Record->FileSize : -held->second.Record->FileSize;
}

vcl::TTreeNode* TransactionTree::Check(vcl::TTreeNode* node, bool checked)
{
    node->SetStateIndex(csUnchecked);
    if (checked)
        tree_->ChangeNodeCheckState(node, csChecked);
    else
        tree_->UpdateParents(node, false);
    StateChanged(node);
    return node;
}

vcl::TTreeNode* TransactionTree::AddTransaction(const std::string& name, const TransactionRecord& record, bool checked)
{
    return Check(Hang(tree_->GetItems()->Add(nullptr, name), record), checked);
}

vcl::TTreeNode* TransactionTree::AddPage(vcl::TTreeNode* transaction, const std::string& text,
                                         const TransactionRecord& record, bool checked)
{
    TransactionRecord page = record;
    page.FileSize = PageFileSize(page.Path);
    return Check(Hang(tree_->GetItems()->AddChild(transaction, text), page), checked);
}

void TransactionTree::FreeRecords(vcl::TTreeNode* node)
{
    for (int i = 0; i < node->GetCount(); ++i)
        FreeRecords(node->GetItem(i));
    auto held = records_.find(RecordOf(node));
    if (held != records_.end()) {
        if (held->second.Counted)
            checkedBytes_ -= held->second.Record->FileSize;
        records_.erase(held);
    }
    node->Data = nullptr;
}

void TransactionTree::Remove(vcl::TTreeNode* node)
{
    ForgetRestoring(node);
    FreeRecords(node);
    node->Delete();
}

vcl::TTreeNode* TransactionTree::Restore(const std::string& folder, const TransactionFolderContents& contents,
                                         const std::wstring& discLabel)
{
    for (const std::string& subfolder : contents.Subfolders)
        RemoveLeftoverFolder(folder + "\\" + subfolder);
    if (contents.Pages.empty()) {
        RemoveLeftoverFolder(folder);
        return nullptr;
    }
    vcl::TTreeNode* root = AddRestoredTransaction(folder, discLabel, false);
    HangPages(root, contents.Pages);
    return root;
}

vcl::TTreeNode* TransactionTree::AddRestoredTransaction(const std::string& folder, const std::wstring& discLabel,
                                                        bool pagesToCome)
{
    TransactionRecord record;
    record.Closed = record.PdfDone = true;
    record.Path = folder;
    record.DiscLabel = discLabel;
    return Hang(AddTicked(nullptr, LastPart(folder), pagesToCome), record);
}

// Every page is checked and so the transaction too: the states are set as they end, without the events and
// the cascade of each change (a queue may hold thousands).
void TransactionTree::HangPages(vcl::TTreeNode* transaction, const std::vector<FolderEntry>& pages)
{
    const std::string& folder = RecordOf(transaction)->Path;
    for (const FolderEntry& page : pages) {
        TransactionRecord pageRecord;
        pageRecord.FileSize = page.Size;
        pageRecord.Path = folder + "\\" + page.Name;
        StateChanged(Hang(AddTicked(transaction, page.Name), pageRecord));
    }
}

// The node enters the window with its tick: a tick set afterwards costs a message for every row shown.
vcl::TTreeNode* TransactionTree::AddTicked(vcl::TTreeNode* parent, const std::string& text, bool pagesToCome)
{
    vcl::TTreeNode* node = tree_->CreateNode();
    node->SetStateIndex(csChecked);
    if (pagesToCome)
        node->SetHasChildren(true);
    return tree_->GetItems()->AddNode(node, parent, text, nullptr,
                                      parent ? vcl::TNodeAttachMode::naAddChild : vcl::TNodeAttachMode::naAdd);
}

void TransactionTree::StartRestore(std::vector<std::string> folders, const std::wstring& discLabel)
{
    if (folders.empty())
        return;
    // Started first, the reader lists folders while their transactions go into the tree.
    reader_ = std::make_unique<FolderReadAhead>(folders);
    for (size_t i = 0; i < folders.size(); ++i) {
        vcl::TTreeNode* root = AddRestoredTransaction(folders[i], discLabel, true);
        unreadIndex_.emplace(root, unread_.size());
        unread_.push_back(root);
    }
}

void TransactionTree::HangRestored(size_t index, const TransactionFolderContents& contents)
{
    vcl::TTreeNode* root = unread_[index];
    ForgetRestoring(root);
    const std::string folder = RecordOf(root)->Path;
    for (const std::string& subfolder : contents.Subfolders)
        RemoveLeftoverFolder(folder + "\\" + subfolder);
    if (contents.Pages.empty()) {
        emptied_.push_back(root);
        return;
    }
    HangPages(root, contents.Pages);
    ++restoredCount_;
}

void TransactionTree::ForgetRestoring(const vcl::TTreeNode* transaction)
{
    auto unread = unreadIndex_.find(transaction);
    if (unread != unreadIndex_.end()) {
        unread_[unread->second] = nullptr;
        unreadIndex_.erase(unread);
    }
    std::erase(emptied_, transaction);
}

bool TransactionTree::HangReadPages(DWORD budgetMs)
{
    if (!reader_)
        return true;
    const DWORD start = GetTickCount();
    TransactionFolderContents contents;
    for (; nextUnread_ < unread_.size(); ++nextUnread_) {
        if (!unread_[nextUnread_])
            continue;
        if (GetTickCount() - start >= budgetMs || !reader_->TakeIfRead(nextUnread_, contents))
            break;
        HangRestored(nextUnread_, contents);
    }
    DropEmptied();
    EndRestoreWhenDone();
    return !Restoring();
}

bool TransactionTree::ReadPages(vcl::TTreeNode* transaction)
{
    auto unread = unreadIndex_.find(transaction);
    if (unread != unreadIndex_.end())
        HangRestored(unread->second, reader_->Take(unread->second));
    return std::find(emptied_.begin(), emptied_.end(), transaction) == emptied_.end();
}

void TransactionTree::ReadAllPages()
{
    if (!reader_)
        return;
    // From the end: the reader, coming from the front, is not met until the middle.
    for (size_t i = unread_.size(); i > nextUnread_; --i)
        if (unread_[i - 1])
            HangRestored(i - 1, reader_->Take(i - 1));
    nextUnread_ = unread_.size();
    DropEmptied();
    EndRestoreWhenDone();
}

void TransactionTree::DropEmptied()
{
    while (!emptied_.empty()) {
        vcl::TTreeNode* root = emptied_.back();
        const std::string folder = RecordOf(root)->Path;
        Remove(root);
        RemoveLeftoverFolder(folder);
    }
}

void TransactionTree::EndRestoreWhenDone()
{
    if (!reader_ || nextUnread_ < unread_.size() || !emptied_.empty())
        return;
    reader_.reset();
    unread_.clear();
    nextUnread_ = 0;
}

bool TransactionTree::RemoveWritten(const std::string& queuePath, int writingTag, bool deleteFiles)
{
    bool pagesLeft = false;
    std::vector<vcl::TTreeNode*> roots = Transactions();
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        vcl::TTreeNode* root = *it;
        TransactionRecord* record = RecordOf(root);
        if (!TookPartInJob(root)) {
            // Only what the next disc of this session would take keeps the disc cycle going: a disc loaded
            // for pages no job takes would wait in the writer with the operator's controls off.
            pagesLeft = pagesLeft || (record->SessionTag == writingTag && HasPageToWrite(root));
            continue;
        }
        std::string folder = TransactionFolderPath(queuePath, root->GetText());
        for (int i = root->GetCount() - 1; i >= 0; --i) {
            vcl::TTreeNode* page = root->GetItem(i);
            const TransactionRecord* pageRecord = RecordOf(page);
            bool written = pageRecord->WriteState == 2;
            if (!written && !IsUnchecked(page))
                continue;
            // A written page in the transaction's own folder is not restored and written again later.
            if (deleteFiles || (written && IsInFolder(pageRecord->Path, folder)))
                DeleteFileA(pageRecord->Path.c_str());
            Remove(page);
        }
        if (root->GetCount() > 0)
            pagesLeft = true;
        else if (record->SessionTag == writingTag) {
            DeleteFolder(folder);
            Remove(root);
        } else if (record->WriteState == 2)
            Remove(root);
    }
    return pagesLeft;
}

void TransactionTree::ForgetJobMarks()
{
    for (vcl::TTreeNode* root : Transactions()) {
        RecordOf(root)->WriteState = 1;
        for (int i = 0; i < root->GetCount(); ++i)
            RecordOf(root->GetItem(i))->WriteState = 1;
    }
}

}  // namespace pagorin
