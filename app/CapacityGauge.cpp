// The capacity gauge's ruler and bar.
#include "CapacityGauge.h"

#include <algorithm>
#include <string>

namespace pagorin {

namespace {

constexpr vcl::TColor GaugeGreen = vcl::TColor(0x00FF00);

int TickBottom(int i)
{
    if (i % 10 == 0)
        return GaugeTopY + 5 * GaugeUnitPixels;
    return GaugeTopY + (i % 5 == 0 ? 4 : 2) * GaugeUnitPixels;
}

}  // namespace

GaugeGeometry GaugeFor(int imageWidth)
{
    GaugeGeometry gauge;
    if (imageWidth < GaugeSteps)
        return gauge;
    gauge.Step = imageWidth / GaugeSteps;
    gauge.Margin = (imageWidth % GaugeSteps) / 2;
    gauge.Width = gauge.Step * GaugeSteps;
    return gauge;
}

int GaugeX(const GaugeGeometry& gauge, long long megabytes)
{
    // Clamped far past any image so the product stays in range for any size handed in.
    long long clamped = std::clamp(megabytes, 0LL, GaugeFullMegabytes * 1000);
    return gauge.Margin + int(gauge.Width * clamped / GaugeFullMegabytes);
}

void DrawGaugeRuler(vcl::TCanvas* canvas, const GaugeGeometry& gauge)
{
    if (gauge.Step == 0)
        return;
    const int labelTop = GaugeTopY + 7 * GaugeUnitPixels;
    canvas->GetPen()->SetColor(vcl::clBlack);
    canvas->GetBrush()->SetStyle(vcl::TBrushStyle::bsClear);
    canvas->MoveTo(gauge.Margin, GaugeTopY);
    canvas->LineTo(gauge.Margin + gauge.Width, GaugeTopY);
    int lastLabelRight = gauge.Margin;
    for (int i = 0; i * gauge.Step <= gauge.Width; ++i) {
        int x = gauge.Margin + i * gauge.Step;
        canvas->MoveTo(x, GaugeTopY);
        canvas->LineTo(x, TickBottom(i));
        if (i % 10 != 0)
            continue;
        std::string label = std::to_string(i * 100);
        int width = canvas->TextWidth(label);
        canvas->TextOut(x - width / 2, labelTop, label);
        lastLabelRight = x - width / 2 + width;
    }
    canvas->TextOut(lastLabelRight + 6, labelTop, "MB");
    canvas->GetPen()->SetColor(vcl::clRed);
    for (long long capacity : {CdMegabytes, DvdMegabytes}) {
        int x = GaugeX(gauge, capacity);
        canvas->MoveTo(x, GaugeTopY);
        canvas->LineTo(x, labelTop);
    }
}

void DrawGaugeBar(vcl::TCanvas* canvas, const GaugeGeometry& gauge, int imageWidth, int imageHeight,
                  long long megabytes)
{
    canvas->GetBrush()->SetStyle(vcl::TBrushStyle::bsSolid);
    canvas->GetBrush()->SetColor(vcl::clWhite);
    canvas->FillRect(RECT{0, 0, imageWidth, imageHeight});
    int right = std::min(GaugeX(gauge, megabytes), imageWidth);
    if (megabytes >= 1)
        right = std::max(right, gauge.Margin + 2);
    if (right <= gauge.Margin)
        return;
    canvas->GetBrush()->SetColor(GaugeGreen);
    canvas->FillRect(RECT{gauge.Margin, GaugeTopY, right, GaugeTopY + 4 * GaugeUnitPixels});
}

}  // namespace pagorin
