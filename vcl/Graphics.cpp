// Colours, fonts, pens, brushes, canvases and pictures.
#include "Graphics.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <commctrl.h>

namespace vcl {

VCL_IMPLEMENT_CLASS(TGraphicsObject, TPersistent)
VCL_IMPLEMENT_CLASS(TFont, TGraphicsObject, {
    m.Publish("Charset", &TFont::GetCharset, &TFont::SetCharset);
    m.Publish("Color", &TFont::GetColor, &TFont::SetColor).WithIdents(ColorIdents());
    m.Publish("Height", &TFont::GetHeight, &TFont::SetHeight);
    m.Publish("Name", &TFont::GetName, &TFont::SetName);
    m.Publish("Pitch", &TFont::GetPitch, &TFont::SetPitch).WithNames({"fpDefault", "fpVariable", "fpFixed"}).WithDefault(0);
    m.Publish("Style", &TFont::GetStyle, &TFont::SetStyle).AsSet({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
})
VCL_IMPLEMENT_CLASS(TPen, TGraphicsObject, {
    m.Publish("Color", &TPen::GetColor, &TPen::SetColor).WithIdents(ColorIdents());
    m.Publish("Width", &TPen::GetWidth, &TPen::SetWidth).WithDefault(1);
})
VCL_IMPLEMENT_CLASS(TBrush, TGraphicsObject, {
    m.Publish("Color", &TBrush::GetColor, &TBrush::SetColor).WithIdents(ColorIdents());
})
VCL_IMPLEMENT_CLASS(TCanvas, TPersistent)
VCL_IMPLEMENT_CLASS(TBitmap, TPersistent)
VCL_IMPLEMENT_CLASS(TIcon, TPersistent)
VCL_IMPLEMENT_CLASS(TPicture, TPersistent)

COLORREF ColorToRGB(TColor Color)
{
    if (Color & clSystemColor)
        return GetSysColor(Color & 0xFF);
    return COLORREF(Color) & 0xFFFFFF;
}

const std::vector<std::pair<AnsiString, Int64>>* ColorIdents()
{
    static const std::vector<std::pair<AnsiString, Int64>> idents = {
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clNone", clNone}, {"clDefault", clDefault}, {"clScrollBar", clScrollBar},
        {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder}, {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk}};
    return &idents;
}

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TFont -----------------------------------------------------------------------------------

AnsiString DefaultFontName = "Arial";

TFont::TFont()
{
    SetSize(9);
}

TFont::~TFont()
{
    FreeHandle();
}

int TFont::PixelsPerInch()
{
    static const int ppi = [] {
        HDC dc = GetDC(nullptr);
        int value = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

void TFont::FreeHandle()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
}

void TFont::Changed()
{
    FreeHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        FName = font->FName;
        FHeight = font->FHeight;
        FStyle = font->FStyle;
        FPitch = font->FPitch;
        FColor = font->FColor;
        FCharset = font->FCharset;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::GetHandle()
{
    if (!FHandle) {
        LOGFONTA lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic);
        lf.lfUnderline = FStyle.Contains(fsUnderline);
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        lf.lfCharSet = FCharset;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FPitch == TFontPitch::fpFixed      ? FIXED_PITCH
                              : FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                 : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Value)
{
    LOGFONTA lf{};
    if (!Value || !GetObjectA(Value, sizeof lf, &lf))
        return;
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    FStyle = TFontStyles();
    if (lf.lfWeight >= FW_BOLD)
        FStyle << fsBold;
    if (lf.lfItalic)
        FStyle << fsItalic;
    if (lf.lfUnderline)
        FStyle << fsUnderline;
    if (lf.lfStrikeOut)
        FStyle << fsStrikeOut;
    FCharset = lf.lfCharSet;
    Changed();
}

void TFont::SetName(const AnsiString& Value)
{
    if (!Value.empty() && Value != FName) {
        FName = Value;
        Changed();
    }
}

int TFont::GetSize() const
{
    return -MulDiv(FHeight, 72, PixelsPerInch());
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

void TFont::SetHeight(int Value)
{
    if (Value != FHeight) {
        FHeight = Value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value != FPitch) {
        FPitch = Value;
        Changed();
    }
}

void TFont::SetColor(TColor Value)
{
    if (Value != FColor) {
        FColor = Value;
        TGraphicsObject::Changed();  // the colour is not part of the GDI font
    }
}

void TFont::SetCharset(BYTE Value)
{
    if (Value != FCharset) {
        FCharset = Value;
        Changed();
    }
}

// ---- TPen ------------------------------------------------------------------------------------

TPen::~TPen()
{
    if (FHandle)
        DeleteObject(FHandle);
}

void TPen::Changed()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        FStyle = pen->FStyle;
        FMode = pen->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::GetHandle()
{
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(styles[int(FStyle)], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}

void TPen::SetColor(TColor Value)
{
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}

void TPen::SetWidth(int Value)
{
    if (Value >= 0 && Value != FWidth) {
        FWidth = Value;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

void TPen::SetMode(TPenMode Value)
{
    if (Value != FMode) {
        FMode = Value;
        Changed();
    }
}

// ---- TBrush ----------------------------------------------------------------------------------

TBrush::~TBrush()
{
    if (FHandle)
        DeleteObject(FHandle);
}

void TBrush::Changed()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        FBitmap = brush->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::GetHandle()
{
    if (!FHandle) {
        if (FBitmap)
            FHandle = CreatePatternBrush(FBitmap->GetHandle());
        else if (FStyle == TBrushStyle::bsClear)
            FHandle = HBRUSH(GetStockObject(NULL_BRUSH));
        else if (FStyle == TBrushStyle::bsSolid)
            FHandle = CreateSolidBrush(ColorToRGB(FColor));
        else {
            static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                          HS_DIAGCROSS};
            FHandle = CreateHatchBrush(hatches[int(FStyle)], ColorToRGB(FColor));
        }
    }
    return FHandle;
}

void TBrush::SetColor(TColor Value)
{
    if (Value != FColor || FStyle == TBrushStyle::bsClear) {
        FColor = Value;
        if (FStyle == TBrushStyle::bsClear)
            FStyle = TBrushStyle::bsSolid;
        Changed();
    }
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

void TBrush::SetBitmap(TBitmap* Value)
{
    FBitmap = Value;
    Changed();
}

// ---- TCanvas ---------------------------------------------------------------------------------

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush)
{
    auto onChange = MakeEvent<TObject*>(this, [this](TObject* Sender) { ObjectChanged(Sender); });
    FFont->OnChange = onChange;
    FPen->OnChange = onChange;
    FBrush->OnChange = onChange;
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    delete FFont;
    delete FPen;
    delete FBrush;
}

HDC TCanvas::GetHandle()
{
    RequireState(HandleValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value)
{
    if (FHandle == Value)
        return;
    if (FHandle) {
        DeselectHandles();
        FHandle = nullptr;
        FState = 0;
    }
    if (Value) {
        FHandle = Value;
        FState = HandleValid;
    }
}

void TCanvas::DeselectHandles()
{
    if (!FHandle)
        return;
    if (FOldFont)
        SelectObject(FHandle, FOldFont);
    if (FOldPen)
        SelectObject(FHandle, FOldPen);
    if (FOldBrush)
        SelectObject(FHandle, FOldBrush);
    FOldFont = FOldPen = FOldBrush = nullptr;
    FState &= ~unsigned(FontValid | PenValid | BrushValid);
}

void TCanvas::ObjectChanged(TObject* Sender)
{
    if (!FHandle)
        return;
    if (Sender == FFont)
        FState &= ~unsigned(FontValid);
    else if (Sender == FPen)
        FState &= ~unsigned(PenValid);
    else
        FState &= ~unsigned(BrushValid);
    // The old handle is about to be deleted: put the DC's own object back before that happens.
    if (Sender == FFont && FOldFont) {
        SelectObject(FHandle, FOldFont);
        FOldFont = nullptr;
    } else if (Sender == FPen && FOldPen) {
        SelectObject(FHandle, FOldPen);
        FOldPen = nullptr;
    } else if (Sender == FBrush && FOldBrush) {
        SelectObject(FHandle, FOldBrush);
        FOldBrush = nullptr;
    }
}

void TCanvas::RequireState(unsigned Needed)
{
    if ((Needed & HandleValid) && !FHandle) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation("Canvas does not allow drawing");
        FState |= HandleValid;
    }
    if ((Needed & FontValid) && !(FState & FontValid)) {
        HGDIOBJ old = SelectObject(FHandle, FFont->GetHandle());
        if (!FOldFont)
            FOldFont = old;
        SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
        FState |= FontValid;
    }
    if ((Needed & PenValid) && !(FState & PenValid)) {
        HGDIOBJ old = SelectObject(FHandle, FPen->GetHandle());
        if (!FOldPen)
            FOldPen = old;
        static const int modes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_XORPEN};
        SetROP2(FHandle, modes[int(FPen->GetMode())]);
        FState |= PenValid;
    }
    if ((Needed & BrushValid) && !(FState & BrushValid)) {
        HGDIOBJ old = SelectObject(FHandle, FBrush->GetHandle());
        if (!FOldBrush)
            FOldBrush = old;
        SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
        SetBkMode(FHandle, FBrush->GetStyle() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
        FState |= BrushValid;
    }
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCanvas::SetPenPos(POINT Value)
{
    MoveTo(Value.x, Value.y);
}

void TCanvas::MoveTo(int X, int Y)
{
    RequireState(HandleValid);
    MoveToEx(FHandle, X, Y, nullptr);
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    RequireState(HandleValid | PenValid | BrushValid);
    ::LineTo(FHandle, X, Y);
    FPenPos = {X, Y};
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequireState(HandleValid | PenValid | BrushValid);
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequireState(HandleValid | PenValid | BrushValid);
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Polygon(const POINT* Points, int Count)
{
    Changing();
    RequireState(HandleValid | PenValid | BrushValid);
    ::Polygon(FHandle, Points, Count);
    Changed();
}

void TCanvas::Polyline(const POINT* Points, int Count)
{
    Changing();
    RequireState(HandleValid | PenValid | BrushValid);
    ::Polyline(FHandle, Points, Count);
    Changed();
}

void TCanvas::FillRect(const RECT& R)
{
    Changing();
    RequireState(HandleValid | BrushValid);
    ::FillRect(FHandle, &R, FBrush->GetHandle());
    Changed();
}

void TCanvas::FrameRect(const RECT& R)
{
    Changing();
    RequireState(HandleValid | BrushValid);
    ::FrameRect(FHandle, &R, FBrush->GetHandle());
    Changed();
}

TCanvasOrientation TCanvas::GetCanvasOrientation()
{
    RequireState(HandleValid);
    UINT align = GetTextAlign(FHandle);
    bool rightToLeft = align != UINT(GDI_ERROR) && (align & TA_RTLREADING);
    return rightToLeft ? TCanvasOrientation::coRightToLeft : TCanvasOrientation::coLeftToRight;
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text)
{
    Changing();
    RequireState(HandleValid | FontValid | BrushValid);
    if (GetCanvasOrientation() == TCanvasOrientation::coRightToLeft)
        X += TextWidth(Text) + 1;
    ExtTextOutA(FHandle, X, Y, FTextFlags, nullptr, Text.c_str(), UINT(Text.size()), nullptr);
    FPenPos = {X + TextWidth(Text), Y};
    MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    Changed();
}

void TCanvas::TextRect(const RECT& R, int X, int Y, const AnsiString& Text)
{
    Changing();
    RequireState(HandleValid | FontValid | BrushValid);
    UINT options = ETO_CLIPPED | FTextFlags;
    if (FBrush->GetStyle() != TBrushStyle::bsClear)
        options |= ETO_OPAQUE;
    if ((FTextFlags & ETO_RTLREADING) && GetCanvasOrientation() == TCanvasOrientation::coRightToLeft)
        X += TextWidth(Text) + 1;
    ExtTextOutA(FHandle, X, Y, options, &R, Text.c_str(), UINT(Text.size()), nullptr);
    Changed();
}

SIZE TCanvas::TextExtent(const AnsiString& Text)
{
    RequireState(HandleValid | FontValid);
    SIZE size{0, 0};
    GetTextExtentPoint32A(FHandle, Text.c_str(), int(Text.size()), &size);
    return size;
}

void TCanvas::Draw(int X, int Y, TBitmap* Graphic)
{
    if (!Graphic || Graphic->GetEmpty())
        return;
    StretchDraw(RECT{X, Y, X + Graphic->GetWidth(), Y + Graphic->GetHeight()}, Graphic);
}

void TCanvas::StretchDraw(const RECT& R, TBitmap* Graphic)
{
    if (!Graphic || Graphic->GetEmpty())
        return;
    Changing();
    RequireState(HandleValid);
    HDC source = Graphic->GetCanvas()->GetHandle();
    int w = R.right - R.left, h = R.bottom - R.top;
    if (Graphic->GetTransparent())
        TransparentBlt(FHandle, R.left, R.top, w, h, source, 0, 0, Graphic->GetWidth(), Graphic->GetHeight(),
                       ColorToRGB(Graphic->GetTransparentColor()));
    else {
        SetStretchBltMode(FHandle, COLORONCOLOR);
        StretchBlt(FHandle, R.left, R.top, w, h, source, 0, 0, Graphic->GetWidth(), Graphic->GetHeight(), FCopyMode);
    }
    Changed();
}

void TCanvas::CopyRect(const RECT& Dest, TCanvas* Source, const RECT& SourceRect)
{
    Changing();
    RequireState(HandleValid | BrushValid);
    HDC source = Source->GetHandle();
    StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, source,
               SourceRect.left, SourceRect.top, SourceRect.right - SourceRect.left, SourceRect.bottom - SourceRect.top,
               FCopyMode);
    Changed();
}

COLORREF TCanvas::GetPixel(int X, int Y)
{
    RequireState(HandleValid);
    return ::GetPixel(FHandle, X, Y);
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    Changing();
    RequireState(HandleValid);
    ::SetPixel(FHandle, X, Y, ColorToRGB(Color));
    Changed();
}

// ---- TBitmap ---------------------------------------------------------------------------------

// The bitmap's canvas: a memory DC compatible with the screen, with the bitmap selected.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext()
    {
        HDC dc = HandleAllocated() ? GetHandle() : nullptr;
        if (!dc)
            return;
        SetHandle(nullptr);
        if (FOldBitmap)
            SelectObject(dc, FOldBitmap);
        FOldBitmap = nullptr;
        DeleteDC(dc);
    }

protected:
    void CreateHandle() override
    {
        HDC dc = CreateCompatibleDC(nullptr);
        FOldBitmap = SelectObject(dc, FBitmap->GetHandle());
        SetHandle(dc);
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    delete FCanvas;
    if (FHandle)
        DeleteObject(FHandle);
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBitmap::FreeCanvasDC()
{
    if (FCanvas)
        static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TBitmap*>(Source)) {
        if (other == this)
            return;
        FMonochrome = other->FMonochrome;
        FTransparent = other->FTransparent;
        FTransparentColor = other->FTransparentColor;
        if (other->FHandle) {
            other->FreeCanvasDC();
            SetHandle(HBITMAP(CopyImage(other->FHandle, IMAGE_BITMAP, 0, 0, 0)));
        } else {
            SetHandle(nullptr);
            SetSize(other->FWidth, other->FHeight);
        }
        return;
    }
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    TPersistent::Assign(Source);
}

HBITMAP TBitmap::GetHandle()
{
    if (!FHandle && FWidth > 0 && FHeight > 0) {
        HDC screen = GetDC(nullptr);
        FHandle = FMonochrome ? CreateBitmap(FWidth, FHeight, 1, 1, nullptr)
                              : CreateCompatibleBitmap(screen, FWidth, FHeight);
        if (FHandle) {
            HDC dc = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(dc, FHandle);
            PatBlt(dc, 0, 0, FWidth, FHeight, WHITENESS);
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        ReleaseDC(nullptr, screen);
    }
    return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value)
{
    FreeCanvasDC();
    if (FHandle && FHandle != Value)
        DeleteObject(FHandle);
    FHandle = Value;
    BITMAP info{};
    if (Value && GetObjectA(Value, sizeof info, &info)) {
        FWidth = info.bmWidth;
        FHeight = info.bmHeight;
        FMonochrome = info.bmBitsPixel == 1 && info.bmPlanes == 1;
    } else {
        FWidth = FHeight = 0;
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle()
{
    FreeCanvasDC();
    HBITMAP handle = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    return handle;
}

void TBitmap::SetSize(int Width, int Height)
{
    if (Width == FWidth && Height == FHeight)
        return;
    HBITMAP old = FHandle;
    int oldWidth = FWidth, oldHeight = FHeight;
    FreeCanvasDC();
    FHandle = nullptr;
    FWidth = Width < 0 ? 0 : Width;
    FHeight = Height < 0 ? 0 : Height;
    if (old) {
        // Keep the old picture in the top-left corner of the new, white, area.
        if (GetHandle()) {
            HDC target = CreateCompatibleDC(nullptr), source = CreateCompatibleDC(nullptr);
            HGDIOBJ t = SelectObject(target, FHandle), s = SelectObject(source, old);
            BitBlt(target, 0, 0, std::min(oldWidth, FWidth), std::min(oldHeight, FHeight), source, 0, 0, SRCCOPY);
            SelectObject(target, t);
            SelectObject(source, s);
            DeleteDC(target);
            DeleteDC(source);
        }
        DeleteObject(old);
    }
    Changed();
}

void TBitmap::SetMonochrome(bool Value)
{
    if (Value == FMonochrome)
        return;
    FMonochrome = Value;
    if (FHandle) {
        int w = FWidth, h = FHeight;
        SetHandle(nullptr);
        SetSize(w, h);
    }
}

void TBitmap::SetTransparent(bool Value)
{
    if (Value != FTransparent) {
        FTransparent = Value;
        Changed();
    }
}

TColor TBitmap::GetTransparentColor()
{
    if (FTransparentColor != clDefault)
        return FTransparentColor;
    if (GetEmpty())
        return clDefault;
    return TColor(GetCanvas()->GetPixel(0, FHeight - 1));
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value != FTransparentColor) {
        FTransparentColor = Value;
        Changed();
    }
}

TCanvas* TBitmap::GetCanvas()
{
    if (!FCanvas)
        FCanvas = new TBitmapCanvas(this);
    return FCanvas;
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const AnsiString& Name)
{
    HBITMAP handle = HBITMAP(LoadImageA(Instance, Name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle)
        throw EResNotFound("Resource " + Name + " not found");
    SetHandle(handle);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int Id)
{
    HBITMAP handle =
        HBITMAP(LoadImageA(Instance, MAKEINTRESOURCEA(Id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle)
        throw EResNotFound("Resource " + std::to_string(Id) + " not found");
    SetHandle(handle);
}

void TBitmap::LoadMappedResource(HINSTANCE Instance, LPCSTR Name, const COLORMAP* Map, int MapCount)
{
    HRSRC info = FindResourceA(Instance, Name, LPCSTR(RT_BITMAP));
    HGLOBAL data = info ? LoadResource(Instance, info) : nullptr;
    auto* header = data ? static_cast<const BITMAPINFOHEADER*>(LockResource(data)) : nullptr;
    if (!header)
        throw EResNotFound(IS_INTRESOURCE(Name) ? "Resource " + std::to_string(ULONG_PTR(Name)) + " not found"
                                                : "Resource " + AnsiString(Name) + " not found");
    // Copy the resource, swap the listed colour-table entries (stored B,G,R), then build the bitmap from it.
    DWORD size = SizeofResource(Instance, info);
    std::vector<BYTE> copy(static_cast<const BYTE*>(static_cast<const void*>(header)),
                           static_cast<const BYTE*>(static_cast<const void*>(header)) + size);
    auto* bi = reinterpret_cast<BITMAPINFO*>(copy.data());
    int colours = 0;
    if (bi->bmiHeader.biBitCount <= 8)
        colours = bi->bmiHeader.biClrUsed ? int(bi->bmiHeader.biClrUsed) : 1 << bi->bmiHeader.biBitCount;
    for (int i = 0; i < colours; ++i) {
        RGBQUAD& q = bi->bmiColors[i];
        COLORREF c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        for (int m = 0; m < MapCount; ++m) {
            if (c == Map[m].from) {
                q.rgbRed = GetRValue(Map[m].to);
                q.rgbGreen = GetGValue(Map[m].to);
                q.rgbBlue = GetBValue(Map[m].to);
                break;
            }
        }
    }
    const BYTE* bits = copy.data() + bi->bmiHeader.biSize + colours * sizeof(RGBQUAD);
    if (bi->bmiHeader.biCompression == BI_BITFIELDS)
        bits += 3 * sizeof(DWORD);
    HDC screen = GetDC(nullptr);
    HBITMAP handle = CreateDIBitmap(screen, &bi->bmiHeader, CBM_INIT, bits, bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    SetHandle(handle);
}

// Whether the header, its colour table and the pixel rows it describes lie within the file's bytes: the system
// reads as far as the header says, so a damaged file must be refused before it gets there.
static bool BitmapFitsItsBytes(const BITMAPFILEHEADER& file, const BITMAPINFOHEADER& info, size_t size)
{
    const int bits = info.biBitCount;
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biPlanes != 1 || info.biWidth <= 0 || info.biHeight == 0 ||
        info.biWidth > 65535 || info.biHeight > 65535 || info.biHeight < -65535 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    if (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS)
        return false;
    const uint64_t tableSize = bits <= 8 ? 1u << bits : 0;
    if (info.biClrUsed > (tableSize ? tableSize : 256))
        return false;
    const uint64_t colours = info.biClrUsed ? info.biClrUsed : tableSize;
    const uint64_t masks = info.biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    const uint64_t headerEnd = sizeof(BITMAPFILEHEADER) + uint64_t(info.biSize) + masks + colours * sizeof(RGBQUAD);
    const uint64_t stride = (uint64_t(info.biWidth) * bits + 31) / 32 * 4;
    const uint64_t rows = info.biHeight < 0 ? uint64_t(-int64_t(info.biHeight)) : uint64_t(info.biHeight);
    return headerEnd <= size && file.bfOffBits >= headerEnd && file.bfOffBits <= size &&
           stride * rows <= size - file.bfOffBits;
}

void TBitmap::LoadBitmapFileBytes(const std::string& Bytes)
{
    if (Bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || Bytes[0] != 'B' || Bytes[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    BITMAPFILEHEADER file;
    std::memcpy(&file, Bytes.data(), sizeof file);
    BITMAPINFOHEADER info;
    std::memcpy(&info, Bytes.data() + sizeof file, sizeof info);
    if (!BitmapFitsItsBytes(file, info, Bytes.size()))
        throw EInvalidGraphic("Bitmap image is not valid");
    auto* bi = reinterpret_cast<const BITMAPINFO*>(Bytes.data() + sizeof file);
    HDC screen = GetDC(nullptr);
    HBITMAP handle =
        CreateDIBitmap(screen, &bi->bmiHeader, CBM_INIT, Bytes.data() + file.bfOffBits, bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!handle)
        throw EInvalidGraphic("Bitmap image is not valid");
    SetHandle(handle);
}

void TBitmap::LoadFromFile(const AnsiString& FileName)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw EFOpenError("Cannot open file " + FileName);
    LoadBitmapFileBytes(std::string(std::istreambuf_iterator<char>(in), {}));
}

void TBitmap::LoadFromStream(TStream* Stream)
{
    std::string bytes(size_t(Stream->GetSize() - Stream->GetPosition()), '\0');
    Stream->ReadBuffer(bytes.data(), int(bytes.size()));
    LoadBitmapFileBytes(bytes);
}

void TBitmap::SaveToStream(TStream* Stream)
{
    // A 24-bit bottom-up DIB: what every reader understands.
    int stride = ((FWidth * 3 + 3) / 4) * 4;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = FWidth;
    info.biHeight = FHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = DWORD(stride) * FHeight;
    std::vector<BYTE> bits(info.biSizeImage);
    if (HBITMAP handle = GetHandle()) {
        FreeCanvasDC();
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, handle, 0, FHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    Stream->WriteBuffer(&file, sizeof file);
    Stream->WriteBuffer(&info, sizeof info);
    Stream->WriteBuffer(bits.data(), int(bits.size()));
}

void TBitmap::SaveToFile(const AnsiString& FileName)
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---- TIcon -----------------------------------------------------------------------------------

TIcon::~TIcon()
{
    if (FHandle)
        DestroyIcon(FHandle);
}

void TIcon::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TIcon::Assign(TPersistent* Source)
{
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        SetHandle(icon->FHandle ? CopyIcon(icon->FHandle) : nullptr);
        return;
    }
    TPersistent::Assign(Source);
}

void TIcon::SetHandle(HICON Value)
{
    if (FHandle && FHandle != Value)
        DestroyIcon(FHandle);
    FHandle = Value;
    Changed();
}

HICON TIcon::ReleaseHandle()
{
    HICON handle = FHandle;
    FHandle = nullptr;
    return handle;
}

int TIcon::GetWidth() const
{
    ICONINFO info{};
    if (!FHandle || !GetIconInfo(FHandle, &info))
        return 0;
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bm.bmWidth;
}

int TIcon::GetHeight() const
{
    ICONINFO info{};
    if (!FHandle || !GetIconInfo(FHandle, &info))
        return 0;
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    bool colour = info.hbmColor != nullptr;
    if (colour)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return colour ? bm.bmHeight : bm.bmHeight / 2;  // a monochrome icon stacks its AND and XOR masks
}

void TIcon::LoadFromResourceName(HINSTANCE Instance, const AnsiString& Name)
{
    HICON handle = HICON(LoadImageA(Instance, Name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (!handle)
        throw EResNotFound("Resource " + Name + " not found");
    SetHandle(handle);
}

void TIcon::LoadFromFile(const AnsiString& FileName)
{
    HICON handle = HICON(LoadImageA(nullptr, FileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!handle)
        throw EFOpenError("Cannot open file " + FileName);
    SetHandle(handle);
}

// ---- TPicture --------------------------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture()
{
    Clear();
}

void TPicture::Clear()
{
    delete FBitmap;
    delete FIcon;
    FBitmap = nullptr;
    FIcon = nullptr;
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Assign(TPersistent* Source)
{
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture->FBitmap)
            SetBitmap(picture->FBitmap);
        else if (picture->FIcon)
            SetIcon(picture->FIcon);
        else {
            Clear();
            Changed();
        }
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        SetBitmap(bitmap);
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        SetIcon(icon);
        return;
    }
    if (!Source) {
        Clear();
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

TBitmap* TPicture::GetBitmap()
{
    if (!FBitmap) {
        delete FIcon;
        FIcon = nullptr;
        FBitmap = new TBitmap;
        FBitmap->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Changed(); });
    }
    return FBitmap;
}

void TPicture::SetBitmap(TBitmap* Value)
{
    GetBitmap()->Assign(Value);
}

TIcon* TPicture::GetIcon()
{
    if (!FIcon) {
        delete FBitmap;
        FBitmap = nullptr;
        FIcon = new TIcon;
        FIcon->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Changed(); });
    }
    return FIcon;
}

void TPicture::SetIcon(TIcon* Value)
{
    GetIcon()->Assign(Value);
}

int TPicture::GetWidth() const
{
    return FBitmap ? FBitmap->GetWidth() : FIcon ? FIcon->GetWidth() : 0;
}

int TPicture::GetHeight() const
{
    return FBitmap ? FBitmap->GetHeight() : FIcon ? FIcon->GetHeight() : 0;
}

static bool HasExtension(const AnsiString& FileName, const char* Extension)
{
    size_t dot = FileName.rfind('.');
    return dot != AnsiString::npos && lstrcmpiA(FileName.c_str() + dot, Extension) == 0;
}

void TPicture::LoadFromFile(const AnsiString& FileName)
{
    if (HasExtension(FileName, ".ico"))
        GetIcon()->LoadFromFile(FileName);
    else if (HasExtension(FileName, ".bmp"))
        GetBitmap()->LoadFromFile(FileName);
    else
        throw EInvalidGraphic("Unknown picture file extension (" + FileName + ")");
}

void TPicture::SaveToFile(const AnsiString& FileName)
{
    if (!FBitmap)
        throw EInvalidGraphic("Only bitmaps can be saved");
    FBitmap->SaveToFile(FileName);
}

// In a form stream a picture is its bitmap file, after a one-byte-length class name.
void TPicture::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); },
        FBitmap != nullptr && !FBitmap->GetEmpty());
}

void TPicture::ReadData(TStream* Stream)
{
    unsigned char length = 0;
    Stream->ReadBuffer(&length, 1);
    std::string className(length, '\0');
    Stream->ReadBuffer(className.data(), length);
    if (className == "TBitmap")
        GetBitmap()->LoadFromStream(Stream);
    else
        throw EInvalidGraphic("Unknown picture format " + className);
}

void TPicture::WriteData(TStream* Stream)
{
    static const char name[] = "\x07TBitmap";
    Stream->WriteBuffer(name, 8);
    FBitmap->SaveToStream(Stream);
}

TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor)
{
    auto* bitmap = new TBitmap;
    bitmap->SetSize(8, 8);
    TCanvas* canvas = bitmap->GetCanvas();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            canvas->SetPixel(x, y, ((x + y) & 1) ? FgColor : BkColor);
    return bitmap;
}

}  // namespace vcl
