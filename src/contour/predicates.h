// SPDX-License-Identifier: MIT
// Exact predicates on the placed coordinates, for the findings: every
// verdict is that of exact arithmetic on the doubles, for any finite
// doubles, zero and the denormals up to the largest, with no tolerance.
#pragma once

#include "contour/contour.h"

namespace contour {

// Points are the same point when their coordinates are equal.
inline bool SamePoint(const TPlanePoint& a, const TPlanePoint& b) {
    return a.X == b.X && a.Y == b.Y;
}

// x first, then y: along any line, the order of its points.
inline bool Before(const TPlanePoint& a, const TPlanePoint& b) {
    return a.X < b.X || (a.X == b.X && a.Y < b.Y);
}

// The sign of the turn from a to b to c: 1 when c lies left of the line
// from a to b (counterclockwise), -1 right of it, 0 on it.
int Orientation(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c);

// What the sides a-b and c-d (each of two distinct points) share: nothing
// (Count 0), one point (Count 1, At[0]) or a stretch from At[0] to At[1]
// (Count 2, At[0] before At[1]). A shared end of either side is that end
// exactly; a crossing inside both is placed where the two sides' lines
// meet, rounded, but always on the side a-b.
struct TShared {
    int Count = 0;
    TPlanePoint At[2];
};
TShared SharedPoints(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c,
                     const TPlanePoint& d);

} // namespace contour
