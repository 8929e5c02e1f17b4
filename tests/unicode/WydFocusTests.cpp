// Window tests of the wide standard controls that follow the focus or drop a list (so they run alone): the frame of
// a default bit button, and the list of a combo box that drops as characters are typed.
#include "WydStdCtrlsTestSupport.h"

using namespace vcl;
using namespace wydtest;
using vcltest::PumpUntil;

namespace {

class WydFocus : public WydFormFixture {
protected:
    // Focuses the control and waits until its form knows.
    bool Focus(TWinControl* control)
    {
        control->SetFocus();
        return PumpUntil([&] { return form->GetActiveControl() == control; }, 3000);
    }
};

COLORREF TopLeftPixel(TWinControl* control)
{
    HDC dc = GetDC(control->WindowHandle);
    COLORREF pixel = GetPixel(dc, 0, 0);
    ReleaseDC(control->WindowHandle, dc);
    return pixel;
}

}  // namespace

TEST_F(WydFocus, DefaultBitButtonDropsItsFrameWhileAnotherButtonHoldsTheFocus)
{
    auto* ok = Make<TWydBitBtn>(10, 10);
    ok->SetCaption(Cyrillic);
    ok->SetDefault(true);
    auto* other = Make<TWydButton>(10, 50);
    other->SetCaption(Greek);
    auto* edit = Make<TWydEdit>(10, 90);
    form->Show();
    const COLORREF frame = ColorToRGB(clWindowFrame);
    ASSERT_TRUE(Focus(edit));
    EXPECT_TRUE(PumpUntil([&] { return TopLeftPixel(ok) == frame; }, 3000))
        << "the focus on no button: the default button has the thick frame";
    ASSERT_TRUE(Focus(other));
    EXPECT_TRUE(PumpUntil([&] { return TopLeftPixel(ok) != frame; }, 3000))
        << "another button holds the focus: the default button's frame goes";
}

TEST_F(WydFocus, AutoDropDownComboLeavesItsListForBackspaceAndEscapeAndKeepsTheTypedSelection)
{
    auto* combo = Make<TWydComboBox>();
    combo->SetAutoDropDown(true);
    form->Show();
    for (const WideString& s : {Cyrillic, Greek, Cjk})
        combo->GetItems()->Add(s);
    ASSERT_TRUE(Focus(combo));
    ASSERT_NE(combo->EditHandle, nullptr);
    for (wchar_t key : {L'\b', L'\x1B'}) {
        SendMessageW(combo->EditHandle, WM_CHAR, WPARAM(key), 1);
        EXPECT_FALSE(combo->GetDroppedDown()) << "key " << int(key);
    }
    SendMessageW(combo->EditHandle, WM_CHAR, WPARAM(Greek[0]), 1);
    EXPECT_TRUE(combo->GetDroppedDown());
    EXPECT_TRUE(combo->GetText() == Greek) << "completed: " << Utf8(combo->GetText());
    EXPECT_EQ(combo->GetSelStart(), 1);
    EXPECT_EQ(combo->GetSelLength(), int(Greek.size()) - 1) << "the completed part stays selected";
}
