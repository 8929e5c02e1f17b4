// Fendrix.exe: turns one page file (BMP, TIFF, PNG or JPEG) into a JPEG copy named after the page path cut
// before its first '.', followed by "~.jpg". The copy appears whole, through a rename. Exit code 0 when written.
// The lab can delay it, keep it from writing, or have it leave half a file.
#include "Lab.h"
#include "WicImage.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const char kComponent[] = "Fendrix";

enum ExitCode : int { kWritten = 0, kNoPage = 1, kUnreadable = 2, kNotWritten = 3, kInjected = 4 };

// The page path is the whole parameter text, quoted or not, since callers may pass a path with spaces bare.
std::wstring PagePathOf(const wchar_t* commandLine) {
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        at = wcschr(at + 1, L'"');
        at = at ? at + 1 : at + wcslen(at);
    } else {
        while (*at && *at != L' ' && *at != L'\t') ++at;
    }
    std::wstring rest = at;
    const auto first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    rest = rest.substr(first, rest.find_last_not_of(L" \t") - first + 1);
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') rest = rest.substr(1, rest.size() - 2);
    return rest;
}

std::wstring JpegPathOf(const std::wstring& page) { return page.substr(0, page.find(L'.')) + L"~.jpg"; }

// Wine converts some formats (16-bit grey, for one) only to 32-bit BGRA, and says so only when the pixels are
// read: a first row is tried, and on failure the conversion goes through 32-bit BGRA.
wic::ComPtr<IWICBitmapSource> Converted(IWICBitmapSource* source, const WICPixelFormatGUID& format) {
    UINT width = 0, height = 0;
    source->GetSize(&width, &height);
    std::vector<BYTE> row(size_t(width) * 4 + 4);
    const WICRect first{0, 0, INT(width), height ? 1 : 0};
    wic::ComPtr<IWICBitmapSource> direct;
    if (SUCCEEDED(WICConvertBitmapSource(format, source, &direct)) &&
        SUCCEEDED(direct->CopyPixels(&first, UINT(row.size()), UINT(row.size()), row.data())))
        return direct;
    wic::ComPtr<IWICBitmapSource> wide, result;
    HRESULT converted = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, source, &wide);
    if (SUCCEEDED(converted)) converted = WICConvertBitmapSource(format, wide.Get(), &result);
    if (FAILED(converted)) throw wic::WicError("cannot convert the page", converted);
    return result;
}

// A JPEG page is copied as it is; other formats are decoded and encoded as colour or grey JPEG.
void WriteJpeg(const std::wstring& page, const std::wstring& target) {
    const wic::DecodedImage image = wic::Decode(page);
    if (image.container == GUID_ContainerFormatJpeg) {
        if (!CopyFileW(page.c_str(), target.c_str(), FALSE)) throw wic::WicError("cannot copy the page", E_FAIL);
        return;
    }
    WICPixelFormatGUID format{};
    image.frame->GetPixelFormat(&format);
    const bool grey = format == GUID_WICPixelFormatBlackWhite || format == GUID_WICPixelFormat8bppGray ||
                      format == GUID_WICPixelFormat2bppGray || format == GUID_WICPixelFormat4bppGray ||
                      format == GUID_WICPixelFormat16bppGray;
    const wic::ComPtr<IWICBitmapSource> pixels =
        Converted(image.frame.Get(), grey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR);
    double dpiX = 0, dpiY = 0;
    if (FAILED(image.frame->GetResolution(&dpiX, &dpiY)) || dpiX <= 0 || dpiY <= 0) dpiX = dpiY = 96.0;
    // BMP and PNG keep dots per metre: 200 dpi comes back as 199.9995, which the JPEG would store as 199.
    auto whole = [](double dpi) { return std::fabs(dpi - std::round(dpi)) < 0.05 ? std::round(dpi) : dpi; };
    dpiX = whole(dpiX);
    dpiY = whole(dpiY);
    wic::Encode(pixels.Get(), GUID_ContainerFormatJpeg, dpiX, dpiY, target);
}

// Leaves the first half of a finished JPEG at the target, as a writer stopped midway would.
void TruncateToHalf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    size.QuadPart /= 2;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

int Run(const wchar_t* commandLine) {
    const std::wstring page = PagePathOf(commandLine);
    if (page.empty()) {
        lab::Trace(kComponent, "convert", "", "no page path");
        return kNoPage;
    }
    const std::wstring target = JpegPathOf(page);
    const std::string traced = lab::ToUtf8(page) + "|" + lab::ToUtf8(target);
    lab::Delay(kComponent, "convert");
    const auto injected = lab::InjectedFailure(kComponent, "convert");
    if (injected && *injected != 2) {  // 2 leaves a partial file, any other code no file at all
        lab::Trace(kComponent, "convert", traced, "no output (injected)");
        return kInjected;
    }
    const std::wstring partial = target + L".partial";
    try {
        wic::ComApartment com;
        WriteJpeg(page, partial);
        if (injected) TruncateToHalf(partial);
        if (!MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            throw wic::WicError("cannot put the JPEG in place", HRESULT_FROM_WIN32(GetLastError()));
    } catch (const wic::WicError& error) {
        DeleteFileW(partial.c_str());
        lab::Trace(kComponent, "convert", traced, error.what());
        return error.Result() == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? kUnreadable : kNotWritten;
    }
    lab::Trace(kComponent, "convert", traced, injected ? "partial (injected)" : "written");
    return injected ? kInjected : kWritten;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return Run(GetCommandLineW());
    } catch (const std::exception& error) {
        lab::Trace(kComponent, "convert", "", error.what());
        return kNotWritten;
    }
}
