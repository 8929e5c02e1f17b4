// Colour routines of the layer: a byte-valued hue/saturation/luminance scale (0..240), darker and lighter
// shades, blends, and the closeness test the painters use. Results are plain RGB colours.
#pragma once

#include <windows.h>

#include "Graphics.h"

void ColorToHSL(vcl::TColor Color, BYTE& H, BYTE& S, BYTE& L);
BYTE ColorHue(vcl::TColor Color);
BYTE ColorSaturation(vcl::TColor Color);
BYTE ColorLuminance(vcl::TColor Color);
vcl::TColor HSLtoColor(BYTE H, BYTE S, BYTE L);
// Percent is an amount on the luminance scale, not a share of the colour's luminance.
vcl::TColor DarkerColor(vcl::TColor Color, BYTE Percent);
vcl::TColor LighterColor(vcl::TColor Color, BYTE Percent);
// Darker or lighter by the amount's low byte; 0 returns Color itself (a system colour stays one).
vcl::TColor AdjustColor(vcl::TColor Color, int Adjustment);
// Amount 255 gives ForeColor, 0 BackColor.
vcl::TColor BlendColors(vcl::TColor ForeColor, vcl::TColor BackColor, BYTE Amount);
bool ColorsTooClose(vcl::TColor Color1, vcl::TColor Color2);
// The display shows more than 256 colours without a palette.
bool FullColorSupport();
