// The extra controls with wide hints and captions, and the radio group with wide items: made, set and read back
// on real windows.
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;

namespace {

using WydExtCtrlsTest = WydToolkitTest;

// A group that refuses changes.
class TLockedRadioGroup : public TWydRadioGroup {
public:
    using TWydRadioGroup::TWydRadioGroup;
    bool CanModify() override { return false; }
};

void Click(TWydGroupButton* button)
{
    button->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), LPARAM(button->GetHandle()));
}

template <class C> void ExpectWideHintShown(C* control, const char* name)
{
    SCOPED_TRACE(name);
    control->SetHint(Cyrillic + L"|" + Cjk);
    EXPECT_TRUE(control->GetHint() == Cyrillic + L"|" + Cjk);
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = THintWindow::StaticClass();
    control->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintWindowClass, TWydCustomHintWindow::StaticClass()) << "the wide hint window shows it";
    EXPECT_EQ(info.HintData, &info);
}

}  // namespace

TEST_F(WydExtCtrlsTest, EveryControlShowsItsWideHintInTheWideHintWindow)
{
    ExpectWideHintShown(Place<TWydShape>(0, 0, 20, 20), "shape");
    ExpectWideHintShown(Place<TWydPaintBox>(0, 0, 20, 20), "paint box");
    ExpectWideHintShown(Place<TWydImage>(0, 0, 20, 20), "image");
    ExpectWideHintShown(Place<TWydBevel>(0, 0, 20, 20), "bevel");
    ExpectWideHintShown(Place<TWydSplitter>(0, 0, 3, 20), "splitter");
    ExpectWideHintShown(Place<TWydPanel>(0, 0, 80, 20), "panel");
    ExpectWideHintShown(Place<TWydControlBar>(0, 0, 80, 30), "control bar");
}

TEST_F(WydExtCtrlsTest, AWideActionCaptionAndHintReachTheControls)
{
    TWydAction action(form.get());
    action.SetCaption(Greek);
    action.SetHint(Emoji);
    auto* panel = Place<TWydPanel>(0, 0, 100, 30);
    auto* shape = Place<TWydShape>(0, 40, 30, 30);
    panel->SetAction(&action);
    shape->SetAction(&action);
    EXPECT_TRUE(panel->GetCaption() == Greek);
    EXPECT_TRUE(panel->GetHint() == Emoji);
    EXPECT_TRUE(shape->GetHint() == Emoji);
    action.SetHint(Cjk);
    EXPECT_TRUE(shape->GetHint() == Cjk) << "the link follows the action";
    panel->SetAction(nullptr);
    shape->SetAction(nullptr);
}

TEST_F(WydExtCtrlsTest, PanelAndControlBarAreUnicodeWindowsWithWideCaptions)
{
    auto* panel = Place<TWydPanel>(10, 10, 200, 40);
    panel->SetCaption(Cjk);
    auto* bar = Place<TWydControlBar>(10, 60, 200, 60);
    form->Show();
    EXPECT_TRUE(IsWindowUnicode(panel->WindowHandle));
    EXPECT_TRUE(IsWindowUnicode(bar->WindowHandle));
    EXPECT_TRUE(testsupport::WindowText(panel->WindowHandle) == Cjk);
    panel->SetCaption(Emoji);
    EXPECT_TRUE(panel->GetCaption() == Emoji);

    // The panel paints its wide caption: its Cyrillic letters, not the question marks of the ANSI text.
    auto painted = [&](const WideString& caption) {
        panel->SetCaption(caption);
        panel->Repaint();
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(panel->WindowHandle);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(panel->WindowHandle, dc);
        return pixels;
    };
    EXPECT_NE(painted(Cyrillic), painted(AnsiToWide(WideToAnsi(Cyrillic))));
}

TEST_F(WydExtCtrlsTest, TheImageLoadsAndSavesByWideNames)
{
    auto* image = Place<TWydImage>(0, 0, 32, 32);
    ASSERT_NE(dynamic_cast<TWydPicture*>(image->GetPicture()), nullptr);
    image->GetPicture()->GetBitmap()->SetWidth(16);
    image->GetPicture()->GetBitmap()->SetHeight(8);
    testsupport::TempDir folder;
    const WideString name = folder.Path() + L"\\" + Cjk + L".bmp";
    image->GetPicture()->SaveToFile(name);
    auto* other = Place<TWydImage>(40, 0, 32, 32);
    int changes = 0;
    other->GetPicture()->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    other->GetPicture()->LoadFromFile(name);
    EXPECT_EQ(other->GetPicture()->GetWidth(), 16);
    EXPECT_EQ(other->GetPicture()->GetHeight(), 8);
    EXPECT_GT(changes, 0);
}

TEST_F(WydExtCtrlsTest, RadioGroupButtonsCarryTheWideItems)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    group->SetCaption(Greek);
    for (const WideString& text : Scripts)
        group->GetItems()->Add(text);
    form->Show();
    ASSERT_EQ(group->GetButtonCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(IsWindowUnicode(group->GetButton(i)->WindowHandle));
        EXPECT_TRUE(testsupport::WindowText(group->GetButton(i)->WindowHandle) == Scripts[i]) << i;
        EXPECT_TRUE(IsWindowVisible(group->GetButton(i)->WindowHandle));
    }
    EXPECT_EQ(group->GetItemIndex(), -1);
}

TEST_F(WydExtCtrlsTest, FourItemsInTwoColumnsSitAt8And108)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    group->SetColumns(2);
    for (int i = 0; i < 4; ++i)
        group->GetItems()->Add(Scripts[i]);
    form->Show();
    EXPECT_EQ(group->GetButton(0)->GetLeft(), 8);
    EXPECT_EQ(group->GetButton(0)->GetWidth(), 100);
    EXPECT_EQ(group->GetButton(1)->GetLeft(), 8);
    EXPECT_EQ(group->GetButton(2)->GetLeft(), 108);
    EXPECT_EQ(group->GetButton(3)->GetLeft(), 108);
    EXPECT_GT(group->GetButton(1)->GetTop(), group->GetButton(0)->GetTop());
    group->SetWidth(310);
    EXPECT_EQ(group->GetButton(2)->GetLeft(), 158) << "a new size arranges the buttons again";
}

TEST_F(WydExtCtrlsTest, ColumnsAndItemIndexStayInRange)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    group->SetColumns(0);
    EXPECT_EQ(group->GetColumns(), 1);
    group->SetColumns(20);
    EXPECT_EQ(group->GetColumns(), 16);
    group->GetItems()->Add(L"a");
    group->GetItems()->Add(L"b");
    group->GetItems()->Add(L"c");
    group->SetItemIndex(7);
    EXPECT_EQ(group->GetItemIndex(), 2);
    EXPECT_TRUE(group->GetButton(2)->GetChecked());
    group->SetItemIndex(-5);
    EXPECT_EQ(group->GetItemIndex(), -1);
    EXPECT_FALSE(group->GetButton(2)->GetChecked());
}

TEST_F(WydExtCtrlsTest, RemovingItemsPastTheIndexSelectsTheNewLastAndEmptyLeavesNoButtons)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    for (int i = 0; i < 4; ++i)
        group->GetItems()->Add(Scripts[i]);
    group->SetItemIndex(3);
    group->GetItems()->Delete(3);
    EXPECT_EQ(group->GetItemIndex(), 2);
    EXPECT_TRUE(group->GetButton(2)->GetChecked());
    group->GetItems()->Clear();
    EXPECT_EQ(group->GetButtonCount(), 0);
    EXPECT_EQ(group->GetItemIndex(), -1);
}

TEST_F(WydExtCtrlsTest, AClickSetsTheIndexAndTellsTheGroupOnce)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    for (int i = 0; i < 3; ++i)
        group->GetItems()->Add(Scripts[i]);
    int clicks = 0;
    group->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    Click(group->GetButton(1));
    EXPECT_EQ(group->GetItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(group->GetButton(1)->GetChecked());
    EXPECT_FALSE(group->GetButton(0)->GetChecked());
}

TEST_F(WydExtCtrlsTest, AGroupThatCannotBeModifiedIgnoresClicks)
{
    auto* group = Place<TLockedRadioGroup>(10, 10, 210, 120);
    group->GetItems()->Add(L"a");
    group->GetItems()->Add(L"b");
    Click(group->GetButton(1));
    EXPECT_EQ(group->GetItemIndex(), -1);
    EXPECT_FALSE(group->GetButton(1)->GetChecked());
}

TEST_F(WydExtCtrlsTest, AClickHandlerThatFailsLeavesTheGroupTakingClicks)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    group->GetItems()->Add(L"a");
    group->GetItems()->Add(L"b");
    int failures = 0;
    Application->OnException = MakeEvent<TObject*, Exception*>(nullptr, [&](TObject*, Exception*) { ++failures; });
    bool fail = true;
    group->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) {
        if (fail)
            throw Exception("refused");
    });
    Click(group->GetButton(0));
    Application->OnException = nullptr;
    EXPECT_EQ(failures, 1) << "the failure went to the application";
    fail = false;
    Click(group->GetButton(1));
    EXPECT_EQ(group->GetItemIndex(), 1) << "the next click is taken";
}

TEST_F(WydExtCtrlsTest, EnablingTheGroupEnablesItsButtons)
{
    auto* group = Place<TWydRadioGroup>(10, 10, 210, 120);
    group->GetItems()->Add(L"a");
    group->SetEnabled(false);
    group->GetItems()->Add(L"b");
    EXPECT_FALSE(group->GetButton(0)->GetEnabled());
    EXPECT_FALSE(group->GetButton(1)->GetEnabled()) << "a new button takes the group's state";
    group->SetEnabled(true);
    EXPECT_TRUE(group->GetButton(1)->GetEnabled());
}

TEST_F(WydExtCtrlsTest, AStreamedIndexBeyondTheItemsSelectsTheLastOne)
{
    const char* text =
        "object Form: TForm\n"
        "  object Group: TWydRadioGroup\n"
        "    Left = 8\n    Top = 8\n    Width = 210\n    Height = 120\n"
        "    ItemIndex = 5\n"
        "    Items.Strings = (\n      'one'\n      'two'\n      'three')\n"
        "  end\n"
        "end\n";
    TMemoryStream source, binary;
    source.WriteBuffer(text, int(std::strlen(text)));
    source.SetPosition(0);
    ObjectTextToBinary(&source, &binary);
    binary.SetPosition(0);
    std::unique_ptr<TForm> read(new TForm(nullptr, 0));
    TReader reader(&binary);
    reader.ReadRootComponent(read.get());
    auto* group = dynamic_cast<TWydRadioGroup*>(read->FindComponent("Group"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetButtonCount(), 3);
    EXPECT_EQ(group->GetItemIndex(), 2);
    EXPECT_TRUE(group->GetButton(2)->GetChecked());
}
