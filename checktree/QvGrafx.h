// Graphics routines of the layer: bitmaps drawn with one colour transparent (clipped, tiled, stretched),
// flipped, tiled, centred and stretched bitmaps, colour gradients in ten directions, trapezoids with a
// bevelled border, and painting a control's parent behind it.
#pragma once

#include <windows.h>

#include "Graphics.h"

namespace vcl {
class TControl;
}

enum TGradientDirection : unsigned char {
    gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox, gdVerticalEnd,
    gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
using TSmoothFactor = int;  // 1..8

// Top-left, top-right, bottom-right, bottom-left.
struct TTrap {
    POINT Points[4];
};
enum TTrapShape : unsigned char { tsLeft, tsCenter, tsRight };
enum TTrapDirect : unsigned char { tdLargeToSmall, tdSmallToLarge };
enum class TTrapBevelStyle : unsigned char { bsNone, bsLowered, bsRaised };
enum TDirection : unsigned char;

void DrawTransparentBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& DestRect, const RECT& SourceRect,
                           vcl::TColor TransparentColor);
void DrawFullTransparentBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& DestRect,
                               const RECT& SourceRect, vcl::TColor TransparentColor);
void TileTransparentBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect,
                           vcl::TColor TransparentColor);
void StretchTransparentBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect,
                              vcl::TColor TransparentColor);
void FlipBitmap(vcl::TBitmap* Bitmap);
void TileBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect);
void TileRealizedBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect);
void CenterBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect);
void StretchBitmap(vcl::TCanvas* Canvas, vcl::TBitmap* Bitmap, const RECT& Rect);

void PaintGradient(vcl::TCanvas* Canvas, const RECT& Rect, TGradientDirection Direction, vcl::TColor StartColor,
                   vcl::TColor StopColor, TSmoothFactor Smooth);
// Bands of colour in rows (X = 0) or columns: from index N down to 1 the colour moves from Color2 to
// Color1; a split index >= 1 mirrors the rest. The strip is 8 pixels across.
void FillGrad(HDC DC, int X, int Y, int Size, vcl::TColor Color1, vcl::TColor Color2, TSmoothFactor Smooth);
// Nested rectangles from the edges (Color1) to an inner rectangle InsetX, InsetY around the centre (Color2),
// painted into the top-left quarter of Width x Height.
void FillGradRect(HDC DC, int Width, int Height, int InsetY, int InsetX, vcl::TColor Color1, vcl::TColor Color2,
                  TSmoothFactor Smooth);
// Diagonal lines across Width x Height; a negative Width mirrors the diagonal.
void FillGradDiag(HDC DC, int Width, int Height, vcl::TColor Color1, vcl::TColor Color2, TSmoothFactor Smooth);
// Copies the Width x Height block at the origin across Total pixels (horizontally, or downward).
void BitFillBlit(HDC DC, int Width, int Height, int Total, bool Downward, DWORD Rop);
// Mirrors the top-left quarter of Width x Height into the other three quarters.
void BoxBitMirrorBlit(HDC DC, int Width, int Height, DWORD Rop);

void SetTrapezoid(TTrap& Trap, const RECT& Rect, int Size, TTrapShape Shape, TDirection Direction,
                  TTrapDirect Direct);
void AdjustTrapezoid(const TTrap& Trap, const RECT& Rect, TDirection Direction, TTrap& Result);
void Intersect(POINT P1, POINT P2, POINT Q, POINT& Result, TDirection Direction);
void InflateTrapezoid(TTrap& Trap, int Amount);
void DrawTrapezoidBorder(vcl::TCanvas* Canvas, const TTrap& Trap, TTrapBevelStyle BevelStyle, int Width);

void DrawParentImage(vcl::TControl* Control, HDC DC, bool InvalidateParent);
void DrawParentImage(vcl::TControl* Control, vcl::TCanvas* Canvas, bool InvalidateParent);

struct QvGrafxUnit {
    QvGrafxUnit();
    ~QvGrafxUnit();
};
static QvGrafxUnit qvGrafxUnit;
