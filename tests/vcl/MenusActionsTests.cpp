// Window tests of menus and action links: links of every control kind and of menu items following their
// action, merged menus, image lists on menus, owner-drawn glyphs, shortcuts typed through the message loop,
// and hints carrying the shortcut of the control's action.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ActnList.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

// Presses the keys in order and lets them go in reverse order, as a person types a chord.
void TypeChord(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
}

// The texts of a native menu's entries, by position.
std::vector<AnsiString> EntryTexts(HMENU menu)
{
    std::vector<AnsiString> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

TMenuItem* Item(const AnsiString& caption, int groupIndex = 0)
{
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    item->SetGroupIndex(groupIndex);
    return item;
}

struct MenuFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(80, 80, 360, 240);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST(ActionLinks, ControlAndMenuItemFollowTheActionWhileTheyShowWhatItSaid)
{
    TAction action(nullptr);
    action.SetCaption("Open");
    action.SetHint("Open|Opens a file");
    TLabel label(nullptr);
    TMenuItem item(nullptr);
    label.SetAction(&action);
    item.SetAction(&action);
    EXPECT_EQ(label.GetCaption(), "Open");
    EXPECT_EQ(item.GetCaption(), "Open");
    EXPECT_EQ(item.GetHint(), "Open|Opens a file");

    action.SetCaption("Load");
    action.SetEnabled(false);
    action.SetShortCut(ShortCut('L', {ssCtrl}));
    action.SetChecked(true);
    EXPECT_EQ(label.GetCaption(), "Load");
    EXPECT_FALSE(label.GetEnabled());
    EXPECT_EQ(item.GetCaption(), "Load");
    EXPECT_FALSE(item.GetEnabled());
    EXPECT_EQ(item.GetShortCut(), ShortCut('L', {ssCtrl}));
    EXPECT_TRUE(item.GetChecked());

    label.SetCaption("Mine");
    EXPECT_FALSE(label.ActionLink->IsCaptionLinked()) << "a client showing its own text is no longer linked";
    action.SetCaption("Fetch");
    EXPECT_EQ(label.GetCaption(), "Mine");
    EXPECT_EQ(item.GetCaption(), "Fetch");
}

TEST(ActionLinks, MenuItemWithAnAddedAcceleratorMarkStaysLinked)
{
    TAction action(nullptr);
    action.SetCaption("Open");
    TMenuItem item(nullptr);
    item.SetAction(&action);
    item.SetCaption("&Open");
    EXPECT_TRUE(item.ActionLink->IsCaptionLinked());
    action.SetCaption("Load");
    EXPECT_EQ(item.GetCaption(), "Load");
    item.SetCaption("Mine");
    EXPECT_FALSE(item.ActionLink->IsCaptionLinked());
    EXPECT_EQ(StripHotkey("Save && E&xit"), "Save & Exit");
    EXPECT_TRUE(AnsiSameCaption("&open", "OPEN"));
}

TEST(ActionLinks, FreeingTheActionDropsEveryLink)
{
    auto* action = new TAction(nullptr);
    TLabel label(nullptr);
    TMenuItem item(nullptr);
    label.SetAction(action);
    item.SetAction(action);
    ASSERT_NE(label.ActionLink, nullptr);
    delete action;
    EXPECT_EQ(label.GetAction(), nullptr);
    EXPECT_EQ(label.ActionLink, nullptr);
    EXPECT_EQ(item.GetAction(), nullptr);
    EXPECT_EQ(item.ActionLink, nullptr);
}

TEST(ActionLinks, EveryControlKindGetsTheLinkOfItsClass)
{
    TAction action(nullptr);
    struct Case {
        TControl* control;
        TClass link;
    };
    std::unique_ptr<TForm> owner(new TForm(nullptr, 0));
    TForm* o = owner.get();
    const Case cases[] = {
        {new TLabel(o), TControlActionLink::StaticClass()},
        {new TPanel(o), TWinControlActionLink::StaticClass()},
        {new TEdit(o), TWinControlActionLink::StaticClass()},
        {new TButton(o), TButtonActionLink::StaticClass()},
        {new TCheckBox(o), TButtonActionLink::StaticClass()},
        {new TListView(o), TListViewActionLink::StaticClass()},
        {new TComboBoxEx(o), TComboBoxExActionLink::StaticClass()},
        {new TSpeedButton(o), TSpeedButtonActionLink::StaticClass()},
        {new TToolButton(o), TToolButtonActionLink::StaticClass()},
        {o, TWinControlActionLink::StaticClass()},
    };
    for (const Case& c : cases) {
        c.control->SetAction(&action);
        ASSERT_NE(c.control->ActionLink, nullptr) << c.control->ClassName();
        EXPECT_EQ(c.control->ActionLink->ClassType(), c.link) << c.control->ClassName();
        c.control->SetAction(nullptr);
    }
}

TEST(ActionLinks, ActionTakesTheTextsOfAControlAssignedToIt)
{
    TButton button(nullptr);
    button.SetCaption("Scan");
    button.Hint = "Scan|Scans a page";
    button.SetEnabled(false);
    TAction action(nullptr);
    action.Assign(&button);
    EXPECT_EQ(action.GetCaption(), "Scan");
    EXPECT_EQ(action.GetHint(), "Scan|Scans a page");
    EXPECT_FALSE(action.GetEnabled());
}

TEST_F(MenuFixture, MergedMenuShowsItsItemsInPlaceOfTheGroupsItHas)
{
    auto* bar = new TMainMenu(form.get());
    bar->GetItems()->Add(Item("File", 0));
    bar->GetItems()->Add(Item("Edit", 1));
    bar->GetItems()->Add(Item("Help", 9));
    form->SetMenu(bar);
    auto* child = new TMainMenu(form.get());
    child->GetItems()->Add(Item("Change", 1));
    TMenuItem* window = Item("Window", 5);
    child->GetItems()->Add(window);
    bool clicked = false;
    window->OnClick = TNotifyEvent(std::function<void(TObject*)>([&](TObject*) { clicked = true; }), &clicked);
    form->Show();
    HMENU native = GetMenu(form->WindowHandle);
    ASSERT_NE(native, nullptr);

    bar->Merge(child);
    EXPECT_EQ(bar->GetItems()->GetMerged(), child->GetItems());
    EXPECT_EQ(child->GetItems()->GetMergedWith(), bar->GetItems());
    EXPECT_EQ(EntryTexts(native), (std::vector<AnsiString>{"File", "Change", "Window", "Help"}));
    EXPECT_EQ(bar->FindItem(window->GetCommand(), TFindItemKind::fkCommand), window);
    SendMessageA(form->WindowHandle, WM_COMMAND, MAKEWPARAM(window->GetCommand(), 0), 0);
    EXPECT_TRUE(clicked) << "a merged item's command reaches it through the form's menu";

    window->SetCaption("Windows");
    EXPECT_EQ(EntryTexts(native), (std::vector<AnsiString>{"File", "Change", "Windows", "Help"}))
        << "a change in the merged menu shows in the menu it is merged into";

    bar->Unmerge(child);
    EXPECT_EQ(EntryTexts(native), (std::vector<AnsiString>{"File", "Edit", "Help"}));
    bar->Merge(child);
    delete child;
    EXPECT_EQ(bar->GetItems()->GetMerged(), nullptr) << "a merged menu that goes unmerges itself";
    EXPECT_EQ(EntryTexts(native), (std::vector<AnsiString>{"File", "Edit", "Help"}));
}

TEST_F(MenuFixture, ImageListMakesEntriesOwnerDrawnAndIsForgottenWhenFreed)
{
    auto* popup = new TPopupMenu(form.get());
    TMenuItem* open = Item("Open");
    TMenuItem* recent = Item("Recent");
    open->Add(recent);
    popup->GetItems()->Add(open);
    HMENU native = popup->GetHandle();
    auto ownerDrawn = [](HMENU menu, TMenuItem* item) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, item->GetCommand(), FALSE, &info);
        return (info.fType & MFT_OWNERDRAW) != 0;
    };
    EXPECT_FALSE(ownerDrawn(native, open));

    auto* images = new TImageList(form.get());
    popup->SetImages(images);
    EXPECT_EQ(popup->GetImages(), images);
    EXPECT_TRUE(popup->IsOwnerDraw());
    EXPECT_TRUE(ownerDrawn(native, open)) << "images are painted by the item itself";
    EXPECT_TRUE(ownerDrawn(open->GetHandle(), recent)) << "in the sub-menus too";
    delete images;
    EXPECT_EQ(popup->GetImages(), nullptr);
    EXPECT_FALSE(ownerDrawn(native, open));
    EXPECT_FALSE(ownerDrawn(open->GetHandle(), recent));
}

TEST_F(MenuFixture, OwnerDrawnItemPaintsItsImageOrCheckMarkLeftOfTheText)
{
    auto* popup = new TPopupMenu(form.get());
    auto* images = new TImageList(form.get());
    TBitmap red;
    red.SetWidth(16);
    red.SetHeight(16);
    red.GetCanvas()->GetBrush()->SetColor(clRed);
    red.GetCanvas()->FillRect({0, 0, 16, 16});
    images->AddMasked(&red, clFuchsia);
    TMenuItem* pictured = Item("Pictured");
    pictured->SetImageIndex(0);
    TMenuItem* checked = Item("Checked");
    checked->SetChecked(true);
    TMenuItem* plain = Item("Plain");
    popup->GetItems()->Add(pictured);
    popup->GetItems()->Add(checked);
    popup->GetItems()->Add(plain);
    popup->SetImages(images);

    auto paint = [](TMenuItem* item, TBitmap& target) {
        target.SetWidth(120);
        target.SetHeight(20);
        item->AdvancedDrawItem(target.GetCanvas(), {0, 0, 120, 20}, TOwnerDrawState(), false);
    };
    auto inkInGlyph = [](TBitmap& b, COLORREF ink) {
        for (int x = 1; x < 17; ++x)
            for (int y = 2; y < 18; ++y)
                if (b.GetCanvas()->GetPixel(x, y) == ink)
                    return true;
        return false;
    };
    TBitmap a, b, c;
    paint(pictured, a);
    paint(checked, b);
    paint(plain, c);
    EXPECT_TRUE(inkInGlyph(a, RGB(255, 0, 0))) << "the image is drawn in the glyph column";
    EXPECT_TRUE(inkInGlyph(b, ColorToRGB(clMenuText))) << "a checked item without image shows a mark";
    EXPECT_FALSE(inkInGlyph(c, ColorToRGB(clMenuText))) << "a plain item leaves the column empty";

    TBitmap measureOn;
    int width = 0, height = 0;
    pictured->MeasureItem(measureOn.GetCanvas(), width, height);
    EXPECT_GE(width, images->GetWidth() + measureOn.GetCanvas()->TextWidth("Pictured"));
    EXPECT_GE(height, images->GetHeight());
}

TEST_F(MenuFixture, ShortcutTypedThroughTheLoopClicksTheMenuItem)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 200, 24);
    auto* bar = new TMainMenu(form.get());
    TMenuItem* file = Item("File");
    TMenuItem* save = Item("Save");
    save->SetShortCut(ShortCut('S', {ssCtrl}));
    int saves = 0;
    save->OnClick = TNotifyEvent(std::function<void(TObject*)>([&](TObject*) { ++saves; }), &saves);
    file->Add(save);
    bar->GetItems()->Add(file);
    form->SetMenu(bar);
    auto* popup = new TPopupMenu(form.get());
    TMenuItem* refresh = Item("Refresh");
    refresh->SetShortCut(VK_F6);
    int refreshes = 0;
    refresh->OnClick = TNotifyEvent(std::function<void(TObject*)>([&](TObject*) { ++refreshes; }), &refreshes);
    popup->GetItems()->Add(refresh);
    edit->SetPopupMenu(popup);

    form->Show();
    SetForegroundWindow(form->WindowHandle);
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->WindowHandle; })) << "the edit never got the focus";
    TypeChord({VK_CONTROL, 'S'});
    EXPECT_TRUE(PumpUntil([&] { return saves == 1; })) << "Ctrl+S did not reach the menu item";
    TypeChord({VK_F6});
    EXPECT_TRUE(PumpUntil([&] { return refreshes == 1; })) << "F6 did not reach the pop-up menu's item";
    save->SetEnabled(false);
    TypeChord({VK_CONTROL, 'S'});
    TypeChord({VK_F6});
    EXPECT_TRUE(PumpUntil([&] { return refreshes == 2; }));
    EXPECT_EQ(saves, 1) << "a disabled item is not clicked by its shortcut";
}

TEST_F(MenuFixture, HintOfAControlShowsTheShortcutOfItsAction)
{
    TAction action(nullptr);
    action.SetHint("Save|Saves the transaction");
    action.SetShortCut(ShortCut('S', {ssCtrl}));
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(40, 40, 120, 40);
    button->SetAction(&action);
    button->SetShowHint(true);
    form->Show();
    ASSERT_TRUE(vcltest::HoverUntilHintShows(button, {60, 20})) << "no hint window appeared";
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "Save (Ctrl+S)");
    Application->CancelHint();
    button->SetAction(nullptr);
}

TEST_F(MenuFixture, FormStreamCarriesItsMenusAndActionListsWithTheControls)
{
    form->SetName("frmStream");
    auto* bar = new TMainMenu(form.get());
    bar->SetName("menuMain");
    auto* file = new TMenuItem(form.get());
    file->SetName("menuFile");
    file->SetCaption("File");
    bar->GetItems()->Add(file);
    auto* list = new TActionList(form.get());
    list->SetName("alMain");
    auto* scan = new TAction(form.get());
    scan->SetName("actScan");
    scan->SetCaption("Scan");
    scan->SetActionList(list);
    auto* button = new TButton(form.get());
    button->SetName("btnScan");
    button->SetParent(form.get());
    button->SetAction(scan);
    std::unique_ptr<TForm> back = vcltest::StreamedCopy(form.get());
    auto* readBar = dynamic_cast<TMainMenu*>(back->FindComponent("menuMain"));
    ASSERT_NE(readBar, nullptr);
    ASSERT_EQ(readBar->GetItems()->GetCount(), 1);
    EXPECT_EQ(readBar->GetItems()->GetItem(0)->GetCaption(), "File");
    auto* readScan = dynamic_cast<TAction*>(back->FindComponent("actScan"));
    ASSERT_NE(readScan, nullptr);
    EXPECT_EQ(readScan->GetActionList(), back->FindComponent("alMain"));
    auto* readButton = dynamic_cast<TButton*>(back->FindComponent("btnScan"));
    ASSERT_NE(readButton, nullptr);
    EXPECT_EQ(readButton->GetAction(), readScan);
    EXPECT_EQ(readButton->GetCaption(), "Scan");
}

TEST_F(MenuFixture, ControlFreedWhileItsHintWaitsLeavesNoStaleHintControl)
{
    form->Show();
    auto makeButton = [&](const char* hint) {
        auto* button = new TButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(40, 40, 120, 40);
        button->Hint = hint;
        button->SetShowHint(true);
        return button;
    };
    TButton* first = makeButton("first");
    POINT screen{60, 20};
    ClientToScreen(first->WindowHandle, &screen);
    SetCursorPos(screen.x, screen.y);
    int pause = Application->HintPause;
    Application->HintPause = 60000;  // the first hint must not show before the button goes
    Application->ActivateHint(screen);
    Application->HintPause = pause;
    delete first;
    TButton* second = makeButton("second");  // often at the freed button's address
    ASSERT_TRUE(vcltest::HoverUntilHintShows(second, {60, 20})) << "the new control's hint never showed";
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "second");
    Application->CancelHint();
}
