// The standard actions with wide texts: every twin keeps wide captions and hints, Assign copies what the actions
// of a kind share, the file actions make the wide dialogs, and the delete action's own behaviour.
#include "TypInfo.h"
#include "WydStdActns.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;

namespace {

const TClass StandardActions[] = {
    TWydHintAction::StaticClass(),       TWydEditAction::StaticClass(),       TWydEditCut::StaticClass(),
    TWydEditCopy::StaticClass(),         TWydEditPaste::StaticClass(),        TWydEditSelectAll::StaticClass(),
    TWydEditUndo::StaticClass(),         TWydEditDelete::StaticClass(),       TWydWindowAction::StaticClass(),
    TWydWindowClose::StaticClass(),      TWydWindowCascade::StaticClass(),    TWydWindowTileHorizontal::StaticClass(),
    TWydWindowTileVertical::StaticClass(), TWydWindowMinimizeAll::StaticClass(), TWydWindowArrange::StaticClass(),
    TWydHelpAction::StaticClass(),       TWydHelpContents::StaticClass(),     TWydHelpTopicSearch::StaticClass(),
    TWydHelpOnHelp::StaticClass(),       TWydHelpContextAction::StaticClass(), TWydCommonDialogAction::StaticClass(),
    TWydFileAction::StaticClass(),       TWydFileOpen::StaticClass(),         TWydFileOpenWith::StaticClass(),
    TWydFileSaveAs::StaticClass(),       TWydFilePrintSetup::StaticClass(),   TWydFileExit::StaticClass(),
    TWydSearchAction::StaticClass(),     TWydSearchFind::StaticClass(),       TWydSearchReplace::StaticClass(),
    TWydSearchFindFirst::StaticClass(),  TWydSearchFindNext::StaticClass(),   TWydFontEdit::StaticClass(),
    TWydColorSelect::StaticClass(),      TWydPrintDlg::StaticClass()};

class WydStdActnsTest : public WydToolkitTest {
protected:
    static void SetUpTestSuite()
    {
        WydToolkitTest::SetUpTestSuite();
        InitWydStdActns();
        InitWydDialogs();
    }
    template <class Edit> Edit* EditWith(const WideString& text)
    {
        auto* edit = Place<Edit>(8, 8, 300, 100);
        edit->SetText(text);
        edit->HandleNeeded();
        return edit;
    }
};

std::unique_ptr<TCustomAction> Made(TClass cls)
{
    return std::unique_ptr<TCustomAction>(dynamic_cast<TCustomAction*>(cls->Create(nullptr)));
}

}  // namespace

TEST_F(WydStdActnsTest, EveryTwinKeepsWideTextsAndSpeaksTheWideActionInterface)
{
    ASSERT_EQ(std::size(StandardActions), 35u);
    for (TClass cls : StandardActions) {
        SCOPED_TRACE(cls->ClassName());
        std::unique_ptr<TCustomAction> action = Made(cls);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(IsWydAction(action.get()));
        EXPECT_EQ("TWyd" + cls->ClassParent()->ClassName().substr(1), cls->ClassName())
            << "the twin of the class library's action of the same name";
        SetWideStrProp(action.get(), "Caption", Greek);
        SetWideStrProp(action.get(), "Hint", Emoji);
        EXPECT_TRUE(WydAction_GetCaption(action.get()) == Greek);
        EXPECT_TRUE(GetWideStrProp(action.get(), "Hint") == Emoji);
        EXPECT_EQ(action->TCustomAction::GetCaption(), WideToAnsi(Greek));
    }
}

TEST_F(WydStdActnsTest, AssigningAnOpenWithActionCarriesCaptionHintAndFileName)
{
    TWydFileOpenWith source(nullptr), copy(nullptr);
    source.SetCaption(Cyrillic);
    source.SetHint(Cjk + L"|" + Greek);
    source.SetFileName("C:\\pages\\scan.tif");
    int accepted = 0;
    source.OnAccept = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++accepted; });
    copy.Assign(&source);
    EXPECT_TRUE(copy.GetCaption() == Cyrillic);
    EXPECT_TRUE(copy.GetHint() == Cjk + L"|" + Greek);
    EXPECT_EQ(copy.GetFileName(), "C:\\pages\\scan.tif");
    copy.OnAccept(&copy);
    EXPECT_EQ(accepted, 1) << "the dialog events come along";
}

TEST_F(WydStdActnsTest, AssigningAFindNextActionCarriesItsFindAction)
{
    TWydSearchFind find(nullptr);
    TWydSearchFindNext source(nullptr), copy(nullptr);
    source.SetSearchFind(&find);
    source.SetCaption(Greek);
    copy.Assign(&source);
    EXPECT_EQ(copy.GetSearchFind(), &find);
    EXPECT_TRUE(copy.GetCaption() == Greek);
    copy.SetSearchFind(nullptr);
    source.SetSearchFind(nullptr);
}

TEST_F(WydStdActnsTest, AssigningFromAPlainActionTakesItsTextsWidened)
{
    TAction plain(nullptr);
    plain.SetCaption("&Open");
    TWydEditCopy wide(nullptr);
    wide.Assign(&plain);
    EXPECT_TRUE(wide.GetCaption() == L"&Open");
}

TEST_F(WydStdActnsTest, TheFileActionsMakeTheWideDialogs)
{
    TWydFileOpen open(nullptr);
    TWydFileOpenWith openWith(nullptr);
    TWydFileSaveAs saveAs(nullptr);
    EXPECT_EQ(open.GetDialog()->ClassType(), TWydOpenDialog::StaticClass());
    EXPECT_EQ(openWith.GetDialog()->ClassType(), TWydOpenDialog::StaticClass());
    EXPECT_EQ(saveAs.GetDialog()->ClassType(), TWydSaveDialog::StaticClass());
    saveAs.GetDialog()->SetTitle(Cjk);
    EXPECT_TRUE(GetWideStrProp(saveAs.GetDialog(), "Title") == Cjk);
}

TEST_F(WydStdActnsTest, DeleteIsEnabledWithoutASelectionAndRemovesOneCharacter)
{
    auto* edit = EditWith<TWydEdit>(Greek);
    TWydEditDelete action(nullptr);
    action.SetEnabled(false);
    edit->SetSelStart(2);
    edit->SetSelLength(0);
    action.UpdateTarget(edit);
    EXPECT_TRUE(action.GetEnabled());
    action.ExecuteTarget(edit);
    EXPECT_TRUE(edit->GetText() == Greek.substr(0, 2) + Greek.substr(3));
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    action.ExecuteTarget(edit);
    EXPECT_TRUE(edit->GetText() == Greek.substr(0, 1) + Greek.substr(5)) << "a selection goes whole";
    const WideString left = edit->GetText();
    edit->SetSelStart(int(left.size()));
    action.ExecuteTarget(edit);
    EXPECT_TRUE(edit->GetText() == left) << "at the end there is nothing to delete";
}

TEST_F(WydStdActnsTest, DeleteTakesALineBreakAndASurrogatePairWhole)
{
    auto* memo = EditWith<TWydMemo>(L"ab\r\n" + Emoji + L"c");
    TWydEditDelete action(nullptr);
    memo->SetSelStart(2);
    action.ExecuteTarget(memo);
    EXPECT_TRUE(memo->GetText() == L"ab" + Emoji + L"c") << Utf8(memo->GetText());
    memo->SetSelStart(2 + int(Emoji.size()) - 2);
    action.ExecuteTarget(memo);
    EXPECT_TRUE(memo->GetText() == L"ab" + Emoji.substr(0, Emoji.size() - 2) + L"c") << Utf8(memo->GetText());

    auto* rich = EditWith<TWydRichEdit>(L"ab\r\ncd");
    rich->SetSelStart(2);
    action.ExecuteTarget(rich);
    EXPECT_TRUE(rich->GetText() == L"abcd") << Utf8(rich->GetText());
}
