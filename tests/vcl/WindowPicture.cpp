// The picture of a window printed window by window, in its own process, saved as PNG through GDI+.
#include "WindowPicture.h"

#include <objidl.h>

#include <gdiplus.h>

#include <cwchar>
#include <memory>
#include <set>
#include <vector>

namespace vcltest {
namespace {

// A picture asked of another process: the asking side names the PNG file in a shared block named after the
// window and posts the request message to the window; the hook in the window's process takes the picture
// when its thread fetches that message, then sets the block's event.
constexpr wchar_t RequestMessage[] = L"WindowPicture.Request";
constexpr DWORD AnswerWaitMs = 20000;

constexpr size_t PathCapacity = 32768;

struct PictureRequest {
    LONG Saved;
    wchar_t Path[PathCapacity];
};

std::wstring RequestName(HWND window, const wchar_t* what)
{
    return L"Local\\WindowPicture." + std::to_wstring(UINT_PTR(window)) + L"." + what;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;
struct ViewUnmapper {
    void operator()(PictureRequest* view) const { UnmapViewOfFile(view); }
};
using RequestView = std::unique_ptr<PictureRequest, ViewUnmapper>;

RequestView MapRequest(HANDLE block)
{
    void* view = MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(PictureRequest));
    return RequestView(static_cast<PictureRequest*>(view));
}

// The folder of the running program, where windowpicture.dll is built too.
std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool PrintAndSave(HWND window, const std::wstring& path)
{
    HBITMAP bitmap = PrintWindowBitmap(window);
    bool saved = SaveBitmapPng(bitmap, path);
    DeleteObject(bitmap);
    return saved;
}

// Has the window's own process take its picture, through the hook library; waits for the answer, bounded.
bool SaveOtherProcessWindowPng(HWND window, const std::wstring& path)
{
    if (path.size() >= PathCapacity)
        return false;
    HMODULE library = LoadLibraryW((ProgramFolder() + L"windowpicture.dll").c_str());
    FARPROC entry = library ? GetProcAddress(library, "WindowPictureHook") : nullptr;
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(entry));
    Handle block(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PictureRequest),
                                    RequestName(window, L"request").c_str()));
    Handle answered(CreateEventW(nullptr, TRUE, FALSE, RequestName(window, L"answered").c_str()));
    RequestView request = block ? MapRequest(block.get()) : nullptr;
    bool saved = false;
    if (hook && request && answered) {
        request->Saved = FALSE;
        wcscpy(request->Path, path.c_str());
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (HHOOK installed = SetWindowsHookExW(WH_GETMESSAGE, hook, library, thread)) {
            PostMessageW(window, RegisterWindowMessageW(RequestMessage), 0, 0);
            saved = WaitForSingleObject(answered.get(), AnswerWaitMs) == WAIT_OBJECT_0 && request->Saved;
            UnhookWindowsHookEx(installed);
        }
    }
    if (library)
        FreeLibrary(library);
    return saved;
}

struct PrintTarget {
    HDC dc;
    RECT origin;
};

// The border of a window as its non-client painting draws it: Wine's WM_PRINT leaves the non-client area out,
// which would leave the edges of edits and lists and a form's frame unpainted.
void DrawBorder(HDC dc, HWND window, RECT r)
{
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE), extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((style & (WS_DLGFRAME | WS_THICKFRAME)) || (extended & WS_EX_DLGMODALFRAME))
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (style & WS_BORDER)
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    if (extended & WS_EX_CLIENTEDGE)
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (extended & WS_EX_STATICEDGE)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
}

RECT Within(RECT r, const RECT& origin)
{
    OffsetRect(&r, -origin.left, -origin.top);
    return r;
}

// The rest of a form's non-client area, left out by WM_PRINT as well: its caption (where the window has one
// above its client area: without a window manager Wine may give it none) and its menu bar. The menu bar is drawn
// by user32's DrawMenuBarTemp, which paints a window's menu bar into any DC.
void DrawCaptionAndMenu(HDC dc, HWND window, const RECT& origin)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    TITLEBARINFO title{};
    title.cbSize = sizeof title;
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION && GetTitleBarInfo(window, &title) &&
        !(title.rgstate[0] & STATE_SYSTEM_INVISIBLE) && title.rcTitleBar.bottom <= client.top &&
        title.rcTitleBar.bottom > title.rcTitleBar.top) {
        RECT bar = Within({client.left, title.rcTitleBar.top, client.right, title.rcTitleBar.bottom}, origin);
        DrawCaption(window, dc, &bar, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
    }
    using DrawMenuBarTempProc = DWORD(WINAPI*)(HWND, HDC, RECT*, HMENU, HFONT);
    static const auto drawMenuBar = reinterpret_cast<DrawMenuBarTempProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "DrawMenuBarTemp")));
    MENUBARINFO menu{};
    menu.cbSize = sizeof menu;
    if (HMENU bar = GetMenu(window); bar && drawMenuBar && GetMenuBarInfo(window, OBJID_MENU, 0, &menu)) {
        RECT place = Within(menu.rcBar, origin);
        drawMenuBar(window, dc, &place, bar, nullptr);
    }
}

// Prints one window at its place in the picture (a parent comes before its children): its client area is
// printed into a picture of its own first (Wine's controls clip their drawing to their client area taken as
// device coordinates, so a DC whose origin is moved to the window's place would clip them away), which starts as
// what lies beneath, so what the window leaves unpainted shows its parent; then its non-client parts are drawn.
void PrintAtPlace(HWND window, const PrintTarget& print)
{
    RECT bounds, client;
    GetWindowRect(window, &bounds);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    int w = client.right - client.left, h = client.bottom - client.top;
    int x = client.left - print.origin.left, y = client.top - print.origin.top;
    if (w > 0 && h > 0) {
        HDC own = CreateCompatibleDC(print.dc);
        HBITMAP bitmap = CreateCompatibleBitmap(print.dc, w, h);
        HGDIOBJ old = SelectObject(own, bitmap);
        BitBlt(own, 0, 0, w, h, print.dc, x, y, SRCCOPY);
        SendMessageW(window, WM_PRINT, WPARAM(own), PRF_CLIENT | PRF_ERASEBKGND);
        BitBlt(print.dc, x, y, w, h, own, 0, 0, SRCCOPY);
        SelectObject(own, old);
        DeleteObject(bitmap);
        DeleteDC(own);
    }
    DrawBorder(print.dc, window, Within(bounds, print.origin));
    DrawCaptionAndMenu(print.dc, window, print.origin);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM target)
{
    if (IsWindowVisible(child))
        PrintAtPlace(child, *reinterpret_cast<const PrintTarget*>(target));
    return TRUE;
}

// GDI+ for the time one picture is read or written.
class GdiPlus {
public:
    GdiPlus()
    {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlus()
    {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlus(const GdiPlus&) = delete;
    GdiPlus& operator=(const GdiPlus&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

}  // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path)
{
    GdiPlus gdiPlus;
    if (!gdiPlus.Started())
        return false;
    Gdiplus::Bitmap image(bitmap, nullptr);
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

HBITMAP LoadBitmapPng(const std::wstring& path)
{
    GdiPlus gdiPlus;
    HBITMAP bitmap = nullptr;
    if (gdiPlus.Started()) {
        Gdiplus::Bitmap image(path.c_str());
        if (image.GetLastStatus() != Gdiplus::Ok || image.GetHBITMAP(Gdiplus::Color(), &bitmap) != Gdiplus::Ok)
            bitmap = nullptr;
    }
    return bitmap;
}

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    DWORD process = 0;
    if (!GetWindowThreadProcessId(window, &process))
        return false;
    return process == GetCurrentProcessId() ? PrintAndSave(window, path) : SaveOtherProcessWindowPng(window, path);
}

LRESULT AnswerPictureRequest(int code, WPARAM removed, LPARAM message)
{
    static const UINT request = RegisterWindowMessageW(RequestMessage);
    const MSG* fetched = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removed == PM_REMOVE && fetched->message == request) {
        Handle block(OpenFileMappingW(FILE_MAP_WRITE, FALSE, RequestName(fetched->hwnd, L"request").c_str()));
        Handle answered(OpenEventW(EVENT_MODIFY_STATE, FALSE, RequestName(fetched->hwnd, L"answered").c_str()));
        RequestView view = block ? MapRequest(block.get()) : nullptr;
        if (view && answered) {
            view->Path[PathCapacity - 1] = L'\0';
            view->Saved = PrintAndSave(fetched->hwnd, view->Path);
            SetEvent(answered.get());
        }
    }
    return CallNextHookEx(nullptr, code, removed, message);
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
    PrintAtPlace(window, print);
    EnumChildWindows(window, &PrintChild, LPARAM(&print));
    SelectObject(print.dc, old);
    DeleteDC(print.dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<DWORD> Pixels(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO header{};
    header.bmiHeader = {sizeof header.bmiHeader, info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(size_t(info.bmWidth) * size_t(info.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, UINT(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;  // a bitmap read from a file keeps its alpha in the top byte
    return pixels;
}

size_t ColourCount(HBITMAP bitmap)
{
    std::vector<DWORD> pixels = Pixels(bitmap);
    return std::set<DWORD>(pixels.begin(), pixels.end()).size();
}

}  // namespace vcltest
