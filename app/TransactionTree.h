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
    // A checked node at the end of `parent`'s children (of the top level for none), without events.
    vcl::TTreeNode* AddTicked(vcl::TTreeNode* parent, const std::string& text);
    // Gives a new node its state; the nodes above follow.
    vcl::TTreeNode* Check(vcl::TTreeNode* node, bool checked);
    void FreeRecords(vcl::TTreeNode* node);

    struct HeldRecord {
        std::unique_ptr<TransactionRecord> Record;
        bool Counted = false;  // a page whose size is in checkedBytes_
    };
    TQvCheckTree* tree_;
    // The records hung on the nodes; freed with their nodes, the rest with this tree.
    std::unordered_map<const TransactionRecord*, HeldRecord> records_;
    long long checkedBytes_ = 0;
};

}  // namespace pagorin
