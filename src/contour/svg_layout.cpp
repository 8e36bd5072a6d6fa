// SPDX-License-Identifier: MIT
#include "contour/svg_layout.h"

#include <cmath>

namespace contour {

namespace {

// A box narrower than this (in half metres) is drawn as one a metre wide.
constexpr double NarrowestHalfSpan = 1e-150;
// The scale bar is the longest round length within this share of the box.
constexpr double BarShare = 0.25;
// Bounds of the search for a power of ten: the double range.
constexpr int PowerSteps = 330;

// 1, 2 or 5 times a power of ten, the largest not above target metres.
void ChooseBar(double target, TLayout& layout) {
    double power = 1.0;
    int decimals = 0;
    for (int i = 0; i < PowerSteps && power * 10.0 <= target; ++i)
        power *= 10.0;
    for (int i = 0; i < PowerSteps && power > target; ++i) {
        power /= 10.0;
        ++decimals;
    }
    layout.BarMetres = power;
    for (const double factor : {5.0, 2.0}) {
        if (factor * power <= target) {
            layout.BarMetres = factor * power;
            break;
        }
    }
    layout.BarDecimals = decimals;
}

} // namespace

TPlanePoint TLayout::ToPage(const TPlanePoint& at) const {
    return {PlotLeft + PadX + (at.X * 0.5 - MinX * 0.5) * Scale,
            PlotTop + PadY + (MaxY * 0.5 - at.Y * 0.5) * Scale};
}

double TLayout::BarPixels() const {
    return BarMetres * 0.5 * Scale;
}

TLayout FitLayout(const TContour& contour) {
    const TExtent box = PlacedExtent(contour, TFrame::Plane);
    const double halfWidth = box.HalfWidth();
    const double halfHeight = box.HalfHeight();
    double halfSpan = std::fmax(halfWidth, halfHeight);
    if (!(halfSpan > NarrowestHalfSpan)) halfSpan = 0.5;

    TLayout layout;
    layout.MinX = box.MinX;
    layout.MaxY = box.MaxY;
    layout.Scale = PlotSize / halfSpan;
    layout.PadX = (PlotSize - halfWidth * layout.Scale) * 0.5;
    layout.PadY = (PlotSize - halfHeight * layout.Scale) * 0.5;
    ChooseBar(halfSpan * (2.0 * BarShare), layout);
    return layout;
}

} // namespace contour
