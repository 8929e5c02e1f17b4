// Run-time binding of the visual-styles library uxtheme.dll: loaded on the first user, bound by name,
// counted under one lock and unloaded with the last user. Entry points the library lacks stay empty and
// their wrappers answer as if no visual style were active.
#pragma once

#include <windows.h>
#include <uxtheme.h>

// Loads the library when needed and counts one user; returns whether the library is loaded.
bool InitThemeLibrary();
// Drops one user (never below 0); the last one unloads the library and empties every entry point.
void FreeThemeLibrary();
// The library is loaded and both IsAppThemed and then IsThemeActive answer nonzero.
bool UseThemes();

bool ThemeLibraryLoaded();
int ThemeLibraryUsers();
// The bound entry point of an export in the binding list, or nullptr.
FARPROC ThemeEntryPoint(const char* exportName);

// The calls the layer makes. Each checks its entry point: without one it does nothing and answers
// E_NOTIMPL, 0 or FALSE.
namespace uxtheme {
HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      RECT* content);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect);
HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST images, int index);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
DWORD GetThemeAppProperties();
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
BOOL IsAppThemed();
BOOL IsThemeActive();
}  // namespace uxtheme

// Unit start and end: the first includer's static start creates the lock, the last end unloads the
// library (whatever users are left) and frees the lock.
struct QvUxThemeUnit {
    QvUxThemeUnit();
    ~QvUxThemeUnit();
};
static QvUxThemeUnit qvUxThemeUnit;
