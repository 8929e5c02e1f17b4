// Theme services.
#include "QvThemeSrv.h"

#include "Controls.h"
#include "Forms.h"
#include "QvShellUtils.h"

using namespace vcl;

namespace {

int unitUsers = 0;
TThemeServices* themeServices = nullptr;
constexpr wchar_t instanceProperty[] = L"QvThemeServices";

}  // namespace

TThemeServices::TThemeServices(HWND Window) : FWindow(Window)
{
    if (FWindow) {
        SetPropW(FWindow, instanceProperty, this);
        FPreviousProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    }
    FLibraryLoaded = InitThemeLibrary();
    UpdateThemes();
}

TThemeServices::~TThemeServices()
{
    Unsubclass();
    UnloadThemeData();
    FreeThemeLibrary();
}

void TThemeServices::Unsubclass()
{
    if (!FPreviousProc) return;
    if (IsWindow(FWindow)) {
        SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPreviousProc));
        RemovePropW(FWindow, instanceProperty);
    }
    FPreviousProc = nullptr;
}

void TThemeServices::UpdateThemes()
{
    if (FThemesAvailable) UnloadThemeData();
    switch (testMode) {
    case TThemeTestMode::ForceThemed: FThemesAvailable = FLibraryLoaded; break;
    case TThemeTestMode::ForceUnthemed: FThemesAvailable = false; break;
    case TThemeTestMode::Automatic:
        FThemesAvailable = UseThemes() && ComCtlVersion().dwFileVersionMS >= 0x60000;
        break;
    }
    if (!FThemesAvailable)
        FControlsThemed = false;
    else if (testMode == TThemeTestMode::ForceThemed)
        FControlsThemed = true;
    else
        FControlsThemed = (uxtheme::GetThemeAppProperties() & STAP_ALLOW_CONTROLS) != 0;
}

void TThemeServices::UnloadThemeData()
{
    // Once the watched window is gone, its theme data went with it.
    if (FWindow && !IsWindow(FWindow)) return;
    for (HTHEME& theme : FThemes) {
        if (!theme) continue;
        uxtheme::CloseThemeData(theme);
        theme = nullptr;
    }
}

HTHEME TThemeServices::GetTheme(TThemedElement Element)
{
    if (Element >= ThemedElementCount) return nullptr;
    if (FThemesAvailable && !FThemes[Element]) FThemes[Element] = uxtheme::OpenThemeData(FWindow, ThemeClassName(Element));
    return FThemes[Element];
}

TThemedElementDetails TThemeServices::GetElementDetails(TThemedElement Element, int Value)
{
    int first = 2;  // DontCare and Root come first
    int part = 1;
    for (const std::uint8_t states : ThemePartStates(Element)) {
        if (Value >= first && Value < first + states) return {Element, part, Value - first + 1};
        first += states;
        ++part;
    }
    return {Element, 0, Value + 1};
}

void TThemeServices::DrawElement(HDC DC, const TThemedElementDetails& Details, const RECT& R, const RECT* ClipRect)
{
    if (HTHEME theme = GetTheme(Details.Element))
        uxtheme::DrawThemeBackground(theme, DC, Details.Part, Details.State, &R, ClipRect);
}

void TThemeServices::DrawText(HDC DC, const TThemedElementDetails& Details, const WideString& S, const RECT& R,
                              DWORD Flags, DWORD Flags2)
{
    if (HTHEME theme = GetTheme(Details.Element))
        uxtheme::DrawThemeText(theme, DC, Details.Part, Details.State, S.c_str(), static_cast<int>(S.size()), Flags,
                               Flags2, &R);
}

void TThemeServices::DrawEdge(HDC DC, const TThemedElementDetails& Details, const RECT& R, UINT Edge, UINT Flags,
                              RECT* ContentRect)
{
    if (HTHEME theme = GetTheme(Details.Element))
        uxtheme::DrawThemeEdge(theme, DC, Details.Part, Details.State, &R, Edge, Flags, ContentRect);
}

void TThemeServices::DrawIcon(HDC DC, const TThemedElementDetails& Details, const RECT& R, HIMAGELIST ImageList,
                              int Index)
{
    if (HTHEME theme = GetTheme(Details.Element))
        uxtheme::DrawThemeIcon(theme, DC, Details.Part, Details.State, &R, ImageList, Index);
}

RECT TThemeServices::ContentRect(HDC DC, const TThemedElementDetails& Details, const RECT& BoundingRect)
{
    RECT content = BoundingRect;
    if (HTHEME theme = GetTheme(Details.Element))
        uxtheme::GetThemeBackgroundContentRect(theme, DC, Details.Part, Details.State, &BoundingRect, &content);
    return content;
}

bool TThemeServices::HasTransparentParts(const TThemedElementDetails& Details)
{
    HTHEME theme = GetTheme(Details.Element);
    return theme && uxtheme::IsThemeBackgroundPartiallyTransparent(theme, Details.Part, Details.State);
}

TColor TThemeServices::ColorToRGB(TColor Color, const TThemedElementDetails* Details)
{
    if (Color >= 0 || !Details) return Color;
    HTHEME theme = GetTheme(Details->Element);
    const int index = Color & 0x7FFFFFFF;
    // Without a theme the system's own colour stands in.
    return static_cast<TColor>(theme ? uxtheme::GetThemeSysColor(theme, index) : GetSysColor(index));
}

void TThemeServices::DrawParentBackground(HWND Window, HDC DC, const TThemedElementDetails* Details,
                                          bool OnlyIfTransparent, const RECT* Bounds)
{
    if (OnlyIfTransparent && Details && !HasTransparentParts(*Details)) return;
    uxtheme::DrawThemeParentBackground(Window, DC, Bounds);
}

void TThemeServices::PaintBorder(HWND Control, bool EraseLowerRightCorner)
{
    if (!(GetWindowLongPtrW(Control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    RECT r;
    GetWindowRect(Control, &r);
    OffsetRect(&r, -r.left, -r.top);
    HDC dc = GetWindowDC(Control);
    RECT inner = r;
    InflateRect(&inner, -2, -2);
    const LONG_PTR style = GetWindowLongPtrW(Control, GWL_STYLE);
    if (EraseLowerRightCorner && (style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        RECT corner = {inner.right - GetSystemMetrics(SM_CXVSCROLL), inner.bottom - GetSystemMetrics(SM_CYHSCROLL),
                       inner.right, inner.bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawElement(dc, GetElementDetails(teEditTextNormal), r);
    ReleaseDC(Control, dc);
}

void TThemeServices::PaintBorder(TWinControl* Control, bool EraseLowerRightCorner)
{
    if (Control) PaintBorder(Control->GetHandle(), EraseLowerRightCorner);
}

void TThemeServices::DoOnThemeChange() { OnThemeChange(this); }

LRESULT TThemeServices::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = FPreviousProc;
    const HWND window = FWindow;
    if (message == WM_DESTROY) {
        Unsubclass();
    } else if (message == WM_THEMECHANGED) {
        UpdateThemes();
        DoOnThemeChange();
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK TThemeServices::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<TThemeServices*>(GetPropW(window, instanceProperty));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // A theme-change handler that raises must not unwind into the system.
        return CallWindowProcW(self->FPreviousProc ? self->FPreviousProc : DefWindowProcW, window, message, wParam,
                               lParam);
    }
}

TThemeServices* ThemeServices()
{
    if (!themeServices) themeServices = new TThemeServices(Application ? Application->GetHandle() : nullptr);
    return themeServices;
}

void FreeThemeServices()
{
    delete themeServices;
    themeServices = nullptr;
}

QvThemeSrvUnit::QvThemeSrvUnit() { ++unitUsers; }

QvThemeSrvUnit::~QvThemeSrvUnit()
{
    if (--unitUsers == 0) FreeThemeServices();
}
