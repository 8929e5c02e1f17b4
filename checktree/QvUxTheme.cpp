// Run-time binding of uxtheme.dll.
#include "QvUxTheme.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<const char*, 46> exportNames = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect",
    "GetThemePartSize", "GetThemeTextExtent", "GetThemeTextMetrics", "GetThemeBackgroundRegion",
    "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
    "GetThemeIntList", "GetThemePropertyOrigin", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor",
    "GetThemeSysColorBrush", "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString",
    "GetThemeSysInt", "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled", "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName",
    "GetThemeDocumentationProperty", "DrawThemeParentBackground", "EnableTheming"};

int unitUsers = 0;
CRITICAL_SECTION lock;
HMODULE library = nullptr;
int users = 0;
std::array<FARPROC, exportNames.size()> entryPoints{};

class Locked {
public:
    Locked() { EnterCriticalSection(&lock); }
    ~Locked() { LeaveCriticalSection(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

int IndexOf(const char* exportName)
{
    for (size_t i = 0; i < exportNames.size(); ++i)
        if (std::strcmp(exportNames[i], exportName) == 0) return static_cast<int>(i);
    return -1;
}

template <class Fn>
Fn Entry(const char* exportName)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(ThemeEntryPoint(exportName)));
}

}  // namespace

bool InitThemeLibrary()
{
    Locked locked;
    ++users;
    if (!library) {
        library = LoadLibraryW(L"uxtheme.dll");
        if (library)
            for (size_t i = 0; i < exportNames.size(); ++i) entryPoints[i] = GetProcAddress(library, exportNames[i]);
    }
    return library != nullptr;
}

void FreeThemeLibrary()
{
    Locked locked;
    if (users > 0) --users;
    if (library && users == 0) {
        entryPoints.fill(nullptr);
        FreeLibrary(library);
        library = nullptr;
    }
}

bool UseThemes()
{
    return library && uxtheme::IsAppThemed() && uxtheme::IsThemeActive();
}

bool ThemeLibraryLoaded() { return library != nullptr; }
int ThemeLibraryUsers() { return users; }

FARPROC ThemeEntryPoint(const char* exportName)
{
    const int index = IndexOf(exportName);
    return index < 0 ? nullptr : entryPoints[index];
}

namespace uxtheme {

HTHEME OpenThemeData(HWND window, LPCWSTR classList)
{
    auto fn = Entry<decltype(&::OpenThemeData)>("OpenThemeData");
    return fn ? fn(window, classList) : nullptr;
}

HRESULT CloseThemeData(HTHEME theme)
{
    auto fn = Entry<decltype(&::CloseThemeData)>("CloseThemeData");
    return fn ? fn(theme) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    auto fn = Entry<decltype(&::DrawThemeBackground)>("DrawThemeBackground");
    return fn ? fn(theme, dc, part, state, rect, clip) : E_NOTIMPL;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect)
{
    auto fn = Entry<decltype(&::DrawThemeText)>("DrawThemeText");
    return fn ? fn(theme, dc, part, state, text, length, flags, flags2, rect) : E_NOTIMPL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content)
{
    auto fn = Entry<decltype(&::GetThemeBackgroundContentRect)>("GetThemeBackgroundContentRect");
    return fn ? fn(theme, dc, part, state, bounds, content) : E_NOTIMPL;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect)
{
    auto fn = Entry<decltype(&::DrawThemeEdge)>("DrawThemeEdge");
    return fn ? fn(theme, dc, part, state, rect, edge, flags, contentRect) : E_NOTIMPL;
}

HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST images, int index)
{
    auto fn = Entry<decltype(&::DrawThemeIcon)>("DrawThemeIcon");
    return fn ? fn(theme, dc, part, state, rect, images, index) : E_NOTIMPL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    auto fn = Entry<decltype(&::IsThemeBackgroundPartiallyTransparent)>("IsThemeBackgroundPartiallyTransparent");
    return fn ? fn(theme, part, state) : FALSE;
}

COLORREF GetThemeSysColor(HTHEME theme, int colorId)
{
    auto fn = Entry<decltype(&::GetThemeSysColor)>("GetThemeSysColor");
    return fn ? fn(theme, colorId) : ::GetSysColor(colorId);
}

DWORD GetThemeAppProperties()
{
    auto fn = Entry<decltype(&::GetThemeAppProperties)>("GetThemeAppProperties");
    return fn ? fn() : 0;
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    auto fn = Entry<decltype(&::DrawThemeParentBackground)>("DrawThemeParentBackground");
    return fn ? fn(window, dc, const_cast<RECT*>(rect)) : E_NOTIMPL;
}

BOOL IsAppThemed()
{
    auto fn = Entry<decltype(&::IsAppThemed)>("IsAppThemed");
    return fn ? fn() : FALSE;
}

BOOL IsThemeActive()
{
    auto fn = Entry<decltype(&::IsThemeActive)>("IsThemeActive");
    return fn ? fn() : FALSE;
}

}  // namespace uxtheme

QvUxThemeUnit::QvUxThemeUnit()
{
    if (unitUsers++ == 0) InitializeCriticalSection(&lock);
}

QvUxThemeUnit::~QvUxThemeUnit()
{
    if (--unitUsers != 0) return;
    while (users > 0) FreeThemeLibrary();
    DeleteCriticalSection(&lock);
}
