// Window tests of the common controls: tree nodes and their window, list view, bars and pages.
#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

struct TreeFixture : ::testing::Test, vcltest::TreeOnForm<TTreeView> {
    AnsiString WindowText(TTreeNode* node) { return vcltest::TreeItemWindowText(tree->WindowHandle, node->ItemId); }
};

}  // namespace

TEST_F(TreeFixture, NodesWorkWithoutAWindowAndWalkInOrder)
{
    TTreeNodes* items = tree->GetItems();
    TTreeNode* a = items->Add(nullptr, "A");
    TTreeNode* a1 = items->AddChild(a, "A1");
    TTreeNode* a2 = items->AddChildObject(a, "A2", reinterpret_cast<void*>(0x42));
    TTreeNode* b = items->Add(a, "B");
    TTreeNode* first = items->AddFirst(a, "First");
    EXPECT_FALSE(tree->HandleAllocated());
    EXPECT_EQ(a1->GetStateIndex(), -1) << "a new node shows no state image";
    EXPECT_EQ(items->GetCount(), 5);
    std::vector<AnsiString> order;
    for (TTreeNode* n = items->GetFirstNode(); n; n = n->GetNext())
        order.push_back(n->GetText());
    EXPECT_EQ(order, (std::vector<AnsiString>{"First", "A", "A1", "A2", "B"}));
    EXPECT_EQ(a2->GetAbsoluteIndex(), 3);
    EXPECT_EQ(items->GetItem(3), a2);
    EXPECT_EQ(a2->GetLevel(), 1);
    EXPECT_EQ(a2->GetParent(), a);
    EXPECT_EQ(a2->getPrevSibling(), a1);
    EXPECT_EQ(a->getNextSibling(), b);
    EXPECT_EQ(first->getNextSibling(), a);
    EXPECT_EQ(a2->GetData(), reinterpret_cast<void*>(0x42));
    EXPECT_THROW(items->GetItem(9), ETreeViewError);

    std::vector<AnsiString> deleted;
    tree->OnDeletion = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode* n) {
        deleted.push_back(n->GetText());
    });
    a->Delete();
    EXPECT_EQ(deleted, (std::vector<AnsiString>{"A2", "A1", "A"})) << "children are announced before their parent";
    EXPECT_EQ(items->GetCount(), 2);
}

TEST_F(TreeFixture, RecreateWndKeepsNodesDataStateImagesSelectionAndExpansion)
{
    auto* states = new TImageList(tree);
    states->SetName("CheckImages");
    TBitmap strip;
    strip.SetSize(16 * 3, 16);
    states->AddMasked(&strip, clOlive);
    tree->SetStateImages(states);
    TTreeNodes* items = tree->GetItems();
    TTreeNode* root = items->AddObject(nullptr, "Session", reinterpret_cast<void*>(0x1234));
    TTreeNode* page = items->AddChild(root, "page001.jpg");
    page->SetStateIndex(2);
    form->Show();
    root->Expand(false);
    tree->SetSelected(page);
    ASSERT_TRUE(root->GetExpanded());
    EXPECT_EQ(WindowStateImage(page), 2);
    HTREEITEM oldId = page->ItemId;

    tree->RecreateWnd();

    ASSERT_TRUE(tree->HandleAllocated());
    EXPECT_NE(page->ItemId, nullptr);
    (void)oldId;
    EXPECT_EQ(items->GetCount(), 2);
    EXPECT_EQ(items->GetFirstNode(), root) << "the node objects themselves survive";
    EXPECT_EQ(root->GetData(), reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(WindowText(page), "page001.jpg");
    EXPECT_EQ(WindowStateImage(page), 2);
    EXPECT_EQ(page->GetStateIndex(), 2);
    EXPECT_TRUE(root->GetExpanded());
    EXPECT_EQ(tree->GetSelected(), page);
    EXPECT_EQ(SendMessageA(tree->WindowHandle, TVM_GETIMAGELIST, TVSIL_STATE, 0), LPARAM(states->GetHandle()));
    page->SetStateIndex(0);
    EXPECT_EQ(WindowStateImage(page), 0) << "0 shows no state image";
}

TEST_F(TreeFixture, NotificationsReachOnChangeAndOnExpandingMayRefuse)
{
    TTreeNodes* items = tree->GetItems();
    TTreeNode* root = items->Add(nullptr, "Drive");
    items->AddChild(root, "Folder");
    TTreeNode* other = items->Add(root, "Other");
    std::vector<TTreeNode*> changes;
    tree->OnChange = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode* n) { changes.push_back(n); });
    bool allow = false;
    int asked = 0;
    tree->OnExpanding = MakeEvent<TObject*, TTreeNode*, bool&>(nullptr, [&](TObject*, TTreeNode*, bool& a) {
        ++asked;
        a = allow;
    });
    form->Show();
    SendMessageA(tree->WindowHandle, TVM_SELECTITEM, TVGN_CARET, LPARAM(other->ItemId));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], other);
    root->Expand(false);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(root->GetExpanded()) << "refused by OnExpanding";
    allow = true;
    root->Expand(false);
    EXPECT_TRUE(root->GetExpanded());
}

TEST_F(TreeFixture, MouseUpArrivesOnceAfterTheNativeButtonDownHandling)
{
    TTreeNode* node = tree->GetItems()->Add(nullptr, "Click me");
    int downs = 0, ups = 0;
    tree->OnMouseDown = MakeEvent<TObject*, TMouseButton, TShiftState, int, int>(
        nullptr, [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
    tree->OnMouseUp = MakeEvent<TObject*, TMouseButton, TShiftState, int, int>(
        nullptr, [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
    form->Show();
    RECT r = node->DisplayRect(true);
    ASSERT_LT(r.left, r.right);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(tree->GetNodeAt((r.left + r.right) / 2, (r.top + r.bottom) / 2), node);
    PostMessageA(tree->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tree->WindowHandle, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([&] { return ups > 0; }, 3000));
    ASSERT_TRUE(vcltest::PumpPastPosted(tree->WindowHandle));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(TreeFixture, NodeStreamRoundTrips)
{
    TTreeNodes* items = tree->GetItems();
    TTreeNode* root = items->Add(nullptr, "Root");
    items->AddChild(root, "Child")->SetStateIndex(1);
    items->Add(root, "Second");
    auto other = std::make_unique<TTreeView>(nullptr);
    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteRootComponent(tree);
    }
    stream.SetPosition(0);
    std::unique_ptr<TComponent> copy(stream.ReadComponent(nullptr));
    auto* read = dynamic_cast<TTreeView*>(copy.get());
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetItems()->GetCount(), 3);
    EXPECT_EQ(read->GetItems()->GetItem(1)->GetText(), "Child");
    EXPECT_EQ(read->GetItems()->GetItem(1)->GetStateIndex(), 1);
    EXPECT_EQ(read->GetItems()->GetItem(2)->GetLevel(), 0);
}

namespace {
struct BarsFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 400, 300);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};
}  // namespace

TEST_F(BarsFixture, StatusPanelsSendTheirTextsToTheWindow)
{
    auto* bar = new TStatusBar(form.get());
    bar->SetParent(form.get());
    bar->GetPanels()->Add()->SetWidth(120);
    bar->GetPanels()->Add();
    bar->GetPanels()->GetItem(0)->SetText("Ready");
    form->Show();
    bar->GetPanels()->GetItem(1)->SetText("3 pages");
    char text[64] = {};
    SendMessageA(bar->WindowHandle, SB_GETTEXTA, 0, LPARAM(text));
    EXPECT_STREQ(text, "Ready");
    SendMessageA(bar->WindowHandle, SB_GETTEXTA, 1, LPARAM(text));
    EXPECT_STREQ(text, "3 pages");
    EXPECT_EQ(SendMessageA(bar->WindowHandle, SB_GETPARTS, 0, 0), 2);
    EXPECT_EQ(bar->GetTop() + bar->GetHeight(), form->GetClientHeight()) << "aligned to the bottom";
}

TEST_F(BarsFixture, ProgressPositionIsClampedAndKeptAcrossRecreation)
{
    auto* progress = new TProgressBar(form.get());
    progress->SetParent(form.get());
    progress->SetMax(120);
    progress->SetPosition(500);
    EXPECT_EQ(progress->GetPosition(), 120);
    form->Show();
    progress->SetPosition(30);
    progress->SetSmooth(true);  // re-creates the window
    EXPECT_EQ(SendMessageA(progress->WindowHandle, PBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(SendMessageA(progress->WindowHandle, PBM_GETRANGE, FALSE, 0), 120);
}

TEST_F(BarsFixture, PageControlShowsTheActivePageAndFollowsTheTabs)
{
    auto* pages = new TPageControl(form.get());
    pages->SetParent(form.get());
    pages->SetAlign(TAlign::alClient);
    std::vector<TTabSheet*> sheets;
    for (const char* caption : {"General", "Scanner", "Path"}) {
        auto* sheet = new TTabSheet(form.get());
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    pages->SetActivePageIndex(2);
    form->Show();
    EXPECT_EQ(SendMessageA(pages->WindowHandle, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(pages->WindowHandle, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(sheets[2]->WindowHandle));
    EXPECT_FALSE(IsWindowVisible(sheets[0]->WindowHandle));
    EXPECT_EQ(pages->GetTabs()->Get(1), "Scanner");
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(SendMessageA(pages->WindowHandle, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(sheets[2]->GetTabIndex(), 1);
    // A tab chosen in the window makes its sheet the active page.
    SendMessageA(pages->WindowHandle, TCM_SETCURSEL, 0, 0);
    NMHDR header{pages->WindowHandle, 0, UINT(TCN_SELCHANGE)};
    SendMessageA(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&header));
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);
    EXPECT_TRUE(IsWindowVisible(sheets[0]->WindowHandle));
}

TEST_F(BarsFixture, ListViewItemsShowThroughCallbacksAndSelectingFiresOnChange)
{
    auto* list = new TListView(form.get());
    list->SetParent(form.get());
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetColumns()->Add()->SetCaption("Source");
    list->GetColumns()->Add()->SetCaption("Version");
    for (const char* name : {"Scanner A", "Scanner B"}) {
        TListItem* item = list->GetItems()->Add();
        item->SetCaption(name);
        item->GetSubItems()->Add("1.0");
    }
    form->Show();
    char text[64] = {};
    LVITEMA lv{};
    lv.iSubItem = 1;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list->WindowHandle, LVM_GETITEMTEXTA, 1, LPARAM(&lv));
    EXPECT_STREQ(text, "1.0");
    lv.iSubItem = 0;
    SendMessageA(list->WindowHandle, LVM_GETITEMTEXTA, 1, LPARAM(&lv));
    EXPECT_STREQ(text, "Scanner B");
    int changes = 0;
    list->OnChange = MakeEvent<TObject*, TListItem*, TItemChangeKind>(
        nullptr, [&](TObject*, TListItem*, TItemChangeKind kind) { changes += kind == ctState; });
    list->SetSelected(list->GetItems()->GetItem(1));
    EXPECT_GT(changes, 0);
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_EQ(list->GetItems()->GetItem(7), nullptr) << "no item: nullptr, no exception";
    list->RecreateWnd();
    EXPECT_EQ(SendMessageA(list->WindowHandle, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(list->GetItemIndex(), 1);
}

// An item selected before the list view has its window (a list filled in code for a form not yet shown) is the
// list's selection, and the window shows it.
TEST_F(BarsFixture, ListViewSelectionWithoutAWindowIsTheSelectedItem)
{
    auto* list = new TListView(form.get());
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetColumns()->Add();
    list->SetParent(form.get());
    for (const char* name : {"Scanner A", "Scanner B", "Scanner C"})
        list->GetItems()->Add()->SetCaption(name);
    ASSERT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->GetSelected(), nullptr);
    list->GetItems()->GetItem(1)->SetSelected(true);
    EXPECT_EQ(list->GetSelected(), list->GetItems()->GetItem(1));
    EXPECT_EQ(list->GetItemIndex(), 1);
    list->GetItems()->GetItem(2)->SetSelected(true);
    EXPECT_FALSE(list->GetItems()->GetItem(1)->GetSelected()) << "one selected item, as in the window";
    EXPECT_EQ(list->GetSelected(), list->GetItems()->GetItem(2));
    list->SetItemIndex(0);
    list->SetItemIndex(2);
    EXPECT_FALSE(list->GetItems()->GetItem(0)->GetSelected());
    form->Show();
    EXPECT_EQ(SendMessageA(list->WindowHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(list->GetItemIndex(), 2);
}
