// The layer's common unit: colour routines, frame painting and common components (in their own headers,
// included here) and the small shared routines: rectangles, integers, strings, fonts, image lists,
// component names and identifiers, the Windows version, work areas and centring.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Controls.h"
#include "Forms.h"
#include "QvColor.h"
#include "QvComponents.h"
#include "QvFrames.h"

enum TQvWindowsVersion : unsigned char { Win95, WinNT, Win98, WinMe, Win2000, WinXP, WinServer2003 };

RECT CenterRect(const RECT& Rect, int Width, int Height);
inline int Min(int A, int B) { return A < B ? A : B; }
inline int Max(int A, int B) { return A > B ? A : B; }
void Swap(int& A, int& B);
void Swap(WORD& A, WORD& B);
// The last character; #0 for an empty string.
char LastChar(const vcl::AnsiString& S);
int CountChar(char C, const vcl::AnsiString& S);
// S from Start (1-based) up to and including the Count-th C; S itself when there are fewer.
vcl::AnsiString CopyEx(const vcl::AnsiString& S, int Start, char C, int Count);
bool RemoveChar(vcl::AnsiString& S, char C);
// A new font handle turned by Angle degrees; the caller deletes it.
HFONT RotateFont(vcl::TFont* Font, int Angle);
bool IsTrueTypeFont(vcl::TFont* Font);
int GetMinFontHeight(vcl::TFont* Font);
int GetAvgCharWidth(vcl::TFont* Font);
// Adds a glyph (square) or a pair of glyphs (normal, disabled) with pixel (0, 15) as transparent colour.
void AddImageToImageList(HIMAGELIST ImageList, vcl::TBitmap* Bitmap, bool Disabled, int& DisabledIndex,
                         int& NormalIndex);
vcl::AnsiString GetNewComponentName(vcl::TComponent* Owner, const vcl::AnsiString& BaseName, bool TryBaseFirst);
vcl::AnsiString CreateValidIdent(const vcl::AnsiString& Text, const vcl::AnsiString& Default);
void UpdateObjectInspector(vcl::TControl* Control);
bool RunningUnder(TQvWindowsVersion Version);
// The same test on given platform numbers.
bool RunningUnder(TQvWindowsVersion Version, int Platform, int Major, int Minor);
RECT GetDesktopClientRect();
RECT GetActiveWorkArea(vcl::TWinControl* Control);
int GetActiveWorkAreaWidth(vcl::TWinControl* Control);
int GetActiveWorkAreaHeight(vcl::TWinControl* Control);
RECT GetMonitorWorkArea(HMONITOR Monitor);
RECT GetMonitorBoundsRect(HMONITOR Monitor);
void CenterToWindow(vcl::TControl* Control, vcl::TWinControl* Window, int& X, int& Y);
void CenterToForm(vcl::TControl* Control, vcl::TCustomForm* Form, int& X, int& Y);
void CenterToMDIChild(vcl::TControl* Control, vcl::TCustomForm* Form, int& X, int& Y);
