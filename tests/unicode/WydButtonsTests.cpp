// Tests of the glyph buttons with wide captions: the layout of glyph and caption, the first paint that builds
// the glyph images, caption storing, the speed button's states.
#include "WydStdCtrlsTestSupport.h"

using namespace vcl;
using namespace wydtest;

namespace {

struct LayoutCase {
    const char* Context;
    SIZE Client, Glyph, Text;
    TButtonLayout Layout;
    int Margin, Spacing;
    POINT GlyphAt, TextAt;
};

// A teal square glyph on a white (transparent) background.
void MakeGlyph(TBitmap& glyph, int size = 16)
{
    glyph.SetSize(size, size);
    glyph.GetCanvas()->GetBrush()->SetColor(clWhite);
    glyph.GetCanvas()->FillRect(RECT{0, 0, size, size});
    glyph.GetCanvas()->GetBrush()->SetColor(clTeal);
    glyph.GetCanvas()->FillRect(RECT{2, 2, size - 2, size - 2});
}

int CountPixels(HWND window, COLORREF color)
{
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            count += GetPixel(dc, x, y) == color;
    ReleaseDC(window, dc);
    return count;
}

using WydButtons = WydFormFixture;

}  // namespace

TEST(WydGlyphLayout, MarginAndSpacingPlaceGlyphAndText)
{
    const LayoutCase cases[] = {
        {"automatic margin and spacing: equal gaps", {75, 25}, {16, 16}, {30, 13}, TButtonLayout::blGlyphLeft, -1,
         -1, {9, 5}, {34, 6}},
        {"automatic margin centres the pair", {75, 25}, {16, 16}, {30, 13}, TButtonLayout::blGlyphLeft, -1, 4,
         {13, 5}, {33, 6}},
        {"automatic spacing splits what is left", {75, 25}, {16, 16}, {30, 13}, TButtonLayout::blGlyphLeft, 5, -1,
         {5, 5}, {33, 6}},
        {"glyph right", {75, 25}, {16, 16}, {30, 13}, TButtonLayout::blGlyphRight, 4, 4, {55, 5}, {21, 6}},
        {"glyph on top", {40, 60}, {16, 16}, {30, 13}, TButtonLayout::blGlyphTop, 4, 2, {12, 4}, {5, 22}},
        {"glyph below", {40, 60}, {16, 16}, {30, 13}, TButtonLayout::blGlyphBottom, 4, 2, {12, 40}, {5, 25}},
        {"no text: no spacing, glyph centred", {75, 25}, {16, 16}, {0, 0}, TButtonLayout::blGlyphLeft, -1, 4,
         {30, 5}, {46, 13}},
        {"no glyph: the text centred", {75, 25}, {0, 0}, {30, 13}, TButtonLayout::blGlyphLeft, -1, 4, {23, 13},
         {23, 6}},
    };
    for (const LayoutCase& c : cases) {
        TWydGlyphLayout at = WydCalcGlyphLayout(c.Client, c.Glyph, c.Text, c.Layout, c.Margin, c.Spacing);
        EXPECT_EQ(at.GlyphPos.x, c.GlyphAt.x) << c.Context;
        EXPECT_EQ(at.GlyphPos.y, c.GlyphAt.y) << c.Context;
        EXPECT_EQ(at.TextPos.x, c.TextAt.x) << c.Context;
        EXPECT_EQ(at.TextPos.y, c.TextAt.y) << c.Context;
    }
}

TEST_F(WydButtons, CaptionBeyondTheCodePageIsLaidOutAtItsRealWidthAndRightToLeftSwapsSides)
{
    auto* button = Make<TWydSpeedButton>();
    TBitmap glyph;
    MakeGlyph(glyph);
    button->SetGlyph(&glyph);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, button->GetFont()->GetHandle());
    SIZE wide{};
    GetTextExtentPoint32W(dc, Cjk.c_str(), int(Cjk.size()), &wide);
    RECT client{0, 0, 120, 30};
    POINT glyphAt{};
    RECT text{};
    TButtonGlyph_CalcButtonLayout(button, dc, client, POINT{0, 0}, Cjk, TButtonLayout::blGlyphLeft, 2, 4, glyphAt,
                                  text, 0);
    EXPECT_EQ(text.right - text.left, wide.cx);
    EXPECT_EQ(glyphAt.x, 2);
    EXPECT_EQ(text.left, 2 + 16 + 4);
    TButtonGlyph_CalcButtonLayout(button, dc, client, POINT{3, 1}, Cjk, TButtonLayout::blGlyphLeft, 2, 4, glyphAt,
                                  text, DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(glyphAt.x, 120 - 2 - 16 + 3) << "right-to-left reading puts the glyph on the right";
    EXPECT_EQ(glyphAt.y, (30 - 16 + 1) / 2 + 1);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_THROW(TButtonGlyph_CalcButtonLayout(form.get(), dc, client, POINT{}, Cjk, TButtonLayout::blGlyphLeft, 2, 4,
                                               glyphAt, text, 0),
                 EWydInternalError)
        << "only glyph buttons are laid out";
}

TEST_F(WydButtons, FirstPaintBuildsTheGlyphImagesAndShowsTheGlyph)
{
    auto* button = Make<TWydBitBtn>();
    button->SetBounds(10, 10, 120, 32);
    button->SetCaption(Greek);
    TBitmap glyph;
    MakeGlyph(glyph);
    button->SetGlyph(&glyph);
    ASSERT_EQ(button->GetButtonGlyph()->StateIndex[int(TButtonState::bsUp)], -1);
    form->Show();
    UpdateWindow(form->WindowHandle);
    EXPECT_GE(button->GetButtonGlyph()->StateIndex[int(TButtonState::bsUp)], 0);
    EXPECT_TRUE(vcltest::PumpUntil([&] { return CountPixels(button->WindowHandle, RGB(0, 128, 128)) >= 100; }))
        << "the glyph is on the button after its first paint";
    // A glyph changed later is built again at the next paint.
    glyph.GetCanvas()->GetBrush()->SetColor(clMaroon);
    glyph.GetCanvas()->FillRect(RECT{2, 2, 14, 14});
    button->SetGlyph(&glyph);
    button->Repaint();
    EXPECT_TRUE(vcltest::PumpUntil([&] { return CountPixels(button->WindowHandle, RGB(128, 0, 0)) >= 100; }));
    EXPECT_EQ(CountPixels(button->WindowHandle, RGB(0, 128, 128)), 0) << "no stale glyph";
}

TEST_F(WydButtons, BitButtonStoresItsCaptionWhenTheLibraryWould)
{
    auto* button = Make<TWydBitBtn>();
    button->SetKind(TBitBtnKind::bkCancel);
    EXPECT_FALSE(button->IsCaptionStored()) << "the kind's own caption";
    button->SetCaption(Cyrillic);
    EXPECT_TRUE(button->IsCaptionStored());
    button->SetKind(TBitBtnKind::bkCustom);
    EXPECT_TRUE(button->IsCaptionStored()) << "a custom button stores its caption";
    EXPECT_TRUE(button->GetCaption() == Cyrillic);
}

TEST_F(WydButtons, DisabledStateOfAnEnabledDownButtonInAGroupPaintsExclusive)
{
    auto* down = Make<TWydSpeedButton>();
    auto* other = Make<TWydSpeedButton>(40, 10);
    for (TWydSpeedButton* b : {down, other})
        b->SetGroupIndex(1);
    down->SetDown(true);
    down->SetCaption(Cjk);
    form->Show();
    down->State = TButtonState::bsDisabled;
    other->State = TButtonState::bsDisabled;
    UpdateWindow(form->WindowHandle);
    EXPECT_EQ(down->State, TButtonState::bsExclusive);
    EXPECT_EQ(other->State, TButtonState::bsUp);
    other->SetEnabled(false);
    UpdateWindow(form->WindowHandle);
    EXPECT_EQ(other->State, TButtonState::bsDisabled);
}

TEST_F(WydButtons, SpeedButtonDisabledWhileHeldDownIsNotClickedWhenLetGo)
{
    auto* button = Make<TWydSpeedButton>();
    button->SetCaption(Greek);
    int clicks = 0;
    button->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++clicks; });
    form->Show();
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(button->Dragging());
    button->SetEnabled(false);
    UpdateWindow(form->WindowHandle);
    EXPECT_FALSE(button->Dragging()) << "painted disabled: held no more";
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 0);
}
