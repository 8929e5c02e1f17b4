// Colour routines: the hue/saturation/luminance scale with its exact rounding, shades, blends, closeness.
#include <gtest/gtest.h>

#include "QvColor.h"

using namespace vcl;

namespace {

struct Hsl {
    int h, s, l;
};

Hsl ToHsl(TColor color)
{
    BYTE h, s, l;
    ColorToHSL(color, h, s, l);
    return {h, s, l};
}

TEST(QvColor, ConvertsTheNamedExamplesBothWays)
{
    const struct {
        const char* context;
        TColor color;
        Hsl hsl;
    } rows[] = {
        {"white", clWhite, {0, 0, 240}},
        {"black", clBlack, {0, 0, 0}},
        {"red", clRed, {0, 240, 120}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.context);
        const Hsl hsl = ToHsl(row.color);
        EXPECT_EQ(hsl.h, row.hsl.h);
        EXPECT_EQ(hsl.s, row.hsl.s);
        EXPECT_EQ(hsl.l, row.hsl.l);
        EXPECT_EQ(HSLtoColor(row.hsl.h, row.hsl.s, row.hsl.l), row.color);
    }
}

TEST(QvColor, HueComesBackDividedBy239)
{
    EXPECT_EQ(ColorHue(clBlue), 160);
    // 6 * 160 / 239 passes the sextant boundary a little: red creeps in.
    const TColor back = HSLtoColor(160, 240, 120);
    EXPECT_EQ(GetBValue(back), 255);
    EXPECT_EQ(GetGValue(back), 0);
    EXPECT_EQ(GetRValue(back), 4);
}

TEST(QvColor, RoundsHalvesToEven)
{
    // Grey 0x808080: l = 128/255, 240 * l = 120.47 -> 120; grey 0x7F7F7F: 119.53 -> 120 as well.
    EXPECT_EQ(ColorLuminance(0x808080), 120);
    EXPECT_EQ(ColorLuminance(0x7F7F7F), 120);
    // Luminance 17: 255 * 17 / 240 = 18.0625 -> 18; luminance 8: 8.5 -> 8 (even), not 9.
    EXPECT_EQ(GetRValue(HSLtoColor(0, 0, 17)), 18);
    EXPECT_EQ(GetRValue(HSLtoColor(0, 0, 8)), 8);
}

TEST(QvColor, SaturationAboveTheScaleNeverWrapsAComponent)
{
    // Below half luminance m = l(1 - s) turns negative above saturation 240: blue (m) is held at 0 instead of
    // wrapping to 252 and more.
    for (int s = 241; s <= 255; ++s) {
        const TColor c = HSLtoColor(0, static_cast<BYTE>(s), 60);
        EXPECT_EQ(GetBValue(c), 0) << s;
        EXPECT_EQ(GetGValue(c), 0) << s;
        EXPECT_GE(GetRValue(c), 127) << s;
    }
}

TEST(QvColor, ShadesStopAtTheEndsOfTheScale)
{
    EXPECT_EQ(LighterColor(clWhite, 100), clWhite);
    EXPECT_EQ(DarkerColor(clBlack, 50), clBlack);
    // The lighter cap is 255, so components clamp at white rather than wrapping.
    EXPECT_EQ(LighterColor(0xC0C0C0, 200), clWhite);
    EXPECT_EQ(ColorLuminance(DarkerColor(0x808080, 50)), 70);
}

TEST(QvColor, AdjustByZeroKeepsSystemColours)
{
    EXPECT_EQ(AdjustColor(clBtnFace, 0), clBtnFace);
    EXPECT_EQ(AdjustColor(0x808080, -50), DarkerColor(0x808080, 50));
    EXPECT_EQ(AdjustColor(0x808080, 40), LighterColor(0x808080, 40));
}

TEST(QvColor, BlendEndsAreTheColoursInRgb)
{
    EXPECT_EQ(BlendColors(clRed, clBlue, 255), clRed);
    EXPECT_EQ(BlendColors(clRed, clBlue, 0), clBlue);
    EXPECT_EQ(BlendColors(clBtnFace, clBlack, 255), static_cast<TColor>(ColorToRGB(clBtnFace)));
    // 255 * 128/255 = 128 exactly; 0x10 * 0.5 = 8 for the other colour.
    EXPECT_EQ(BlendColors(0xFFFFFF, 0x000000, 128), 0x808080);
}

TEST(QvColor, TooCloseComparesHueThenLuminance)
{
    // Greys of luminance 120 and 179 / 180 (hue 0, saturation 0).
    const TColor grey120 = HSLtoColor(0, 0, 120), grey179 = HSLtoColor(0, 0, 179), grey180 = HSLtoColor(0, 0, 180);
    ASSERT_EQ(ColorLuminance(grey179) - ColorLuminance(grey120), 59);
    EXPECT_TRUE(ColorsTooClose(grey120, grey179));
    EXPECT_FALSE(ColorsTooClose(grey120, grey180));
    EXPECT_FALSE(ColorsTooClose(HSLtoColor(0, 240, 120), HSLtoColor(20, 240, 120)));
    EXPECT_TRUE(ColorsTooClose(HSLtoColor(0, 240, 120), HSLtoColor(19, 240, 120)));
}

TEST(QvColor, FullColorSupportOnATrueColourScreen)
{
    // The test display runs at 24 bits per pixel.
    EXPECT_TRUE(FullColorSupport());
}

}  // namespace
