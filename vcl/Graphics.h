// Colours, fonts, pens, brushes, canvases and pictures: thin owners of GDI objects that create
// their handles on first use and tell their owner when they change.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Classes.h"
#include "SysUtils.h"

namespace vcl {

VCL_EXCEPTION(EInvalidGraphic, Exception)

// 0x00BBGGRR, or 0x80000000 | COLOR_ index for a system colour.
using TColor = int;

constexpr TColor clSystemColor = int(0x80000000u);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value a colour stands for now (system colours through GetSysColor).
COLORREF ColorToRGB(TColor Color);
// The colour names a form stream may use ("clBtnFace") with their values.
const std::vector<std::pair<AnsiString, Int64>>* ColorIdents();

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TCanvasOrientation { coLeftToRight, coRightToLeft };

class TBitmap;

// An event bound to a closure of the library's own (identity: the given object).
template <class... Args, class F>
TEvent<Args...> MakeEvent(const void* Identity, F&& Fn)
{
    return TEvent<Args...>(std::function<void(Args...)>(std::forward<F>(Fn)), Identity);
}

// Base of the GDI object wrappers: a handle made on demand and dropped on every change.
class TGraphicsObject : public TPersistent {
    VCL_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// The face a new font starts with; a layer may choose another before it makes its forms.
extern AnsiString DefaultFontName;

class TFont : public TGraphicsObject {
    VCL_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    HFONT GetHandle();
    // Adopts an outside font's description (the handle itself stays the caller's).
    void SetHandle(HFONT Value);
    AnsiString GetName() const { return FName; }
    void SetName(const AnsiString& Value);
    int GetSize() const;
    void SetSize(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    BYTE GetCharset() const { return FCharset; }
    void SetCharset(BYTE Value);

    // Pixels per inch used to turn point sizes into heights (the screen's).
    static int PixelsPerInch();

protected:
    void Changed() override;

private:
    void FreeHandle();
    AnsiString FName = DefaultFontName;
    int FHeight = -12;
    TFontStyles FStyle;
    TFontPitch FPitch = TFontPitch::fpDefault;
    TColor FColor = clWindowText;
    BYTE FCharset = DEFAULT_CHARSET;
    HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
    VCL_CLASS(TPen, TGraphicsObject)
public:
    ~TPen() override;
    void Assign(TPersistent* Source) override;
    HPEN GetHandle();
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode Value);

protected:
    void Changed() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
    HPEN FHandle = nullptr;
};

class TBrush : public TGraphicsObject {
    VCL_CLASS(TBrush, TGraphicsObject)
public:
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    HBRUSH GetHandle();
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush from a bitmap (not owned; keep it alive while the brush uses it).
    TBitmap* GetBitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

protected:
    void Changed() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = nullptr;
};

// Drawing on a device context with the canvas's pen, brush and font selected before each operation.
class TCanvas : public TPersistent {
    VCL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // Getting the handle asks the descendant to create one; setting 0 lets the current one go.
    HDC GetHandle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* GetFont() const { return FFont; }
    TPen* GetPen() const { return FPen; }
    TBrush* GetBrush() const { return FBrush; }
    POINT GetPenPos() const { return FPenPos; }
    void SetPenPos(POINT Value);
    UINT GetTextFlags() const { return FTextFlags; }
    void SetTextFlags(UINT Value) { FTextFlags = Value; }
    DWORD GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD Value) { FCopyMode = Value; }
    // Right to left when the DC reads text right to left (TA_RTLREADING in its text alignment); text
    // drawn then starts one text width (plus one pixel) further right, so that it ends where asked.
    TCanvasOrientation GetCanvasOrientation();

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const RECT& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Polygon(const POINT* Points, int Count);
    void Polyline(const POINT* Points, int Count);
    void FillRect(const RECT& R);
    void FrameRect(const RECT& R);
    void TextOut(int X, int Y, const AnsiString& Text);
    void TextRect(const RECT& R, int X, int Y, const AnsiString& Text);
    SIZE TextExtent(const AnsiString& Text);
    int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
    int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }
    void Draw(int X, int Y, TBitmap* Graphic);
    void StretchDraw(const RECT& R, TBitmap* Graphic);
    void CopyRect(const RECT& Dest, TCanvas* Source, const RECT& SourceRect);
    COLORREF GetPixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();

private:
    enum StateBit : unsigned { HandleValid = 1, FontValid = 2, PenValid = 4, BrushValid = 8 };
    void RequireState(unsigned Needed);
    void DeselectHandles();
    void ObjectChanged(TObject* Sender);

    HDC FHandle = nullptr;
    unsigned FState = 0;
    TFont* FFont;
    TPen* FPen;
    TBrush* FBrush;
    POINT FPenPos{0, 0};
    UINT FTextFlags = 0;
    DWORD FCopyMode = SRCCOPY;
    HGDIOBJ FOldFont = nullptr;
    HGDIOBJ FOldPen = nullptr;
    HGDIOBJ FOldBrush = nullptr;
};

// A bitmap with its own memory-DC canvas. New areas are white.
class TBitmap : public TPersistent {
    VCL_CLASS(TBitmap, TPersistent)
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    HBITMAP GetHandle();
    // Takes ownership of the bitmap handle.
    void SetHandle(HBITMAP Value);
    HBITMAP ReleaseHandle();
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int Width, int Height);
    bool GetEmpty() const { return FHandle == nullptr && (FWidth == 0 || FHeight == 0); }
    bool GetMonochrome() const { return FMonochrome; }
    void SetMonochrome(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // clDefault: the bottom-left pixel's colour.
    TColor GetTransparentColor();
    void SetTransparentColor(TColor Value);
    TCanvas* GetCanvas();

    // A bitmap resource of the module; raises when it is missing.
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& Name);
    void LoadFromResourceID(HINSTANCE Instance, int Id);
    // Loads a resource and replaces colour-table entries (From -> To) as it does so.
    void LoadMappedResource(HINSTANCE Instance, LPCSTR Name, const COLORMAP* Map, int MapCount);
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    friend class TBitmapCanvas;
    void FreeCanvasDC();
    void LoadBitmapFileBytes(const std::string& Bytes);
    HBITMAP FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    bool FMonochrome = false;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    TCanvas* FCanvas = nullptr;
};

class TIcon : public TPersistent {
    VCL_CLASS(TIcon, TPersistent)
public:
    ~TIcon() override;
    void Assign(TPersistent* Source) override;
    HICON GetHandle() const { return FHandle; }
    // Takes ownership of the icon handle.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();
    bool GetEmpty() const { return FHandle == nullptr; }
    int GetWidth() const;
    int GetHeight() const;
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& Name);
    void LoadFromFile(const AnsiString& FileName);
    TNotifyEvent OnChange;

private:
    void Changed();
    HICON FHandle = nullptr;
};

// Holds one picture, a bitmap or an icon; the bitmap is made when first asked for.
class TPicture : public TPersistent {
    VCL_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TBitmap* GetBitmap();
    void SetBitmap(TBitmap* Value);
    TIcon* GetIcon();
    void SetIcon(TIcon* Value);
    bool HasBitmap() const { return FBitmap != nullptr; }
    bool HasIcon() const { return FIcon != nullptr; }
    int GetWidth() const;
    int GetHeight() const;
    // By extension: .bmp (bitmap) and .ico (icon).
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    TNotifyEvent OnChange;
    TNotifyEvent OnProgress;

protected:
    virtual void Changed();
    void DefineProperties(TFiler* Filer) override;

private:
    void Clear();
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    TBitmap* FBitmap = nullptr;
    TIcon* FIcon = nullptr;
};

// A pattern brush bitmap of two alternating colours (dithered face colour).
TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor);

}  // namespace vcl
