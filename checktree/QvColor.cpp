// Colour routines. Every real-to-integer step rounds to nearest with ties to even (nearbyint in the
// default rounding mode); only the hue sextant truncates.
#include "QvColor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace vcl;

namespace {

BYTE RoundByte(double value) { return static_cast<BYTE>(std::nearbyint(value)); }

}  // namespace

void ColorToHSL(TColor Color, BYTE& H, BYTE& S, BYTE& L)
{
    const COLORREF c = ColorToRGB(Color);
    const double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    double max = std::max(r, g), min = std::min(r, g);
    if (b > max) max = b;
    if (b < min) min = b;
    const double l = (max + min) / 2;
    double h = 0, s = 0;
    if (max != min) {
        const double d = max - min;
        s = l < 0.5 ? d / (max + min) : d / (2 - max - min);
        if (r == max)
            h = (g - b) / d;
        else if (g == max)
            h = 2 + (b - r) / d;
        else
            h = 4 + (r - g) / d;
        h /= 6;
        if (h < 0) h += 1;
    }
    H = RoundByte(240 * h);
    S = RoundByte(240 * s);
    L = RoundByte(240 * l);
}

BYTE ColorHue(TColor Color)
{
    BYTE h, s, l;
    ColorToHSL(Color, h, s, l);
    return h;
}

BYTE ColorSaturation(TColor Color)
{
    BYTE h, s, l;
    ColorToHSL(Color, h, s, l);
    return s;
}

BYTE ColorLuminance(TColor Color)
{
    BYTE h, s, l;
    ColorToHSL(Color, h, s, l);
    return l;
}

TColor HSLtoColor(BYTE H, BYTE S, BYTE L)
{
    const double h = H / 239.0, s = S / 240.0, l = L / 240.0;
    const double v = l < 0.5 ? l * (1 + s) : l + s - l * s;
    double r = 0, g = 0, b = 0;
    if (v > 0) {
        const double m = 2 * l - v;
        const double sv = (v - m) / v;
        const double x = 6 * h;
        const int sextant = static_cast<int>(x);
        const double f = x - sextant;
        const double vsf = v * sv * f;
        const double mid1 = m + vsf, mid2 = v - vsf;
        switch (sextant) {
        case 1: r = mid2, g = v, b = m; break;
        case 2: r = m, g = v, b = mid1; break;
        case 3: r = m, g = mid2, b = v; break;
        case 4: r = mid1, g = m, b = v; break;
        case 5: r = v, g = m, b = mid2; break;
        default: r = v, g = mid1, b = m; break;
        }
    }
    // Saturations above 240 push m below 0; both ends are held so that no component wraps.
    auto component = [](double value) { return RoundByte(255 * std::clamp(value, 0.0, 1.0)); };
    return static_cast<TColor>(RGB(component(r), component(g), component(b)));
}

TColor DarkerColor(TColor Color, BYTE Percent)
{
    BYTE h, s, l;
    ColorToHSL(Color, h, s, l);
    return HSLtoColor(h, s, static_cast<BYTE>(std::max(l - Percent, 0)));
}

TColor LighterColor(TColor Color, BYTE Percent)
{
    BYTE h, s, l;
    ColorToHSL(Color, h, s, l);
    return HSLtoColor(h, s, static_cast<BYTE>(std::min(l + Percent, 255)));
}

TColor AdjustColor(TColor Color, int Adjustment)
{
    if (Adjustment < 0) return DarkerColor(Color, static_cast<BYTE>(-Adjustment));
    if (Adjustment > 0) return LighterColor(Color, static_cast<BYTE>(Adjustment));
    return Color;
}

TColor BlendColors(TColor ForeColor, TColor BackColor, BYTE Amount)
{
    const double a = Amount / 255.0;
    const COLORREF fore = ColorToRGB(ForeColor), back = ColorToRGB(BackColor);
    auto mix = [a](BYTE f, BYTE b) { return RoundByte(f * a + b * (1 - a)); };
    return static_cast<TColor>(RGB(mix(GetRValue(fore), GetRValue(back)), mix(GetGValue(fore), GetGValue(back)),
                                   mix(GetBValue(fore), GetBValue(back))));
}

bool ColorsTooClose(TColor Color1, TColor Color2)
{
    BYTE h1, s1, l1, h2, s2, l2;
    ColorToHSL(Color1, h1, s1, l1);
    ColorToHSL(Color2, h2, s2, l2);
    if (std::abs(h1 - h2) >= 20) return false;
    return std::abs(l1 - l2) < 60;
}

bool FullColorSupport()
{
    HDC screen = GetDC(nullptr);
    const int colors = GetDeviceCaps(screen, NUMCOLORS);
    ReleaseDC(nullptr, screen);
    return colors == -1;
}
