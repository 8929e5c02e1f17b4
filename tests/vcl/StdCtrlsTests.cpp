// Window tests of the standard controls and their relatives: edits, combo boxes, the spin edit, bit
// buttons, application events and the clipboard.
#include <gtest/gtest.h>

#include <memory>

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
