// The disc-capacity gauge: a ruler from 0 to 4400 MB with the CD and DVD capacities marked in red, and a
// green bar for the megabytes checked. The geometry is plain arithmetic; the drawing goes to any canvas.
#pragma once

#include "Graphics.h"

namespace pagorin {

constexpr int GaugeTopY = 4;          // pixels from the top of the image to the base line
constexpr int GaugeUnitPixels = 3;
constexpr int GaugeSteps = 44;        // steps of 100 MB
constexpr long long GaugeFullMegabytes = 4400;
constexpr long long CdMegabytes = 650;
constexpr long long DvdMegabytes = 4200;

struct GaugeGeometry {
    int Step = 0;    // pixels per 100 MB; 0 when the image is narrower than the 44 steps
    int Width = 0;   // Step x 44
    int Margin = 0;  // half of what is left over, on the left
};
GaugeGeometry GaugeFor(int imageWidth);
// Where a size lies on the ruler (sizes past its end lie past it).
int GaugeX(const GaugeGeometry& gauge, long long megabytes);

// The ruler: base line, ticks every 100 MB (longer at 500, longest and labelled at 1000), "MB", and the
// red CD and DVD marks. Draws nothing for an image too narrow for it.
void DrawGaugeRuler(vcl::TCanvas* canvas, const GaugeGeometry& gauge);
// The whole image white, then the bar from the ruler's start to the size; at least 2 pixels wide for
// a size of a megabyte or more.
void DrawGaugeBar(vcl::TCanvas* canvas, const GaugeGeometry& gauge, int imageWidth, int imageHeight,
                  long long megabytes);

}  // namespace pagorin
