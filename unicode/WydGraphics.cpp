// Wide text on canvases and pictures by wide file names.
#include "WydGraphics.h"

#include <random>

#include "WydSysUtils.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydPicture, TPicture)

namespace {

// Selects the canvas's font (and brush) into its DC as its own drawing would.
HDC PrepareCanvas(TCanvas* canvas, bool withBrush)
{
    HDC dc = canvas->GetHandle();
    SelectObject(dc, canvas->GetFont()->GetHandle());
    SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
    if (withBrush) {
        TBrush* brush = canvas->GetBrush();
        SelectObject(dc, brush->GetHandle());
        SetBkColor(dc, ColorToRGB(brush->GetColor()));
        SetBkMode(dc, brush->GetStyle() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
    }
    return dc;
}

// Change notifications around a drawing call, as the canvas's own drawing sends them.
class CanvasChange {
public:
    explicit CanvasChange(TCanvas* canvas) : canvas_(canvas) { canvas_->OnChanging(canvas_); }
    ~CanvasChange() { canvas_->OnChange(canvas_); }

private:
    TCanvas* canvas_;
};

}  // namespace

void WideCanvasTextRect(TCanvas* canvas, const RECT& rect, int x, int y, const WideString& text)
{
    CanvasChange change(canvas);
    HDC dc = PrepareCanvas(canvas, true);
    UINT options = canvas->GetTextFlags() | ETO_CLIPPED;
    if (canvas->GetBrush()->GetStyle() != TBrushStyle::bsClear)
        options |= ETO_OPAQUE;
    if ((options & ETO_RTLREADING) && canvas->GetCanvasOrientation() == TCanvasOrientation::coRightToLeft)
        x += WideDCTextExtent(dc, text).cx + 1;
    ExtTextOutW(dc, x, y, options, &rect, text.c_str(), UINT(text.size()), nullptr);
}

void WideCanvasTextOut(TCanvas* canvas, int x, int y, const WideString& text)
{
    CanvasChange change(canvas);
    HDC dc = PrepareCanvas(canvas, true);
    const int width = WideDCTextExtent(dc, text).cx;
    // A right-to-left canvas writes leftwards from x.
    if (canvas->GetCanvasOrientation() == TCanvasOrientation::coRightToLeft)
        x += width + 1;
    ExtTextOutW(dc, x, y, canvas->GetTextFlags(), nullptr, text.c_str(), UINT(text.size()), nullptr);
    canvas->MoveTo(x + width, y);
}

void WideCanvasItemText(TCanvas* canvas, const RECT& rect, const WideString& text)
{
    canvas->FillRect(rect);
    WideCanvasTextOut(canvas, rect.left + 2, rect.top, text);
}

SIZE WideDCTextExtent(HDC dc, const WideString& text)
{
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    return size;
}

SIZE WideCanvasTextExtent(TCanvas* canvas, const WideString& text)
{
    return WideDCTextExtent(PrepareCanvas(canvas, false), text);
}

int WideCanvasTextWidth(TCanvas* canvas, const WideString& text) { return WideCanvasTextExtent(canvas, text).cx; }
int WideCanvasTextHeight(TCanvas* canvas, const WideString& text) { return WideCanvasTextExtent(canvas, text).cy; }

int WideCanvasDrawText(TCanvas* canvas, const WideString& text, RECT& rect, UINT flags)
{
    CanvasChange change(canvas);
    HDC dc = PrepareCanvas(canvas, false);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    int height = Wyd_DrawTextW(dc, text.c_str(), int(text.size()), &rect, flags);
    SetBkMode(dc, oldMode);
    return height;
}

void WideCanvasDrawDisabledText(TCanvas* canvas, const WideString& text, RECT& rect, UINT flags)
{
    TColor color = canvas->GetFont()->GetColor();
    OffsetRect(&rect, 1, 1);
    canvas->GetFont()->SetColor(clBtnHighlight);
    WideCanvasDrawText(canvas, text, rect, flags);
    OffsetRect(&rect, -1, -1);
    canvas->GetFont()->SetColor(clBtnShadow);
    WideCanvasDrawText(canvas, text, rect, flags);
    canvas->GetFont()->SetColor(color);
}

void TWydPicture::LoadFromFile(const WideString& fileName)
{
    WideString name = fileName;
    // The graphic is chosen by extension, and ".jpeg" has no short form the class library knows.
    if (vcl::WideToAnsi(Wyd_WideLowerCase(WideExtractFileExt(fileName))) != ".jpeg")
        name = WideExtractShortPathName(fileName);
    if (name.empty())
        name = fileName;
    TPicture::LoadFromFile(WideToAnsi(name));
}

void TWydPicture::SaveToFile(const WideString& fileName)
{
    if (!HasBitmap() && !HasIcon())
        return;
    WideString folder = WideExtractFilePath(fileName);
    WideString extension = WideExtractFileExt(fileName);
    std::mt19937 random{std::random_device{}()};
    WideString temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + std::to_wstring(random() % 0x7FFFFFFF) + extension;
        // CREATE_NEW: a name another writer took between the choice and the creation is never reused.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            RaiseLastOSError();
    }
    if (file == INVALID_HANDLE_VALUE)
        RaiseLastOSError();
    CloseHandle(file);
    try {
        WideString shortName = WideExtractShortPathName(temporary);
        TPicture::SaveToFile(WideToAnsi(shortName.empty() ? temporary : shortName));
        if (!MoveFileExW(temporary.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            RaiseLastOSError();
    } catch (...) {
        DeleteFileW(temporary.c_str());
        throw;
    }
}
