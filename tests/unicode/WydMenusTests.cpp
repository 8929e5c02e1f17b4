// Tests of the wide menus: shortcut texts and accelerators, native entries written wide (and the entries
// never touched), hot-key marks kept in step with the library, owner drawing, pop-up hints, merged menus,
// accelerators and shortcuts typed through the message loop, and form streams.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"
#include "WydForms.h"
#include "WydGraphics.h"
#include "WydMenus.h"
#include "WydTestSupport.h"

using namespace vcl;
using namespace wydtest;
using vcltest::PumpUntil;

namespace {

const TShortCut CtrlS = scCtrl | 'S';

// Keys as a person types them: each chord pressed in order and let go in reverse; a wide character arrives
// as itself (VK_PACKET), whatever the keyboard layout.
struct Typing {
    std::vector<INPUT> input;
    Typing& Chord(std::initializer_list<WORD> keys)
    {
        for (WORD key : keys)
            Add(key, 0, 0);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            Add(*it, 0, KEYEVENTF_KEYUP);
        return *this;
    }
    Typing& Char(wchar_t c)
    {
        Add(0, c, KEYEVENTF_UNICODE);
        Add(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        return *this;
    }
    void Send() { SendInput(UINT(input.size()), input.data(), sizeof(INPUT)); }

private:
    void Add(WORD key, wchar_t c, DWORD flags)
    {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.wScan = c;
        i.ki.dwFlags = flags;
        input.push_back(i);
    }
};

// A menu that waits for keys never blocks a test for long: the menu is closed after the budget.
void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EndMenu();
}
struct MenuBudget {
    UINT_PTR timer = SetTimer(nullptr, 0, 5000, CloseMenuTimer);
    ~MenuBudget() { KillTimer(nullptr, timer); }
};

// Writes a text into an item's native entry behind the item's back.
void SetNativeText(HMENU menu, TMenuItem* item, WideString text)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ASSERT_TRUE(SetMenuItemInfoW(menu, item->GetCommand(), FALSE, &info));
}

WideString NativeText(HMENU menu, TMenuItem* item)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, item->GetCommand(), text, 256, MF_BYCOMMAND);
    return text;
}

UINT NativeType(HMENU menu, TMenuItem* item)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, item->GetCommand(), FALSE, &info);
    return info.fType;
}

TWydMenuItem* WideItem(const WideString& caption, TShortCut shortCut = 0)
{
    return WideNewItem(caption, shortCut, false, true, nullptr, 0, "");
}

TNotifyEvent Counter(int& count)
{
    return TNotifyEvent(std::function<void(TObject*)>([&count](TObject*) { ++count; }), &count);
}

// Lets a test see the item's keyboard-layout stamp.
class TLayoutProbeItem : public TWydMenuItem {
    VCL_CLASS(TLayoutProbeItem, TWydMenuItem)
    using TWydMenuItem::TWydMenuItem;
    void ForgetLayout() { LastKeyboardLayout = HKL(UINT_PTR(GetKeyboardLayout(0)) ^ 0x10000); }
};
VCL_IMPLEMENT_CLASS(TLayoutProbeItem, TWydMenuItem)

class WydMenus : public WydFormTest {
protected:

    // A bar "File" with items, on the form.
    TWydMainMenu* Bar(std::initializer_list<TMenuItem*> items, const WideString& fileCaption = L"File")
    {
        auto* bar = new TWydMainMenu(form.get());
        bar->GetItems()->Add(WideNewSubMenu(fileCaption, 0, "", items, true));
        form->SetMenu(bar);
        return bar;
    }
};

}  // namespace

// ---- Shortcut texts, accelerators and captions

TEST(WydShortcuts, TextsOfShortcutsAndBack)
{
    struct Case {
        TShortCut value;
        const wchar_t* text;
    };
    const Case cases[] = {
        {CtrlS, L"Ctrl+S"},
        {scShift | scCtrl | VK_F5, L"Shift+Ctrl+F5"},
        {scAlt | VK_DELETE, L"Alt+Del"},
        {scCtrl | '7', L"Ctrl+7"},
        {VK_RETURN, L"Enter"},
        {scShift | 'Z', L"Shift+Z"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WideShortCutToText(c.value) == c.text) << c.value;
        EXPECT_EQ(WideTextToShortCut(c.text), c.value) << c.value;
    }
    EXPECT_EQ(WideTextToShortCut(L"^A"), scCtrl | 'A');
    EXPECT_EQ(WideTextToShortCut(L"^A"), WideTextToShortCut(L"Ctrl+A"));
    EXPECT_EQ(WideTextToShortCut(L"ctrl+A"), 0) << "the prefixes are written as the library writes them";
    EXPECT_EQ(WideTextToShortCut(L""), 0);
    EXPECT_EQ(WideTextToShortCut(L"Ctrl+"), 0);
    EXPECT_EQ(WideTextToShortCut(L"Ctrl+s"), CtrlS) << "the key name itself ignores case";
    for (TShortCut key = 'A'; key <= 'Z'; ++key)
        EXPECT_EQ(WideTextToShortCut(WideShortCutToText(scAlt | key)), scAlt | key);

    AnsiPlatform ansi;
    EXPECT_TRUE(WideShortCutToText(CtrlS) == AnsiToWide(ShortCutToText(CtrlS)));
}

TEST(WydShortcuts, KeyMessageGivesItsShortcut)
{
    TMessage down{WM_SYSKEYDOWN, 'S', 0x20000000, 0};
    EXPECT_EQ(MessageToShortCut(down), scAlt | 'S') << "the Alt bit of the key data";
    TMessage plain{WM_KEYDOWN, VK_F2, 0, 0};
    EXPECT_EQ(MessageToShortCut(plain), VK_F2);
}

TEST(WydHotkeys, StrippedMarkedAndCompared)
{
    EXPECT_TRUE(WideStripHotkey(L"Save && E&xit") == L"Save & Exit");
    EXPECT_TRUE(WideGetHotkey(L"Save && E&xit") == L"x");
    EXPECT_TRUE(WideGetHotkey(L"&a&b") == L"b") << "the last mark wins";
    EXPECT_TRUE(WideGetHotkey(L"A && B") == L"");
    EXPECT_TRUE(WideGetHotkey(L"Trailing&") == L"");
    EXPECT_TRUE(WideStripHotkey(L"Trailing&") == L"Trailing");
    EXPECT_TRUE(WideSameCaption(L"&\x0416\x0443\x0440", L"\x0436\x0423\x0440"));
    EXPECT_FALSE(WideSameCaption(L"&Open", L"Opens"));
    EXPECT_TRUE(IsWideCharAccel(L'\x0436', L"&\x0416\x0435\x043B")) << "a Cyrillic accelerator, either case";
    EXPECT_TRUE(IsWideCharAccel('f', L"&File"));
    EXPECT_FALSE(IsWideCharAccel('f', L"File"));

    bool farEast = SysLocale.FarEast;
    SysLocale.FarEast = true;
    EXPECT_TRUE(WideStripHotkey(Cjk + L"(&F)") == Cjk) << "the whole group goes";
    EXPECT_TRUE(WideStripHotkey(L"(&F)") == L"");
    EXPECT_TRUE(WideStripHotkey(L"(&") == L"(") << "a group cut short at the end";
    EXPECT_TRUE(WideStripHotkey(L"&F)") == L"F)") << "a mark at the start has no group";
    SysLocale.FarEast = farEast;
}

TEST(WydHotkeys, LibrarysMarkIsPutIntoTheWideCaption)
{
    struct Case {
        WideString wide, withMark;
    };
    const Case cases[] = {
        {Greek, L"&" + Greek},
        {Cyrillic, Cyrillic.substr(0, 2) + L"&" + Cyrillic.substr(2)},
        {L"\xD83D\xDE00Save", L"\xD83D\xDE00&Save"},  // one replacement character for the pair
        {L"Save && " + Cjk, L"Save && &" + Cjk},
    };
    for (const Case& c : cases) {
        WideString dest = c.wide;
        SyncHotKeyPosition(AnsiToWide(WideToAnsi(c.withMark)), dest);
        EXPECT_TRUE(dest == c.withMark) << WideToAnsi(c.withMark);
    }
    WideString other = Greek;
    SyncHotKeyPosition(L"&Other", other);
    EXPECT_TRUE(other == Greek) << "a caption that differs without its marks is left alone";

    bool farEast = SysLocale.FarEast;
    SysLocale.FarEast = true;
    WideString dest = Cjk;
    SyncHotKeyPosition(AnsiToWide(WideToAnsi(Cjk)) + L"(&F)", dest);
    EXPECT_TRUE(dest == Cjk + L"(&F)");
    SysLocale.FarEast = farEast;
}

TEST(WydMenuItems, CaptionAndHintStayWideUntilTheLibraryChangesThem)
{
    TWydMenuItem item(nullptr);
    item.SetCaption(Greek);
    item.SetHint(Cyrillic + L"|" + Cjk);
    EXPECT_TRUE(item.GetCaption() == Greek);
    EXPECT_EQ(static_cast<TMenuItem&>(item).GetCaption(), WideToAnsi(Greek));
    EXPECT_TRUE(WideGetMenuItemHint(&item) == Cyrillic + L"|" + Cjk);

    item.SetInheritedCaption("&" + WideToAnsi(Greek));
    EXPECT_TRUE(item.GetCaption() == L"&" + Greek) << "the library's accelerator mark moves into the wide caption";
    item.SetInheritedCaption("Plain");
    EXPECT_TRUE(item.GetCaption() == L"Plain") << "a new library caption wins";
    item.SetInheritedHint("Short");
    EXPECT_TRUE(item.GetHint() == L"Short");

    TMenuItem plain(nullptr);
    plain.SetCaption("Plain item");
    EXPECT_TRUE(WideGetMenuItemCaption(&plain) == L"Plain item");
}

TEST(WydMenuItems, MadeInCodeWithTheirProperties)
{
    int clicks = 0;
    std::unique_ptr<TWydMenuItem> sub(WideNewSubMenu(
        Cyrillic, 7, "miFile",
        {WideNewItem(L"&" + Greek, CtrlS, true, false, Counter(clicks), 3, "miSave"), WideItem(Cjk)}, false));
    EXPECT_TRUE(sub->GetCaption() == Cyrillic);
    EXPECT_EQ(sub->GetHelpContext(), 7);
    EXPECT_EQ(sub->GetName(), "miFile");
    EXPECT_FALSE(sub->GetEnabled());
    ASSERT_EQ(sub->GetCount(), 2);
    auto* save = static_cast<TWydMenuItem*>(sub->GetItem(0));
    EXPECT_TRUE(save->GetCaption() == L"&" + Greek);
    EXPECT_EQ(save->GetShortCut(), CtrlS);
    EXPECT_TRUE(save->GetChecked());
    EXPECT_EQ(save->GetName(), "miSave");
    save->OnClick(save);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sub->Find(Greek.substr(0, 1) + L"&" + Greek.substr(1)), save) << "case and marks ignored";
    EXPECT_EQ(sub->Find(L"nothing"), nullptr);
    EXPECT_FALSE(MenuItemHasBitmap(save));
    save->GetBitmap();
    EXPECT_TRUE(MenuItemHasBitmap(save));
}

// ---- Native entries

TEST_F(WydMenus, NativeEntriesShowWideCaptionsWithShortcutTexts)
{
    TWydMenuItem* greek = WideItem(Greek, CtrlS);
    TWydMenuItem* emoji = WideItem(Emoji);
    TWydMenuItem* parent = WideNewSubMenu(Cjk, 0, "", {WideItem(L"inner")}, true);
    parent->SetShortCut(scCtrl | 'P');
    TWydMainMenu* bar = Bar({greek, emoji, parent}, Cyrillic);
    auto* top = static_cast<TWydMenuItem*>(bar->GetItems()->GetItem(0));
    top->SetShortCut(scCtrl | 'F');
    form->Show();
    HMENU native = GetMenu(form->WindowHandle);
    ASSERT_NE(native, nullptr);
    auto expectWide = [&](const char* when) {
        EXPECT_TRUE(NativeText(native, greek) == Greek + L"\tCtrl+S") << when;
        EXPECT_TRUE(NativeText(native, emoji) == Emoji) << when;
        EXPECT_TRUE(NativeText(native, parent) == Cjk) << when << ": an item with sub-items shows no shortcut";
        EXPECT_TRUE(NativeText(native, top) == Cyrillic) << when << ": the bar shows no shortcut";
    };
    expectWide("after showing");
    emoji->SetChecked(true);
    expectWide("after a sibling changed (the library writes the menu again)");
    form->RecreateWnd();
    native = GetMenu(form->WindowHandle);
    expectWide("after the form's window was made again");
    greek->SetCaption(Cyrillic);
    EXPECT_TRUE(NativeText(native, greek) == Cyrillic + L"\tCtrl+S") << "a new caption with the window there";

    AnsiPlatform ansi;
    greek->SetCaption(Greek);
    EXPECT_EQ(WideToAnsi(NativeText(native, greek)), WideToAnsi(Greek) + "\tCtrl+S")
        << "off the NT family the library's ANSI entry stays";
}

TEST_F(WydMenus, BitmapSeparatorAndOwnerDrawnEntriesAreNeverRewritten)
{
    TWydMenuItem* line = WideItem(L"-");
    TWydMenuItem* picture = WideItem(Greek);
    TWydMenuItem* text = WideItem(Cyrillic);
    TWydMainMenu* bar = Bar({line, picture, text});
    HMENU file = bar->GetItems()->GetItem(0)->GetHandle();
    EXPECT_TRUE(NativeType(file, line) & MFT_SEPARATOR);

    std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&DeleteObject)> image(CreateBitmap(8, 8, 1, 1, nullptr),
                                                                                 &DeleteObject);
    MENUITEMINFOW bitmap{};
    bitmap.cbSize = sizeof bitmap;
    bitmap.fMask = MIIM_TYPE;
    bitmap.fType = MFT_BITMAP;
    bitmap.dwTypeData = reinterpret_cast<LPWSTR>(image.get());
    ASSERT_TRUE(SetMenuItemInfoW(file, picture->GetCommand(), FALSE, &bitmap));
    picture->UpdateMenuString(bar);
    EXPECT_TRUE(NativeType(file, picture) & MFT_BITMAP) << "a bitmap entry keeps its type";

    bar->SetOwnerDraw(true);
    EXPECT_TRUE(NativeType(file, text) & MFT_OWNERDRAW);
    text->SetCaption(Cjk);
    EXPECT_TRUE(NativeType(file, text) & MFT_OWNERDRAW);
    EXPECT_TRUE(NativeText(file, text) != Cjk) << "an owner-drawn entry is drawn wide, its native text stays";
}

TEST_F(WydMenus, NewKeyboardLayoutWritesTheShortcutTextsAgain)
{
    auto* save = new TLayoutProbeItem(nullptr);
    save->SetCaption(Greek);
    save->SetShortCut(CtrlS);
    TWydMainMenu* bar = Bar({save});
    HMENU file = bar->GetItems()->GetItem(0)->GetHandle();
    ASSERT_TRUE(NativeText(file, save) == Greek + L"\tCtrl+S");
    SetNativeText(file, save, L"stale");
    save->InitiateAction();
    EXPECT_TRUE(NativeText(file, save) == L"stale") << "the same layout: nothing is written";
    save->ForgetLayout();
    save->InitiateAction();
    EXPECT_TRUE(NativeText(file, save) == Greek + L"\tCtrl+S");
}

TEST_F(WydMenus, MergedWideMenuIsWrittenIntoTheMenuItIsMergedWith)
{
    TWydMainMenu* bar = Bar({WideItem(L"Open")});
    auto* child = new TWydMainMenu(form.get());
    TWydMenuItem* tools = WideNewSubMenu(Greek, 0, "", {WideItem(Cjk, CtrlS)}, true);
    tools->SetGroupIndex(3);
    child->GetItems()->Add(tools);
    form->Show();
    HMENU native = GetMenu(form->WindowHandle);
    bar->Merge(child);
    EXPECT_TRUE(NativeText(native, tools) == Greek);
    EXPECT_TRUE(NativeText(native, tools->GetItem(0)) == Cjk + L"\tCtrl+S");
    bar->GetItems()->GetItem(0)->SetEnabled(false);  // the host writes its entries again
    EXPECT_TRUE(NativeText(native, tools) == Greek) << "the merged entries stay wide";
    bar->Unmerge(child);
    EXPECT_EQ(GetMenuItemCount(native), 1);
}

TEST_F(WydMenus, BarEntriesDrawnByNobodyBecomeWideTextEntries)
{
    TWydMainMenu* bar = Bar({WideItem(L"inner")}, Greek);
    auto* drawn = new TWydMenuItem(form.get());
    drawn->SetCaption(Cjk);
    drawn->OnDrawItem = TMenuDrawItemEvent(
        std::function<void(TObject*, TCanvas*, RECT, bool)>([](TObject*, TCanvas*, RECT, bool) {}), drawn);
    bar->GetItems()->Add(drawn);
    bar->SetOwnerDraw(true);
    form->Show();
    HMENU native = GetMenu(form->WindowHandle);
    TMenuItem* file = bar->GetItems()->GetItem(0);
    ASSERT_TRUE(NativeType(native, file) & MFT_OWNERDRAW);
    NoOwnerDrawTopLevelItems(bar);
    EXPECT_FALSE(NativeType(native, file) & MFT_OWNERDRAW);
    EXPECT_TRUE(NativeText(native, file) == Greek);
    EXPECT_TRUE(NativeType(native, drawn) & MFT_OWNERDRAW) << "an entry with a draw handler stays owner-drawn";
}

TEST_F(WydMenus, RightToLeftBarUnderAMiddleEastLocaleWritesItsFirstEntryAgain)
{
    TWydMainMenu* bar = Bar({WideItem(L"inner")}, Greek);
    form->Show();
    HMENU native = GetMenu(form->WindowHandle);
    TMenuItem* file = bar->GetItems()->GetItem(0);
    SetNativeText(native, file, L"stale");
    FixMenuBiDiProblem(bar);
    EXPECT_TRUE(NativeText(native, file) == L"stale") << "nothing to fix without the Middle-East locale";
    bool middleEast = SysLocale.MiddleEast;
    SysLocale.MiddleEast = true;
    bar->BiDiMode = TBiDiMode::bdRightToLeft;
    FixMenuBiDiProblem(bar);
    SysLocale.MiddleEast = middleEast;
    EXPECT_TRUE(NativeText(native, file) == Greek);
}

TEST(WydMenuItems, TextAlignmentFollowsThePopupMenu)
{
    TWydPopupMenu popup(nullptr);
    auto* item = WideItem(Greek);
    popup.GetItems()->Add(item);
    EXPECT_EQ(item->GetAlignmentDrawStyle(), UINT(DT_LEFT));
    popup.Alignment = TPopupAlignment::paRight;
    EXPECT_EQ(item->GetAlignmentDrawStyle(), UINT(DT_RIGHT));
    popup.Alignment = TPopupAlignment::paCenter;
    EXPECT_EQ(item->GetAlignmentDrawStyle(), UINT(DT_CENTER));
    TWydMainMenu bar(nullptr);
    auto* barItem = WideItem(Greek);
    bar.GetItems()->Add(barItem);
    EXPECT_EQ(barItem->GetAlignmentDrawStyle(), UINT(DT_LEFT));
}

// ---- Owner drawing

TEST_F(WydMenus, OwnerDrawnItemDrawsAndMeasuresItsWideCaption)
{
    auto* popup = new TWydPopupMenu(form.get());
    popup->SetOwnerDraw(true);
    TWydMenuItem* item = WideItem(Cjk, CtrlS);
    popup->GetItems()->Add(item);
    int changes = 0;
    popup->OnChange = Counter(changes);

    TBitmap canvasHost;
    TCanvas* canvas = canvasHost.GetCanvas();
    int wideWidth = 0, height = 0;
    item->MeasureItem(canvas, wideWidth, height);
    int ansiWidth = 0;
    {
        AnsiPlatform ansi;
        item->MeasureItem(canvas, ansiWidth, height);
    }
    EXPECT_EQ(wideWidth - ansiWidth, WideCanvasTextWidth(canvas, Cjk) - canvas->TextWidth(WideToAnsi(Cjk)))
        << "the width grows by what the wide caption needs more than its ANSI form";

    auto paint = [&](TBitmap& target) {
        target.SetWidth(200);
        target.SetHeight(22);
        item->AdvancedDrawItem(target.GetCanvas(), {0, 0, 200, 22}, TOwnerDrawState(), false);
    };
    TBitmap wide, narrow;
    paint(wide);
    {
        AnsiPlatform ansi;
        paint(narrow);
    }
    bool differs = false;
    for (int x = 20; x < 200 && !differs; ++x)
        for (int y = 0; y < 22 && !differs; ++y)
            differs = wide.GetCanvas()->GetPixel(x, y) != narrow.GetCanvas()->GetPixel(x, y);
    EXPECT_TRUE(differs) << "the wide caption is drawn, not its ANSI form";
    EXPECT_TRUE(item->GetCaption() == Cjk) << "caption and shortcut come back after drawing";
    EXPECT_EQ(item->GetShortCut(), CtrlS);
    EXPECT_EQ(changes, 0) << "drawing changes nothing in the menu";

    popup->SetOwnerDraw(false);  // the library draws through a handler only for owner-drawn menus
    item->OnDrawItem = TMenuDrawItemEvent(
        std::function<void(TObject*, TCanvas*, RECT, bool)>([](TObject*, TCanvas*, RECT, bool) {
            throw EAbort("stop");
        }),
        &changes);
    TBitmap failing;
    EXPECT_THROW(paint(failing), EAbort);
    EXPECT_TRUE(item->GetCaption() == Cjk) << "a failing paint still gives the caption back";
    EXPECT_EQ(item->GetShortCut(), CtrlS);
}

// ---- Typed through the message loop

TEST_F(WydMenus, AcceleratorsTypedThroughTheLoopPickWideItems)
{
    int yellow = 0, quits = 0;
    TWydMenuItem* yellowItem = WideItem(L"&\x0416\x0451\x043B\x0442\x044B\x0439");
    yellowItem->OnClick = Counter(yellow);
    TWydMenuItem* quit = WideItem(L"&Quit " + Cjk);
    quit->OnClick = Counter(quits);
    Bar({quit, yellowItem}, L"&File " + Greek);
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form->WindowHandle; }));
    {
        MenuBudget budget;
        Typing().Chord({VK_MENU, 'F'}).Char(L'\x0436').Send();
        EXPECT_TRUE(PumpUntil([&] { return yellow == 1; })) << "Alt+F, then the Cyrillic accelerator";
    }
    {
        MenuBudget budget;
        Typing().Chord({VK_MENU, 'F'}).Chord({'Q'}).Send();
        EXPECT_TRUE(PumpUntil([&] { return quits == 1; })) << "Alt+F, then Q";
    }
    EXPECT_EQ(yellow, 1);
}

TEST_F(WydMenus, ShortcutTypedThroughTheLoopClicksTheWideItem)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 200, 24);
    int saves = 0;
    TWydMenuItem* save = WideItem(Greek, CtrlS);
    save->OnClick = Counter(saves);
    Bar({save});
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->WindowHandle; }));
    Typing().Chord({VK_CONTROL, 'S'}).Send();
    EXPECT_TRUE(PumpUntil([&] { return saves == 1; }));
}

TEST_F(WydMenus, PopupMenuSelectionGivesTheWideLongHint)
{
    auto* popup = new TWydPopupMenu(form.get());
    TWydMenuItem* first = WideItem(Greek);
    first->SetHint(L"short|" + Cyrillic);
    int clicks = 0;
    first->OnClick = Counter(clicks);
    popup->GetItems()->Add(first);
    EXPECT_EQ(WydPopupList->IndexOf(popup), 0) << "a wide pop-up menu is served by the wide list";
    EXPECT_LT(PopupList->IndexOf(popup), 0);
    std::vector<WideString> hints;
    Application->OnHint = TNotifyEvent(
        std::function<void(TObject*)>([&](TObject*) { hints.push_back(WydApplication->GetHint()); }), &hints);
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    TPopupList* libraryList = PopupList;
    {
        MenuBudget budget;
        Typing().Chord({VK_DOWN}).Chord({VK_RETURN}).Send();
        popup->Popup(form->GetLeft() + 50, form->GetTop() + 50);
    }
    EXPECT_EQ(PopupList, libraryList) << "the library's list is current again";
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; })) << "the chosen item is clicked";
    Application->OnHint = nullptr;
    bool sawLongHint = false;
    for (const WideString& h : hints)
        sawLongHint = sawLongHint || h == Cyrillic;
    EXPECT_TRUE(sawLongHint) << "the selected item's wide long hint was the application's hint";
    EXPECT_TRUE(WydApplication->GetHint().empty()) << "closing the menu clears the hint";
}

// ---- Form streams

TEST_F(WydMenus, MenusWrittenToAFormStreamAndReadBack)
{
    auto* bar = new TWydMainMenu(form.get());
    bar->SetName("menuMain");
    for (const WideString& text : {Cyrillic, Greek, Cjk, Emoji}) {
        auto* item = new TWydMenuItem(form.get());
        item->SetName("mi" + std::to_string(bar->GetItems()->GetCount()));
        item->SetCaption(text);
        item->SetHint(text + L"|" + text);
        item->SetShortCut(CtrlS);
        bar->GetItems()->Add(item);
    }
    std::unique_ptr<TForm> back = vcltest::StreamedCopy(form.get());
    auto* read = dynamic_cast<TWydMainMenu*>(back->FindComponent("menuMain"));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetItems()->GetCount(), 4);
    int i = 0;
    for (const WideString& text : {Cyrillic, Greek, Cjk, Emoji}) {
        auto* item = dynamic_cast<TWydMenuItem*>(read->GetItems()->GetItem(i++));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->GetCaption() == text) << i;
        EXPECT_TRUE(item->GetHint() == text + L"|" + text) << i;
        EXPECT_EQ(item->GetShortCut(), CtrlS);
    }
}
