// Draws the page with GDI into a colour bitmap, reduces it to the pixel type, and encodes it through WIC.
#include "PageImage.h"

#include "WicImage.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace twain {
namespace {

struct Millimetres {
    double width, height;
};

Millimetres PageMillimetres(TW_UINT16 size) {
    switch (size) {
    case TWSS_JISB5: return {182, 257};
    case TWSS_USLETTER: return {215.9, 279.4};
    case TWSS_USLEGAL: return {215.9, 355.6};
    case TWSS_A5: return {148, 210};
    case TWSS_ISOB4: return {250, 353};
    case TWSS_ISOB6: return {125, 176};
    default: return {210, 297};  // A4, also the whole glass when no size is chosen
    }
}

const GUID& Container(TW_UINT16 format) {
    switch (format) {
    case TWFF_TIFF: return GUID_ContainerFormatTiff;
    case TWFF_JFIF: return GUID_ContainerFormatJpeg;
    case TWFF_PNG: return GUID_ContainerFormatPng;
    default: return GUID_ContainerFormatBmp;
    }
}

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// A 24-bit top-down page drawn with GDI: white paper, a frame, a colour band and the page's caption.
class DrawnPage {
public:
    DrawnPage(unsigned width, unsigned height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = LONG(width);
        info.bmiHeader.biHeight = -LONG(height);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (!dc_ || !bitmap_) {
            if (dc_) DeleteDC(dc_);
            throw std::runtime_error("no memory for the page");
        }
        old_ = SelectObject(dc_, bitmap_);
    }
    ~DrawnPage() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DrawnPage(const DrawnPage&) = delete;
    DrawnPage& operator=(const DrawnPage&) = delete;

    void Draw(const std::wstring& caption, const std::wstring& note) {
        RECT all{0, 0, LONG(width_), LONG(height_)};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const LONG margin = LONG(width_ / 20) + 1;
        std::unique_ptr<void, GdiDeleter> band(CreateSolidBrush(RGB(40, 90, 200)));
        RECT top{margin, margin, LONG(width_) - margin, margin + LONG(height_ / 25) + 1};
        FillRect(dc_, &top, static_cast<HBRUSH>(band.get()));
        RECT frame{margin, margin, LONG(width_) - margin, LONG(height_) - margin};
        FrameRect(dc_, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetBkMode(dc_, TRANSPARENT);
        Text(caption, LONG(height_ / 12) + 1, RGB(0, 0, 0), LONG(height_ / 3));
        Text(note, LONG(height_ / 40) + 1, RGB(160, 30, 30), LONG(height_ / 2));
        GdiFlush();
    }

    unsigned Stride() const { return (width_ * 3 + 3) & ~3u; }
    const BYTE* Bits() const { return bits_; }

private:
    void Text(const std::wstring& text, LONG height, COLORREF colour, LONG top) {
        std::unique_ptr<void, GdiDeleter> font(CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                                           DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial"));
        HGDIOBJ previous = SelectObject(dc_, font.get());
        SetTextColor(dc_, colour);
        RECT line{0, top, LONG(width_), top + height * 2};
        DrawTextW(dc_, text.c_str(), int(text.size()), &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc_, previous);
    }

    unsigned width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
};

// The page's pixels in the pixel type: 1-bit (1 white), 8-bit grey or 24-bit BGR. BMP files hold 1 and 8 bits
// only as palette indexes, so for them the same bits go out with a black-and-white or grey palette; JPEG has
// no 1-bit form, so black and white goes out as grey bytes of 0 and 255.
wic::ComPtr<IWICBitmap> Reduce(const BYTE* bgr, unsigned stride, unsigned width, unsigned height, TW_UINT16 pixelType,
                               TW_UINT16 fileFormat) {
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    unsigned outStride = stride;
    std::vector<BYTE> out;
    const bool indexed = fileFormat == TWFF_BMP;
    const bool thresholdBytes = pixelType == TWPT_BW && fileFormat == TWFF_JFIF;
    const bool bw = pixelType == TWPT_BW && !thresholdBytes;
    if (pixelType == TWPT_RGB) {
        out.assign(bgr, bgr + size_t(stride) * height);
    } else {
        if (bw) format = indexed ? GUID_WICPixelFormat1bppIndexed : GUID_WICPixelFormatBlackWhite;
        else format = indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat8bppGray;
        outStride = bw ? ((width + 31) / 32) * 4 : (width + 3) & ~3u;
        out.assign(size_t(outStride) * height, 0);
        for (unsigned y = 0; y < height; ++y) {
            const BYTE* in = bgr + size_t(y) * stride;
            BYTE* row = out.data() + size_t(y) * outStride;
            for (unsigned x = 0; x < width; ++x, in += 3) {
                const unsigned grey = (in[0] * 29u + in[1] * 150u + in[2] * 77u) >> 8;
                if (thresholdBytes) row[x] = grey >= 128 ? 255 : 0;
                else if (!bw) row[x] = BYTE(grey);
                else if (grey >= 128) row[x >> 3] |= BYTE(0x80 >> (x & 7));
            }
        }
    }
    const auto factory = wic::Factory();
    wic::ComPtr<IWICBitmap> bitmap;
    HRESULT made = factory->CreateBitmapFromMemory(width, height, format, outStride, UINT(out.size()), out.data(),
                                                   &bitmap);
    if (SUCCEEDED(made) && indexed && pixelType != TWPT_RGB) {
        wic::ComPtr<IWICPalette> palette;
        made = factory->CreatePalette(&palette);
        if (SUCCEEDED(made))
            made = palette->InitializePredefined(bw ? WICBitmapPaletteTypeFixedBW : WICBitmapPaletteTypeFixedGray256,
                                                 FALSE);
        if (SUCCEEDED(made)) made = bitmap->SetPalette(palette.Get());
    }
    if (FAILED(made)) throw wic::WicError("cannot hold the page", made);
    return bitmap;
}

}  // namespace

void PagePixels(const PageSpec& spec, unsigned& width, unsigned& height) {
    const Millimetres size = PageMillimetres(spec.pageSize);
    width = unsigned(std::lround(size.width / 25.4 * spec.dpiX));
    height = unsigned(std::lround(size.height / 25.4 * spec.dpiY));
}

void WriteGeneratedPage(const PageSpec& spec, int number, const std::wstring& side, const std::wstring& path) {
    unsigned width = 0, height = 0;
    PagePixels(spec, width, height);
    wic::ComApartment com;
    DrawnPage page(width, height);
    page.Draw(L"Page " + std::to_wstring(number), side.empty() ? L"Pagorin virtual scanner" : side);
    wic::Encode(Reduce(page.Bits(), page.Stride(), width, height, spec.pixelType, spec.fileFormat).Get(),
                Container(spec.fileFormat), spec.dpiX, spec.dpiY, path);
}

void WriteFilePage(const PageSpec& spec, const std::wstring& source, const std::wstring& path) {
    wic::ComApartment com;
    const wic::DecodedImage image = wic::Decode(source);
    wic::ComPtr<IWICBitmapSource> bgr;
    const HRESULT converted = WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, image.frame.Get(), &bgr);
    if (FAILED(converted)) throw wic::WicError("cannot read the page file", converted);
    UINT width = 0, height = 0;
    bgr->GetSize(&width, &height);
    const unsigned stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(size_t(stride) * height);
    const HRESULT copied = bgr->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data());
    if (FAILED(copied)) throw wic::WicError("cannot read the page file", copied);
    wic::Encode(Reduce(pixels.data(), stride, width, height, spec.pixelType, spec.fileFormat).Get(),
                Container(spec.fileFormat), spec.dpiX, spec.dpiY, path);
}

}  // namespace twain
