// Frame and border painting on a canvas: side lines, bevels, 3-D and button borders (also tinted from a
// base colour), focus and rounded borders, the combined borders of the layer's controls, a control's
// non-client frame, and a few decorative painters. Every border routine returns the rectangle left inside
// what it drew, so borders chain from the outside in.
#pragma once

#include <windows.h>

#include "Graphics.h"

enum TFrameStyleEx : unsigned char {
    fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold,
    fsFlatRounded
};
// The styles of the components' frame properties: fsNone .. fsFlatBold.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle LastFrameStyle = fsFlatBold;

enum TSide : unsigned char { sdLeft, sdTop, sdRight, sdBottom };
using TSides = unsigned char;  // bit 1 << TSide
constexpr TSides SideBit(TSide side) { return static_cast<TSides>(1u << side); }
constexpr bool HasSide(TSides sides, TSide side) { return (sides & SideBit(side)) != 0; }
constexpr TSides AllSides = 15;

enum TFramingPreference : unsigned char { fpCustomFraming, fpXPThemes };
enum TOrientation : unsigned char { orHorizontal, orVertical };
enum TQvUIStyle : unsigned char { uiWindows95, uiWindowsXP };
enum TDirection : unsigned char { dirUp, dirDown, dirLeft, dirRight };
enum TQvGroupBarGradientPath : unsigned char { gpTopToBottom, gpBottomToTop };
// Declared for the layer's other controls; no routine here reads them.
enum class TLineStyle : unsigned char { lsNone, lsFlat, lsGroove, lsBump };
enum class TTextStyle : unsigned char { tsNormal, tsRaised, tsRecessed, tsShadow };
enum class TBarStyle : unsigned char { bsTraditional, bsLED };
enum class TAlignmentVertical : unsigned char { avTop, avCenter, avBottom };
enum class TQvScrollStyle : unsigned char { scsNone, scsLeft, scsUp, scsRight, scsDown };
enum class TQvScrollType : unsigned char { stNone, stRightToLeft, stLeftToRight };
enum class TQvHotTrackColorType : unsigned char { htctComplement, htctActual };
enum class TExpandOnType : unsigned char { etMouseButton2Click, etFocus, etNone };

struct TFrameColors {
    vcl::TColor UpperLeft;
    vcl::TColor LowerRight;
};
extern const TFrameColors FrameStyleColors[LastFrameStyle + 1];

RECT DrawSides(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor ULColor, vcl::TColor LRColor, TSides Sides);
RECT DrawBevel(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor ULColor, vcl::TColor LRColor, int Width,
               TSides Sides);
RECT DrawCtl3DBorder(vcl::TCanvas* Canvas, const RECT& R, bool Lowered);
RECT DrawCtl3DBorderSides(vcl::TCanvas* Canvas, const RECT& R, bool Lowered, TSides Sides);
RECT DrawButtonBorder(vcl::TCanvas* Canvas, const RECT& R, bool Down);
RECT DrawButtonBorderSides(vcl::TCanvas* Canvas, const RECT& R, bool Down, TSides Sides);
RECT DrawColorButtonBorder(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor Color, bool Down);
RECT DrawColorButtonBorderSides(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor Color, bool Down, TSides Sides);
RECT DrawBorder(vcl::TCanvas* Canvas, const RECT& R, TFrameStyleEx Style);
RECT DrawBorderSides(vcl::TCanvas* Canvas, const RECT& R, TFrameStyleEx Style, TSides Sides);
RECT DrawColorBorder(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor Color, TFrameStyleEx Style);
RECT DrawColorBorderSides(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor Color, TFrameStyleEx Style,
                          TSides Sides);
RECT DrawFocusBorder(vcl::TCanvas* Canvas, const RECT& R);
RECT DrawRoundedFlatBorder(vcl::TCanvas* Canvas, const RECT& R, vcl::TColor Color, TSides Sides);
RECT DrawInnerOuterBorders(vcl::TCanvas* Canvas, const RECT& R, TFrameStyleEx OuterStyle, TFrameStyleEx InnerStyle,
                           int GapWidth, TSides Sides, int BevelWidth, vcl::TColor GapColor,
                           vcl::TColor HighlightColor, vcl::TColor ShadowColor, vcl::TColor FlatColor,
                           int FlatAdjust, vcl::TColor InsideColor, vcl::TColor OutsideColor, bool InsideOnly,
                           bool SquareInnerFlat);
// The non-client frame of a window of that size; Color exactly clWindow takes the system colours.
void DrawFrame(vcl::TCanvas* Canvas, int Width, int Height, TFrameStyleEx Style, vcl::TColor Color,
               vcl::TColor FrameColor, TSides Sides, bool KeepBackground);

void DrawDropShadow(vcl::TCanvas* Canvas, const RECT& R, int Depth, vcl::TColor ShadowColor);
void DrawGroupBarBackground(vcl::TCanvas* Canvas, const RECT& R, bool UseThemes, TQvGroupBarGradientPath Path,
                            vcl::TColor Color, int Adjust);
void DrawPercentBar(vcl::TCanvas* Canvas, const RECT& R, TOrientation Orientation, vcl::TColor BarColor,
                    vcl::TColor BackColor, WORD Percent, bool ShowPercent);
void DrawLEDBar(vcl::TCanvas* Canvas, const RECT& R, TOrientation Orientation, vcl::TColor LitColor,
                vcl::TColor UnlitColor, int Segments, int Percent, bool UseThemes);
void DrawDropDownArrow(vcl::TCanvas* Canvas, const RECT& R, TQvUIStyle UIStyle, bool Enabled, bool Down);
void DrawSpinArrow(vcl::TCanvas* Canvas, const RECT& R, TQvUIStyle UIStyle, TDirection Direction, bool Enabled,
                   bool Down);
