// Wide text drawn and measured on the class library's canvases, and a picture loaded and saved by wide names.
#pragma once

#include <windows.h>

#include "Graphics.h"
#include "WydSystem.h"

void WideCanvasTextRect(vcl::TCanvas* canvas, const RECT& rect, int x, int y, const WideString& text);
void WideCanvasTextOut(vcl::TCanvas* canvas, int x, int y, const WideString& text);
SIZE WideDCTextExtent(HDC dc, const WideString& text);
SIZE WideCanvasTextExtent(vcl::TCanvas* canvas, const WideString& text);
int WideCanvasTextWidth(vcl::TCanvas* canvas, const WideString& text);
int WideCanvasTextHeight(vcl::TCanvas* canvas, const WideString& text);
// DrawText of wide text in the canvas's font and font colour over what is there (DT_ flags; with DT_CALCRECT it
// only measures into rect). Returns the text's height.
int WideCanvasDrawText(vcl::TCanvas* canvas, const WideString& text, RECT& rect, UINT flags);
// The same drawn embossed, as disabled text is: in the highlight colour one pixel down and right, then in the
// shadow colour in place. The font keeps its colour.
void WideCanvasDrawDisabledText(vcl::TCanvas* canvas, const WideString& text, RECT& rect, UINT flags);
// The default face of an owner-drawn item: the rectangle filled, the text 2 pixels in from its left edge.
void WideCanvasItemText(vcl::TCanvas* canvas, const RECT& rect, const WideString& text);

// The class library's graphics take ANSI names; these hand them the file's short (8.3) name.
class TWydPicture : public vcl::TPicture {
    VCL_CLASS(TWydPicture, vcl::TPicture)
    TWydPicture() = default;
    void LoadFromFile(const WideString& fileName);
    // Writes a temporary file beside the target and only then replaces the target; on any failure the
    // target stays as it was and the temporary file is removed.
    void SaveToFile(const WideString& fileName);
};
