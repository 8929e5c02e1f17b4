// Frame and border painting, checked pixel by pixel on memory bitmaps.
#include <gtest/gtest.h>

#include <cstdlib>

#include "QvColor.h"
#include "QvFrames.h"
#include "QvTestSupport.h"
#include "QvThemeSrv.h"

using namespace vcl;

namespace {

TEST(QvFrames, SidesWithoutColourStillNarrow)
{
    QvSurface s(10, 10);
    const RECT inner = DrawSides(s.Canvas(), {0, 0, 10, 10}, clNone, clNone, SideBit(sdLeft) | SideBit(sdBottom));
    EXPECT_RECT(inner, 1, 0, 10, 9);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(s.At(0, i), clWhite);
        EXPECT_EQ(s.At(i, 9), clWhite);
    }
}

TEST(QvFrames, SidesPaintEdgesButNotLineEnds)
{
    QvSurface s(10, 10);
    DrawSides(s.Canvas(), {2, 2, 8, 8}, clRed, clBlue, AllSides);
    EXPECT_EQ(s.At(2, 2), clRed);
    EXPECT_EQ(s.At(2, 6), clRed);
    EXPECT_EQ(s.At(7, 2), clBlue);  // the right line is drawn after the top one
    EXPECT_EQ(s.At(7, 7), clBlue);
    EXPECT_EQ(s.At(2, 8), clWhite);  // LineTo leaves the end point
}

TEST(QvFrames, GrooveNarrowsByTwoAndPutsTheLowerRightColourTopRight)
{
    QvSurface s(12, 12);
    const RECT inner = DrawBorderSides(s.Canvas(), {0, 0, 12, 12}, fsGroove, AllSides);
    EXPECT_RECT(inner, 2, 2, 10, 10);
    EXPECT_EQ(s.At(11, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(s.At(0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(s.At(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(s.At(0, 11), Rgb(clBtnHighlight));
}

TEST(QvFrames, StylesOutsideTheTableDrawNothing)
{
    QvSurface s(8, 8);
    const RECT r = {0, 0, 8, 8};
    EXPECT_RECT(DrawBorderSides(s.Canvas(), r, fsNone, AllSides), 0, 0, 8, 8);
    EXPECT_RECT(DrawBorderSides(s.Canvas(), r, fsFlatRounded, AllSides), 0, 0, 8, 8);
    EXPECT_RECT(DrawBorderSides(s.Canvas(), r, static_cast<TFrameStyleEx>(200), AllSides), 0, 0, 8, 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s.At(i, 0), clWhite);
}

TEST(QvFrames, FrameTakesSystemColoursOnlyForWindowColour)
{
    QvSurface system(20, 20), derived(20, 20);
    DrawFrame(system.Canvas(), 20, 20, fsLowered, clWindow, clBlack, AllSides, false);
    DrawFrame(derived.Canvas(), 20, 20, fsLowered, clBtnFace, clBlack, AllSides, false);
    EXPECT_EQ(system.At(0, 5), Rgb(clBtnShadow));
    EXPECT_EQ(system.At(1, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(derived.At(0, 5), DarkerColor(clBtnFace, 50));
    EXPECT_EQ(derived.At(1, 5), DarkerColor(clBtnFace, 100));
}

TEST(QvFrames, FlatFrameDrawsOnlyItsSidesAfterClearingTheRing)
{
    QvSurface s(10, 10, clBlack);
    DrawFrame(s.Canvas(), 10, 10, fsFlat, clYellow, clRed, SideBit(sdLeft) | SideBit(sdTop), false);
    EXPECT_EQ(s.At(0, 5), clRed);
    EXPECT_EQ(s.At(5, 0), clRed);
    EXPECT_EQ(s.At(9, 5), clYellow);  // cleared, not framed
    EXPECT_EQ(s.At(5, 8), clYellow);
    EXPECT_EQ(s.At(5, 5), clBlack);   // inside the two-pixel ring
    QvSurface kept(10, 10, clBlack);
    DrawFrame(kept.Canvas(), 10, 10, fsFlat, clYellow, clRed, SideBit(sdLeft), true);
    EXPECT_EQ(kept.At(9, 5), clBlack);
}

TEST(QvFrames, FocusBorderPaintsOddOffsetsOnly)
{
    QvSurface s(5, 5);
    const RECT inner = DrawFocusBorder(s.Canvas(), {0, 0, 5, 5});
    EXPECT_RECT(inner, 1, 1, 4, 4);
    const char* expected[5] = {".X.X.", "X...X", ".....", "X...X", ".X.X."};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(s.At(x, y), expected[y][x] == 'X' ? clBlack : clWhite) << x << "," << y;
}

TEST(QvFrames, DropShadowFadesOutward)
{
    QvSurface s(20, 20);
    DrawDropShadow(s.Canvas(), {2, 2, 12, 12}, 3, clBlack);
    EXPECT_EQ(s.At(12, 10), BlendColors(clBlack, clWhite, 128));
    EXPECT_EQ(s.At(13, 10), BlendColors(clBlack, clWhite, 86));
    EXPECT_EQ(s.At(14, 10), BlendColors(clBlack, clWhite, 44));
    EXPECT_EQ(s.At(12, 2), clWhite);  // starts 2 * depth pixels down
    QvSurface none(20, 20);
    DrawDropShadow(none.Canvas(), {2, 2, 12, 12}, 0, clBlack);
    EXPECT_EQ(none.At(12, 10), clWhite);
}

TEST(QvFrames, InnerOuterBordersChainFromTheOutsideIn)
{
    QvSurface s(20, 20);
    const RECT inner = DrawInnerOuterBorders(s.Canvas(), {0, 0, 20, 20}, fsFlat, fsFlatBold, 2, AllSides, 1,
                                             clYellow, clWhite, clGray, clBlue, 0, clWhite, clWhite, false, false);
    EXPECT_RECT(inner, 5, 5, 15, 15);
    EXPECT_EQ(s.At(0, 10), clBlue);
    EXPECT_EQ(s.At(1, 10), clYellow);
    EXPECT_EQ(s.At(2, 10), clYellow);
    EXPECT_EQ(s.At(3, 10), clBlue);
    EXPECT_EQ(s.At(4, 10), clBlue);
}

TEST(QvFrames, RoundedBorderLeavesCornersOpen)
{
    QvSurface s(10, 10);
    const RECT inner = DrawRoundedFlatBorder(s.Canvas(), {0, 0, 10, 10}, clRed, AllSides);
    EXPECT_RECT(inner, 2, 2, 8, 8);
    EXPECT_EQ(s.At(0, 0), clWhite);
    EXPECT_EQ(s.At(1, 1), clRed);
    EXPECT_EQ(s.At(2, 0), clRed);
    EXPECT_EQ(s.At(8, 8), clRed);
}

TEST(QvFrames, LedBarWithoutSegmentsOrRoomPaintsNothing)
{
    QvSurface s(30, 10);
    DrawLEDBar(s.Canvas(), {0, 0, 30, 10}, orHorizontal, clLime, clGreen, 0, 50, false);
    DrawLEDBar(s.Canvas(), {5, 0, 5, 10}, orHorizontal, clLime, clGreen, 4, 50, false);
    EXPECT_EQ(s.At(10, 5), clWhite);
    // More segments than pixels: one pixel each, two of five lit.
    DrawLEDBar(s.Canvas(), {0, 0, 5, 10}, orHorizontal, clLime, clGreen, 8, 50, false);
    EXPECT_EQ(s.At(0, 5), clLime);
    EXPECT_EQ(s.At(1, 5), clLime);
    EXPECT_EQ(s.At(2, 5), clGreen);
    EXPECT_EQ(s.At(4, 5), clGreen);
}

TEST(QvFrames, LedBarLightsFromTheLeftAndFromTheBottom)
{
    QvSurface s(100, 100);
    DrawLEDBar(s.Canvas(), {0, 0, 100, 10}, orHorizontal, clLime, clGreen, 10, 30, false);
    EXPECT_EQ(s.At(5, 5), clLime);
    EXPECT_EQ(s.At(25, 5), clLime);
    EXPECT_EQ(s.At(35, 5), clGreen);
    DrawLEDBar(s.Canvas(), {0, 20, 10, 100}, orVertical, clLime, clGreen, 8, 25, false);
    EXPECT_EQ(s.At(5, 95), clLime);
    EXPECT_EQ(s.At(5, 25), clGreen);
}

TEST(QvFrames, PercentBarIsCentredAwayFromTheOrigin)
{
    // The text of a bar at x 200..300 must stay inside the bar, not near x 150.
    QvSurface s(320, 20);
    DrawPercentBar(s.Canvas(), {200, 0, 300, 20}, orHorizontal, clBlack, clWhite, 50, true);
    EXPECT_EQ(s.At(210, 2), clBlack);
    EXPECT_EQ(s.At(290, 2), clWhite);
    int inverted = 0;  // text pixels: white on the black part or black on the white part
    for (int x = 200; x < 300; ++x)
        for (int y = 0; y < 20; ++y)
            if (s.At(x, y) == (x < 250 ? clWhite : clBlack)) ++inverted;
    EXPECT_GT(inverted, 10);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 20; ++y) ASSERT_EQ(s.At(x, y), clWhite) << x << "," << y;
}

TEST(QvFrames, ArrowsFillTheirShapeInTheStyleColour)
{
    QvSurface s(20, 20);
    DrawDropDownArrow(s.Canvas(), {0, 0, 20, 20}, uiWindows95, true, false);
    // Centre (10, 9), tip row 11: the triangle spans rows 7..11 around x 10.
    EXPECT_EQ(s.At(10, 9), clBlack);
    EXPECT_EQ(s.At(10, 3), clWhite);
    QvSurface disabled(20, 20);
    DrawSpinArrow(disabled.Canvas(), {0, 0, 20, 20}, uiWindows95, dirUp, false, false);
    EXPECT_EQ(disabled.At(10, 9), Rgb(clBtnShadow));
}

TEST(QvFrames, GroupBarShadesTwoThirdsWithoutAStyle)
{
    QvSurface s(10, 30);
    DrawGroupBarBackground(s.Canvas(), {0, 0, 10, 30}, false, gpTopToBottom, clGray, 60);
    EXPECT_GT(GetRValue(s.At(5, 0)), GetRValue(s.At(5, 18)));
    EXPECT_LE(std::abs(GetRValue(s.At(5, 19)) - 0x80), 8);
    EXPECT_EQ(s.At(5, 20), clWhite);
    QvSurface none(10, 30);
    DrawGroupBarBackground(none.Canvas(), {0, 0, 10, 30}, false, gpTopToBottom, clGray, 0);
    EXPECT_EQ(none.At(5, 0), clWhite);
}

TEST(QvFrames, XpArrowWithoutAStyleFallsBackToTheDarkShadow)
{
    // Unthemed, the sampled button stays white, too close to the window colour to show.
    TThemeServices::SetTestMode(TThemeTestMode::ForceUnthemed);
    ThemeServices()->UpdateThemes();
    QvSurface s(20, 20);
    DrawDropDownArrow(s.Canvas(), {0, 0, 20, 20}, uiWindowsXP, true, false);
    EXPECT_EQ(s.At(10, 12), Rgb(cl3DDkShadow));  // inside the chevron near its tip (10, 13)
    TThemeServices::SetTestMode(TThemeTestMode::Automatic);
    FreeThemeServices();
}

}  // namespace
