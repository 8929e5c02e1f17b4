// Graphics routines.
#include "QvGrafx.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "QvFrames.h"

using namespace vcl;

namespace {

int unitUsers = 0;

constexpr DWORD SourceAnd = 0x8800C6;
constexpr DWORD SourcePaint = 0xEE0086;
constexpr int StripWidth = 8;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

struct TransparentParts {
    std::unique_ptr<TBitmap> image;
    std::unique_ptr<TBitmap> mask;
};

// The SourceRect of Bitmap stretched to the destination size, and its mask (white where transparent);
// the image's transparent pixels are blackened so that the mask and image combine by AND then OR.
TransparentParts MakeTransparentParts(TBitmap* bitmap, const RECT& dest, const RECT& source, TColor transparent)
{
    const int w = Width(dest), h = Height(dest);
    TransparentParts parts{std::make_unique<TBitmap>(), std::make_unique<TBitmap>()};
    parts.image->SetSize(w, h);
    HDC image = parts.image->GetCanvas()->GetHandle();
    SetStretchBltMode(image, COLORONCOLOR);
    StretchBlt(image, 0, 0, w, h, bitmap->GetCanvas()->GetHandle(), source.left, source.top, Width(source),
               Height(source), SRCCOPY);
    parts.mask->SetMonochrome(true);
    parts.mask->SetSize(w, h);
    HDC mask = parts.mask->GetCanvas()->GetHandle();
    const COLORREF key = ColorToRGB(transparent);
    const COLORREF oldBack = SetBkColor(image, key);
    BitBlt(mask, 0, 0, w, h, image, 0, 0, SRCCOPY);
    SetBkColor(image, oldBack);
    if (key != 0) {
        const COLORREF back = SetBkColor(image, RGB(0, 0, 0));
        const COLORREF text = SetTextColor(image, RGB(255, 255, 255));
        BitBlt(image, 0, 0, w, h, mask, 0, 0, SRCAND);  // mask bits 1 (transparent) become black
        SetBkColor(image, back);
        SetTextColor(image, text);
    }
    return parts;
}

void CombineOnto(HDC dest, const RECT& r, const TransparentParts& parts)
{
    const COLORREF back = SetBkColor(dest, RGB(255, 255, 255));
    const COLORREF text = SetTextColor(dest, RGB(0, 0, 0));
    BitBlt(dest, r.left, r.top, Width(r), Height(r), parts.mask->GetCanvas()->GetHandle(), 0, 0, SourceAnd);
    BitBlt(dest, r.left, r.top, Width(r), Height(r), parts.image->GetCanvas()->GetHandle(), 0, 0, SourcePaint);
    SetBkColor(dest, back);
    SetTextColor(dest, text);
}

bool IsEmpty(TBitmap* bitmap) { return !bitmap || bitmap->GetWidth() <= 0 || bitmap->GetHeight() <= 0; }

// Tiles over rect; the first column and row start at the given source offsets, edge tiles are clipped.
template <class DrawTile>
void Tile(TBitmap* bitmap, const RECT& rect, int offsetX, int offsetY, DrawTile drawTile)
{
    // An empty bitmap gives no step to advance by.
    if (IsEmpty(bitmap)) return;
    const int bw = bitmap->GetWidth(), bh = bitmap->GetHeight();
    int sy = offsetY;
    for (int y = rect.top; y < rect.bottom; y += bh - sy, sy = 0) {
        const int th = std::min(bh - sy, static_cast<int>(rect.bottom) - y);
        int sx = offsetX;
        for (int x = rect.left; x < rect.right; x += bw - sx, sx = 0) {
            const int tw = std::min(bw - sx, static_cast<int>(rect.right) - x);
            drawTile(RECT{x, y, x + tw, y + th}, RECT{sx, sy, sx + tw, sy + th});
        }
    }
}

// Colour bands: neighbouring lines share one fill until the colour changes and the band is long enough.
class Bands {
public:
    Bands(HDC dc, TSmoothFactor smooth) : dc_(dc), minimum_(1 + (smooth <= 8 ? smooth - 1 : 255 / smooth))
    {
        if (minimum_ < 1) minimum_ = 1;
    }
    ~Bands() { Flush(); }
    Bands(const Bands&) = delete;
    Bands& operator=(const Bands&) = delete;

    // Adds one line (a rectangle) in the given colour.
    void Add(const RECT& line, COLORREF color)
    {
        if (count_ > 0 && color != color_ && count_ >= minimum_) Flush();
        if (count_ == 0) {
            color_ = color;
            band_ = line;
        } else {
            UnionRect(&band_, &band_, &line);
        }
        ++count_;
    }

private:
    void Flush()
    {
        if (count_ == 0) return;
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc_, &band_, brush);
        DeleteObject(brush);
        count_ = 0;
    }
    HDC dc_;
    int minimum_;
    int count_ = 0;
    COLORREF color_ = 0;
    RECT band_{};
};

// A colour walked in 16.16 fixed point from one colour toward another in steps of 1/(steps + 1).
class ColorWalk {
public:
    ColorWalk(COLORREF from, COLORREF to, int steps)
    {
        const int start[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
        const int target[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
        for (int i = 0; i < 3; ++i) {
            value_[i] = start[i] << 16;
            delta_[i] = ((target[i] << 16) - (start[i] << 16)) / (steps + 1);
        }
    }
    COLORREF Next()
    {
        for (int i = 0; i < 3; ++i) value_[i] += delta_[i];
        return RGB(value_[0] >> 16, value_[1] >> 16, value_[2] >> 16);
    }

private:
    int value_[3];
    int delta_[3];
};

}  // namespace

void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& DestRect, const RECT& SourceRect,
                           TColor TransparentColor)
{
    if (IsEmpty(Bitmap) || Width(DestRect) <= 0 || Height(DestRect) <= 0) return;
    const TransparentParts parts = MakeTransparentParts(Bitmap, DestRect, SourceRect, TransparentColor);
    const int w = Width(DestRect), h = Height(DestRect);
    HDC dc = Canvas->GetHandle();
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    Canvas->SetCopyMode(SourceAnd);
    BitBlt(dc, DestRect.left, DestRect.top, w, h, parts.mask->GetCanvas()->GetHandle(), 0, 0, SourceAnd);
    Canvas->SetCopyMode(SourcePaint);
    BitBlt(dc, DestRect.left, DestRect.top, w, h, parts.image->GetCanvas()->GetHandle(), 0, 0, SourcePaint);
    SetBkColor(dc, back);
    SetTextColor(dc, text);
}

void DrawFullTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& DestRect, const RECT& SourceRect,
                               TColor TransparentColor)
{
    if (IsEmpty(Bitmap) || Width(DestRect) <= 0 || Height(DestRect) <= 0) return;
    CombineOnto(Canvas->GetHandle(), DestRect, MakeTransparentParts(Bitmap, DestRect, SourceRect, TransparentColor));
}

void TileTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect, TColor TransparentColor)
{
    Tile(Bitmap, Rect, 0, 0, [&](const RECT& dest, const RECT& source) {
        DrawTransparentBitmap(Canvas, Bitmap, dest, source, TransparentColor);
    });
}

void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect, TColor TransparentColor)
{
    if (IsEmpty(Bitmap)) return;
    DrawTransparentBitmap(Canvas, Bitmap, Rect, {0, 0, Bitmap->GetWidth(), Bitmap->GetHeight()}, TransparentColor);
}

void FlipBitmap(TBitmap* Bitmap)
{
    if (IsEmpty(Bitmap)) return;
    const int w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
    TBitmap flipped;
    flipped.SetSize(w, h);
    HDC dest = flipped.GetCanvas()->GetHandle(), source = Bitmap->GetCanvas()->GetHandle();
    for (int y = 0; y < h; ++y) BitBlt(dest, 0, h - 1 - y, w, 1, source, 0, y, SRCCOPY);
    Bitmap->Assign(&flipped);
}

void TileBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect)
{
    Tile(Bitmap, Rect, 0, 0, [&](const RECT& dest, const RECT& source) {
        Canvas->CopyRect(dest, Bitmap->GetCanvas(), source);
    });
}

void TileRealizedBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect)
{
    if (IsEmpty(Bitmap)) return;
    auto offset = [](int position, int size) { return ((position % size) + size) % size; };
    Tile(Bitmap, Rect, offset(Rect.left, Bitmap->GetWidth()), offset(Rect.top, Bitmap->GetHeight()),
         [&](const RECT& dest, const RECT& source) { Canvas->CopyRect(dest, Bitmap->GetCanvas(), source); });
}

void CenterBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect)
{
    if (IsEmpty(Bitmap)) return;
    const int w = Width(Rect), h = Height(Rect), bw = Bitmap->GetWidth(), bh = Bitmap->GetHeight();
    // Offsets from Rect's own corner, so that a rectangle away from the origin centres too.
    const RECT dest = {std::max<int>(Rect.left, Rect.left + w / 2 - bw / 2),
                       std::max<int>(Rect.top, Rect.top + h / 2 - bh / 2),
                       std::min<int>(Rect.right, Rect.left + bw / 2 + w / 2),
                       std::min<int>(Rect.bottom, Rect.top + bh / 2 + h / 2)};
    const int sx = std::max(0, bw / 2 - w / 2), sy = std::max(0, bh / 2 - h / 2);
    const RECT source = {sx, sy, sx + (bw > w ? w : bw), sy + (bh > h ? h : bh)};
    Canvas->CopyRect(dest, Bitmap->GetCanvas(), source);
}

void StretchBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect)
{
    if (IsEmpty(Bitmap)) return;
    Canvas->CopyRect(Rect, Bitmap->GetCanvas(), {0, 0, Bitmap->GetWidth(), Bitmap->GetHeight()});
}

// ---------------------------------------------------------------------------------------------------------
// Gradients

void FillGrad(HDC DC, int X, int Y, int Size, TColor Color1, TColor Color2, TSmoothFactor Smooth)
{
    const bool columns = X != 0;
    const int split = columns ? X : Y;
    const int n = split < 0 ? Size : split + 1;
    const COLORREF c1 = ColorToRGB(Color1), c2 = ColorToRGB(Color2);
    auto line = [columns](int index) {
        return columns ? RECT{index - 1, 0, index, StripWidth} : RECT{0, index - 1, StripWidth, index};
    };
    {
        Bands bands(DC, Smooth);
        ColorWalk walk(c2, c1, n);
        for (int i = n; i >= 1; --i) bands.Add(line(i), walk.Next());
    }
    if (split >= 1) {
        Bands bands(DC, Smooth);
        const int steps = Size - (split + 2) + 1;
        ColorWalk walk(c1, c2, std::max(steps, 0));
        for (int i = Size; i >= split + 2; --i) bands.Add(line(i), walk.Next());
    }
}

void FillGradRect(HDC DC, int Width, int Height, int InsetY, int InsetX, TColor Color1, TColor Color2,
                  TSmoothFactor Smooth)
{
    // Ring i runs from the outer edge (i = 0) to the inner rectangle (i = steps).
    const int reachX = std::max(0, Width / 2 - InsetX), reachY = std::max(0, Height / 2 - InsetY);
    const int steps = std::max(1, std::max(reachX, reachY));
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, 0, 0, (Width + 1) / 2, (Height + 1) / 2);
    {
        Bands bands(DC, Smooth);
        ColorWalk walk(ColorToRGB(Color1), ColorToRGB(Color2), steps);
        COLORREF color = ColorToRGB(Color1);
        for (int i = 0; i <= steps; ++i) {
            // Rings go from the outside in, so each band's fill is covered by the rings inside it.
            const int left = i * reachX / steps, top = i * reachY / steps;
            bands.Add({left, top, Width - left, Height - top}, color);
            color = walk.Next();
        }
    }
    RestoreDC(DC, saved);
}

void FillGradDiag(HDC DC, int Width, int Height, TColor Color1, TColor Color2, TSmoothFactor Smooth)
{
    const bool mirrored = Width < 0;
    const int w = std::abs(Width);
    if (w <= 0 || Height <= 0) return;
    const int lines = w + Height - 1;
    ColorWalk walk(ColorToRGB(Color2), ColorToRGB(Color1), lines);
    // Line k holds the pixels with x + y = k (mirrored: (w - 1 - x) + y = k); lines of one colour step
    // merge into bands only when Smooth asks for more than one line.
    std::vector<COLORREF> colors(lines);
    for (int k = lines - 1; k >= 0; --k) colors[k] = walk.Next();
    const int minimum = std::max(1, 1 + (Smooth <= 8 ? Smooth - 1 : 255 / Smooth));
    for (int k = 0; k < lines; ++k) {
        const COLORREF color = colors[(k / minimum) * minimum];
        for (int y = std::max(0, k - (w - 1)); y <= std::min(Height - 1, k); ++y)
            SetPixelV(DC, mirrored ? w - 1 - (k - y) : k - y, y, color);
    }
}

void BitFillBlit(HDC DC, int Width, int Height, int Total, bool Downward, DWORD Rop)
{
    // Doubling copies: each pass copies everything filled so far.
    for (int filled = Downward ? Height : Width; filled < Total; filled *= 2) {
        const int chunk = std::min(filled, Total - filled);
        if (Downward)
            BitBlt(DC, 0, filled, Width, chunk, DC, 0, 0, Rop);
        else
            BitBlt(DC, filled, 0, chunk, Height, DC, 0, 0, Rop);
        if (filled == 0) break;
    }
}

void BoxBitMirrorBlit(HDC DC, int Width, int Height, DWORD Rop)
{
    const int halfW = (Width + 1) / 2, halfH = (Height + 1) / 2;
    const int restW = Width - halfW, restH = Height - halfH;
    // Right half mirrors the left (column x goes to Width - 1 - x), then the bottom mirrors the top.
    for (int x = 0; x < restW; ++x) BitBlt(DC, Width - 1 - x, 0, 1, halfH, DC, x, 0, Rop);
    for (int y = 0; y < restH; ++y) BitBlt(DC, 0, Height - 1 - y, Width, 1, DC, 0, y, Rop);
}

void PaintGradient(TCanvas* Canvas, const RECT& Rect, TGradientDirection Direction, TColor StartColor,
                   TColor StopColor, TSmoothFactor Smooth)
{
    const int w = Width(Rect), h = Height(Rect);
    if (w <= 0 || h <= 0) return;
    const TColor start = static_cast<TColor>(ColorToRGB(StartColor));
    const TColor stop = static_cast<TColor>(ColorToRGB(StopColor));
    TBitmap buffer;
    buffer.SetSize(w, h);
    TCanvas* canvas = buffer.GetCanvas();
    canvas->GetPen()->SetWidth(1);
    canvas->GetPen()->SetStyle(TPenStyle::psInsideFrame);
    canvas->GetPen()->SetMode(TPenMode::pmCopy);
    canvas->GetBrush()->SetStyle(TBrushStyle::bsSolid);
    HDC dc = canvas->GetHandle();
    switch (Direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
        if (start == stop) {
            canvas->GetBrush()->SetColor(start);
            canvas->FillRect({0, 0, w, h});
        } else {
            FillGradDiag(dc, Direction == gdDiagonalDown ? -w : w, h, start, stop, Smooth);
        }
        break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
        FillGrad(dc, 0, Direction == gdHorizontalEnd ? -1 : h / 2, h, start, stop, Smooth);
        BitFillBlit(dc, StripWidth, h, w, false, SRCCOPY);
        break;
    case gdVerticalEnd:
    case gdVerticalCenter:
        FillGrad(dc, Direction == gdVerticalEnd ? -1 : w / 2, 0, w, start, stop, Smooth);
        BitFillBlit(dc, w, StripWidth, h, true, SRCCOPY);
        break;
    case gdHorizontalBox:
    case gdVerticalBox:
    case gdSquareBox:
    case gdBigSquareBox: {
        const int insetY = Direction == gdVerticalBox || Direction == gdBigSquareBox ? h / 4 : 0;
        const int insetX = Direction == gdHorizontalBox || Direction == gdBigSquareBox ? w / 4 : 0;
        FillGradRect(dc, w, h, insetY, insetX, start, stop, Smooth);
        BoxBitMirrorBlit(dc, w, h, SRCCOPY);
        break;
    }
    }
    Canvas->Draw(Rect.left, Rect.top, &buffer);
}

// ---------------------------------------------------------------------------------------------------------
// Trapezoids

void SetTrapezoid(TTrap& Trap, const RECT& Rect, int Size, TTrapShape Shape, TDirection Direction,
                  TTrapDirect Direct)
{
    const bool vertical = Direction == dirUp || Direction == dirDown;
    const int span = vertical ? Width(Rect) : Height(Rect);
    const int length = std::min(span, Size);
    const int offset = Shape == tsLeft ? 0 : Shape == tsCenter ? (span - length) / 2 : span - length;
    // The short edge lies at the start (top or left) for dirUp/dirLeft from large to small, and the
    // other way round; the Direct flag swaps the ends.
    const bool shortFirst = (Direction == dirUp || Direction == dirLeft) == (Direct == tdLargeToSmall);
    if (vertical) {
        const int a = Rect.left + offset, b = a + length;
        const POINT shortEdge[2] = {{a, 0}, {b, 0}}, longEdge[2] = {{Rect.left, 0}, {Rect.right, 0}};
        const POINT* top = shortFirst ? shortEdge : longEdge;
        const POINT* bottom = shortFirst ? longEdge : shortEdge;
        Trap.Points[0] = {top[0].x, Rect.top};
        Trap.Points[1] = {top[1].x, Rect.top};
        Trap.Points[2] = {bottom[1].x, Rect.bottom};
        Trap.Points[3] = {bottom[0].x, Rect.bottom};
    } else {
        const int a = Rect.top + offset, b = a + length;
        const int leftTop = shortFirst ? a : Rect.top, leftBottom = shortFirst ? b : Rect.bottom;
        const int rightTop = shortFirst ? Rect.top : a, rightBottom = shortFirst ? Rect.bottom : b;
        Trap.Points[0] = {Rect.left, leftTop};
        Trap.Points[1] = {Rect.right, rightTop};
        Trap.Points[2] = {Rect.right, rightBottom};
        Trap.Points[3] = {Rect.left, leftBottom};
    }
}

void Intersect(POINT P1, POINT P2, POINT Q, POINT& Result, TDirection Direction)
{
    // A degenerate edge (no extent across the cut) has no crossing to compute: keep P2.
    if (Direction == dirUp || Direction == dirDown) {
        Result.y = Q.y;
        Result.x = P2.y == P1.y ? P2.x
                                : static_cast<LONG>(std::nearbyint(
                                      P2.x - double(P2.x - P1.x) / (P2.y - P1.y) * (P2.y - Q.y)));
    } else {
        Result.x = Q.x;
        Result.y = P2.x == P1.x ? P2.y
                                : static_cast<LONG>(std::nearbyint(
                                      P2.y - double(P2.y - P1.y) / (P2.x - P1.x) * (P2.x - Q.x)));
    }
}

void AdjustTrapezoid(const TTrap& Trap, const RECT& Rect, TDirection Direction, TTrap& Result)
{
    const POINT* p = Trap.Points;
    if (Direction == dirUp || Direction == dirDown) {
        Intersect(p[3], p[0], {0, Rect.top}, Result.Points[0], Direction);
        Intersect(p[2], p[1], {0, Rect.top}, Result.Points[1], Direction);
        Intersect(p[1], p[2], {0, Rect.bottom}, Result.Points[2], Direction);
        Intersect(p[0], p[3], {0, Rect.bottom}, Result.Points[3], Direction);
    } else {
        Intersect(p[1], p[0], {Rect.left, 0}, Result.Points[0], Direction);
        Intersect(p[0], p[1], {Rect.right, 0}, Result.Points[1], Direction);
        Intersect(p[3], p[2], {Rect.right, 0}, Result.Points[2], Direction);
        Intersect(p[2], p[3], {Rect.left, 0}, Result.Points[3], Direction);
    }
}

void InflateTrapezoid(TTrap& Trap, int Amount)
{
    static const int signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        Trap.Points[i].x += signs[i][0] * Amount;
        Trap.Points[i].y += signs[i][1] * Amount;
    }
}

void DrawTrapezoidBorder(TCanvas* Canvas, const TTrap& Trap, TTrapBevelStyle BevelStyle, int Width)
{
    TPen* pen = Canvas->GetPen();
    TPen saved;
    saved.Assign(pen);
    pen->SetWidth(1);
    const POINT tl = Trap.Points[0], tr = Trap.Points[1], br = Trap.Points[2], bl = Trap.Points[3];
    const bool raised = BevelStyle == TTrapBevelStyle::bsRaised;
    for (int i = 0; i < Width; ++i) {
        pen->SetColor(raised ? clBtnHighlight : clBtnShadow);
        Canvas->MoveTo(tr.x - i - 1, tr.y + i);
        Canvas->LineTo(br.x - i - 1, br.y - i - 1);
        Canvas->LineTo(bl.x + i, bl.y - i - 1);
        pen->SetColor(raised ? clBtnShadow : clBtnHighlight);
        Canvas->LineTo(tl.x + i, tl.y + i);
        Canvas->LineTo(tr.x - i - 1, tr.y + i);
    }
    pen->Assign(&saved);
}

// ---------------------------------------------------------------------------------------------------------
// Transparent controls

void DrawParentImage(TControl* Control, HDC DC, bool InvalidateParent)
{
    TWinControl* parent = Control ? Control->GetParent() : nullptr;
    if (!parent) return;
    const int saved = SaveDC(DC);
    POINT origin;
    GetViewportOrgEx(DC, &origin);
    SetViewportOrgEx(DC, origin.x - Control->GetLeft(), origin.y - Control->GetTop(), nullptr);
    IntersectClipRect(DC, 0, 0, parent->GetClientWidth(), parent->GetClientHeight());
    HWND window = parent->GetHandle();
    SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    SendMessage(window, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
    const bool designing = Control->GetComponentState().Contains(csDesigning);
    if (InvalidateParent && !dynamic_cast<TCustomControl*>(parent) && !dynamic_cast<TCustomForm*>(parent) &&
        !designing)
        parent->Invalidate();
}

void DrawParentImage(TControl* Control, TCanvas* Canvas, bool InvalidateParent)
{
    DrawParentImage(Control, Canvas->GetHandle(), InvalidateParent);
}

QvGrafxUnit::QvGrafxUnit() { ++unitUsers; }
QvGrafxUnit::~QvGrafxUnit() { --unitUsers; }
