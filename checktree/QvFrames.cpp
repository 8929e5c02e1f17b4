// Frame and border painting.
#include "QvFrames.h"

#include <algorithm>
#include <cmath>

#include "QvColor.h"
#include "QvGrafx.h"
#include "QvThemeSrv.h"

using namespace vcl;

const TFrameColors FrameStyleColors[LastFrameStyle + 1] = {
    {clWindow, clWindow},              // fsNone
    {cl3DDkShadow, cl3DDkShadow},      // fsFlat
    {clBtnShadow, clBtnHighlight},     // fsGroove
    {clBtnHighlight, clBtnShadow},     // fsBump
    {clBtnShadow, clBtnHighlight},     // fsLowered
    {clNone, clNone},                  // fsButtonDown
    {cl3DDkShadow, clBtnFace},         // fsRaised
    {clNone, clNone},                  // fsButtonUp
    {clBtnShadow, clBtnHighlight},     // fsStatus
    {clBtnHighlight, clBtnShadow},     // fsPopup
    {clBtnShadow, clBtnShadow},        // fsFlatBold
};

namespace {

struct BevelColors {
    TFrameColors Outer;
    TFrameColors Inner;
};

// Indexed by Lowered / Down.
const BevelColors Ctl3DBevelColors[2] = {
    {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}},
    {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}},
};
const BevelColors ButtonBevelColors[2] = {
    {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}},
    {{clBtnText, clBtnText}, {clBtnShadow, clBtnShadow}},
};

RECT Narrowed(RECT r, TSides sides, int amount)
{
    if (HasSide(sides, sdLeft)) r.left += amount;
    if (HasSide(sides, sdTop)) r.top += amount;
    if (HasSide(sides, sdRight)) r.right -= amount;
    if (HasSide(sides, sdBottom)) r.bottom -= amount;
    return r;
}

RECT Inflated(RECT r, int amount)
{
    InflateRect(&r, amount, amount);
    return r;
}

void Line(TCanvas* canvas, int x1, int y1, int x2, int y2)
{
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
}

RECT DrawBevelPair(TCanvas* canvas, const RECT& r, const BevelColors& colors, TSides sides)
{
    const RECT inner = DrawBevel(canvas, r, colors.Outer.UpperLeft, colors.Outer.LowerRight, 1, sides);
    return DrawBevel(canvas, inner, colors.Inner.UpperLeft, colors.Inner.LowerRight, 1, sides);
}

// The two-pixel etched line of grooves and bumps; the corner pixels go first so the rings meet cleanly.
RECT DrawEtched(TCanvas* canvas, const RECT& r, TColor ul, TColor lr, TSides sides)
{
    const bool left = HasSide(sides, sdLeft), top = HasSide(sides, sdTop);
    const bool right = HasSide(sides, sdRight), bottom = HasSide(sides, sdBottom);
    if (right || top) canvas->SetPixel(r.right - 1, r.top, right ? lr : ul);
    if (bottom || left) canvas->SetPixel(r.left, r.bottom - 1, bottom ? lr : ul);
    if (top && !left) canvas->SetPixel(r.left, r.top + 1, lr);
    if (left && !top) canvas->SetPixel(r.left + 1, r.top, lr);
    if (bottom && !right) canvas->SetPixel(r.right - 1, r.bottom - 2, ul);
    if (right && !bottom) canvas->SetPixel(r.right - 2, r.bottom - 1, ul);
    DrawSides(canvas, {r.left + 1, r.top + 1, r.right, r.bottom}, lr, lr, sides);
    DrawSides(canvas, {r.left, r.top, r.right - 1, r.bottom - 1}, ul, ul, sides);
    return Narrowed(r, sides, 2);
}

bool IsFrameStyle(TFrameStyleEx style) { return style <= LastFrameStyle; }

}  // namespace

RECT DrawSides(TCanvas* Canvas, const RECT& R, TColor ULColor, TColor LRColor, TSides Sides)
{
    TPen* pen = Canvas->GetPen();
    if (ULColor != clNone) {
        pen->SetColor(ULColor);
        if (HasSide(Sides, sdLeft)) Line(Canvas, R.left, R.top, R.left, R.bottom);
        if (HasSide(Sides, sdTop)) Line(Canvas, R.left, R.top, R.right, R.top);
    }
    if (LRColor != clNone) {
        pen->SetColor(LRColor);
        if (HasSide(Sides, sdRight)) Line(Canvas, R.right - 1, R.top, R.right - 1, R.bottom);
        if (HasSide(Sides, sdBottom)) Line(Canvas, R.left, R.bottom - 1, R.right, R.bottom - 1);
    }
    return Narrowed(R, Sides, 1);
}

RECT DrawBevel(TCanvas* Canvas, const RECT& R, TColor ULColor, TColor LRColor, int Width, TSides Sides)
{
    Canvas->GetPen()->SetWidth(1);
    RECT r = R;
    for (int i = 0; i < Width; ++i) r = DrawSides(Canvas, r, ULColor, LRColor, Sides);
    return r;
}

RECT DrawCtl3DBorder(TCanvas* Canvas, const RECT& R, bool Lowered)
{
    return DrawCtl3DBorderSides(Canvas, R, Lowered, AllSides);
}

RECT DrawCtl3DBorderSides(TCanvas* Canvas, const RECT& R, bool Lowered, TSides Sides)
{
    return DrawBevelPair(Canvas, R, Ctl3DBevelColors[Lowered], Sides);
}

RECT DrawButtonBorder(TCanvas* Canvas, const RECT& R, bool Down) { return DrawButtonBorderSides(Canvas, R, Down, AllSides); }

RECT DrawButtonBorderSides(TCanvas* Canvas, const RECT& R, bool Down, TSides Sides)
{
    return DrawBevelPair(Canvas, R, ButtonBevelColors[Down], Sides);
}

RECT DrawColorButtonBorder(TCanvas* Canvas, const RECT& R, TColor Color, bool Down)
{
    return DrawColorButtonBorderSides(Canvas, R, Color, Down, AllSides);
}

RECT DrawColorButtonBorderSides(TCanvas* Canvas, const RECT& R, TColor Color, bool Down, TSides Sides)
{
    const TColor dark100 = DarkerColor(Color, 100), dark50 = DarkerColor(Color, 50);
    const RECT inner = Down ? DrawSides(Canvas, R, dark100, dark100, Sides)
                            : DrawSides(Canvas, R, LighterColor(Color, 100), dark100, Sides);
    return Down ? DrawSides(Canvas, inner, dark50, dark50, Sides)
                : DrawSides(Canvas, inner, LighterColor(Color, 40), dark50, Sides);
}

RECT DrawBorder(TCanvas* Canvas, const RECT& R, TFrameStyleEx Style) { return DrawBorderSides(Canvas, R, Style, AllSides); }

RECT DrawBorderSides(TCanvas* Canvas, const RECT& R, TFrameStyleEx Style, TSides Sides)
{
    // Styles beyond the colour table (fsFlatRounded) have no system-colour form: nothing is drawn.
    if (!IsFrameStyle(Style)) return R;
    const TFrameColors colors = FrameStyleColors[Style];
    switch (Style) {
    case fsFlat:
    case fsStatus:
    case fsPopup: return DrawSides(Canvas, R, colors.UpperLeft, colors.LowerRight, Sides);
    case fsFlatBold: return DrawBevel(Canvas, R, colors.UpperLeft, colors.LowerRight, 2, Sides);
    case fsLowered:
    case fsRaised: return DrawCtl3DBorderSides(Canvas, R, Style == fsLowered, Sides);
    case fsButtonDown:
    case fsButtonUp: return DrawButtonBorderSides(Canvas, R, Style == fsButtonDown, Sides);
    case fsGroove:
    case fsBump: return DrawEtched(Canvas, R, colors.UpperLeft, colors.LowerRight, Sides);
    default: return R;
    }
}

RECT DrawColorBorder(TCanvas* Canvas, const RECT& R, TColor Color, TFrameStyleEx Style)
{
    return DrawColorBorderSides(Canvas, R, Color, Style, AllSides);
}

RECT DrawColorBorderSides(TCanvas* Canvas, const RECT& R, TColor Color, TFrameStyleEx Style, TSides Sides)
{
    auto D = [Color](BYTE amount) { return DarkerColor(Color, amount); };
    auto L = [Color](BYTE amount) { return LighterColor(Color, amount); };
    switch (Style) {
    case fsFlat: return DrawSides(Canvas, R, D(50), D(50), Sides);
    case fsStatus: return DrawSides(Canvas, R, D(50), L(100), Sides);
    case fsPopup: return DrawSides(Canvas, R, L(100), D(50), Sides);
    case fsFlatBold: return DrawBevel(Canvas, R, D(50), D(50), 2, Sides);
    case fsLowered: return DrawSides(Canvas, DrawSides(Canvas, R, D(50), L(100), Sides), D(100), L(50), Sides);
    case fsRaised: return DrawSides(Canvas, DrawSides(Canvas, R, L(50), D(100), Sides), L(100), D(50), Sides);
    case fsButtonDown:
    case fsButtonUp: return DrawColorButtonBorderSides(Canvas, R, Color, Style == fsButtonDown, Sides);
    case fsGroove: return DrawEtched(Canvas, R, D(50), L(100), Sides);
    case fsBump:
    case fsFlatRounded: return DrawEtched(Canvas, R, L(100), D(50), Sides);
    default: return R;
    }
}

RECT DrawFocusBorder(TCanvas* Canvas, const RECT& R)
{
    for (int y = R.top + 1; y < R.bottom; y += 2) {
        Canvas->SetPixel(R.left, y, clBlack);
        Canvas->SetPixel(R.right - 1, y, clBlack);
    }
    for (int x = R.left + 1; x < R.right; x += 2) {
        Canvas->SetPixel(x, R.top, clBlack);
        Canvas->SetPixel(x, R.bottom - 1, clBlack);
    }
    return Inflated(R, -1);
}

RECT DrawRoundedFlatBorder(TCanvas* Canvas, const RECT& R, TColor Color, TSides Sides)
{
    const int l = HasSide(Sides, sdLeft), t = HasSide(Sides, sdTop);
    const int r = HasSide(Sides, sdRight), b = HasSide(Sides, sdBottom);
    Canvas->GetPen()->SetColor(Color);
    if (l) Line(Canvas, R.left, R.top + 2 * t, R.left, R.bottom - 2 * b);
    if (t) Line(Canvas, R.left + 2 * l, R.top, R.right - 2 * r, R.top);
    if (r) Line(Canvas, R.right - 1, R.top + 2 * t, R.right - 1, R.bottom - 2 * b);
    if (b) Line(Canvas, R.left + 2 * l, R.bottom - 1, R.right - 2 * r, R.bottom - 1);
    if (l && t) Canvas->SetPixel(R.left + 1, R.top + 1, Color);
    if (r && t) Canvas->SetPixel(R.right - 2, R.top + 1, Color);
    if (r && b) Canvas->SetPixel(R.right - 2, R.bottom - 2, Color);
    if (l && b) Canvas->SetPixel(R.left + 1, R.bottom - 2, Color);
    return Narrowed(R, Sides, 2);
}

RECT DrawInnerOuterBorders(TCanvas* Canvas, const RECT& R, TFrameStyleEx OuterStyle, TFrameStyleEx InnerStyle,
                           int GapWidth, TSides Sides, int BevelWidth, TColor GapColor, TColor HighlightColor,
                           TColor ShadowColor, TColor FlatColor, int FlatAdjust, TColor InsideColor,
                           TColor OutsideColor, bool InsideOnly, bool SquareInnerFlat)
{
    const TColor flat = AdjustColor(FlatColor, FlatAdjust);
    const bool gapOrInner = GapWidth > 0 || InnerStyle != fsNone;
    auto ring = [&](const RECT& r, TColor color) { DrawBevel(Canvas, r, color, color, 1, Sides); };
    RECT r = R;

    switch (OuterStyle) {
    case fsFlat: r = DrawBevel(Canvas, r, flat, flat, 1, Sides); break;
    case fsFlatBold: r = DrawBevel(Canvas, r, flat, flat, 2, Sides); break;
    case fsFlatRounded:
        // The rings fill the corners that the rounded line leaves open.
        if (!InsideOnly) {
            ring(r, OutsideColor);
            ring(DrawBevel(Canvas, r, clNone, clNone, 1, Sides), gapOrInner ? GapColor : InsideColor);
        } else if (gapOrInner) {
            ring(Inflated(r, -1), GapColor);
        }
        r = DrawRoundedFlatBorder(Canvas, r, flat, Sides);
        break;
    case fsPopup: r = DrawBevel(Canvas, r, HighlightColor, ShadowColor, BevelWidth, Sides); break;
    case fsStatus: r = DrawBevel(Canvas, r, ShadowColor, HighlightColor, BevelWidth, Sides); break;
    default: r = DrawBorderSides(Canvas, r, OuterStyle, Sides); break;
    }

    if (GapWidth > 0) r = DrawBevel(Canvas, r, GapColor, GapColor, GapWidth, Sides);

    switch (InnerStyle) {
    case fsFlat:
        if (!SquareInnerFlat) {
            r = DrawBevel(Canvas, r, flat, flat, 1, Sides);
        } else {
            Canvas->GetPen()->SetColor(flat);
            Line(Canvas, r.left, r.top + 1, r.left, r.bottom - 1);
            Line(Canvas, r.left + 1, r.top, r.right - 1, r.top);
            Line(Canvas, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1);
            Line(Canvas, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1);
            r = Inflated(r, -1);
        }
        break;
    case fsFlatBold: r = DrawBevel(Canvas, r, flat, flat, 2, Sides); break;
    case fsFlatRounded:
        ring(r, GapColor);
        if (!InsideOnly) ring(DrawBevel(Canvas, r, clNone, clNone, 1, Sides), InsideColor);
        r = DrawRoundedFlatBorder(Canvas, r, flat, Sides);
        break;
    case fsPopup: r = DrawBevel(Canvas, r, HighlightColor, ShadowColor, BevelWidth, Sides); break;
    case fsStatus: r = DrawBevel(Canvas, r, ShadowColor, HighlightColor, BevelWidth, Sides); break;
    default: r = DrawBorderSides(Canvas, r, InnerStyle, Sides); break;
    }
    return r;
}

void DrawFrame(TCanvas* Canvas, int Width, int Height, TFrameStyleEx Style, TColor Color, TColor FrameColor,
               TSides Sides, bool KeepBackground)
{
    const RECT r = {0, 0, Width, Height};
    if (!KeepBackground) DrawBevel(Canvas, r, Color, Color, 2, AllSides);
    if (Style == fsFlat)
        DrawSides(Canvas, r, FrameColor, FrameColor, Sides);
    else if (Style == fsFlatBold)
        DrawBevel(Canvas, r, FrameColor, FrameColor, 2, Sides);
    else if (Color == clWindow)
        DrawBorderSides(Canvas, r, Style, Sides);
    else
        DrawColorBorderSides(Canvas, r, Color, Style, Sides);
}

// ---------------------------------------------------------------------------------------------------------
// Decorative painters

void DrawDropShadow(TCanvas* Canvas, const RECT& R, int Depth, TColor ShadowColor)
{
    if (Depth <= 0) return;
    const int step = 128 / Depth;
    auto shade = [&](int x, int y, BYTE alpha) {
        Canvas->SetPixel(x, y, BlendColors(ShadowColor, static_cast<TColor>(Canvas->GetPixel(x, y)), alpha));
    };
    for (int i = 1; i <= Depth; ++i) {
        const BYTE alpha = static_cast<BYTE>(128 - (i - 1) * step);
        const int column = R.right - 1 + i, row = R.bottom - 1 + i;
        for (int y = R.top + 2 * Depth - i; y < row; ++y) shade(column, y, alpha);
        for (int x = R.left + 2 * Depth - i; x <= column; ++x) shade(x, row, alpha);
    }
}

void DrawGroupBarBackground(TCanvas* Canvas, const RECT& R, bool UseThemes, TQvGroupBarGradientPath Path,
                            TColor Color, int Adjust)
{
    if (UseThemes && ThemeServices()->ThemesEnabled()) {
        ThemeServices()->DrawElement(Canvas->GetHandle(), TThemeServices::GetElementDetails(tebExplorerBarDontCare),
                                     R);
        return;
    }
    if (!FullColorSupport() || Adjust == 0) return;
    const int third = (R.bottom - R.top) / 3;
    RECT part = R;
    TColor from = Color, to = Color;
    const bool lighter = Adjust > 0;
    const TColor shade = lighter ? LighterColor(Color, static_cast<BYTE>(Adjust))
                                 : DarkerColor(Color, static_cast<BYTE>(-Adjust));
    if ((Path == gpTopToBottom) == lighter)
        part.bottom -= third;
    else
        part.top += third;
    if (Path == gpTopToBottom)
        (lighter ? from : to) = shade;
    else
        (lighter ? to : from) = shade;
    PaintGradient(Canvas, part, gdHorizontalEnd, from, to, 1);
}

void DrawPercentBar(TCanvas* Canvas, const RECT& R, TOrientation Orientation, TColor BarColor, TColor BackColor,
                    WORD Percent, bool ShowPercent)
{
    const AnsiString text = ShowPercent ? Format("%u%%", {static_cast<unsigned>(Percent)}) : AnsiString();
    RECT filled = R, rest = R;
    if (Percent >= 100) {
        rest = {R.right, R.bottom, R.right, R.bottom};
    } else if (Orientation == orHorizontal) {
        filled.right = R.left + static_cast<int>(std::nearbyint((R.right - R.left) * Percent / 100.0));
        rest.left = filled.right;
    } else {
        filled.top = R.bottom - static_cast<int>(std::nearbyint((R.bottom - R.top) * Percent / 100.0));
        rest.bottom = filled.top;
    }
    HDC dc = Canvas->GetHandle();
    const UINT oldAlign = SetTextAlign(dc, TA_CENTER);
    // Centred on the rectangle itself, wherever it lies.
    const int x = (R.left + R.right) / 2;
    const int y = R.top + (R.bottom - R.top - Canvas->TextHeight("X")) / 2;
    const TColor oldBrush = Canvas->GetBrush()->GetColor(), oldFont = Canvas->GetFont()->GetColor();
    Canvas->GetBrush()->SetColor(BarColor);
    Canvas->GetFont()->SetColor(BackColor);
    Canvas->TextRect(filled, x, y, text);
    Canvas->GetBrush()->SetColor(BackColor);
    Canvas->GetFont()->SetColor(BarColor);
    Canvas->TextRect(rest, x, y, text);
    Canvas->GetBrush()->SetColor(oldBrush);
    Canvas->GetFont()->SetColor(oldFont);
    SetTextAlign(dc, oldAlign);
}

void DrawLEDBar(TCanvas* Canvas, const RECT& R, TOrientation Orientation, TColor LitColor, TColor UnlitColor,
                int Segments, int Percent, bool UseThemes)
{
    const bool horizontal = Orientation == orHorizontal;
    if (UseThemes && ThemeServices()->ThemesEnabled()) {
        const RECT inner = Inflated(R, -1);
        const int length = horizontal ? inner.right - inner.left : inner.bottom - inner.top;
        const int lit = static_cast<int>(std::nearbyint(length * std::clamp(Percent, 0, 100) / 100.0));
        if (lit <= 0) return;
        if (horizontal) {
            ThemeServices()->DrawElement(Canvas->GetHandle(), TThemeServices::GetElementDetails(tpChunk),
                                         {inner.left, inner.top, inner.left + lit, inner.bottom});
            return;
        }
        // The vertical chunk is drawn top-down: turn it over so that it grows from the bottom.
        TBitmap chunk;
        chunk.SetSize(inner.right - inner.left, lit);
        ThemeServices()->DrawElement(chunk.GetCanvas()->GetHandle(), TThemeServices::GetElementDetails(tpChunkVert),
                                     {0, 0, chunk.GetWidth(), lit});
        FlipBitmap(&chunk);
        Canvas->Draw(inner.left, inner.bottom - lit, &chunk);
        return;
    }
    const int length = horizontal ? R.right - R.left : R.bottom - R.top;
    // No segments or no room: nothing to divide.
    if (Segments <= 0 || length <= 0) return;
    int size = length / Segments;
    if (length <= 80 && Segments > 10) {
        Segments = 10;
        size = length / 10;
    }
    if (size == 0) {  // more segments than pixels: one pixel each
        Segments = length;
        size = 1;
    }
    Segments += (length - Segments * size) / size;
    const int margin = (length - Segments * size) / 2;
    const int lit = std::clamp(static_cast<int>(static_cast<long long>(Segments) * Percent / 100), 0, Segments);
    TBrush* brush = Canvas->GetBrush();
    const TColor background = brush->GetColor();
    Canvas->FillRect(R);
    for (int i = 0; i < Segments; ++i) {
        // Segment i counted from the left, or from the bottom; one pixel of background between segments.
        const int start = margin + i * size, end = start + std::max(size - 1, 1);
        RECT segment = horizontal ? RECT{R.left + start, R.top, R.left + end, R.bottom}
                                  : RECT{R.left, R.bottom - end, R.right, R.bottom - start};
        brush->SetColor(i < lit ? LitColor : UnlitColor);
        Canvas->FillRect(segment);
    }
    brush->SetColor(background);
}

namespace {

TColor ArrowColor(TQvUIStyle style, bool enabled)
{
    if (!enabled) return clBtnShadow;
    if (style == uiWindows95) return clBlack;
    TBitmap sample;
    sample.SetSize(17, 21);
    ThemeServices()->DrawElement(sample.GetCanvas()->GetHandle(),
                                 TThemeServices::GetElementDetails(tcDropDownButtonHot), {0, 0, 16, 20});
    const auto color = static_cast<TColor>(sample.GetCanvas()->GetPixel(8, 10));
    return ColorsTooClose(color, clWindow) ? cl3DDkShadow : color;
}

POINT ArrowCentre(const RECT& r)
{
    const int height = r.bottom - r.top;
    return {r.left + (r.right - r.left) / 2, r.top + height / 2 - (height % 2 == 0 ? 1 : 0)};
}

template <size_t N>
void FillArrow(TCanvas* canvas, TColor color, const POINT (&points)[N])
{
    TBrush* brush = canvas->GetBrush();
    const TColor oldColor = brush->GetColor();
    brush->SetColor(color);
    canvas->GetPen()->SetStyle(TPenStyle::psClear);
    canvas->Polygon(points, static_cast<int>(N));
    canvas->GetPen()->SetStyle(TPenStyle::psSolid);
    brush->SetColor(oldColor);
}

}  // namespace

void DrawDropDownArrow(TCanvas* Canvas, const RECT& R, TQvUIStyle UIStyle, bool Enabled, bool Down)
{
    const TColor color = ArrowColor(UIStyle, Enabled);
    POINT c = ArrowCentre(R);
    int y = c.y + (UIStyle == uiWindows95 ? 2 : 4);
    if (Down) {
        ++c.x;
        ++y;
    }
    const int x = c.x;
    if (UIStyle == uiWindows95) {
        const POINT triangle[] = {{x, y}, {x - 3, y - 4}, {x + 4, y - 4}};
        FillArrow(Canvas, color, triangle);
    } else {
        const POINT chevron[] = {{x, y}, {x - 4, y - 5}, {x - 3, y - 7}, {x, y - 3}, {x + 3, y - 7}, {x + 5, y - 5}};
        FillArrow(Canvas, color, chevron);
    }
}

void DrawSpinArrow(TCanvas* Canvas, const RECT& R, TQvUIStyle UIStyle, TDirection Direction, bool Enabled, bool Down)
{
    const TColor color = ArrowColor(UIStyle, Enabled);
    POINT c = ArrowCentre(R);
    const bool vertical = Direction == dirUp || Direction == dirDown;
    if (UIStyle == uiWindows95) {
        (vertical ? c.y : c.x) += vertical ? 2 : -2;
    } else {
        static const int shifts[] = {4, 2, -1, -3};  // up, down (y); left, right (x)
        (vertical ? c.y : c.x) += shifts[Direction];
    }
    if (Enabled && Down) {
        ++c.x;
        ++c.y;
    }
    const int x = c.x, y = c.y;
    if (UIStyle == uiWindows95) {
        static const POINT shapes[4][3] = {{{0, -5}, {4, 0}, {-4, 0}},
                                           {{0, 1}, {-3, -3}, {4, -3}},
                                           {{0, 0}, {4, -4}, {4, 4}},
                                           {{4, 0}, {0, 4}, {0, -4}}};
        POINT points[3];
        for (int i = 0; i < 3; ++i) points[i] = {x + shapes[Direction][i].x, y + shapes[Direction][i].y};
        FillArrow(Canvas, color, points);
    } else {
        static const POINT shapes[4][6] = {{{0, -5}, {4, 0}, {1, 0}, {0, -2}, {-1, 0}, {-4, 0}},
                                           {{0, 0}, {-3, -4}, {0, -4}, {0, -3}, {1, -4}, {4, -4}},
                                           {{0, 0}, {4, -4}, {4, -1}, {3, 0}, {4, 1}, {4, 4}},
                                           {{4, 0}, {0, 4}, {0, 1}, {1, 0}, {0, -1}, {0, -4}}};
        POINT points[6];
        for (int i = 0; i < 6; ++i) points[i] = {x + shapes[Direction][i].x, y + shapes[Direction][i].y};
        FillArrow(Canvas, color, points);
    }
}
