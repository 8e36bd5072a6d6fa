// The contour: the points as survey reads them, placed in the plane, and
// the area as survey computes it.
//
// Directions run clockwise from the instrument's zero direction, which is
// drawn pointing up: x = L sin(theta), y = L cos(theta).
#pragma once

#include <cstdint>
#include <span>

#include "textio/text_stream.h"

namespace contour {

// The count is held in 8 bits, as survey holds it.
inline constexpr int MaxPoints = 255;

struct TPlanePoint {
    double X = 0.0;
    double Y = 0.0;
};

struct TContourPoint {
    double Length = 0.0;         // metres, as entered
    double DirectionGrads = 0.0; // as entered
    double DirectionRadians = 0.0;
    TPlanePoint At;
    bool Placed = false; // false for an infinite length: the point has no place
};

struct TContour {
    int PointCount = 0;
    // The points read in full before the input ended: PointCount, unless
    // the input is the part typed so far.
    int EnteredCount = 0;
    TContourPoint Points[MaxPoints]; // Points[k - 1] is point k
    double AreaSquareMetres = 0.0;
    double AreaAres = 0.0;
    double AreaHectares = 0.0;

    const TContourPoint& Point(int k) const { return Points[k - 1]; }
};

// Reads the count and the points from input statement by statement as the
// survey dialogue does, and has the area computed by survey's own
// ComputeArea; then places every point. A fault of the input ends in the
// error that survey raises at the same place (CheckIo's EInOutError, or a
// floating-point fault of a store or of the area).
// With inputLeft, a point counts as entered only when input was left when
// its length and its direction were read; without, every point does.
using TInputLeft = bool (*)(const textio::TTextStream& input);
void ReadContour(textio::TTextStream& input, TContour& contour, TInputLeft inputLeft = nullptr);

// The same over bytes in memory: the input typed so far, say. The points
// typed in full are the entered ones.
void ReadContourFromBytes(std::span<const std::uint8_t> bytes, TContour& contour);

// x = L sin(theta), y = L cos(theta), both formed in extended precision and
// rounded once to double. The cosine is the sine of pi/2 - theta, with the
// same stored direction the area computation uses.
TPlanePoint PlaneCoordinates(double length, double radians);

} // namespace contour
