// Common routines of the layer.
#include "QvCommon.h"

#include <algorithm>
#include <cmath>

using namespace vcl;

namespace {

struct ScreenDC {
    HDC dc = GetDC(nullptr);
    ~ScreenDC() { ReleaseDC(nullptr, dc); }
};

TEXTMETRICA FontMetrics(TFont* font)
{
    ScreenDC screen;
    HGDIOBJ old = SelectObject(screen.dc, font->GetHandle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.dc, &metrics);
    SelectObject(screen.dc, old);
    return metrics;
}

MONITORINFO MonitorInfo(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    return info;
}

// Centres a size on an area's rectangle, kept inside the work area on the right and bottom and never
// left of or above 0.
void CenterOn(const RECT& area, const RECT& workArea, int width, int height, int& x, int& y)
{
    x = area.left + (area.right - area.left - width) / 2;
    if (x < 0) x = 0;
    if (x + width > workArea.right) x = workArea.right - width;
    y = area.top + (area.bottom - area.top - height) / 2;
    if (y < 0) y = 0;
    if (y + height > workArea.bottom) y = workArea.bottom - height;
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

}  // namespace

RECT CenterRect(const RECT& Rect, int Width, int Height)
{
    const int left = (Rect.left + Rect.right - Width) / 2, top = (Rect.top + Rect.bottom - Height) / 2;
    return {left, top, left + Width, top + Height};
}

void Swap(int& A, int& B) { std::swap(A, B); }
void Swap(WORD& A, WORD& B) { std::swap(A, B); }

char LastChar(const AnsiString& S) { return S.empty() ? '\0' : S.back(); }

int CountChar(char C, const AnsiString& S) { return static_cast<int>(std::count(S.begin(), S.end(), C)); }

AnsiString CopyEx(const AnsiString& S, int Start, char C, int Count)
{
    if (static_cast<int>(S.size()) < Start || Start < 1) return S;
    int found = 0;
    for (int p = Start; p <= static_cast<int>(S.size()); ++p) {
        if (S[p - 1] == C && ++found == Count) return S.substr(Start - 1, p);
    }
    return S;
}

bool RemoveChar(AnsiString& S, char C)
{
    const auto position = S.find(C);
    if (position == AnsiString::npos) return false;
    S.erase(position, 1);
    return true;
}

HFONT RotateFont(TFont* Font, int Angle)
{
    LOGFONTA font{};
    font.lfHeight = Font->GetHeight();
    font.lfWidth = 0;
    font.lfEscapement = Angle * 10;
    font.lfOrientation = 0;
    const TFontStyles style = Font->GetStyle();
    font.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style.Contains(fsItalic);
    font.lfUnderline = style.Contains(fsUnderline);
    font.lfStrikeOut = style.Contains(fsStrikeOut);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = Font->GetPitch() == TFontPitch::fpFixed      ? FIXED_PITCH
                            : Font->GetPitch() == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                         : DEFAULT_PITCH;
    lstrcpynA(font.lfFaceName, Font->GetName().c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

bool IsTrueTypeFont(TFont* Font) { return (FontMetrics(Font).tmPitchAndFamily & TMPF_TRUETYPE) != 0; }

int GetMinFontHeight(TFont* Font) { return FontMetrics(Font).tmHeight + 2; }

int GetAvgCharWidth(TFont* Font)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    ScreenDC screen;
    HGDIOBJ old = SelectObject(screen.dc, Font->GetHandle());
    SIZE size{};
    GetTextExtentPoint32A(screen.dc, letters, 52, &size);
    SelectObject(screen.dc, old);
    return static_cast<int>(std::nearbyint(size.cx / 52.0));
}

void AddImageToImageList(HIMAGELIST ImageList, TBitmap* Bitmap, bool Disabled, int& DisabledIndex, int& NormalIndex)
{
    DisabledIndex = -1;
    NormalIndex = -1;
    if (!ImageList || !Bitmap) return;
    const COLORREF transparent = Bitmap->GetCanvas()->GetPixel(0, 15);
    int width = 0, height = 0;
    ImageList_GetIconSize(ImageList, &width, &height);
    if (Bitmap->GetWidth() == Bitmap->GetHeight()) {
        ImageList_AddMasked(ImageList, Bitmap->GetHandle(), transparent);
        NormalIndex = ImageList_GetImageCount(ImageList) - 1;
    } else if (Disabled) {
        ImageList_AddMasked(ImageList, Bitmap->GetHandle(), transparent);
        DisabledIndex = ImageList_GetImageCount(ImageList) - 1;
        NormalIndex = DisabledIndex - 1;
    } else {
        TBitmap glyph;
        glyph.SetSize(width, height);
        glyph.GetCanvas()->CopyRect({0, 0, width, height}, Bitmap->GetCanvas(), {0, 0, width, height});
        ImageList_AddMasked(ImageList, glyph.GetHandle(), transparent);
        NormalIndex = ImageList_GetImageCount(ImageList) - 1;
    }
}

AnsiString GetNewComponentName(TComponent* Owner, const AnsiString& BaseName, bool TryBaseFirst)
{
    if (TryBaseFirst && !Owner->FindComponent(BaseName)) return BaseName;
    for (int i = 1;; ++i) {
        const AnsiString name = BaseName + IntToStr(i);
        if (!Owner->FindComponent(name)) return name;
    }
}

AnsiString CreateValidIdent(const AnsiString& Text, const AnsiString& Default)
{
    if (IsValidIdent(Text)) return Text;
    AnsiString result;
    for (size_t i = 0; i < Text.size(); ++i)
        if (i == 0 ? IsIdentStart(Text[i]) : IsIdentChar(Text[i])) result += Text[i];
    return result.empty() ? Default : result;
}

void UpdateObjectInspector(TControl* Control)
{
    // Only a form designer would be told of the change, and this library has none: nothing to do at run time.
    (void)Control;
}

bool RunningUnder(TQvWindowsVersion Version, int Platform, int Major, int Minor)
{
    switch (Version) {
    case Win95: return Platform == 1 && Major < 5 && Minor == 0;
    case WinNT: return Platform == 2 && Major < 5;
    case Win98: return Platform == 1 && Major < 5 && Minor == 10;
    case WinMe: return Platform == 1 && Major < 5 && Minor == 90;
    case Win2000: return Platform == 2 && Major == 5 && Minor == 0;
    case WinXP: return Platform == 2 && Major == 5 && Minor == 1;
    case WinServer2003: return Platform == 2 && Major == 5 && Minor == 2;
    }
    return false;
}

bool RunningUnder(TQvWindowsVersion Version)
{
    return RunningUnder(Version, Win32Platform, Win32MajorVersion, Win32MinorVersion);
}

RECT GetDesktopClientRect()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (!tray) return desktop;
    RECT trayRect, bar;
    GetWindowRect(tray, &trayRect);
    if (!IntersectRect(&bar, &trayRect, &desktop)) return desktop;
    const int width = bar.right - bar.left, height = bar.bottom - bar.top;
    if (bar.left == desktop.left && bar.top == desktop.top) {
        if (bar.right - bar.left >= desktop.right - desktop.left)
            desktop.top += height;
        else
            desktop.left += width;
    } else if (bar.left != desktop.left) {
        desktop.right -= width;
    } else {
        desktop.bottom -= height;
    }
    return desktop;
}

RECT GetActiveWorkArea(TWinControl* Control)
{
    return GetMonitorWorkArea(MonitorFromWindow(Control->GetHandle(), MONITOR_DEFAULTTONEAREST));
}

int GetActiveWorkAreaWidth(TWinControl* Control)
{
    const RECT r = GetActiveWorkArea(Control);
    return r.right - r.left;
}

int GetActiveWorkAreaHeight(TWinControl* Control)
{
    const RECT r = GetActiveWorkArea(Control);
    return r.bottom - r.top;
}

RECT GetMonitorWorkArea(HMONITOR Monitor) { return MonitorInfo(Monitor).rcWork; }
RECT GetMonitorBoundsRect(HMONITOR Monitor) { return MonitorInfo(Monitor).rcMonitor; }

void CenterToWindow(TControl* Control, TWinControl* Window, int& X, int& Y)
{
    HWND window = Window->GetHandle();
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT work = GetMonitorWorkArea(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    CenterOn(client, work, Control->GetWidth(), Control->GetHeight(), X, Y);
}

void CenterToForm(TControl* Control, TCustomForm* Form, int& X, int& Y)
{
    CenterOn(Form->GetBoundsRect(), GetMonitorWorkArea(Form->GetMonitor()), Control->GetWidth(), Control->GetHeight(),
             X, Y);
}

void CenterToMDIChild(TControl* Control, TCustomForm* Form, int& X, int& Y)
{
    RECT bounds = Form->GetBoundsRect();
    TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
    if (HWND client = main ? main->GetClientHandle() : nullptr)
        MapWindowPoints(client, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    CenterOn(bounds, GetDesktopClientRect(), Control->GetWidth(), Control->GetHeight(), X, Y);
}
