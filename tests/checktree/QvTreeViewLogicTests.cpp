// The custom tree view base without a window: node paths, colours that follow the enabled state, the
// focus colour following the normal one, AutoExpand against AutoSelect, and the published properties in
// form streams (old frame names too, and the check images named from the form).
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "QvComponents.h"
#include "QvTestSupport.h"
#include "QvTreeTestSupport.h"
#include "TypInfo.h"

using namespace vcl;
using namespace qvtreetest;

namespace {

class QvTreeViewLogic : public WindowlessCheckTree {};

TEST_F(QvTreeViewLogic, PathsNameNodesFromTheRootDown)
{
    EXPECT_EQ(tree->NodeFromPath("A"), nullptr) << "empty tree";
    BuildTree(tree.get(), {{0, "A"}, {1, "B"}, {2, "C"}, {1, "b2"}, {0, "Other"}, {1, "B"}, {0, ""}});
    TTreeNode* b = Node(tree.get(), "B");
    EXPECT_EQ(tree->PathFromNode(Node(tree.get(), "A")), "A\\");
    EXPECT_EQ(tree->PathFromNode(b), "A\\B\\");
    EXPECT_EQ(tree->PathFromNode(Node(tree.get(), "C")), "A\\B\\C\\");
    EXPECT_EQ(tree->PathFromNode(nullptr), "");
    const struct {
        const char* path;
        TTreeNode* node;
    } rows[] = {
        {"a\\b", b},
        {"A\\B\\", b},
        {"a\\B\\c", Node(tree.get(), "C")},
        {"OTHER\\b", tree->GetItems()->GetItem(5)},
        {"a", Node(tree.get(), "A")},
        {"A\\B2", Node(tree.get(), "b2")},
        {"A\\X", nullptr},
        {"B", nullptr},
        {"\\", tree->GetItems()->GetItem(6)},
        {"", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(tree->NodeFromPath(row.path), row.node);
    }
    EXPECT_EQ(Screen->GetCursor(), crDefault) << "the hourglass went away again";
}

TEST_F(QvTreeViewLogic, NormalColourChangesCarryTheFocusColourAlong)
{
    EXPECT_EQ(tree->GetColor(), clWindow);
    tree->SetColor(clInfoBk);
    EXPECT_EQ(tree->GetFocusColor(), clInfoBk) << "it was the same as the normal colour";
    tree->SetFocusColor(clYellow);
    tree->SetColor(clAqua);
    EXPECT_EQ(tree->GetFocusColor(), clYellow) << "a focus colour of its own stays";
    EXPECT_EQ(tree->GetColor(), clAqua);
}

TEST_F(QvTreeViewLogic, DisabledTreeShowsTheDisabledColour)
{
    tree->SetColor(clAqua);
    tree->SetDisabledColor(clSilver);
    tree->SetEnabled(false);
    EXPECT_EQ(tree->GetColor(), clSilver);
    tree->SetDisabledColor(clGray);
    EXPECT_EQ(tree->GetColor(), clGray);
    EXPECT_EQ(tree->GetFocusColor(), clAqua) << "showing the disabled colour is no new normal colour";
    tree->SetEnabled(true);
    EXPECT_EQ(tree->GetColor(), clAqua);
}

TEST_F(QvTreeViewLogic, AutoExpandAndAutoSelectExcludeEachOther)
{
    tree->SetAutoExpand(true);
    tree->SetAutoSelect(true);
    EXPECT_FALSE(tree->GetAutoExpand());
    EXPECT_TRUE(tree->GetAutoSelect());
    tree->SetAutoExpand(true);
    EXPECT_FALSE(tree->GetAutoSelect());
    tree->SetAutoSelect(false);
    EXPECT_TRUE(tree->GetAutoExpand());
}

TEST_F(QvTreeViewLogic, FrameControllerSetsTheFrameAndKeepsItOutOfTheStream)
{
    auto controller = std::make_unique<TQvFrameController>(nullptr);
    controller->SetFrameColor(clRed);
    controller->SetFrameStyle(fsBump);
    controller->SetFocusColor(clInfoBk);
    tree->SetFrameController(controller.get());
    EXPECT_EQ(tree->GetFrameColor(), clRed);
    EXPECT_EQ(tree->GetFrameStyle(), fsBump);
    EXPECT_EQ(tree->GetFocusColor(), clInfoBk);
    EXPECT_EQ(controller->GetControlCount(), 1);
    controller->SetFrameHotColor(clBlue);
    EXPECT_EQ(tree->GetFrameHotColor(), clBlue) << "later changes reach the tree";
    EXPECT_FALSE(tree->AreFramePropertiesStored());
    EXPECT_FALSE(tree->IsColorStored());
    EXPECT_FALSE(tree->IsFocusColorStored());

    controller.reset();
    EXPECT_EQ(tree->GetFrameController(), nullptr) << "told of the controller's end";
    EXPECT_TRUE(tree->AreFramePropertiesStored());
    EXPECT_TRUE(tree->IsColorStored());
    EXPECT_TRUE(tree->IsFocusColorStored()) << "its focus colour differs from the colour";

    auto second = std::make_unique<TQvFrameController>(nullptr);
    tree->SetFrameController(second.get());
    tree.reset();
    EXPECT_EQ(second->GetControlCount(), 0) << "the tree left the controller when it went";
}

TEST_F(QvTreeViewLogic, CheckTreeStartsReadOnlyWithItsOwnImages)
{
    EXPECT_TRUE(tree->GetReadOnly());
    EXPECT_TRUE(tree->GetCascadeChecks());
    EXPECT_EQ(tree->GetHighlightColor(), clHighlight);
    EXPECT_EQ(tree->GetStateImages(), tree->GetCheckImages());
    EXPECT_EQ(tree->GetCheckImages()->GetName(), "CheckImages");
    EXPECT_EQ(tree->GetCheckImages()->GetOwner(), tree.get());
    EXPECT_TRUE(tree->GetTabStop());
    EXPECT_FALSE(tree->GetParentColor());
    TQvTreeView plain(nullptr);
    EXPECT_FALSE(plain.GetReadOnly());
    EXPECT_FALSE(IsPublishedProp(&plain, "CascadeChecks"));
    EXPECT_TRUE(IsPublishedProp(&plain, "OnNodeContextMenu"));
    EXPECT_FALSE(IsPublishedProp(tree.get(), "OnNodeContextMenu"));
}

class QvTreeViewStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterQvComponents(); }
    void TearDown() override { FreeThemeServices(); }
    // Reads a form text into root, or into a new component when root is null (the caller frees it).
    static TComponent* ReadText(const std::string& text, TComponent* root = nullptr)
    {
        TStringStream in(text), binary;
        ObjectTextToBinary(&in, &binary);
        binary.SetPosition(0);
        return binary.ReadComponent(root);
    }
};

TEST_F(QvTreeViewStream, PropertiesSurviveAWriteAndARead)
{
    TQvCheckTree original(nullptr);
    original.SetCascadeChecks(false);
    original.SetHighlightColor(clRed);
    original.SetFrameStyle(fsGroove);
    original.SetFrameSides(SideBit(sdLeft) | SideBit(sdTop));
    original.SetFocusColor(clInfoBk);
    original.SetReadOnly(false);
    original.GetItems()->Add(nullptr, "kept");
    TStringStream stream;
    stream.WriteComponent(&original);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> copy(stream.ReadComponent(nullptr));
    auto* read = dynamic_cast<TQvCheckTree*>(copy.get());
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->GetCascadeChecks());
    EXPECT_EQ(read->GetHighlightColor(), clRed);
    EXPECT_EQ(read->GetFrameStyle(), fsGroove);
    EXPECT_EQ(read->GetFrameSides(), SideBit(sdLeft) | SideBit(sdTop));
    EXPECT_EQ(read->GetFocusColor(), clInfoBk);
    EXPECT_FALSE(read->GetReadOnly());
    EXPECT_EQ(read->GetItems()->GetCount(), 1);
}

TEST_F(QvTreeViewStream, OldFrameNamesAreReadAndNeverWritten)
{
    std::unique_ptr<TComponent> read(ReadText("object T: TQvTreeView\r\n  FrameFlat = True\r\n"
                                                "  FrameFocusStyle = fsRaised\r\n  FrameFlatStyle = fsBump\r\nend\r\n"));
    auto* tree = dynamic_cast<TQvTreeView*>(read.get());
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->GetFrameHotTrack());
    EXPECT_TRUE(tree->GetFrameVisible());
    EXPECT_EQ(tree->GetFrameStyle(), fsStatus);
    EXPECT_EQ(tree->GetFrameHotStyle(), fsRaised) << "the focus style came after the flat one";
    TStringStream out;
    out.WriteComponent(tree);
    EXPECT_EQ(out.GetDataString().find("FrameFlat"), std::string::npos);

    read.reset(ReadText("object T: TQvTreeView\r\n  FrameFlat = False\r\nend\r\n"));
    EXPECT_FALSE(dynamic_cast<TQvTreeView*>(read.get())->GetFrameHotTrack());
}

TEST_F(QvTreeViewStream, FormNamesTheTreesOwnCheckImages)
{
    std::unique_ptr<TForm> form(new TForm(Application, 0));
    ReadText("object frmTree: TForm\r\n  object tvSessions: TQvCheckTree\r\n    Left = 4\r\n"
             "    StateImages = tvSessions.CheckImages\r\n    CascadeChecks = False\r\n  end\r\nend\r\n",
             form.get());
    auto* tree = dynamic_cast<TQvCheckTree*>(form->FindComponent("tvSessions"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetStateImages(), tree->GetCheckImages());
    EXPECT_FALSE(tree->GetCascadeChecks());
}

}  // namespace
