// Helpers of the layer's tests: a memory bitmap to paint on and read back; whether the tests run under Wine
// comes from the test support's one check.
#pragma once

#include <gtest/gtest.h>

#include "Graphics.h"
#include "TestSupport.h"

class QvSurface {
public:
    QvSurface(int width, int height, vcl::TColor background = vcl::clWhite)
    {
        bitmap_.SetSize(width, height);
        Fill({0, 0, width, height}, background);
    }
    vcl::TCanvas* Canvas() { return bitmap_.GetCanvas(); }
    vcl::TBitmap* Bitmap() { return &bitmap_; }
    void Fill(const RECT& r, vcl::TColor color)
    {
        Canvas()->GetBrush()->SetColor(color);
        Canvas()->FillRect(r);
    }
    // The pixel as an RGB colour.
    vcl::TColor At(int x, int y) { return static_cast<vcl::TColor>(Canvas()->GetPixel(x, y)); }

private:
    vcl::TBitmap bitmap_;
};

inline vcl::TColor Rgb(vcl::TColor color) { return static_cast<vcl::TColor>(vcl::ColorToRGB(color)); }

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

using testsupport::RunningUnderWine;

#define EXPECT_RECT(actual, l, t, r, b) EXPECT_TRUE(SameRect((actual), RECT{l, t, r, b}))
