// The picture of a window, from the screen or printed window by window, saved as PNG through GDI+.
#include "WindowPicture.h"

#include <objidl.h>

#include <gdiplus.h>

#include <set>
#include <vector>

namespace vcltest {
namespace {

struct PrintTarget {
    HDC dc;
    RECT origin;
};

// Prints one window at its place in the picture (a parent comes before its children). Each window is printed
// into a picture of its own first: Wine's controls clip their drawing to their client area taken as device
// coordinates, so a DC whose origin is moved to the window's place would clip them away.
BOOL CALLBACK PrintChild(HWND child, LPARAM target)
{
    auto* print = reinterpret_cast<PrintTarget*>(target);
    if (!IsWindowVisible(child))
        return TRUE;
    RECT r;
    GetWindowRect(child, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC own = CreateCompatibleDC(print->dc);
    HBITMAP bitmap = CreateCompatibleBitmap(print->dc, w, h);
    HGDIOBJ old = SelectObject(own, bitmap);
    SendMessageW(child, WM_PRINT, WPARAM(own), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    BitBlt(print->dc, r.left - print->origin.left, r.top - print->origin.top, w, h, own, 0, 0, SRCCOPY);
    SelectObject(own, old);
    DeleteObject(bitmap);
    DeleteDC(own);
    return TRUE;
}

}  // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool saved;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool saved = SaveBitmapPng(bitmap, path);
    DeleteObject(bitmap);
    return saved;
}

HBITMAP PrintWindowBitmap(HWND window)
{
    PrintTarget print{};
    GetWindowRect(window, &print.origin);
    HDC screen = GetDC(nullptr);
    print.dc = CreateCompatibleDC(screen);
    HBITMAP bitmap =
        CreateCompatibleBitmap(screen, print.origin.right - print.origin.left, print.origin.bottom - print.origin.top);
    HGDIOBJ old = SelectObject(print.dc, bitmap);
    RECT all{0, 0, print.origin.right - print.origin.left, print.origin.bottom - print.origin.top};
    FillRect(print.dc, &all, GetSysColorBrush(COLOR_BTNFACE));  // what the form's own background would show
    PrintWindow(window, print.dc, 0);
    EnumChildWindows(window, &PrintChild, LPARAM(&print));
    SelectObject(print.dc, old);
    DeleteDC(print.dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

size_t ColourCount(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(size_t(info.bmWidth) * size_t(info.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, UINT(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return std::set<DWORD>(pixels.begin(), pixels.end()).size();
}

}  // namespace vcltest
