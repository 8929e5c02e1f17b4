// The check-box tree's states without a window: the cascade to descendants and ancestors with its exact
// events, the parent rule, refusals, toggling, the event-free setters, access by absolute index, and
// trees of 10,000 nodes.
#include <gtest/gtest.h>

#include <memory>

#include "QvTestSupport.h"
#include "QvTreeTestSupport.h"

using namespace vcl;
using namespace qvtreetest;

namespace {

class QvCheckTreeStates : public WindowlessCheckTree {};

// A: (A1: A1a, A1b), A2; B.
const std::vector<NodeRow> family = {{0, "A", 1}, {1, "A1", 1}, {2, "A1a", 1}, {2, "A1b", 1},
                                     {1, "A2", 1}, {0, "B", 1}};

TEST_F(QvCheckTreeStates, NewNodeWaitsForThePaint)
{
    TTreeNode* node = tree->GetItems()->Add(nullptr, "new");
    EXPECT_EQ(node->GetStateIndex(), -1);
    EXPECT_FALSE(tree->HandleAllocated());
    tree->ResolveNewNodeStates();
    EXPECT_EQ(node->GetStateIndex(), csUnchecked);
}

TEST_F(QvCheckTreeStates, ChangeAnnouncesNodeThenDescendantsThenChildrenDoneThenAncestors)
{
    BuildTree(tree.get(), family);
    EventLog log(tree.get());
    tree->ChangeNodeCheckState(Node(tree.get(), "A1"), csChecked);
    const std::vector<std::string> expected = {
        "changing A1 2",  "change A1 2",   // the node
        "changing A1a 2", "change A1a 2",  // its descendants in pre-order
        "changing A1b 2", "change A1b 2",
        "children",                        // once, after the descendants
        "changing A 3",   "change A 3",    // the ancestors from the parent up
    };
    EXPECT_EQ(log.entries, expected);
    EXPECT_EQ(States(tree.get()),
              (std::vector<std::string>{"A=3", "A1=2", "A1a=2", "A1b=2", "A2=1", "B=1"}));
}

TEST_F(QvCheckTreeStates, UnchangedNodeStillCascadesWithoutEventsForItself)
{
    BuildTree(tree.get(), {{0, "A", 2}, {1, "A1", 2}, {2, "A1a", 2}});
    EventLog log(tree.get());
    tree->ChangeNodeCheckState(Node(tree.get(), "A1"), csChecked);
    const std::vector<std::string> expected = {"changing A1a 2", "change A1a 2", "children", "changing A 2",
                                               "change A 2"};
    EXPECT_EQ(log.entries, expected);
}

TEST_F(QvCheckTreeStates, ParentStateFollowsItsChildren)
{
    const struct {
        std::vector<int> children;
        int parent;
        const char* context;
    } rows[] = {
        {{2, 1, 0}, csPartiallyChecked, "checked, unchecked and no box"},
        {{2, 0}, csChecked, "checked beside no box"},
        {{0, 0}, csUnchecked, "no boxes at all"},
        {{2, 2, 3}, csPartiallyChecked, "a mixed child"},
        {{3}, csPartiallyChecked, "a mixed only child"},
        {{1, 1}, csUnchecked, "all unchecked"},
        {{2, 2}, csChecked, "all checked"},
        {{-1, 2}, csChecked, "an unpainted child beside a checked one"},
        {{-1, -1}, csUnchecked, "unpainted children"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.context);
        tree->GetItems()->Clear();
        TTreeNode* parent = tree->GetItems()->Add(nullptr, "P");
        parent->SetStateIndex(csUnknown);
        for (int state : row.children) tree->GetItems()->AddChild(parent, "c")->SetStateIndex(state);
        tree->UpdateParents(parent->getFirstChild(), false);
        EXPECT_EQ(parent->GetStateIndex(), row.parent);
    }
}

TEST_F(QvCheckTreeStates, CascadeCarriesEachStateDown)
{
    const struct {
        TQvCheckState set;
        int descendants;
    } rows[] = {
        {csChecked, csChecked},
        {csUnchecked, csUnchecked},
        {csPartiallyChecked, csUnchecked},
        {csUnknown, csUnchecked},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.set));
        tree->GetItems()->Clear();
        BuildTree(tree.get(), {{0, "A", 2}, {1, "A1", 2}, {2, "A1a", 3}, {1, "A2", 0}});
        tree->ChangeNodeCheckState(Node(tree.get(), "A"), row.set);
        EXPECT_EQ(Node(tree.get(), "A")->GetStateIndex(), int(row.set));
        for (const char* name : {"A1", "A1a", "A2"}) EXPECT_EQ(Node(tree.get(), name)->GetStateIndex(), row.descendants);
    }
}

TEST_F(QvCheckTreeStates, WithoutCascadeOnlyTheNodeChanges)
{
    BuildTree(tree.get(), family);
    tree->SetCascadeChecks(false);
    EventLog log(tree.get());
    tree->ChangeNodeCheckState(Node(tree.get(), "A1"), csChecked);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"changing A1 2", "change A1 2"}));
    EXPECT_EQ(States(tree.get()), (std::vector<std::string>{"A=1", "A1=2", "A1a=1", "A1b=1", "A2=1", "B=1"}));
    tree->ToggleCheckState(Node(tree.get(), "A1"));
    EXPECT_EQ(Node(tree.get(), "A1")->GetStateIndex(), csUnchecked);
    EXPECT_EQ(Node(tree.get(), "A1a")->GetStateIndex(), csUnchecked);
}

TEST_F(QvCheckTreeStates, RefusedNodesKeepTheirStateAndTheCascadeGoesOn)
{
    const std::vector<NodeRow> rows = {{0, "R", 1}, {1, "A", 1}, {2, "A1", 1}, {3, "A1a", 1}, {3, "A1b", 1},
                                       {1, "B", 1}};
    {
        SCOPED_TRACE("a descendant refuses: its own children are still set");
        BuildTree(tree.get(), rows);
        EventLog log(tree.get());
        log.refuse = "A1";
        tree->ChangeNodeCheckState(Node(tree.get(), "A"), csChecked);
        EXPECT_EQ(States(tree.get()),
                  (std::vector<std::string>{"R=3", "A=2", "A1=1", "A1a=2", "A1b=2", "B=1"}));
    }
    tree->GetItems()->Clear();
    {
        SCOPED_TRACE("an ancestor refuses: the ones above it see its real state");
        BuildTree(tree.get(), rows);
        EventLog log(tree.get());
        log.refuse = "A";
        tree->ChangeNodeCheckState(Node(tree.get(), "A1a"), csChecked);
        EXPECT_EQ(States(tree.get()),
                  (std::vector<std::string>{"R=1", "A=1", "A1=3", "A1a=2", "A1b=1", "B=1"}));
    }
}

TEST_F(QvCheckTreeStates, RefusedNodeStillImposesItsOwnStateBelow)
{
    BuildTree(tree.get(), {{0, "A", 1}, {1, "A1", 2}});
    EventLog log(tree.get());
    log.refuse = "A";
    tree->ChangeNodeCheckState(Node(tree.get(), "A"), csChecked);
    EXPECT_EQ(States(tree.get()), (std::vector<std::string>{"A=1", "A1=1"}));
}

TEST_F(QvCheckTreeStates, ToggleFlipsBetweenCheckedAndUnchecked)
{
    const struct {
        int before;
        int after;
    } rows[] = {{csUnchecked, csChecked}, {csChecked, csUnchecked}, {csPartiallyChecked, csChecked},
                {-1, csChecked},          {csUnknown, csUnknown}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        tree->GetItems()->Clear();
        BuildTree(tree.get(), {{0, "A", row.before}, {1, "A1", 1}, {1, "A2", 2}});
        EventLog log(tree.get());
        tree->ToggleCheckState(Node(tree.get(), "A"));
        EXPECT_EQ(Node(tree.get(), "A")->GetStateIndex(), row.after);
        if (row.after == csUnknown) {
            EXPECT_TRUE(log.entries.empty());
            continue;
        }
        for (const char* name : {"A1", "A2"}) EXPECT_EQ(Node(tree.get(), name)->GetStateIndex(), row.after);
    }
    tree->ToggleCheckState(nullptr);  // no node: nothing happens
}

TEST_F(QvCheckTreeStates, BulkSettersAreSilentAndForceOnlyAnnounces)
{
    BuildTree(tree.get(), family);
    EventLog log(tree.get());
    tree->SetAllNodes(csChecked);
    EXPECT_EQ(States(tree.get()), (std::vector<std::string>{"A=2", "A1=2", "A1a=2", "A1b=2", "A2=2", "B=2"}));
    tree->SetAllChildren(Node(tree.get(), "A1a"), csUnknown);
    EXPECT_EQ(States(tree.get()), (std::vector<std::string>{"A=2", "A1=2", "A1a=0", "A1b=0", "A2=2", "B=2"}))
        << "the node and its following siblings";
    EXPECT_TRUE(log.entries.empty());

    log.refuse = "A2";
    tree->ForceCheckState(Node(tree.get(), "A2"), csPartiallyChecked);
    tree->ForceCheckState(Node(tree.get(), "B"), csChecked);  // unchanged: nothing
    EXPECT_EQ(log.entries, (std::vector<std::string>{"change A2 3"}));
    EXPECT_EQ(Node(tree.get(), "A")->GetStateIndex(), csChecked) << "no cascade";

    std::unique_ptr<TQvCheckTree> empty = std::make_unique<TQvCheckTree>(nullptr);
    empty->SetAllNodes(csChecked);
}

TEST_F(QvCheckTreeStates, SetNodeCheckStateAsksAndAnnouncesEvenWhenUnchanged)
{
    BuildTree(tree.get(), {{0, "A", 2}, {1, "A1", 1}});
    EventLog log(tree.get());
    tree->SetNodeCheckState(Node(tree.get(), "A"), csChecked);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"changing A 2", "change A 2"}));
    EXPECT_EQ(Node(tree.get(), "A1")->GetStateIndex(), csUnchecked) << "no cascade";
}

TEST_F(QvCheckTreeStates, ItemStatesByAbsoluteIndex)
{
    BuildTree(tree.get(), family);
    EXPECT_EQ(tree->GetItemState(2), csUnchecked);
    EventLog log(tree.get());
    tree->SetItemState(1, csChecked);  // A1, with its cascade
    EXPECT_EQ(tree->GetItemState(2), csChecked);
    EXPECT_EQ(tree->GetItemState(0), csPartiallyChecked);
    log.entries.clear();
    tree->SetItemState(1, csChecked);  // unchanged: not even a cascade
    EXPECT_TRUE(log.entries.empty());
    for (int index : {-1, 6, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_THROW(tree->GetItemState(index), ETreeViewError);
        EXPECT_THROW(tree->SetItemState(index, csChecked), ETreeViewError);
    }
    try {
        tree->GetItemState(6);
    } catch (const ETreeViewError& e) {
        EXPECT_EQ(e.Message, "Invalid index");
    }
}

TEST_F(QvCheckTreeStates, CascadesRunAgainFromNodesAndLeaves)
{
    BuildTree(tree.get(), {{0, "A", 1}, {1, "A1", 1}, {2, "A1a", 2}, {2, "A1b", 2}, {1, "A2", 1}, {2, "A2a", 1}});
    tree->UpdateChildrenCascadingStates(Node(tree.get(), "A"));
    EXPECT_EQ(States(tree.get()),
              (std::vector<std::string>{"A=3", "A1=2", "A1a=2", "A1b=2", "A2=1", "A2a=1"}));

    tree->SetAllNodes(csPartiallyChecked);
    EventLog log(tree.get());
    tree->UpdateCascadingStates(Node(tree.get(), "A1"));  // mixed: nothing to carry
    EXPECT_TRUE(log.entries.empty());
    Node(tree.get(), "A2")->SetStateIndex(csChecked);
    tree->UpdateCascadingStates(Node(tree.get(), "A2"));
    EXPECT_EQ(Node(tree.get(), "A2a")->GetStateIndex(), csChecked);
    EXPECT_EQ(Node(tree.get(), "A")->GetStateIndex(), csPartiallyChecked);
}

TEST_F(QvCheckTreeStates, HandlerExceptionStopsTheCascadeWhereItWasRaised)
{
    BuildTree(tree.get(), family);
    tree->OnStateChange = MakeEvent<TObject*, TTreeNode*, TQvCheckState>(
        nullptr, [](TObject*, TTreeNode* node, TQvCheckState) {
            if (node->GetText() == "A1b") throw Exception("stop");
        });
    EXPECT_THROW(tree->ChangeNodeCheckState(Node(tree.get(), "A"), csChecked), Exception);
    EXPECT_EQ(States(tree.get()), (std::vector<std::string>{"A=2", "A1=2", "A1a=2", "A1b=2", "A2=1", "B=1"}));
}

// Ten thousand nodes: a root over 100 children of 99 leaves each.
class QvCheckTreeLarge : public QvCheckTreeStates {
protected:
    void SetUp() override
    {
        QvCheckTreeStates::SetUp();
        TTreeNodes* items = tree->GetItems();
        items->BeginUpdate();
        root = items->Add(nullptr, "root");
        for (int i = 0; i < 100; ++i) {
            TTreeNode* branch = items->AddChild(root, "branch");
            for (int j = 0; j < 99; ++j) items->AddChild(branch, "leaf");
        }
        items->EndUpdate();
        tree->ResolveNewNodeStates();
    }
    int CountState(int state)
    {
        int count = 0;
        for (TTreeNode* n = tree->GetItems()->GetFirstNode(); n; n = n->GetNext()) count += n->GetStateIndex() == state;
        return count;
    }
    TTreeNode* root = nullptr;
};

TEST_F(QvCheckTreeLarge, CheckingTheRootChecksEveryNodeWithOneEventPairEach)
{
    ASSERT_EQ(tree->GetItems()->GetCount(), 10001);
    EXPECT_EQ(CountState(csUnchecked), 10001);
    int changing = 0, changed = 0, children = 0;
    tree->OnStateChanging = MakeEvent<TObject*, TTreeNode*, TQvCheckState, bool&>(
        nullptr, [&](TObject*, TTreeNode*, TQvCheckState, bool&) { ++changing; });
    tree->OnStateChange =
        MakeEvent<TObject*, TTreeNode*, TQvCheckState>(nullptr, [&](TObject*, TTreeNode*, TQvCheckState) { ++changed; });
    tree->OnUpdateChildren = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++children; });
    tree->ChangeNodeCheckState(root, csChecked);
    EXPECT_EQ(CountState(csChecked), 10001);
    EXPECT_EQ(changing, 10001);
    EXPECT_EQ(changed, 10001);
    EXPECT_EQ(children, 1);
}

TEST_F(QvCheckTreeLarge, OneLeafMakesItsBranchAndTheRootMixed)
{
    TTreeNode* branch = root->GetItem(57);
    TTreeNode* leaf = branch->GetItem(98);
    tree->ChangeNodeCheckState(leaf, csChecked);
    EXPECT_EQ(branch->GetStateIndex(), csPartiallyChecked);
    EXPECT_EQ(root->GetStateIndex(), csPartiallyChecked);
    EXPECT_EQ(CountState(csChecked), 1);

    tree->ChangeNodeCheckState(branch, csChecked);
    EXPECT_EQ(CountState(csChecked), 100);
    tree->SetAllNodes(csChecked);
    leaf->SetStateIndex(csUnchecked);
    tree->UpdateChildrenCascadingStates(root);
    EXPECT_EQ(branch->GetStateIndex(), csPartiallyChecked);
    EXPECT_EQ(root->GetStateIndex(), csPartiallyChecked);
    EXPECT_EQ(CountState(csChecked), 10001 - 3);
}

}  // namespace
