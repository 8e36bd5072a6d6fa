// What is wrong with a contour, each finding with the points or sides it
// concerns. Sides are named by their two points: side k-j runs from point
// k to point j, the last side from the last point back to the first.
#pragma once

#include <cstdint>
#include <vector>

#include "contour/contour.h"

namespace contour {

enum class TFindingKind : std::uint8_t {
    SidesCross,     // two sides cross or touch: the area is not the parcel's
    SidesOverlap,   // two sides run along each other, from At[0] to At[1]
    ZeroLengthSide, // points First and Second, one after the other, are alike
    RepeatedPoint,  // point Second repeats point First, not its neighbour
    TooFewPoints,   // Count distinct points: fewer than three, no area
    NotPlaced,      // point First has an infinite length and no place
    InvalidShape,   // the validity check fails for a reason none of the above gives
};

// A side, by the numbers of the points at its two ends.
struct TSide {
    int From = 0;
    int To = 0;
};

struct TFinding {
    TFindingKind Kind = TFindingKind::SidesCross;
    int First = 0;       // a point
    int Second = 0;      // a point
    int Count = 0;       // TooFewPoints: distinct points; SidesCross/Overlap: points in At
    TSide Sides[2] = {}; // SidesCross, SidesOverlap
    TPlanePoint At[2] = {};
    const char* Reason = nullptr; // InvalidShape: the validity check's reason
};

using TFindings = std::vector<TFinding>;

// Every finding of the contour: first the points that have no place, then
// zero-length sides, repeated points, too few points and the sides that
// cross or overlap, each group in the order of the points.
TFindings FindFindings(const TContour& contour);

} // namespace contour
