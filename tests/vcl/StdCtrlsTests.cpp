// Window tests of the standard controls and their relatives: edits, combo boxes, the spin edit, bit
// buttons, application events and the clipboard; list boxes with virtual items; accelerators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "AppEvnts.h"
#include "Buttons.h"
#include "CSpin.h"
#include "Clipbrd.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {
struct StdFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(70, 70, 360, 240);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};
}  // namespace

TEST_F(StdFixture, SpinEditClampsItsValueAndStepsWithTheArrows)
{
    auto* spin = new TCSpinEdit(form.get());
    spin->SetParent(form.get());
    spin->SetMinValue(1);
    spin->SetMaxValue(999);
    EXPECT_EQ(spin->GetValue(), 1) << "0 is below the minimum";
    spin->SetValue(5000);
    EXPECT_EQ(spin->GetValue(), 999);
    spin->SetText("abc");
    EXPECT_EQ(spin->GetValue(), 1) << "text that is no number reads as the minimum";
    int clicks = 0, changes = 0;
    spin->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    spin->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    spin->SetValue(10);
    WORD up = VK_UP;
    SendMessageA(spin->WindowHandle, WM_KEYDOWN, up, 0);
    EXPECT_EQ(spin->GetValue(), 11);
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(changes, 2);
    char typed = 'x';
    SendMessageA(spin->WindowHandle, WM_CHAR, BYTE(typed), 0);
    EXPECT_EQ(spin->GetText(), "11") << "letters are refused";
}

namespace {
struct TKeyProbe : TEdit {
    using TEdit::TEdit;
    bool Press(TMessage& msg) { return DoKeyPress(msg); }
};
}  // namespace

TEST_F(StdFixture, KeyPressCanDiscardACharacterAndKeepsThePackedHighWord)
{
    auto* edit = new TKeyProbe(form.get());
    edit->SetParent(form.get());
    edit->OnKeyPress = MakeEvent<TObject*, char&>(nullptr, [](TObject*, char& key) {
        if (key == 'x')
            key = 0;
        else if (key == 'a')
            key = 'b';
    });
    form->Show();
    SendMessageA(edit->WindowHandle, WM_CHAR, 'x', 0);
    SendMessageA(edit->WindowHandle, WM_CHAR, 'a', 0);
    EXPECT_EQ(edit->GetText(), "b");
    TMessage m{WM_CHAR, 0x12340000 | 'a', 0, 0};
    EXPECT_FALSE(edit->Press(m));
    EXPECT_EQ(m.WParam, WPARAM(0x12340000 | 'b'));
}

TEST_F(StdFixture, ComboSelectionSetsTheTextThenFiresOnSelectOrOnChange)
{
    auto* combo = new TComboBox(form.get());
    combo->SetParent(form.get());
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    form->Show();
    combo->GetItems()->Add("CD-R");
    combo->GetItems()->Add("DVD-R");
    AnsiString seen;
    combo->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { seen = combo->GetText(); });
    SendMessageA(combo->WindowHandle, CB_SETCURSEL, 1, 0);
    SendMessageA(form->WindowHandle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(combo->WindowHandle));
    EXPECT_EQ(seen, "DVD-R");
    int selects = 0;
    combo->OnSelect = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++selects; });
    seen.clear();
    SendMessageA(form->WindowHandle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(combo->WindowHandle));
    EXPECT_EQ(selects, 1);
    EXPECT_TRUE(seen.empty()) << "OnSelect takes the place of OnChange";
    EXPECT_NE(combo->ListHandle, nullptr);
}

TEST_F(StdFixture, BitButtonKindsGiveCaptionsAndResults)
{
    auto* ok = new TBitBtn(form.get());
    ok->SetParent(form.get());
    ok->SetKind(TBitBtnKind::bkOK);
    EXPECT_EQ(ok->GetCaption(), "OK");
    EXPECT_FALSE(ok->IsCaptionStored());
    ok->SetCaption("Fine");
    EXPECT_TRUE(ok->IsCaptionStored());
    EXPECT_EQ(ok->GetModalResult(), mrOk);
    TBitmap glyph;
    glyph.SetSize(32, 16);
    ok->SetGlyph(&glyph);
    EXPECT_EQ(ok->GetNumGlyphs(), 2);
    form->Show();
    EXPECT_EQ(GetWindowLongPtrA(ok->WindowHandle, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    UpdateWindow(form->WindowHandle);
    ok->GetButtonGlyph()->BuildGlyphImages();
    EXPECT_GE(ok->GetButtonGlyph()->StateIndex[int(TButtonState::bsDisabled)], 0);
}

TEST_F(StdFixture, ApplicationEventsHearEveryMessageThroughApplicationOnMessage)
{
    auto* events = new TApplicationEvents(form.get());
    const UINT probe = WM_APP + 33;
    int heard = 0;
    events->OnMessage = MakeEvent<TMsg&, bool&>(nullptr, [&](TMsg& msg, bool& handled) {
        if (msg.message == probe) {
            ++heard;
            handled = true;
        }
    });
    PostMessageA(Application->GetHandle(), probe, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return heard == 1; }));
    // A caller of Application->OnMessage (the Unicode layer's hook) reaches the component too.
    TMsg msg{};
    msg.message = probe;
    bool handled = false;
    Application->OnMessage(msg, handled);
    EXPECT_EQ(heard, 2);
    EXPECT_TRUE(handled);
    delete events;
    EXPECT_FALSE(bool(Application->OnMessage)) << "the application's event is put back";
}

TEST_F(StdFixture, ClipboardTextRoundTripsAndNestedOpensEmptyOnce)
{
    Clipboard()->SetAsText("Pagorin 1.2");
    EXPECT_EQ(Clipboard()->GetAsText(), "Pagorin 1.2");
    Clipboard()->Open();
    Clipboard()->SetAsText("first");
    const char raw[] = "raw";
    UINT format = RegisterClipboardFormatA("Pagorin test format");
    Clipboard()->SetBuffer(format, raw, sizeof raw);
    Clipboard()->Close();
    EXPECT_TRUE(Clipboard()->HasFormat(format));
    EXPECT_EQ(Clipboard()->GetAsText(), "first") << "the second format did not empty the first";
}

namespace {
TObject* Tag(int n) { return reinterpret_cast<TObject*>(uintptr_t(0x1000 + n)); }
}  // namespace

TEST_F(StdFixture, ComboPutOnTheSelectedItemKeepsTheSelectionAndTheObject)
{
    auto* combo = new TComboBox(form.get());
    combo->SetParent(form.get());
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    form->Show();
    for (const char* text : {"Automatic", "CD", "DVD"})
        combo->GetItems()->Add(text);
    combo->GetItems()->PutObject(1, Tag(1));
    combo->SetItemIndex(1);
    combo->GetItems()->Put(1, "CD-R");
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_EQ(combo->GetText(), "CD-R");
    EXPECT_EQ(combo->GetItems()->GetObject(1), Tag(1));
    combo->GetItems()->Put(2, "DVD-R");
    EXPECT_EQ(combo->GetItemIndex(), 1) << "replacing another item leaves the selection alone";
    EXPECT_EQ(combo->GetItems()->IndexOf("dvd-r"), 2) << "found without regard to case";
}

TEST_F(StdFixture, VirtualListBoxItemsComeFromItsEventsAndSurviveRecreation)
{
    auto* list = new TListBox(form.get());
    list->SetParent(form.get());
    list->SetStyle(TListBoxStyle::lbVirtual);
    const std::vector<AnsiString> rows{"alpha", "beta", "gamma"};
    list->OnData = MakeEvent<TWinControl*, int, AnsiString&>(nullptr, [&](TWinControl*, int i, AnsiString& s) {
        s = rows.at(size_t(i));
    });
    list->OnDataObject =
        MakeEvent<TWinControl*, int, TObject*&>(nullptr, [](TWinControl*, int i, TObject*& o) { o = Tag(i); });
    list->OnDataFind = MakeEvent<TWinControl*, const AnsiString&, int&>(
        nullptr, [&](TWinControl*, const AnsiString& s, int& index) {
            auto found = std::find(rows.begin(), rows.end(), s);
            index = found == rows.end() ? -1 : int(found - rows.begin());
        });
    list->SetCount(3);
    form->Show();
    EXPECT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetItems()->GetCount(), 3);
    EXPECT_EQ(list->GetItems()->Get(1), "beta");
    EXPECT_EQ(list->GetItems()->GetObject(2), Tag(2));
    EXPECT_EQ(list->GetItems()->IndexOf("gamma"), 2);
    EXPECT_EQ(list->GetItems()->IndexOf("delta"), -1);
    EXPECT_THROW(list->GetItems()->Get(3), EStringListError);
    // Other programs and the system ask through the messages.
    char text[16];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETTEXTLEN, 0, 0), 5);
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETTEXT, 0, LPARAM(text)), 5);
    EXPECT_STREQ(text, "alpha");
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETTEXT, 3, LPARAM(text)), LB_ERR);
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETITEMDATA, 1, 0), LRESULT(Tag(1)));
    list->SetItemIndex(2);
    list->SetItemHeight(20);  // re-creates the window
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list->GetItemIndex(), 2);
    list->Clear();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_THROW(TListBox(nullptr).SetCount(1), EListError) << "only a virtual list box is told its count";
}

TEST_F(StdFixture, ListBoxMoveTakesTheSelectionWithTheItem)
{
    auto* list = new TListBox(form.get());
    list->SetParent(form.get());
    form->Show();
    for (const char* text : {"a", "b", "c", "d"})
        list->GetItems()->Add(text);
    list->GetItems()->PutObject(1, Tag(1));
    list->SetItemIndex(1);
    list->GetItems()->Move(1, 3);
    EXPECT_EQ(list->GetItems()->GetCommaText(), "a,c,d,b");
    EXPECT_EQ(list->GetItemIndex(), 3);
    EXPECT_EQ(list->GetItems()->GetObject(3), Tag(1));
    EXPECT_FALSE(list->GetMoving());
    list->GetItems()->Move(0, 1);
    EXPECT_EQ(list->GetItemIndex(), 3) << "an item that was not selected moves without selecting";
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    list->GetItems()->Move(0, 3);
    EXPECT_TRUE(list->GetSelected(3));
    EXPECT_EQ(list->GetSelCount(), 2);
    list->DeleteString(0);
    EXPECT_EQ(list->GetItems()->GetCount(), 3);
    list->ResetContent();
    EXPECT_EQ(list->GetItems()->GetCount(), 0);
}

TEST_F(StdFixture, AltWithAnAcceleratorThroughTheLoopClicksTheButton)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetTop(40);
    button->SetCaption("&Write");
    int clicks = 0;
    button->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    form->Show();
    PostMessageA(edit->WindowHandle, WM_SYSCHAR, 'w', 1 << 29);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    EXPECT_EQ(edit->Perform(CN_SYSCHAR, 'x', 1 << 29), 0) << "no control has that accelerator";
    EXPECT_EQ(edit->Perform(CN_SYSCHAR, VK_SPACE, 1 << 29), 0) << "Alt+Space stays the window menu's";
    EXPECT_EQ(clicks, 1);
}
