// The transaction tree: one top-level node per transaction with a child per page, a TransactionRecord on
// every node, check states as the check-box tree keeps them. A walk over the tree in order is
//     for (vcl::TTreeNode* root : tree.Transactions())
//         for (int i = 0; i < root->GetCount(); ++i) page = root->GetItem(i) ... RecordOf(page) ...
// The main window holds one and binds its buttons to it; this class touches no other control.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "QvTreeVw.h"
#include "Transactions.h"

namespace pagorin {

class TransactionTree {
public:
    explicit TransactionTree(TQvCheckTree* tree = nullptr) : tree_(tree) {}
    TransactionTree(const TransactionTree&) = delete;
    TransactionTree& operator=(const TransactionTree&) = delete;
    void Attach(TQvCheckTree* tree) { tree_ = tree; }

    static TransactionRecord* RecordOf(const vcl::TTreeNode* node)
    {
        return node ? static_cast<TransactionRecord*>(node->Data) : nullptr;
    }
    static bool IsTransaction(const vcl::TTreeNode* node) { return node && !node->GetParent(); }
    static bool IsChecked(const vcl::TTreeNode* node) { return node->GetStateIndex() == csChecked; }
    static bool IsUnchecked(const vcl::TTreeNode* node) { return node->GetStateIndex() == csUnchecked; }

    const std::vector<vcl::TTreeNode*>& Transactions() const { return tree_->GetItems()->Roots(); }
    bool Empty() const { return Transactions().empty(); }
    // The transaction of that folder name, or none.
    vcl::TTreeNode* Find(const std::string& name) const;

    // A new top-level node at the end, checked or unchecked (never left without a state).
    vcl::TTreeNode* AddTransaction(const std::string& name, const TransactionRecord& record, bool checked);
    // A new page under `transaction`, counting the size its file has now; the transaction's state follows its
    // pages.
    vcl::TTreeNode* AddPage(vcl::TTreeNode* transaction, const std::string& text, const TransactionRecord& record,
                            bool checked);
    // Removes the node with its pages and their records.
    void Remove(vcl::TTreeNode* node);

    // Brings a folder left in the queue by an earlier run back as a transaction: every page file a
    // checked page, subfolders that hold nothing of ours removed. A folder without pages is removed when
    // nothing but the program's own leftovers is in it, and kept otherwise. Null when no node was made.
    vcl::TTreeNode* Restore(const std::string& folder, const TransactionFolderContents& contents,
                            const std::wstring& discLabel);
    vcl::TTreeNode* Restore(const std::string& folder, const std::wstring& discLabel)
    {
        return Restore(folder, ReadTransactionFolder(folder), discLabel);
    }

    // The restore of a queue of thousands, in two steps so that the tree answers at once: a checked
    // transaction for every folder now, showing that it has pages, while a reader of its own lists the
    // folders; their pages hang under them as HangReadPages takes them, or at once when a road needs them
    // (ReadPages, ReadAllPages). A folder found without a page loses its transaction as Restore says.
    void StartRestore(std::vector<std::string> folders, const std::wstring& discLabel);
    // Some folder's pages are still to come: a size summed now would be short.
    bool Restoring() const { return reader_ != nullptr; }
    // Transactions restored with pages so far.
    size_t RestoredCount() const { return restoredCount_; }
    // Hangs the pages of the folders read so far, in order, for about `budgetMs`; then drops the
    // transactions found empty. True once every folder has been taken and the restore is over.
    bool HangReadPages(DWORD budgetMs);
    // The pages of a restored transaction whose folder has not been taken yet are read now. Safe inside the
    // tree's events: a transaction found empty stays, without pages, until DropEmptied. False for such a one.
    bool ReadPages(vcl::TTreeNode* transaction);
    // Every folder taken now and the transactions found empty dropped, as a disc job needs.
    void ReadAllPages();
    // Removes the transactions whose folders held no page (never inside one of the tree's events).
    void DropEmptied();

    // Bytes of every page that is not unchecked, as each page's file measured when it came: a running sum, so
    // ticking a transaction of thousands of pages reads no file.
    long long CheckedBytes() const { return checkedBytes_; }
    // The owner hands on every check-state event of the tree here, which keeps the sum.
    void StateChanged(const vcl::TTreeNode* node);

    // After the last copy of a disc job: removes the pages that were written (deleting hot-key page files
    // when `deleteFiles`), the unchecked pages of the transactions that took part in the job, and then
    // the transactions of the job left without pages (their folders with them when their tag is
    // `writingTag`). Transactions that had no part in the job stay as they are. True when pages remain.
    bool RemoveWritten(const std::string& queuePath, int writingTag, bool deleteFiles);
    // A disc job failed: what it put on its lists waits again, so the next job lists it and no later
    // clean-up takes it for written.
    void ForgetJobMarks();

private:
    vcl::TTreeNode* Hang(vcl::TTreeNode* node, const TransactionRecord& record);
    // A checked node at the end of `parent`'s children (of the top level for none), without events; with
    // `pagesToCome` it shows an expand button before it has children.
    vcl::TTreeNode* AddTicked(vcl::TTreeNode* parent, const std::string& text, bool pagesToCome = false);
    vcl::TTreeNode* AddRestoredTransaction(const std::string& folder, const std::wstring& discLabel, bool pagesToCome);
    void HangPages(vcl::TTreeNode* transaction, const std::vector<FolderEntry>& pages);
    // A restoring transaction removed by another road is no longer waited for.
    void ForgetRestoring(const vcl::TTreeNode* transaction);
    // Gives a new node its state; the nodes above follow.
    vcl::TTreeNode* Check(vcl::TTreeNode* node, bool checked);
    void FreeRecords(vcl::TTreeNode* node);

    struct HeldRecord {
        std::unique_ptr<TransactionRecord> Record;
        bool Counted = false;  // a page whose size is in checkedBytes_
    };
    // Hangs what the folder of restoring transaction `index` holds under it.
    void HangRestored(size_t index, const TransactionFolderContents& contents);
    void EndRestoreWhenDone();

    TQvCheckTree* tree_;
    // The restore under way: its reader, and by folder index the transaction still without its pages.
    std::unique_ptr<FolderReadAhead> reader_;
    std::vector<vcl::TTreeNode*> unread_;
    std::unordered_map<const vcl::TTreeNode*, size_t> unreadIndex_;
    size_t nextUnread_ = 0;
    size_t restoredCount_ = 0;
    std::vector<vcl::TTreeNode*> emptied_;
    // The records hung on the nodes; freed with their nodes, the rest with this tree.
    std::unordered_map<const TransactionRecord*, HeldRecord> records_;
    long long checkedBytes_ = 0;
};

}  // namespace pagorin
