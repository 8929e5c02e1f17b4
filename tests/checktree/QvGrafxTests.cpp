// Graphics routines: transparent, tiled, centred and flipped bitmaps and gradients on memory bitmaps.
#include <gtest/gtest.h>

#include "Controls.h"
#include "QvCommonBitmaps.h"
#include "QvFrames.h"
#include "QvGrafx.h"
#include "QvTestSupport.h"

using namespace vcl;

namespace {

// A bitmap whose pixel (x, y) has red x and green y (blue 0x40), so copies show where they came from.
void FillCoordinates(TBitmap* bitmap, int width, int height)
{
    bitmap->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap->GetCanvas()->SetPixel(x, y, static_cast<TColor>(RGB(x, y, 0x40)));
}

TEST(QvGrafx, TilesAreClippedAtTheEdgeNotSqueezed)
{
    TBitmap tile;
    FillCoordinates(&tile, 16, 16);
    QvSurface s(80, 20);
    TileBitmap(s.Canvas(), &tile, {0, 0, 58, 16});  // three tiles and 10 pixels
    EXPECT_EQ(s.At(48, 3), static_cast<TColor>(RGB(0, 3, 0x40)));
    EXPECT_EQ(s.At(57, 3), static_cast<TColor>(RGB(9, 3, 0x40)));
    EXPECT_EQ(s.At(58, 3), clWhite);
}

TEST(QvGrafx, RealizedTilesLineUpWithTheCanvasOrigin)
{
    TBitmap tile;
    FillCoordinates(&tile, 16, 16);
    QvSurface s(40, 40);
    TileRealizedBitmap(s.Canvas(), &tile, {5, 5, 40, 40});
    EXPECT_EQ(s.At(5, 5), static_cast<TColor>(RGB(5, 5, 0x40)));
    EXPECT_EQ(s.At(16, 16), static_cast<TColor>(RGB(0, 0, 0x40)));
    EXPECT_EQ(s.At(4, 5), clWhite);
}

TEST(QvGrafx, EmptyBitmapsTileAndCentreWithoutHanging)
{
    TBitmap empty;
    QvSurface s(10, 10);
    TileBitmap(s.Canvas(), &empty, {0, 0, 10, 10});
    TileRealizedBitmap(s.Canvas(), &empty, {0, 0, 10, 10});
    TileTransparentBitmap(s.Canvas(), &empty, {0, 0, 10, 10}, clWhite);
    CenterBitmap(s.Canvas(), &empty, {0, 0, 10, 10});
    EXPECT_EQ(s.At(5, 5), clWhite);
}

TEST(QvGrafx, TransparentColourIsLeftOut)
{
    TBitmap image;
    image.SetSize(4, 4);
    image.GetCanvas()->GetBrush()->SetColor(clRed);
    image.GetCanvas()->FillRect({0, 0, 4, 4});
    image.GetCanvas()->SetPixel(1, 1, clBlue);
    for (TColor key : {clRed, clBlack}) {
        SCOPED_TRACE(key);
        QvSurface s(8, 8, clLime);
        if (key == clBlack) {
            image.GetCanvas()->SetPixel(2, 2, clBlack);
            image.GetCanvas()->SetPixel(3, 3, clRed);
        }
        DrawTransparentBitmap(s.Canvas(), &image, {2, 2, 6, 6}, {0, 0, 4, 4}, key);
        EXPECT_EQ(s.At(3, 3), clBlue);
        EXPECT_EQ(s.At(4, 4), clLime);  // the key colour shows the background
        EXPECT_EQ(s.At(2, 2), key == clRed ? clLime : clRed);
        EXPECT_EQ(s.At(1, 1), clLime);
    }
}

TEST(QvGrafx, CentringWorksAwayFromTheOrigin)
{
    TBitmap small;
    FillCoordinates(&small, 4, 4);
    QvSurface s(60, 60);
    CenterBitmap(s.Canvas(), &small, {40, 40, 60, 60});
    EXPECT_EQ(s.At(48, 48), static_cast<TColor>(RGB(0, 0, 0x40)));
    EXPECT_EQ(s.At(51, 51), static_cast<TColor>(RGB(3, 3, 0x40)));
    EXPECT_EQ(s.At(47, 47), clWhite);
    EXPECT_EQ(s.At(8, 8), clWhite);
}

TEST(QvGrafx, FlipMirrorsRows)
{
    TBitmap bitmap;
    FillCoordinates(&bitmap, 3, 5);
    FlipBitmap(&bitmap);
    EXPECT_EQ(static_cast<TColor>(bitmap.GetCanvas()->GetPixel(2, 0)), static_cast<TColor>(RGB(2, 4, 0x40)));
    EXPECT_EQ(static_cast<TColor>(bitmap.GetCanvas()->GetPixel(0, 4)), static_cast<TColor>(RGB(0, 0, 0x40)));
}

TEST(QvGrafx, GradientsRunFromStartToStop)
{
    QvSurface flat(20, 20);
    PaintGradient(flat.Canvas(), {0, 0, 20, 20}, gdDiagonalUp, clTeal, clTeal, 1);
    EXPECT_EQ(flat.At(0, 0), clTeal);
    EXPECT_EQ(flat.At(19, 19), clTeal);

    QvSurface s(30, 100);
    PaintGradient(s.Canvas(), {0, 0, 30, 100}, gdHorizontalEnd, clBlack, clWhite, 1);
    EXPECT_LE(GetRValue(s.At(15, 0)), 3);
    EXPECT_GE(GetRValue(s.At(15, 99)), 250);
    EXPECT_EQ(s.At(0, 50), s.At(29, 50));  // rows are single colours across the width
    for (int y = 1; y < 100; ++y) ASSERT_GE(GetRValue(s.At(3, y)), GetRValue(s.At(3, y - 1))) << y;

    QvSurface centre(10, 40);
    PaintGradient(centre.Canvas(), {0, 0, 10, 40}, gdHorizontalCenter, clBlack, clWhite, 1);
    EXPECT_LE(GetRValue(centre.At(5, 0)), 20);
    EXPECT_LE(GetRValue(centre.At(5, 39)), 20);
    EXPECT_GE(GetRValue(centre.At(5, 20)), 230);
}

TEST(QvGrafx, BoxGradientsAreSymmetric)
{
    QvSurface s(31, 21);
    PaintGradient(s.Canvas(), {0, 0, 31, 21}, gdSquareBox, clBlack, clWhite, 1);
    EXPECT_EQ(s.At(0, 0), s.At(30, 20));
    EXPECT_EQ(s.At(3, 4), s.At(27, 16));
    EXPECT_LT(GetRValue(s.At(0, 10)), GetRValue(s.At(15, 10)));
}

TEST(QvGrafx, TrapezoidShapesAndInflation)
{
    TTrap trap;
    SetTrapezoid(trap, {0, 0, 100, 50}, 40, tsCenter, dirUp, tdLargeToSmall);
    EXPECT_EQ(trap.Points[0].x, 30);  // short edge centred at the top
    EXPECT_EQ(trap.Points[1].x, 70);
    EXPECT_EQ(trap.Points[2].x, 100);
    EXPECT_EQ(trap.Points[3].x, 0);
    InflateTrapezoid(trap, 2);
    EXPECT_EQ(trap.Points[0].x, 28);
    EXPECT_EQ(trap.Points[0].y, -2);
    EXPECT_EQ(trap.Points[2].y, 52);
    POINT crossing;
    Intersect({0, 0}, {10, 0}, {0, 5}, crossing, dirUp);  // a flat edge has no crossing: P2 stays
    EXPECT_EQ(crossing.x, 10);
    EXPECT_EQ(crossing.y, 5);
}

TEST(QvGrafx, ParentImageNeedsAParent)
{
    TControl orphan(nullptr);
    QvSurface s(5, 5);
    DrawParentImage(&orphan, s.Canvas(), true);
    EXPECT_EQ(s.At(2, 2), clWhite);
}

TEST(QvCommonBitmaps, CheckBoxImagesAreLinkedIn)
{
    TBitmap checked, grayed;
    checked.LoadFromResourceName(HInstance, qvbitmaps::CheckBoxChecked);
    grayed.LoadFromResourceName(HInstance, qvbitmaps::CheckBoxGrayed);
    ASSERT_EQ(checked.GetWidth(), 13);
    ASSERT_EQ(checked.GetHeight(), 13);
    TCanvas* c = checked.GetCanvas();
    EXPECT_EQ(static_cast<TColor>(c->GetPixel(0, 0)), clGray);      // the box frame
    EXPECT_EQ(static_cast<TColor>(c->GetPixel(1, 5)), clFuchsia);   // marker colours inside it
    EXPECT_EQ(static_cast<TColor>(c->GetPixel(11, 5)), clRed);
    EXPECT_EQ(static_cast<TColor>(c->GetPixel(3, 3)), clWhite);     // interior
    EXPECT_EQ(static_cast<TColor>(c->GetPixel(5, 9)), clBlue);      // the mark
    EXPECT_EQ(static_cast<TColor>(grayed.GetCanvas()->GetPixel(6, 6)), clBlue);
    for (const char* name : qvbitmaps::DialogGlyphs) {
        TBitmap glyph;
        glyph.LoadFromResourceName(HInstance, name);
        EXPECT_EQ(glyph.GetWidth(), 32) << name;
        EXPECT_EQ(static_cast<TColor>(glyph.GetCanvas()->GetPixel(0, 0)), static_cast<TColor>(RGB(236, 233, 216)));
    }
}

}  // namespace
