// Window tests of the wide tab control, page control, status bar, tool bar and progress bar: texts in four
// scripts before and after the window and across its re-creation, accelerators, alignment tabs of panels,
// the wide application hint, and the ANSI path of Windows 9x.
#include "WydComCtrlsTestSupport.h"
#include "WydMenus.h"

using namespace vcl;
using namespace wydcomtest;

namespace {

WideString TabTextW(TWinControl* tabs, int index)
{
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 128;
    SendMessageW(tabs->WindowHandle, TCM_GETITEMW, WPARAM(index), LPARAM(&item));
    return item.pszText;
}

WideString PanelTextW(TWinControl* bar, int part)
{
    int length = LOWORD(SendMessageW(bar->WindowHandle, SB_GETTEXTLENGTHW, WPARAM(part), 0));
    WideString text(size_t(length) + 1, L'\0');
    SendMessageW(bar->WindowHandle, SB_GETTEXTW, WPARAM(part), LPARAM(text.data()));
    text.resize(size_t(length));
    return text;
}

WideString ButtonTextW(TWinControl* bar, int index)
{
    TBBUTTON button{};
    SendMessageW(bar->WindowHandle, TB_GETBUTTON, WPARAM(index), LPARAM(&button));
    wchar_t buffer[128] = {};
    SendMessageW(bar->WindowHandle, TB_GETBUTTONTEXTW, WPARAM(button.idCommand), LPARAM(buffer));
    return buffer;
}

LRESULT DialogChar(TControl* control, char key)
{
    return control->Perform(CM_DIALOGCHAR, WPARAM(BYTE(key)), 0);
}

}  // namespace

TEST_F(WydComCtrlsTest, TabTextsInEveryScriptKeptAcrossRecreationWithTheSelectedTab)
{
    auto* tabs = Make<TWydTabControl>();
    TObject marker;
    for (const WideString& text : Scripts)
        tabs->GetTabs()->Add(text);
    tabs->GetTabs()->PutObject(1, &marker);
    tabs->SetTabIndex(2);
    form->Show();
    ASSERT_TRUE(IsWindowUnicode(tabs->WindowHandle));
    tabs->GetTabs()->Add(Cjk + L"+");
    tabs->GetTabs()->Put(0, Greek + L"!");
    std::vector<WideString> expected{Greek + L"!", Greek, Cjk, Emoji, Cjk + L"+"};
    for (int pass = 0; pass < 2; ++pass) {
        const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
        ASSERT_EQ(tabs->GetTabs()->GetCount(), 5) << when;
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(TabTextW(tabs, i) == expected[size_t(i)]) << when << ", tab " << i;
            EXPECT_TRUE(tabs->GetTabs()->Get(i) == expected[size_t(i)]) << when << ", tab " << i;
        }
        EXPECT_EQ(tabs->GetTabIndex(), 2) << when;
        EXPECT_EQ(tabs->GetTabs()->GetObject(1), &marker) << when;
        tabs->RecreateWnd();
    }
    EXPECT_THROW(tabs->GetTabs()->Put(9, L"none"), EListError);
}

TEST_F(WydComCtrlsTest, TabAcceleratorChoosesTheTabOfItsHotKey)
{
    auto* tabs = Make<TWydTabControl>();
    for (const wchar_t* text : {L"&One \x0416", L"T&wo \x6F22", L"Thr&ee"})
        tabs->GetTabs()->Add(text);
    int changes = 0;
    tabs->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    EXPECT_EQ(DialogChar(tabs, 'W'), 1);
    EXPECT_EQ(tabs->GetTabIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(DialogChar(tabs, 'q'), 0) << "no tab has that hot key";
    EXPECT_EQ(tabs->GetTabIndex(), 1);
}

TEST_F(WydComCtrlsTest, SheetCaptionsShowWideBeforeAndAfterTheWindowAndAcrossRecreation)
{
    auto* pages = Make<TWydPageControl>();
    std::vector<TWydTabSheet*> sheets;
    for (const WideString& text : Scripts) {
        auto* sheet = new TWydTabSheet(form.get());
        sheet->SetCaption(text);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    auto* plain = new TTabSheet(form.get());
    plain->SetCaption("plain");
    plain->SetPageControl(pages);
    form->Show();
    sheets[1]->SetCaption(Greek + L"!");
    for (int pass = 0; pass < 2; ++pass) {
        const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
        EXPECT_TRUE(TabTextW(pages, 0) == Cyrillic) << when;
        EXPECT_TRUE(TabTextW(pages, 1) == Greek + L"!") << when;
        EXPECT_TRUE(TabTextW(pages, 3) == Emoji) << when;
        EXPECT_TRUE(TabTextW(pages, 4) == L"plain") << when;
        pages->RecreateWnd();
    }
    sheets[0]->SetTabVisible(false);
    EXPECT_TRUE(TabTextW(pages, 0) == Greek + L"!") << "a hidden sheet has no tab";
    EXPECT_TRUE(sheets[2]->GetCaption() == Cjk);
}

TEST_F(WydComCtrlsTest, PageAcceleratorAfterAHiddenSheetChoosesThatSheetsTab)
{
    auto* pages = Make<TWydPageControl>();
    std::vector<TWydTabSheet*> sheets;
    for (const wchar_t* text : {L"&General", L"&Scanner \x0416", L"&Path \x6F22"}) {
        auto* sheet = new TWydTabSheet(form.get());
        sheet->SetCaption(text);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    sheets[0]->SetTabVisible(false);
    form->Show();
    pages->SetActivePage(sheets[1]);
    EXPECT_EQ(DialogChar(pages, 'p'), 1);
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
    EXPECT_EQ(SendMessageW(pages->WindowHandle, TCM_GETCURSEL, 0, 0), 1) << "the sheet's own tab, not its page index";
    EXPECT_EQ(DialogChar(pages, 'g'), 0) << "a hidden sheet is not chosen";
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
}

TEST_F(WydComCtrlsTest, PanelTextsInEveryScriptKeepTheirAlignment)
{
    auto* bar = Make<TWydStatusBar>(24);
    static const TAlignment alignments[] = {TAlignment::taLeftJustify, TAlignment::taRightJustify,
                                            TAlignment::taCenter, TAlignment::taLeftJustify};
    for (size_t i = 0; i < std::size(Scripts); ++i) {
        TWydStatusPanel* panel = bar->GetPanels()->Add();
        panel->SetWidth(100);
        panel->SetAlignment(alignments[i]);
        panel->SetText(Scripts[i]);
    }
    form->Show();
    ASSERT_TRUE(IsWindowUnicode(bar->WindowHandle));
    bar->GetPanels()->GetItem(3)->SetText(Cjk + L"!");
    for (int pass = 0; pass < 2; ++pass) {
        const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
        EXPECT_TRUE(PanelTextW(bar, 0) == Cyrillic) << when;
        EXPECT_TRUE(PanelTextW(bar, 1) == L"\t\t" + Greek) << when << ": right aligned";
        EXPECT_TRUE(PanelTextW(bar, 2) == L"\t" + Cjk) << when << ": centred";
        EXPECT_TRUE(PanelTextW(bar, 3) == Cjk + L"!") << when;
        bar->RecreateWnd();
    }
    bar->SetSimplePanel(true);
    bar->SetSimpleText(L"\t" + Emoji);
    EXPECT_TRUE(bar->GetSimpleText() == L"\t" + Emoji);
    bar->SetInheritedSimpleText("\t\t" + WideToAnsi(Emoji));
    EXPECT_TRUE(bar->GetSimpleText() == L"\t\t" + Emoji) << "tabs added on the ANSI side keep the wide text";
    bar->SetSimplePanel(false);
    int edges[10];
    for (int i = 0; i < 10; ++i)
        edges[i] = 40 * (i + 1);
    bar->Perform(SB_SETPARTS, 10, LPARAM(edges));
    bar->Perform(SB_SETTEXTA, 9, LPARAM("no panel"));
    EXPECT_TRUE(PanelTextW(bar, 9) == L"no panel") << "a part beyond the panels takes the message's own text";
}

TEST_F(WydComCtrlsTest, HintActionShowsTheWideApplicationHint)
{
    auto* bar = Make<TWydStatusBar>(24);
    bar->SetAutoHint(true);
    WydApplication->SetHint(Cjk);
    THintAction action(nullptr);
    action.SetHint(Application->GetHint());
    form->Show();
    EXPECT_TRUE(bar->ExecuteAction(&action));
    EXPECT_TRUE(bar->GetSimpleText() == Cjk) << "no panels: the simple text";
    bar->GetPanels()->Add();
    EXPECT_TRUE(bar->ExecuteAction(&action));
    EXPECT_TRUE(bar->GetPanels()->GetItem(0)->GetText() == Cjk);
    EXPECT_TRUE(PanelTextW(bar, 0) == Cjk);
    WydApplication->SetHint(L"");
}

TEST_F(WydComCtrlsTest, ToolButtonCaptionsInEveryScriptAndTheBarsOwnCaption)
{
    auto* bar = Make<TWydToolBar>(40);
    bar->SetShowCaptions(true);
    std::vector<TWydToolButton*> buttons;
    for (const WideString& text : Scripts) {
        auto* button = new TWydToolButton(form.get());
        button->SetCaption(text);
        button->SetParent(bar);
        buttons.push_back(button);
    }
    bar->SetCaption(Greek);
    form->Show();
    buttons[2]->SetCaption(Cjk + L"!");
    for (int pass = 0; pass < 2; ++pass) {
        const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
        EXPECT_TRUE(ButtonTextW(bar, 0) == Cyrillic) << when;
        EXPECT_TRUE(ButtonTextW(bar, 2) == Cjk + L"!") << when;
        EXPECT_TRUE(ButtonTextW(bar, 3) == Emoji) << when;
        EXPECT_TRUE(bar->GetCaption() == Greek) << when;
        bar->RecreateWnd();
    }
    wchar_t sentinel[2] = {L'#', L'#'};
    EXPECT_EQ(SendMessageW(bar->WindowHandle, WM_GETTEXT, 0, LPARAM(sentinel)), 0);
    EXPECT_EQ(sentinel[0], L'#') << "a buffer of no size is left alone";
    EXPECT_EQ(SendMessageW(bar->WindowHandle, WM_GETTEXTLENGTH, 0, 0), LRESULT(Greek.size()));
}

TEST_F(WydComCtrlsTest, MenuOnAToolBarBecomesOneButtonPerTopLevelItemWithItsWideTexts)
{
    auto* menu = new TWydMainMenu(form.get());
    auto* file = new TWydMenuItem(menu);
    file->SetCaption(L"&" + Cyrillic);
    file->SetHint(Greek + L"|" + Cjk);
    auto* edit = new TWydMenuItem(menu);
    edit->SetCaption(Emoji);
    auto* help = new TMenuItem(menu);
    help->SetCaption("&Help");
    help->SetHint("About");
    for (TMenuItem* item : {static_cast<TMenuItem*>(file), static_cast<TMenuItem*>(edit), help})
        menu->GetItems()->Add(item);
    auto* bar = Make<TWydToolBar>(40);
    bar->SetShowCaptions(true);
    (new TWydToolButton(form.get()))->SetParent(bar);
    form->Show();
    bar->SetMenu(menu);
    ASSERT_EQ(bar->GetButtonCount(), 3);
    std::vector<TWydToolButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* button = dynamic_cast<TWydToolButton*>(bar->GetButton(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetMenuItem(), menu->GetItems()->GetItem(i));
        EXPECT_TRUE(button->GetGrouped());
        buttons.push_back(button);
    }
    EXPECT_TRUE(buttons[0]->GetCaption() == L"&" + Cyrillic);
    EXPECT_TRUE(buttons[0]->GetHint() == Greek + L"|" + Cjk);
    EXPECT_TRUE(ButtonTextW(bar, 0) == L"&" + Cyrillic);
    EXPECT_TRUE(ButtonTextW(bar, 1) == Emoji);
    EXPECT_TRUE(buttons[1]->GetHint().empty());
    EXPECT_TRUE(ButtonTextW(bar, 2) == L"&Help") << "a plain item's caption widened";
    EXPECT_TRUE(buttons[2]->GetHint() == L"About");

    auto* loose = new TWydToolButton(form.get());
    loose->SetMenuItem(edit);
    EXPECT_TRUE(loose->GetCaption() == Emoji) << "also without a bar";
    loose->SetMenuItem(nullptr);
    EXPECT_EQ(loose->GetMenuItem(), nullptr);
    EXPECT_TRUE(loose->GetCaption() == Emoji) << "letting go of the item keeps the texts";
}

TEST_F(WydComCtrlsTest, ProgressBarHasAUnicodeWindowAndAWideHint)
{
    auto* progress = Make<TWydProgressBar>(20);
    progress->SetHint(Cyrillic);
    progress->SetPosition(40);
    form->Show();
    EXPECT_TRUE(IsWindowUnicode(progress->WindowHandle));
    EXPECT_EQ(SendMessageW(progress->WindowHandle, PBM_GETPOS, 0, 0), 40);
    EXPECT_TRUE(progress->GetHint() == Cyrillic);
}

TEST_F(WydComCtrlsTest, BarsOnAnsiPlatformGoThroughTheSystemCodePage)
{
    AnsiPlatform ansi;
    auto* tabs = Make<TWydTabControl>(60);
    tabs->GetTabs()->Add(Greek);
    tabs->GetTabs()->Add(L"plain");
    auto* bar = Make<TWydStatusBar>(24);
    bar->GetPanels()->Add()->SetText(Greek);
    form->Show();
    EXPECT_FALSE(IsWindowUnicode(tabs->WindowHandle));
    EXPECT_TRUE(tabs->GetTabs()->Get(0) == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_TRUE(TabTextW(tabs, 1) == L"plain");
    EXPECT_TRUE(PanelTextW(bar, 0) == AnsiToWide(WideToAnsi(Greek)));
}

TEST(WydComCtrlsRules, LeadingTabsFollowTheAnsiText)
{
    struct Row {
        WideString wide;
        AnsiString ansi;
        WideString expected;
    };
    for (const Row& row : std::vector<Row>{{L"x", "\t\tx", L"\t\tx"},
                                           {L"\t\t\x0416", "\t?", L"\t\x0416"},
                                           {L"\t\x0416", "?", L"\x0416"},
                                           {L"", "\t", L"\t"},
                                           {L"\t", "", L""}})
        EXPECT_TRUE(SyncLeadingTabs(row.wide, row.ansi) == row.expected) << WideToAnsi(row.wide) << " / " << row.ansi;
}

TEST(WydComCtrlsRules, AcceleratorIsTheCharacterAfterASingleAmpersand)
{
    auto any = [](int) { return true; };
    std::vector<WideString> captions{L"No key", L"Fish && Chips", L"&Apple", L"B&anana", L"&&x &Cherry"};
    EXPECT_EQ(FindAcceleratorCaption('a', captions, any), 2) << "the first match, without case";
    EXPECT_EQ(FindAcceleratorCaption('C', captions, any), 4) << "after a literal ampersand";
    EXPECT_EQ(FindAcceleratorCaption('h', captions, any), -1) << "&& is no hot key";
    EXPECT_EQ(FindAcceleratorCaption('a', captions, [](int i) { return i != 2; }), 3)
        << "an unusable one is passed over";
}
