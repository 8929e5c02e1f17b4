// Accelerators of wide captions (they move the focus, so these cases run alone): each control kind answers a
// typed character that is its caption's accelerator, in any script and without regard to case.
#include "WydStdCtrlsTestSupport.h"

using namespace vcl;
using namespace wydtest;

namespace {

using WydAccelerators = WydFormFixture;

// CM_DIALOGCHAR as the form hands it to its controls; a character beyond 255 may come packed.
LRESULT DialogChar(TForm* form, wchar_t c, bool packed = false)
{
    WPARAM wParam = packed && c > 255 ? MAKEWPARAM(255, c) : WPARAM(c);
    return form->Perform(CM_DIALOGCHAR, wParam, 0);
}

}  // namespace

TEST(WydAcceleratorText, TheLastSingleAmpersandMarksTheCharacterComparedWithoutCase)
{
    struct Case {
        WORD Typed;
        const wchar_t* Caption;
        bool Expected;
    } cases[] = {
        {L'\x0436', L"&\x0416\x0443\x0440", true},   // small zhe typed, capital in the caption
        {L'\x03B5', L"\x0395&\x03BB\x03BB", false},  // the marked letter is lambda
        {L'\x03BB', L"\x0395&\x039B\x03BB", true},
        {'s', L"Save && &Send", true},             // "&&" is a literal ampersand
        {'&', L"Save && Quit", false},
        {'q', L"&Write &Quit", true},              // the last mark counts
        {'w', L"&Write &Quit", false},
        {'x', L"x&", false},                       // a mark at the end marks nothing
        {L'\x6F22', L"\x4E2D(&\x6F22)", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsWideCharAccel(c.Typed, c.Caption), c.Expected) << Utf8(c.Caption);
}

TEST_F(WydAccelerators, ButtonsClickCheckBoxesToggleAndLabelsFocusTheirControl)
{
    auto* edit = Make<TWydEdit>(10, 10);
    auto* button = Make<TWydButton>(10, 40);
    button->SetCaption(L"&\x0416\x0430\x043D\x0440");
    int clicks = 0;
    button->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    auto* check = Make<TWydCheckBox>(10, 70);
    check->SetCaption(L"&\x0395\x03BB\x03BB\x03AC\x03B4\x03B1");
    auto* label = Make<TWydLabel>(200, 10);
    label->SetCaption(L"&" + Cjk);
    auto* target = Make<TWydEdit>(200, 40);
    label->SetFocusControl(target);
    auto* note = Make<TWydStaticText>(200, 70);
    note->SetCaption(L"&\x3042");
    note->SetFocusControl(edit);
    auto* speed = Make<TWydSpeedButton>(200, 100);
    speed->SetCaption(L"&\x03A9");
    int speedClicks = 0;
    speed->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++speedClicks; });
    form->Show();
    SetForegroundWindow(form->WindowHandle);

    EXPECT_EQ(DialogChar(form.get(), L'\x0436'), 1);
    EXPECT_EQ(clicks, 1) << "a small letter for a capital one";
    EXPECT_EQ(DialogChar(form.get(), L'\x03B5', true), 1);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return check->Focused(); }, 2000));
    EXPECT_TRUE(check->GetChecked()) << "focused, then toggled";
    EXPECT_EQ(DialogChar(form.get(), Cjk[0]), 1);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return target->Focused(); }, 2000)) << "the label's focus control";
    EXPECT_EQ(DialogChar(form.get(), L'\x3042'), 1);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return edit->Focused(); }, 2000)) << "the static text's focus control";
    EXPECT_EQ(DialogChar(form.get(), L'\x03C9'), 1);
    EXPECT_EQ(speedClicks, 1);
    EXPECT_EQ(DialogChar(form.get(), L'?'), 0) << "the ANSI form's '?' is no accelerator";
    EXPECT_EQ(clicks, 1);
    speed->SetEnabled(false);
    EXPECT_EQ(DialogChar(form.get(), L'\x03C9'), 0) << "a disabled speed button";
}

TEST_F(WydAccelerators, GroupBoxFocusesItsFirstControlAndRadioButtonTakesTheFocus)
{
    auto* group = Make<TWydGroupBox>(10, 10);
    group->SetCaption(L"&\x03A9\x03BC\x03AD\x03B3\x03B1");
    auto* inner = new TWydEdit(form.get());
    inner->SetParent(group);
    inner->SetBounds(10, 30, 100, 24);
    auto* radio = Make<TWydRadioButton>(250, 10);
    radio->SetCaption(L"&\x0411\x0443\x043A\x0432\x0430");
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    EXPECT_EQ(DialogChar(form.get(), L'\x03C9'), 1);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return inner->Focused(); }, 2000));
    EXPECT_EQ(DialogChar(form.get(), L'\x0431'), 1);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return radio->Focused(); }, 2000));
}

TEST_F(WydAccelerators, AltWithAnAsciiAcceleratorThroughTheLoopClicksAWideButton)
{
    auto* edit = Make<TWydEdit>(10, 10);
    auto* button = Make<TWydButton>(10, 40);
    button->SetCaption(Cyrillic + L" &Write");
    int clicks = 0;
    button->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    form->Show();
    PostMessageW(edit->WindowHandle, WM_SYSCHAR, 'W', 1 << 29);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return clicks == 1; }));
}
