// SPDX-License-Identifier: MIT
// Where the drawing goes on the page: the plot square that the station and
// the points are fitted into (north up), and a scale bar of a round length.
#pragma once

#include "contour/contour.h"

namespace contour {

inline constexpr double PageWidth = 700.0;
inline constexpr double PlotLeft = 70.0;
inline constexpr double PlotTop = 60.0;
inline constexpr double PlotSize = 560.0;

struct TLayout {
    double MinX = 0.0;  // metres: the left edge of the fitted box
    double MaxY = 0.0;  // metres: its top edge
    double Scale = 1.0; // pixels per half metre (halves keep every span finite)
    double PadX = 0.0;  // pixels that centre the box in the plot square
    double PadY = 0.0;
    double BarMetres = 1.0; // a round length for the scale bar
    int BarDecimals = 0;    // decimals that show it

    // The page position of a point in metres.
    TPlanePoint ToPage(const TPlanePoint& at) const;
    double BarPixels() const;
};

TLayout FitLayout(const TContour& contour);

} // namespace contour
