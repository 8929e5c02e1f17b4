// Window tests of a right click on the tree view: the node under the mouse is what GetSelected answers
// while the click is handled, and the selection itself does not move. They move the mouse: serial.
#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

struct RightClickFixture : ::testing::Test, vcltest::TreeOnForm<TTreeView> {
    void SetUp() override
    {
        first = tree->GetItems()->Add(nullptr, "First");
        second = tree->GetItems()->Add(nullptr, "Second");
        third = tree->GetItems()->Add(nullptr, "Third");
        tree->OnChange = MakeEvent<TObject*, TTreeNode*>(nullptr, [this](TObject*, TTreeNode*) { ++changes; });
        tree->OnContextPopup = MakeEvent<TObject*, POINT, bool&>(nullptr, [this](TObject*, POINT, bool& handled) {
            selectedDuringClick.push_back(tree->GetSelected());
            handled = true;
        });
        form->Show();
        tree->SetSelected(first);
        changes = 0;
    }
    // A right click through the native tree, with the mouse over the node's label.
    void RightClick(TTreeNode* node)
    {
        RECT r = node->DisplayRect(true);
        POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        POINT screen = tree->ClientToScreen(at);
        SetCursorPos(screen.x, screen.y);
        const size_t before = selectedDuringClick.size();
        PostMessageA(tree->WindowHandle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(tree->WindowHandle, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        ASSERT_TRUE(PumpUntil([&] { return selectedDuringClick.size() > before; }, 3000))
            << "no context menu request reached the tree";
    }

    TTreeNode* first = nullptr;
    TTreeNode* second = nullptr;
    TTreeNode* third = nullptr;
    int changes = 0;
    std::vector<TTreeNode*> selectedDuringClick;
};

}  // namespace

TEST_F(RightClickFixture, RightClickSelectAnswersTheClickedNodeOnlyWhileHandled)
{
    tree->SetRightClickSelect(true);
    RightClick(third);
    ASSERT_FALSE(selectedDuringClick.empty());
    EXPECT_EQ(selectedDuringClick.back(), third);
    EXPECT_EQ(tree->GetSelected(), first) << "the selection stays where it was";
    EXPECT_EQ(changes, 0) << "a right click is no change of selection";
}

TEST_F(RightClickFixture, WithoutRightClickSelectTheCaretNodeIsAnswered)
{
    RightClick(second);
    ASSERT_FALSE(selectedDuringClick.empty());
    EXPECT_EQ(selectedDuringClick.back(), first);
    EXPECT_EQ(tree->GetSelected(), first);
    EXPECT_EQ(changes, 0);
}
