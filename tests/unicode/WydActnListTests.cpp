// Tests of wide actions and their links: wide captions and hints reaching linked controls and menu items
// whole, the link classes of every control kind, Assign, plain actions, the designer's upgrade hook, the wide
// hint with the action's shortcut, and actions in form streams.
#include <gtest/gtest.h>

#include <memory>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"
#include "WydActnList.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydMenus.h"
#include "WydTestSupport.h"

using namespace vcl;
using namespace wydtest;
using vcltest::PumpUntil;

namespace {


// A windowless and a windowed control made Unicode the way the layer's controls are, with their action
// links through the layer.
class TWideProbeLabel : public TLabel {
    VCL_CLASS(TWideProbeLabel, TLabel)
    explicit TWideProbeLabel(TComponent* owner) : TLabel(owner) {}
    void CallActionChange(TObject* sender, bool checkDefaults) { ActionChange(sender, checkDefaults); }

protected:
    TClass GetActionLinkClass() const override
    {
        return WydControl_GetActionLinkClass(this, TLabel::GetActionLinkClass());
    }
    void ActionChange(TObject* sender, bool checkDefaults) override
    {
        WydControl_BeforeInherited_ActionChange(this, sender, checkDefaults);
        TLabel::ActionChange(sender, checkDefaults);
    }
};
VCL_IMPLEMENT_CLASS(TWideProbeLabel, TLabel)

class TWideProbeEdit : public TEdit {
    VCL_CLASS(TWideProbeEdit, TEdit)
    explicit TWideProbeEdit(TComponent* owner) : TEdit(owner) {}

protected:
    void CreateWindowHandle(const TCreateParams& params) override { CreateUnicodeHandle(this, params, L"EDIT"); }
    TClass GetActionLinkClass() const override
    {
        return WydControl_GetActionLinkClass(this, TEdit::GetActionLinkClass());
    }
    void ActionChange(TObject* sender, bool checkDefaults) override
    {
        WydControl_BeforeInherited_ActionChange(this, sender, checkDefaults);
        TEdit::ActionChange(sender, checkDefaults);
    }
};
VCL_IMPLEMENT_CLASS(TWideProbeEdit, TEdit)

class WydActions : public WydLayerSuite {
protected:
    static void SetUpTestSuite()
    {
        WydLayerSuite::SetUpTestSuite();
        RegisterClasses({TWideProbeLabel::StaticClass(), TWideProbeEdit::StaticClass()});
    }
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 400, 200);
        label = new TWideProbeLabel(form.get());
        label->SetParent(form.get());
        edit = new TWideProbeEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 40, 200, 24);
        item = new TWydMenuItem(form.get());
        action = new TWydAction(form.get());
    }
    void TearDown() override { form.reset(); }
    void LinkAll()
    {
        label->SetAction(action);
        edit->SetAction(action);
        item->SetAction(action);
    }
    std::unique_ptr<TForm> form;
    TWideProbeLabel* label = nullptr;
    TWideProbeEdit* edit = nullptr;
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
    label->SetCaption("lblStatus");
    label->CallActionChange(action, true);
    EXPECT_TRUE(WydControl_GetText(label) == Greek);
    EXPECT_TRUE(WydControl_GetHint(label) == Cyrillic);
    WydControl_SetText(label, Cjk);
    WydControl_SetHint(label, Cjk);
    action->SetCaption(Emoji);
    label->CallActionChange(action, true);
    EXPECT_TRUE(WydControl_GetText(label) == Cjk) << "a text of its own is kept";
    EXPECT_TRUE(WydControl_GetHint(label) == Cjk);
    label->CallActionChange(action, false);
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
