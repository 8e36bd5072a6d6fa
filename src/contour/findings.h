// SPDX-License-Identifier: MIT
// What is wrong with a contour, each finding with the points or sides it
// concerns and where they are (in the station's plane). Sides are named
// by their two points: side k-j runs from point k to point j, the last
// side from the last point back to the first.
#pragma once

#include <cstdint>
#include <vector>

#include "contour/contour.h"

namespace contour {

enum class TFindingKind : std::uint8_t {
    SidesCross,     // two sides share one point, At[0]: they cross, or one touches the other
    SidesOverlap,   // two sides run along each other from At[0] to At[1]
    ZeroLengthSide, // points First and Second, one after the other, are alike, at At[0]
    RepeatedPoint,  // point Second repeats point First, not its neighbour, at At[0]
    TooFewPoints,   // Distinct points, fewer than three: First and Second at At[0], At[1]
    NotPlaced,      // point First has an infinite length and no place
};

// A side, by the numbers of the points at its two ends.
struct TSide {
    int From = 0;
    int To = 0;
};

struct TFinding {
    TFindingKind Kind = TFindingKind::SidesCross;
    int First = 0;  // a point
    int Second = 0; // a point
    int Distinct = 0;
    TSide Sides[2] = {};
    int Places = 0; // how many of At hold a place
    TPlanePoint At[2] = {};
};

using TFindings = std::vector<TFinding>;

// Every finding of the contour, decided exactly on the placed coordinates:
// first the points that have no place, then zero-length sides, repeated
// points, too few points and the sides that cross or overlap, each group
// in the order of the points. A contour with none of these is a simple
// polygon.
TFindings FindFindings(const TContour& contour);

} // namespace contour
