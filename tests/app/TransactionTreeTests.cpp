// The transaction tree on a check-box tree without a window, over a real queue folder: check states of
// transactions and pages, the restore of leftover folders, sizes and the clean-up after a disc job; and
// the capacity gauge's geometry and drawing on a bitmap.
#include <gtest/gtest.h>

#include <memory>

#include "CapacityGauge.h"
#include "QvThemeSrv.h"
#include "TestSupport.h"
#include "TransactionTree.h"

using namespace pagorin;
using testsupport::TempDir;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::string& path, size_t bytes = 4)
{
    testsupport::WriteFileBytes(testsupport::FromUtf8(path), std::string(bytes, 'x'));
}

class TransactionTreeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        transactions.reset();
        view.reset();
        FreeThemeServices();
    }
    std::string In(const std::string& name) const { return queue + "\\" + name; }
    // A folder of the queue with these files (a trailing "\" makes a subfolder).
    std::string Folder(const std::string& name, const std::vector<std::string>& files)
    {
        CreateDirectoryA(In(name).c_str(), nullptr);
        for (const std::string& file : files)
            if (file.back() == '\\')
                CreateDirectoryA(In(name + "\\" + file.substr(0, file.size() - 1)).c_str(), nullptr);
            else
                Touch(In(name + "\\" + file));
        return In(name);
    }
    // A transaction of this run with pages in its folder; `written` pages were put on a disc job.
    vcl::TTreeNode* Started(const std::string& name, int tag, const std::vector<std::string>& pages,
                            const std::vector<bool>& checked, const std::vector<bool>& written)
    {
        Folder(name, {"FileList.txt"});
        TransactionRecord record;
        record.SessionTag = tag;
        record.Path = In(name + "\\FileList.txt");
        vcl::TTreeNode* root = transactions->AddTransaction(name, record, true);
        for (size_t i = 0; i < pages.size(); ++i) {
            TransactionRecord page;
            page.Path = In(name + "\\" + pages[i]);
            page.WriteState = written[i] ? 2 : 1;
            Touch(page.Path);
            transactions->AddPage(root, pages[i], page, checked[i]);
        }
        return root;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (vcl::TTreeNode* n = view->GetItems()->GetFirstNode(); n; n = n->GetNext())
            names.push_back(std::string(n->GetLevel(), ' ') + n->GetText());
        return names;
    }

    TempDir dir;
    std::string queue = testsupport::ToUtf8(dir.Path());
    std::unique_ptr<TQvCheckTree> view = std::make_unique<TQvCheckTree>(nullptr);
    std::unique_ptr<TransactionTree> transactions = std::make_unique<TransactionTree>(view.get());
};

TEST_F(TransactionTreeTest, TransactionStateFollowsItsPages)
{
    TransactionRecord record;
    vcl::TTreeNode* root = transactions->AddTransaction("20260101-000000", record, false);
    EXPECT_EQ(root->GetStateIndex(), csUnchecked) << "a new node has a state before any paint";
    transactions->AddPage(root, "p1.jpg", record, true);
    EXPECT_EQ(root->GetStateIndex(), csChecked);
    vcl::TTreeNode* pdfOnly = transactions->AddPage(root, "p2.jpg", record, false);
    EXPECT_EQ(pdfOnly->GetStateIndex(), csUnchecked);
    EXPECT_EQ(root->GetStateIndex(), csPartiallyChecked);
    EXPECT_EQ(transactions->Find("20260101-000000"), root);
    EXPECT_EQ(transactions->Find("nothing"), nullptr);
    EXPECT_TRUE(TransactionTree::IsTransaction(root));
    EXPECT_FALSE(TransactionTree::IsTransaction(pdfOnly));
}

TEST_F(TransactionTreeTest, RestoreKeepsPagesAndSkipsCopiesAndNotes)
{
    std::string folder = Folder("20260101-101010", {"p001.jpg", "p001~.jpg", "notes.txt", "FileList.txt"});
    vcl::TTreeNode* root = transactions->Restore(folder, L"Label");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-101010", " p001.jpg"}));
    EXPECT_EQ(root->GetItem(0)->GetStateIndex(), csChecked);
    const TransactionRecord* record = TransactionTree::RecordOf(root);
    EXPECT_TRUE(record->Closed && record->PdfDone);
    EXPECT_EQ(record->SessionTag, 1);
    EXPECT_EQ(record->Path, folder);
    EXPECT_EQ(record->DiscLabel, L"Label");
    EXPECT_EQ(TransactionTree::RecordOf(root->GetItem(0))->Path, folder + "\\p001.jpg");
    EXPECT_EQ(TransactionTree::RecordOf(root->GetItem(0))->FileSize, 4);
}

TEST_F(TransactionTreeTest, RestoreKeepsPagesWhosePrefixHasADot)
{
    std::string folder = Folder("20260101-111111", {"scan.v2001.jpg", "scan.v2002.jpg"});
    ASSERT_NE(transactions->Restore(folder, L""), nullptr) << "the folder was taken for empty";
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_TRUE(Exists(folder + "\\scan.v2001.jpg"));
}

TEST_F(TransactionTreeTest, RestoreRemovesOnlyFoldersOfLeftovers)
{
    std::string leftovers = Folder("20260101-121212", {"FileList.txt", "p001~.jpg"});
    std::string foreign = Folder("backup", {"notes.txt"});
    EXPECT_EQ(transactions->Restore(leftovers, L""), nullptr);
    EXPECT_FALSE(Exists(leftovers));
    EXPECT_EQ(transactions->Restore(foreign, L""), nullptr);
    EXPECT_TRUE(Exists(foreign + "\\notes.txt")) << "files that are not ours were deleted";
    EXPECT_TRUE(transactions->Empty());
}

TEST_F(TransactionTreeTest, RestoreRemovesEmptySubfoldersAndKeepsOthers)
{
    std::string folder = Folder("20260101-131313", {"p001.jpg", "empty\\", "kept\\"});
    Touch(folder + "\\kept\\mine.doc");
    ASSERT_NE(transactions->Restore(folder, L""), nullptr);
    EXPECT_FALSE(Exists(folder + "\\empty"));
    EXPECT_TRUE(Exists(folder + "\\kept\\mine.doc"));
}

// The sum follows the tree's check-state events as the main window hands them on, and every page counts the
// size its file had when it came (4 bytes each here): no event reads a file.
TEST_F(TransactionTreeTest, CheckedBytesFollowEveryStateChangeFromTheSizesPagesCameWith)
{
    view->OnStateChange = vcl::MakeEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState>(
        nullptr, [this](vcl::TObject*, vcl::TTreeNode* node, TQvCheckState) { transactions->StateChanged(node); });
    vcl::TTreeNode* restored = transactions->Restore(Folder("20260101-131313", {"r1.jpg", "r2.jpg"}), L"");
    ASSERT_NE(restored, nullptr);
    vcl::TTreeNode* root = Started("20260101-141414", 1, {"a.jpg", "b.jpg", "c.jpg"}, {true, false, true},
                                   {false, false, false});
    EXPECT_EQ(transactions->CheckedBytes(), 16) << "b.jpg is unchecked";
    DeleteFileA(TransactionTree::RecordOf(root->GetItem(2))->Path.c_str());
    Touch(In("20260101-131313\\r1.jpg"), 100000);
    EXPECT_EQ(transactions->CheckedBytes(), 16) << "files are measured when their pages come";

    view->ChangeNodeCheckState(root, csUnchecked);
    EXPECT_EQ(transactions->CheckedBytes(), 8);
    view->ToggleCheckState(root);
    EXPECT_EQ(transactions->CheckedBytes(), 20);
    view->ToggleCheckState(restored->GetItem(1));
    EXPECT_EQ(transactions->CheckedBytes(), 16);
    transactions->Remove(root->GetItem(0));
    EXPECT_EQ(transactions->CheckedBytes(), 12);
    transactions->Remove(root);
    EXPECT_EQ(transactions->CheckedBytes(), 4);
}

TEST_F(TransactionTreeTest, CleanUpRemovesWhatWasWrittenAndKeepsAnUnwrittenTransaction)
{
    Started("20260101-010101", 1, {"a.jpg", "b.jpg"}, {true, true}, {true, true});
    Started("20260101-020202", 1, {"c.jpg"}, {false}, {false});
    EXPECT_FALSE(transactions->RemoveWritten(queue, 1, false)) << "no disc takes an unchecked transaction";
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-020202", " c.jpg"}));
    EXPECT_FALSE(Exists(In("20260101-010101")));
    EXPECT_TRUE(Exists(In("20260101-020202\\c.jpg"))) << "a transaction the operator did not write lost its page";
}

// A disc goes on only for what the next job of the same session takes; other sessions' transactions wait
// for the operator's Write.
TEST_F(TransactionTreeTest, CleanUpGoesOnOnlyForTheSessionsCheckedPages)
{
    Started("20260101-070707", 1, {"r.jpg"}, {true}, {false});
    Started("20260101-080808", 2, {"h.jpg"}, {true}, {true});
    EXPECT_FALSE(transactions->RemoveWritten(queue, 2, false)) << "a handed-over job's end waits for Write";
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-070707", " r.jpg"}));

    Started("20260101-090909", 0, {"a.jpg"}, {true}, {true});
    Started("20260101-101010", 0, {"b.jpg"}, {true}, {false});
    EXPECT_TRUE(transactions->RemoveWritten(queue, 0, false)) << "the hot-key run's next transaction gets a disc";
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-070707", " r.jpg", "20260101-101010", " b.jpg"}));
}

TEST_F(TransactionTreeTest, CleanUpOfAPartlyWrittenJobKeepsTheRestWaiting)
{
    Started("20260101-030303", 1, {"a.jpg", "b.jpg", "pdfonly.jpg"}, {true, true, false}, {true, false, false});
    EXPECT_TRUE(transactions->RemoveWritten(queue, 1, false));
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-030303", " b.jpg"}));
    EXPECT_FALSE(Exists(In("20260101-030303\\a.jpg"))) << "a written page would be restored and written again";
    EXPECT_TRUE(Exists(In("20260101-030303\\b.jpg")));
}

TEST_F(TransactionTreeTest, CleanUpDeletesHotKeyPagesOnlyWhenAskedAndKeepsOtherSessions)
{
    Folder("hotkey", {});
    vcl::TTreeNode* hot = Started("20260101-040404", 0, {}, {}, {});
    TransactionRecord page;
    page.Path = In("hotkey\\p.jpg");
    page.WriteState = 2;
    Touch(page.Path);
    transactions->AddPage(hot, page.Path, page, true);
    Started("20260101-050505", 1, {"x.jpg"}, {true}, {true});
    EXPECT_FALSE(transactions->RemoveWritten(queue, 0, true));
    EXPECT_FALSE(Exists(In("hotkey\\p.jpg")));
    EXPECT_FALSE(Exists(In("20260101-040404")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-050505"})) << "another session's folder stays";
    EXPECT_TRUE(Exists(In("20260101-050505")));
}

TEST_F(TransactionTreeTest, PagesOfAFailedJobWaitAgainAndSurviveTheNextCleanUp)
{
    vcl::TTreeNode* failed = Started("20260101-070707", 1, {"a.jpg", "b.jpg"}, {true, true}, {true, true});
    TransactionTree::RecordOf(failed)->WriteState = 2;
    transactions->ForgetJobMarks();
    EXPECT_EQ(TransactionTree::RecordOf(failed)->WriteState, 1);
    EXPECT_EQ(TransactionTree::RecordOf(failed->GetItem(1))->WriteState, 1);
    // The next job writes another transaction; its clean-up leaves the failed one whole.
    Started("20260101-080808", 1, {"c.jpg"}, {true}, {true});
    EXPECT_TRUE(transactions->RemoveWritten(queue, 1, true));
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-070707", " a.jpg", " b.jpg"}));
    EXPECT_TRUE(Exists(In("20260101-070707\\a.jpg")) && Exists(In("20260101-070707\\b.jpg")));
}

TEST_F(TransactionTreeTest, RemovingATransactionTakesItsPages)
{
    vcl::TTreeNode* root = Started("20260101-060606", 1, {"a.jpg", "b.jpg"}, {true, true}, {false, false});
    transactions->Remove(root);
    EXPECT_TRUE(transactions->Empty());
    EXPECT_EQ(view->GetItems()->GetCount(), 0);
}

// A long queue's restore in steps: every transaction at once, checked and openable, its pages as the reader
// brings them; a folder found without a page loses its transaction and, holding only leftovers, its folder.
TEST_F(TransactionTreeTest, RestoreInStepsShowsEveryTransactionFirstAndDropsThoseFoundEmpty)
{
    std::string pages = Folder("20260101-010101", {"p1.jpg", "p2.jpg", "notes.txt", "empty\\"});
    std::string leftovers = Folder("20260101-020202", {"FileList.txt", "p1~.jpg"});
    std::string foreign = Folder("20260101-030303", {"notes.txt"});
    transactions->StartRestore({pages, leftovers, foreign}, L"Label");
    ASSERT_EQ(transactions->Transactions().size(), 3u);
    for (vcl::TTreeNode* root : transactions->Transactions()) {
        EXPECT_EQ(root->GetStateIndex(), csChecked);
        EXPECT_TRUE(root->GetHasChildren()) << root->GetText();
    }
    EXPECT_TRUE(transactions->Restoring());

    DWORD start = GetTickCount();
    while (!transactions->HangReadPages(20) && GetTickCount() - start < 10000)
        Sleep(1);
    EXPECT_FALSE(transactions->Restoring());
    EXPECT_EQ(Names(), (std::vector<std::string>{"20260101-010101", " p1.jpg", " p2.jpg"}));
    EXPECT_EQ(transactions->RestoredCount(), 1u);
    EXPECT_EQ(transactions->CheckedBytes(), 8);
    EXPECT_FALSE(Exists(pages + "\\empty"));
    EXPECT_FALSE(Exists(leftovers));
    EXPECT_TRUE(Exists(foreign + "\\notes.txt"));
}

// Opening or ticking a transaction, or a job, before the reader has come to its folder reads it at once.
TEST_F(TransactionTreeTest, PagesNotYetReadAreReadAtOnceWhenARoadNeedsThem)
{
    view->OnStateChanging = vcl::MakeEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState, bool&>(
        nullptr, [this](vcl::TObject*, vcl::TTreeNode* node, TQvCheckState, bool&) { transactions->ReadPages(node); });
    view->OnStateChange = vcl::MakeEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState>(
        nullptr, [this](vcl::TObject*, vcl::TTreeNode* node, TQvCheckState) { transactions->StateChanged(node); });
    std::vector<std::string> folders;
    for (int i = 0; i < 150; ++i)
        folders.push_back(Folder("20260101-" + std::to_string(100000 + i), {"a.jpg", "b.jpg"}));
    std::string empty = Folder("20260101-999999", {"FileList.txt"});
    folders.push_back(empty);
    transactions->StartRestore(folders, L"");
    const std::vector<vcl::TTreeNode*> roots = transactions->Transactions();

    vcl::TTreeNode* last = roots[149];
    EXPECT_TRUE(transactions->ReadPages(last));
    ASSERT_EQ(last->GetCount(), 2);
    EXPECT_EQ(last->GetItem(1)->GetStateIndex(), csChecked);
    view->ToggleCheckState(roots[148]);
    ASSERT_EQ(roots[148]->GetCount(), 2) << "a tick before the pages came";
    EXPECT_EQ(roots[148]->GetItem(0)->GetStateIndex(), csUnchecked);
    EXPECT_FALSE(transactions->ReadPages(roots[150])) << "a folder without a page";
    EXPECT_EQ(transactions->Transactions().size(), 151u) << "dropped inside an event of the tree";

    transactions->ReadAllPages();
    EXPECT_FALSE(transactions->Restoring());
    ASSERT_EQ(transactions->Transactions().size(), 150u);
    for (vcl::TTreeNode* root : transactions->Transactions())
        ASSERT_EQ(root->GetCount(), 2) << root->GetText();
    EXPECT_EQ(transactions->CheckedBytes(), 149 * 2 * 4);
    EXPECT_FALSE(Exists(empty));
}

// A transaction removed while its folder waits to be read (Abort) is no longer waited for.
TEST_F(TransactionTreeTest, RemovingARestoringTransactionEndsItsWait)
{
    std::string folder = Folder("20260101-010101", {"a.jpg"});
    transactions->StartRestore({folder}, L"");
    transactions->Remove(transactions->Transactions().front());
    EXPECT_TRUE(transactions->HangReadPages(1000));
    EXPECT_TRUE(transactions->Empty());
}

TEST(CapacityGaugeGeometry, RulerOfA105PixelImage)
{
    GaugeGeometry gauge = GaugeFor(105);
    EXPECT_EQ(gauge.Step, 2);
    EXPECT_EQ(gauge.Width, 88);
    EXPECT_EQ(gauge.Margin, 8);
    EXPECT_EQ(GaugeX(gauge, CdMegabytes), 21);
    EXPECT_EQ(GaugeX(gauge, DvdMegabytes), 92);
    EXPECT_EQ(GaugeX(gauge, -5), 8);
    EXPECT_EQ(GaugeX(gauge, 1LL << 40), 8 + 88 * 1000) << "a huge size stays in range";
}

class GaugeDrawing : public ::testing::Test {
protected:
    static constexpr int Width = 105, Height = 40;
    GaugeDrawing()
    {
        bitmap.SetSize(Width, Height);
        bitmap.GetCanvas()->GetBrush()->SetColor(vcl::clWhite);
        bitmap.GetCanvas()->FillRect(RECT{0, 0, Width, Height});
    }
    COLORREF At(int x, int y) { return bitmap.GetCanvas()->GetPixel(x, y); }
    vcl::TBitmap bitmap;
};

TEST_F(GaugeDrawing, RulerHasTicksLabelsAndRedDiscMarks)
{
    DrawGaugeRuler(bitmap.GetCanvas(), GaugeFor(Width));
    EXPECT_EQ(At(8, 4), RGB(0, 0, 0)) << "base line";
    EXPECT_EQ(At(10, 9), RGB(0, 0, 0)) << "short tick";
    EXPECT_EQ(At(10, 12), RGB(255, 255, 255));
    EXPECT_EQ(At(18, 15), RGB(0, 0, 0)) << "tick at 500 MB";
    EXPECT_EQ(At(28, 18), RGB(0, 0, 0)) << "tick at 1000 MB";
    EXPECT_EQ(At(21, 20), RGB(255, 0, 0)) << "CD mark";
    EXPECT_EQ(At(92, 20), RGB(255, 0, 0)) << "DVD mark";
    int dark = 0;
    for (int y = 25; y < Height; ++y)
        for (int x = 0; x < 20; ++x)
            dark += At(x, y) != RGB(255, 255, 255);
    EXPECT_GT(dark, 0) << "no label under the ruler";
}

TEST_F(GaugeDrawing, NarrowImageDrawsNoRuler)
{
    GaugeGeometry gauge = GaugeFor(43);
    EXPECT_EQ(gauge.Step, 0);
    DrawGaugeRuler(bitmap.GetCanvas(), gauge);
    EXPECT_EQ(At(0, 4), RGB(255, 255, 255));
}

TEST_F(GaugeDrawing, OneMegabyteShowsATwoPixelBar)
{
    GaugeGeometry gauge = GaugeFor(Width);
    DrawGaugeBar(bitmap.GetCanvas(), gauge, Width, Height, 1);
    EXPECT_EQ(At(8, 10), RGB(0, 255, 0));
    EXPECT_EQ(At(9, 10), RGB(0, 255, 0));
    EXPECT_EQ(At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(At(9, 16), RGB(255, 255, 255)) << "the bar ends at y 16";
    DrawGaugeBar(bitmap.GetCanvas(), gauge, Width, Height, 0);
    EXPECT_EQ(At(8, 10), RGB(255, 255, 255));
}

TEST_F(GaugeDrawing, SizesPastTheRulerFillToTheImageEdge)
{
    DrawGaugeBar(bitmap.GetCanvas(), GaugeFor(Width), Width, Height, 5000);
    EXPECT_EQ(At(Width - 1, 10), RGB(0, 255, 0));
    EXPECT_EQ(At(7, 10), RGB(255, 255, 255));
}

}  // namespace
