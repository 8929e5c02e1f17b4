// Tests of wide actions and their links: wide captions and hints reaching linked controls and menu items
// whole, the link classes of every control kind, Assign, plain actions, the designer's upgrade hook, the wide
// hint with the action's shortcut, and actions in form streams.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"
#include "WydActnList.h"
#include "WydButtons.h"
#include "WydComCtrls.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydMenus.h"
#include "WydStdCtrls.h"
#include "WydTestSupport.h"

using namespace vcl;
using namespace wydtest;
using vcltest::PumpUntil;

namespace {

class WydActions : public WydFormTest {
protected:
    static void SetUpTestSuite()
    {
        WydLayerSuite::SetUpTestSuite();
        InitWydStdCtrls();
    }
    void SetUp() override
    {
        WydFormTest::SetUp();
        label = new TWydLabel(form.get());
        label->SetParent(form.get());
        edit = new TWydEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 40, 200, 24);
        item = new TWydMenuItem(form.get());
        action = new TWydAction(form.get());
    }
    // One control of every kind of the layer on the form: a tool button on a tool bar, a tab sheet in a page
    // control, every other one on the form itself.
    std::vector<TControl*> EveryWideControl()
    {
        TForm* o = form.get();
        auto* bar = new TWydToolBar(o);
        auto* pages = new TWydPageControl(o);
        std::vector<TControl*> controls{
            new TWydEdit(o),      new TWydMemo(o),        new TWydLabel(o),        new TWydStaticText(o),
            new TWydButton(o),    new TWydCheckBox(o),    new TWydRadioButton(o),  new TWydScrollBar(o),
            new TWydGroupBox(o),  new TWydComboBox(o),    new TWydListBox(o),      new TWydBitBtn(o),
            new TWydSpeedButton(o), new TWydListView(o),  new TWydTreeView(o),     new TWydTabControl(o),
            pages,                new TWydStatusBar(o),   bar,                     new TWydProgressBar(o)};
        for (TControl* control : controls)
            control->SetParent(o);
        auto* button = new TWydToolButton(o);
        button->SetParent(bar);
        auto* sheet = new TWydTabSheet(o);
        sheet->SetPageControl(pages);
        controls.push_back(button);
        controls.push_back(sheet);
        return controls;
    }
    void LinkAll()
    {
        label->SetAction(action);
        edit->SetAction(action);
        item->SetAction(action);
    }
    TWydLabel* label = nullptr;
    TWydEdit* edit = nullptr;
    TWydMenuItem* item = nullptr;
    TWydAction* action = nullptr;
};

}  // namespace

TEST_F(WydActions, WideCaptionsAndHintsReachEveryLinkedClientWhole)
{
    form->Show();
    LinkAll();
    for (const WideString& text : {Cyrillic, Greek, Cjk, Emoji}) {
        action->SetCaption(text);
        action->SetHint(text + L"|long " + text);
        EXPECT_TRUE(WydControl_GetText(label) == text) << WideToAnsi(text);
        EXPECT_TRUE(WydControl_GetText(edit) == text) << WideToAnsi(text);
        EXPECT_TRUE(item->GetCaption() == text) << WideToAnsi(text);
        EXPECT_TRUE(WydControl_GetHint(label) == text + L"|long " + text);
        EXPECT_TRUE(item->GetHint() == text + L"|long " + text);
        EXPECT_TRUE(action->GetCaption() == text);
    }
    // Two captions with the same ANSI form (every letter a replacement character) still reach the clients.
    action->SetCaption(L"\x03A9\x03A9");
    action->SetCaption(L"\x0416\x0416");
    EXPECT_TRUE(WydControl_GetText(label) == L"\x0416\x0416");
    EXPECT_TRUE(WydControl_GetText(edit) == L"\x0416\x0416");
    EXPECT_TRUE(item->GetCaption() == L"\x0416\x0416");
}

TEST_F(WydActions, ClientsThatChangedTheirTextAreNoLongerLinked)
{
    LinkAll();
    action->SetCaption(Greek);
    action->SetHint(Greek);
    ASSERT_TRUE(label->ActionLink->IsCaptionLinked());
    ASSERT_TRUE(item->ActionLink->IsCaptionLinked());
    WydControl_SetText(label, Cyrillic);
    item->SetCaption(L"&" + Greek);
    EXPECT_FALSE(label->ActionLink->IsCaptionLinked());
    EXPECT_TRUE(item->ActionLink->IsCaptionLinked()) << "menu captions compare without marks";
    WydControl_SetHint(label, Cjk);
    EXPECT_FALSE(label->ActionLink->IsHintLinked());
    action->SetCaption(Cjk);
    EXPECT_TRUE(WydControl_GetText(label) == Cyrillic);
    EXPECT_TRUE(item->GetCaption() == Cjk);
    EXPECT_FALSE(item->IsCaptionStored()) << "a linked caption comes from the action in a form stream";
    EXPECT_TRUE(WydControl_IsCaptionStored(label));
}

TEST_F(WydActions, ControlNamedAfterItselfTakesTheCaptionEvenWhenKeepingDefaults)
{
    action->SetCaption(Greek);
    action->SetHint(Cyrillic);
    label->SetName("lblStatus");
    label->SetCaption(L"lblStatus");
    label->ActionChange(action, true);
    EXPECT_TRUE(WydControl_GetText(label) == Greek);
    EXPECT_TRUE(WydControl_GetHint(label) == Cyrillic);
    WydControl_SetText(label, Cjk);
    WydControl_SetHint(label, Cjk);
    action->SetCaption(Emoji);
    label->ActionChange(action, true);
    EXPECT_TRUE(WydControl_GetText(label) == Cjk) << "a text of its own is kept";
    EXPECT_TRUE(WydControl_GetHint(label) == Cjk);
    label->ActionChange(action, false);
    EXPECT_TRUE(WydControl_GetText(label) == Emoji);
}

TEST_F(WydActions, PlainActionGivesItsAnsiCaptionWidened)
{
    TAction plain(nullptr);
    plain.SetCaption("Scan");
    EXPECT_FALSE(IsWydAction(&plain));
    EXPECT_TRUE(IsWydAction(action));
    EXPECT_TRUE(WydAction_GetCaption(&plain) == L"Scan");
    WydAction_SetCaption(&plain, Greek);
    EXPECT_EQ(plain.GetCaption(), WideToAnsi(Greek));
    EXPECT_TRUE(WydAction_GetCaption(&plain) == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_TRUE(WydAction_GetNewCaption(&plain, L"default") == L"default");
    label->SetAction(&plain);
    EXPECT_TRUE(WydControl_GetText(label) == AnsiToWide(WideToAnsi(Greek)));
    label->SetAction(nullptr);
}

TEST_F(WydActions, AssignCarriesTheWideCaptionAndHint)
{
    action->SetCaption(Greek);
    action->SetHint(Cyrillic);
    action->SetShortCut(scCtrl | 'G');
    TWydAction copy(nullptr);
    copy.Assign(action);
    EXPECT_TRUE(copy.GetCaption() == Greek) << "not its ANSI form";
    EXPECT_TRUE(copy.GetHint() == Cyrillic);
    EXPECT_EQ(copy.GetShortCut(), scCtrl | 'G');

    WydControl_SetText(label, Cjk);
    WydControl_SetHint(label, Emoji);
    copy.Assign(label);
    EXPECT_TRUE(copy.GetCaption() == Cjk) << "from a control: its wide text";
    EXPECT_TRUE(copy.GetHint() == Emoji);
}

TEST_F(WydActions, EveryControlKindGetsTheWideLinkOfItsLibraryLink)
{
    struct Case {
        TControl* control;
        TClass wide;
    };
    TForm* o = form.get();
    const Case cases[] = {
        {new TLabel(o), TWydControlActionLink::StaticClass()},
        {new TPanel(o), TWydWinControlActionLink::StaticClass()},
        {new TButton(o), TWydButtonActionLink::StaticClass()},
        {new TRadioButton(o), TWydButtonActionLink::StaticClass()},
        {new TListView(o), TWydListViewActionLink::StaticClass()},
        {new TComboBoxEx(o), TWydComboBoxExActionLink::StaticClass()},
        {new TSpeedButton(o), TWydSpeedButtonActionLink::StaticClass()},
        {new TToolButton(o), TWydToolButtonActionLink::StaticClass()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WydControl_GetActionLinkClass(c.control, c.wide->ClassParent()), c.wide) << c.control->ClassName();
    EXPECT_THROW(WydControl_GetActionLinkClass(label, TWinControlActionLink::StaticClass()), EWydInternalError)
        << "a control whose library link is not the parent of the wide one";
    label->SetAction(action);
    EXPECT_EQ(label->ActionLink->ClassType(), TWydControlActionLink::StaticClass());
    edit->SetAction(action);
    EXPECT_EQ(edit->ActionLink->ClassType(), TWydWinControlActionLink::StaticClass());
    item->SetAction(action);
    EXPECT_EQ(item->ActionLink->ClassType(), TWydMenuActionLink::StaticClass());

    auto* wideForm = new TWydForm(o, 0);
    wideForm->SetAction(action);
    EXPECT_TRUE(wideForm->GetCaption() == action->GetCaption()) << "a Unicode form takes the wide caption";
}

TEST_F(WydActions, EveryWideControlKindShowsTheWideCaptionAndHintOfItsAction)
{
    std::vector<TControl*> controls = EveryWideControl();
    action->SetCaption(Greek);
    action->SetHint(Cyrillic + L"|" + Cjk);
    for (TControl* control : controls) {
        control->SetAction(action);
        EXPECT_EQ(AnsiString(control->ActionLink->ClassName()).substr(0, 4), "TWyd") << control->ClassName();
    }
    form->Show();
    for (const WideString& text : {Cjk, Emoji}) {
        action->SetCaption(text);
        action->SetHint(text + L"|" + Greek);
        for (TControl* control : controls) {
            EXPECT_TRUE(WydControl_GetText(control) == text) << control->ClassName() << ": " << WideToAnsi(text);
            EXPECT_TRUE(WydControl_GetHint(control) == text + L"|" + Greek) << control->ClassName();
        }
    }
}

TEST_F(WydActions, ActionCopiedFromAnyWideControlKeepsItsWideTexts)
{
    std::vector<TControl*> controls = EveryWideControl();
    form->Show();
    for (TControl* control : controls) {
        WydControl_SetText(control, Cyrillic + L" " + Emoji);
        WydControl_SetHint(control, Cjk + L"|" + Greek);
        TWydAction copy(nullptr);
        copy.Assign(control);
        EXPECT_TRUE(copy.GetCaption() == Cyrillic + L" " + Emoji) << control->ClassName();
        EXPECT_TRUE(copy.GetHint() == Cjk + L"|" + Greek) << control->ClassName();
        TWydAction second(nullptr);
        second.Assign(&copy);
        EXPECT_TRUE(second.GetCaption() == copy.GetCaption()) << control->ClassName();
    }
}

TEST(WydActionLists, PlainActionsAddedInTheDesignerAreOfferedToTheUpgradeHook)
{
    static TWydActionList* offered = nullptr;
    UpgradeActionListItemsProc = [](TWydActionList* list) { offered = list; };
    TComponent designer(nullptr);
    designer.SetDesigning(true);
    auto* list = new TWydActionList(&designer);
    ASSERT_NE(list->GetCheckActionsTimer(), nullptr);
    EXPECT_NE(dynamic_cast<TActionListList*>(list->GetList()), nullptr);

    auto* wide = new TWydAction(&designer);
    wide->SetActionList(list);
    EXPECT_FALSE(list->GetCheckActionsTimer()->GetEnabled()) << "a wide action needs no upgrade";
    auto* plain = new TAction(&designer);
    plain->SetActionList(list);
    EXPECT_TRUE(list->GetCheckActionsTimer()->GetEnabled());
    EXPECT_TRUE(PumpUntil([] { return offered != nullptr; }));
    EXPECT_EQ(offered, list);
    EXPECT_FALSE(list->GetCheckActionsTimer()->GetEnabled());
    UpgradeActionListItemsProc = nullptr;

    TWydActionList running(nullptr);
    EXPECT_EQ(running.GetCheckActionsTimer(), nullptr) << "at run time the list is the library's";
}

TEST_F(WydActions, WideHintShowsTheShortcutOfTheAction)
{
    action->SetHint(Greek + L"|" + Cyrillic);
    action->SetShortCut(scCtrl | 'S');
    edit->SetAction(action);
    edit->SetShowHint(true);
    form->Show();
    ASSERT_TRUE(vcltest::HoverUntilHintShows(edit, {50, 10})) << "no hint window appeared";
    THintWindow* window = Application->GetHintWindow();
    EXPECT_TRUE(window->InheritsFrom(TWydCustomHintWindow::StaticClass()));
    EXPECT_TRUE(WydControl_GetText(window) == Greek + L" (Ctrl+S)");
    Application->CancelHint();
}

TEST_F(WydActions, ActionsWrittenToAFormStreamAndReadBack)
{
    auto* list = new TWydActionList(form.get());
    list->SetName("alMain");
    action->SetName("actScan");
    action->SetActionList(list);
    action->SetCaption(Cjk);
    action->SetHint(Greek + L"|" + Emoji);
    std::unique_ptr<TForm> back = vcltest::StreamedCopy(form.get());
    auto* read = dynamic_cast<TWydAction*>(back->FindComponent("actScan"));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->GetCaption() == Cjk);
    EXPECT_TRUE(read->GetHint() == Greek + L"|" + Emoji);
    EXPECT_EQ(read->GetActionList(), back->FindComponent("alMain"));
}
