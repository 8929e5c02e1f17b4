// Window tests of a tree's state images and expansion: what the window shows follows the node objects through
// opening and closing by the program and by the user, re-creation, scrolling and batches of changes; the
// expanded flag follows the program's own expand and collapse.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ComCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "ImgList.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

struct TreeStates : ::testing::Test, vcltest::TreeOnForm<TTreeView> {
    TreeStates()
    {
        auto* states = new TImageList(tree);
        TBitmap strip;
        strip.SetSize(16 * 4, 16);
        states->AddMasked(&strip, clOlive);
        tree->SetStateImages(states);
    }
    // A root over `branches` branches of `leaves` leaves each, every node with state image 1.
    TTreeNode* Fill(int branches, int leaves)
    {
        TTreeNodes* items = tree->GetItems();
        TTreeNode* root = items->Add(nullptr, "root");
        for (int b = 0; b < branches; ++b) {
            TTreeNode* branch = items->AddChild(root, "branch " + std::to_string(b));
            for (int l = 0; l < leaves; ++l)
                items->AddChild(branch, "leaf " + std::to_string(b) + "." + std::to_string(l));
        }
        for (TTreeNode* n = root; n; n = n->GetNext())
            n->SetStateIndex(1);
        return root;
    }
    // Walks every row the window can show (the rows under open nodes, scrolled into view or not): each must show
    // its node's state, and its node must know itself shown. Returns the number of rows.
    int ExpectRowsShowTheirNodes()
    {
        int rows = 0;
        const HWND w = tree->WindowHandle;
        for (auto id = HTREEITEM(SendMessageA(w, TVM_GETNEXTITEM, TVGN_ROOT, 0)); id;
             id = HTREEITEM(SendMessageA(w, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, LPARAM(id)))) {
            TTreeNode* node = tree->GetItems()->GetNode(id);
            ++rows;
            EXPECT_EQ(WindowStateImage(node), std::max(node->GetStateIndex(), 0)) << node->GetText();
            EXPECT_TRUE(node->IsVisible()) << node->GetText() << " shows while its node thinks it hidden";
        }
        return rows;
    }
    bool WindowExpanded(TTreeNode* node) const
    {
        return (SendMessageA(tree->WindowHandle, TVM_GETITEMSTATE, WPARAM(node->ItemId), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    // Every node of the branch (itself included) gets the state.
    static void SetBranch(TTreeNode* branch, int state)
    {
        branch->SetStateIndex(state);
        for (int i = 0; i < branch->GetCount(); ++i)
            branch->GetItem(i)->SetStateIndex(state);
    }
};

}  // namespace

TEST_F(TreeStates, HiddenRowsShowTheStatesTheirNodesGotOnceTheProgramOpensThem)
{
    TTreeNode* root = Fill(3, 4);
    form->Show();
    root->Expand(false);
    SetBranch(root->GetItem(0), 2);
    SetBranch(root->GetItem(1), 3);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 4);

    root->GetItem(0)->Expand(false);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 8);
    tree->FullExpand();
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 16);

    // Closed and opened again: the window no longer reports the program's TVM_EXPAND the second time.
    root->GetItem(1)->Collapse(false);
    SetBranch(root->GetItem(1), 2);
    root->Collapse(false);
    SetBranch(root->GetItem(2), 3);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 1);
    root->Expand(false);
    root->GetItem(1)->Expand(false);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 16) << "branch 2 stayed open below the closed root";
}

TEST_F(TreeStates, HiddenRowsShowTheStatesTheirNodesGotOnceTheUserOpensThem)
{
    TTreeNode* root = Fill(2, 3);
    form->Show();
    root->Expand(false);
    TTreeNode* branch = root->GetItem(1);
    tree->SetSelected(branch);
    auto key = [&](WORD vk) {
        SendMessageA(tree->WindowHandle, WM_KEYDOWN, vk, 1);
        SendMessageA(tree->WindowHandle, WM_KEYUP, vk, 0xC0000001);
    };
    for (int state : {2, 3}) {
        SetBranch(branch, state);
        key(VK_ADD);
        EXPECT_TRUE(branch->GetExpanded()) << "state " << state;
        EXPECT_EQ(ExpectRowsShowTheirNodes(), 6) << "state " << state;
        key(VK_SUBTRACT);
        EXPECT_FALSE(branch->GetExpanded()) << "state " << state;
        EXPECT_EQ(ExpectRowsShowTheirNodes(), 3) << "state " << state;
    }
}

TEST_F(TreeStates, NewWindowShowsTheStatesChangedWhileRowsWereHidden)
{
    TTreeNode* root = Fill(3, 3);
    form->Show();
    SetBranch(root->GetItem(2), 3);
    root->GetItem(2)->Expand(false);  // open below the closed root: its rows stay hidden
    SetBranch(root->GetItem(2), 2);
    tree->RecreateWnd();
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 1);
    root->Expand(false);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 7);
    tree->FullExpand();
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 13);
}

TEST_F(TreeStates, RowsScrolledIntoViewShowTheStatesOfABatchOfChanges)
{
    TTreeNode* root = Fill(60, 2);
    form->Show();
    root->Expand(false);
    {
        TUpdateScope<TTreeNodes> batch(tree->GetItems());
        for (TTreeNode* n = root; n; n = n->GetNext())
            n->SetStateIndex(n->GetIndex() % 3 + 1);
    }
    EXPECT_TRUE(IsWindowVisible(tree->WindowHandle)) << "the batch's end shows the tree again";
    SendMessageA(tree->WindowHandle, WM_VSCROLL, SB_BOTTOM, 0);
    auto top = HTREEITEM(SendMessageA(tree->WindowHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    ASSERT_NE(top, root->ItemId) << "scrolled";
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 61);
    root->GetItem(59)->Expand(false);
    EXPECT_EQ(WindowStateImage(root->GetItem(59)->GetItem(1)), 2);
}

// A state update sends the few shown rows it changed one by one, and many under one redraw; hidden rows wait
// for their parent to open either way.
TEST_F(TreeStates, StateUpdateSendsAFewShownRowsOneByOneAndManyUnderOneRedraw)
{
    TTreeNode* root = Fill(70, 1);
    form->Show();
    root->Expand(false);
    int redrawsOff = 0, itemsSet = 0;
    const TWndMethod previous = tree->WindowProc;
    tree->WindowProc = MakeEvent<TMessage&>(this, [&](TMessage& message) {
        redrawsOff += message.Msg == WM_SETREDRAW && !message.WParam;
        itemsSet += message.Msg == TVM_SETITEMA;
        previous(message);
    });
    auto update = [&](int shownRows, int state) {
        redrawsOff = itemsSet = 0;
        tree->GetItems()->BeginStateUpdate();
        for (int b = 0; b < shownRows; ++b)
            SetBranch(root->GetItem(b), state);
        EXPECT_EQ(itemsSet, 0) << "nothing reaches the window before the update ends";
        tree->GetItems()->EndStateUpdate();
    };
    update(3, 2);
    EXPECT_EQ(redrawsOff, 0);
    EXPECT_EQ(itemsSet, 3) << "the three shown branches, not their hidden leaves";
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 71);
    update(70, 3);
    EXPECT_EQ(redrawsOff, 1);
    EXPECT_EQ(itemsSet, 70);
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 71);
    tree->WindowProc = previous;
    tree->FullExpand();
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 141);
}

TEST_F(TreeStates, ExpandedFlagFollowsTheProgramsOwnExpandAndCollapse)
{
    TTreeNode* root = Fill(2, 1);
    int asked = 0, expanded = 0, collapsed = 0;
    tree->OnExpanding = MakeEvent<TObject*, TTreeNode*, bool&>(nullptr, [&](TObject*, TTreeNode*, bool&) { ++asked; });
    tree->OnExpanded = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode*) { ++expanded; });
    tree->OnCollapsed = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode*) { ++collapsed; });
    form->Show();
    for (int round = 1; round <= 3; ++round) {
        root->Expand(false);
        EXPECT_TRUE(root->GetExpanded()) << "round " << round;
        EXPECT_TRUE(WindowExpanded(root)) << "round " << round;
        root->Collapse(false);
        EXPECT_FALSE(root->GetExpanded()) << "round " << round;
        EXPECT_FALSE(WindowExpanded(root)) << "round " << round;
        EXPECT_EQ(asked, round) << "asked once an opening";
        EXPECT_EQ(expanded, round);
        EXPECT_EQ(collapsed, round);
    }
    root->SetExpanded(true);
    root->Expand(false);
    EXPECT_EQ(expanded, 4) << "an open node opens no more";
}

TEST_F(TreeStates, UpdatesLeaveATreeHiddenBeforeOrMeanwhileHidden)
{
    Fill(1, 1);
    form->Show();
    tree->SetVisible(false);
    {
        TUpdateScope<TTreeNodes> outer(tree->GetItems());
        TUpdateScope<TTreeNodes> inner(tree->GetItems());
    }
    EXPECT_FALSE(IsWindowVisible(tree->WindowHandle));
    tree->SetVisible(true);
    { TUpdateScope<TTreeNodes> batch(tree->GetItems()); }
    EXPECT_TRUE(IsWindowVisible(tree->WindowHandle));
    {
        TUpdateScope<TTreeNodes> batch(tree->GetItems());
        tree->SetVisible(false);
    }
    EXPECT_FALSE(IsWindowVisible(tree->WindowHandle)) << "hidden during the update";
}

TEST_F(TreeStates, SelectingOrShowingAHiddenNodeOpensItsParentsWithTheirStates)
{
    TTreeNode* root = Fill(3, 2);
    form->Show();
    SetBranch(root->GetItem(1), 3);
    tree->SetSelected(root->GetItem(1)->GetItem(1));
    EXPECT_TRUE(root->GetExpanded());
    EXPECT_TRUE(root->GetItem(1)->GetExpanded());
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 6);
    SetBranch(root->GetItem(2), 2);
    root->GetItem(2)->GetItem(0)->MakeVisible();
    EXPECT_EQ(ExpectRowsShowTheirNodes(), 8);
}

TEST_F(TreeStates, ClickOnANodeOfASingleExpandTreeOpensItWithItsStates)
{
    TTreeNode* root = Fill(3, 2);
    tree->SetAutoExpand(true);
    form->Show();
    root->Expand(false);
    for (int b : {1, 2}) {
        TTreeNode* branch = root->GetItem(b);
        SetBranch(branch, b + 1);
        const RECT r = branch->DisplayRect(true);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(tree->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tree->WindowHandle, WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(vcltest::PumpUntil([&] { return tree->GetSelected() == branch; }, 3000)) << "branch " << b;
        EXPECT_TRUE(vcltest::PumpUntil([&] { return branch->GetExpanded(); }, 3000)) << "branch " << b;
        EXPECT_TRUE(WindowExpanded(branch)) << "branch " << b;
        EXPECT_EQ(ExpectRowsShowTheirNodes(), 6) << "branch " << b << ", the one before closed";
    }
}
