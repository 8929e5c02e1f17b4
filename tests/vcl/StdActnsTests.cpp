// Window tests of the standard actions: edit commands on the focused edit, and the hint action
// reaching a status bar through its form.
#include <gtest/gtest.h>

#include <memory>

#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Forms.h"
#include "StdActns.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {
struct ActionsFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(80, 80, 320, 200);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetTop(40);
        form->Show();
        edit->SetText("hello world");
        SetForegroundWindow(form->WindowHandle);
        edit->SetFocus();
        vcltest::PumpUntil([this] { return edit->Focused(); }, 2000);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
    TEdit* other = nullptr;
};
}  // namespace

TEST_F(ActionsFixture, EditActionsWorkOnTheFocusedEditAndFollowItsState)
{
    TEditCopy copy(nullptr);
    TEditCut cut(nullptr);
    TEditDelete del(nullptr);
    TEditSelectAll all(nullptr);
    edit->SetSelStart(0);
    edit->SetSelLength(0);
    copy.Update();
    EXPECT_FALSE(copy.GetEnabled()) << "nothing selected";
    all.Update();
    EXPECT_TRUE(all.GetEnabled());
    EXPECT_TRUE(all.Execute());
    EXPECT_EQ(edit->GetSelText(), "hello world");
    copy.Update();
    EXPECT_TRUE(copy.GetEnabled());
    EXPECT_TRUE(copy.Execute());
    EXPECT_EQ(Clipboard()->GetAsText(), "hello world");

    edit->SetSelStart(5);
    edit->SetSelLength(6);
    del.Update();
    ASSERT_TRUE(del.GetEnabled());
    EXPECT_TRUE(del.Execute());
    EXPECT_EQ(edit->GetText(), "hello");
    edit->SelectAll();
    edit->SetReadOnly(true);
    cut.Update();
    del.Update();
    EXPECT_FALSE(cut.GetEnabled()) << "a read-only edit cannot be cut";
    EXPECT_FALSE(del.GetEnabled());
    EXPECT_EQ(other->GetText(), "") << "only the focused edit is touched";
}

TEST_F(ActionsFixture, PasteAndUndoWithAFixedControlAndNoTarget)
{
    Clipboard()->SetAsText(" there");
    TEditPaste paste(nullptr);
    paste.SetControl(other);
    paste.Update();
    ASSERT_TRUE(paste.GetEnabled());
    EXPECT_TRUE(paste.Execute());
    EXPECT_EQ(other->GetText(), " there") << "the named control, though another has the focus";
    EXPECT_EQ(edit->GetText(), "hello world");
    TEditUndo undo(nullptr);
    undo.SetControl(other);
    undo.Update();
    ASSERT_TRUE(undo.GetEnabled());
    undo.Execute();
    EXPECT_EQ(other->GetText(), "");

    delete other;  // the action forgets a control that goes
    other = nullptr;
    EXPECT_EQ(paste.GetControl(), nullptr);
    SetFocus(form->WindowHandle);
    TEditSelectAll all(nullptr);
    all.Update();
    EXPECT_FALSE(all.GetEnabled()) << "no edit has the focus";
    EXPECT_FALSE(all.Execute());
}

TEST_F(ActionsFixture, OnExecuteTakesPrecedenceOverTheStandardBehaviour)
{
    TEditDelete del(nullptr);
    int calls = 0;
    del.OnExecute = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++calls; });
    edit->SelectAll();
    EXPECT_TRUE(del.Execute());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(edit->GetText(), "hello world");
}

TEST_F(ActionsFixture, HintActionReachesAnAutoHintStatusBarThroughTheForm)
{
    auto* bar = new TStatusBar(form.get());
    bar->SetParent(form.get());
    bar->SetSimplePanel(true);
    bar->SetAutoHint(true);
    THintAction action(nullptr);
    action.SetHint("Scans the next page");
    EXPECT_EQ(form->Perform(CM_ACTIONEXECUTE, 0, LPARAM(&action)), 1);
    EXPECT_EQ(bar->GetSimpleText(), "Scans the next page");
    bar->SetAutoHint(false);
    action.SetHint("ignored");
    EXPECT_EQ(form->Perform(CM_ACTIONEXECUTE, 0, LPARAM(&action)), 0);
    EXPECT_EQ(bar->GetSimpleText(), "Scans the next page");
}

TEST(StdActions, StandardActionsAreFoundByNameForFormStreaming)
{
    for (const char* name : {"TEditCut", "TEditCopy", "TEditPaste", "TEditSelectAll", "TEditUndo", "TEditDelete",
                             "TFileExit", "TScrollBox", "TRichEdit"})
        EXPECT_NE(GetClass(name), nullptr) << name;
}
