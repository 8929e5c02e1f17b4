// Window tests that follow the focus and the typed keys (so they run alone): the button Enter would press, and the
// combo box that drops its list as characters are typed.
#include <gtest/gtest.h>

#include <memory>

#include "Buttons.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

struct ActiveFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 400, 300);
    }
    void TearDown() override { form.reset(); }
    template <class T> T* Make(int top)
    {
        auto* control = new T(form.get());
        control->SetBounds(10, top, 120, 25);
        control->SetParent(form.get());
        return control;
    }
    // Focuses the control and waits until its form knows.
    bool Focus(TWinControl* control)
    {
        control->SetFocus();
        return PumpUntil([&] { return form->GetActiveControl() == control; }, 3000);
    }
    std::unique_ptr<TForm> form;
};

class TProbeBitBtn : public TBitBtn {
    VCL_CLASS(TProbeBitBtn, TBitBtn)
    using TBitBtn::TBitBtn;
    bool Active() const { return FIsFocused; }
};
VCL_IMPLEMENT_CLASS(TProbeBitBtn, TBitBtn)

bool ShowsDefault(TButton* button)
{
    return (GetWindowLongA(button->WindowHandle, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

}  // namespace

TEST_F(ActiveFixture, TheFocusedButtonIsActiveElseTheDefaultOne)
{
    auto* ok = Make<TButton>(10);
    ok->SetDefault(true);
    auto* other = Make<TButton>(40);
    auto* glyph = Make<TProbeBitBtn>(70);
    glyph->SetDefault(true);
    auto* edit = Make<TEdit>(100);
    form->Show();
    ASSERT_TRUE(Focus(edit));
    EXPECT_TRUE(ShowsDefault(ok)) << "the focus on no button: the default one";
    EXPECT_FALSE(ShowsDefault(other));
    EXPECT_TRUE(glyph->Active());
    ASSERT_TRUE(Focus(other));
    EXPECT_FALSE(ShowsDefault(ok));
    EXPECT_TRUE(ShowsDefault(other)) << "the focused button";
    EXPECT_FALSE(glyph->Active()) << "a default bit button while another button holds the focus";
    ASSERT_TRUE(Focus(glyph));
    EXPECT_TRUE(glyph->Active());
    EXPECT_TRUE(GetWindowLongA(glyph->WindowHandle, GWL_STYLE) & BS_OWNERDRAW) << "still drawn by itself";
}

TEST_F(ActiveFixture, AutoDropDownOpensForTypedCharactersOnly)
{
    auto* combo = Make<TComboBox>(10);
    combo->SetAutoDropDown(true);
    form->Show();
    combo->GetItems()->Add("alpha");
    combo->GetItems()->Add("beta");
    ASSERT_TRUE(Focus(combo));
    ASSERT_NE(combo->EditHandle, nullptr);
    for (WPARAM key : {WPARAM(VK_BACK), WPARAM(VK_ESCAPE)}) {
        SendMessageA(combo->EditHandle, WM_CHAR, key, 1);
        EXPECT_FALSE(combo->GetDroppedDown()) << "key " << key;
    }
    SendMessageA(combo->EditHandle, WM_CHAR, 'b', 1);
    EXPECT_TRUE(combo->GetDroppedDown());
    SendMessageA(combo->EditHandle, WM_CHAR, VK_TAB, 1);
    EXPECT_FALSE(combo->GetDroppedDown()) << "Tab closes the list";
    combo->SetAutoComplete(false);
    SendMessageA(combo->EditHandle, WM_CHAR, 'a', 1);
    EXPECT_FALSE(combo->GetDroppedDown()) << "without completion the list stays closed";
}
