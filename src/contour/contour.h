// SPDX-License-Identifier: MIT
// The contour: the points as survey reads them, placed as seen from the
// station and in the office's grid, and the area as survey computes it.
//
// Directions run clockwise from the instrument's zero direction, which is
// drawn pointing up: x = L sin(theta), y = L cos(theta). In the grid the
// zero direction points at the orientation's bearing, clockwise from grid
// north, and the station stands at its easting and northing.
#pragma once

#include <cstdint>
#include <span>

#include "survey/area.h"
#include "textio/text_stream.h"

namespace contour {

struct TPlanePoint {
    double X = 0.0;
    double Y = 0.0;
};

// The station's grid coordinates (easting, northing, metres) and the grid
// bearing of the instrument's zero direction (grads). The defaults make
// the grid the station's own plane.
struct TGridPlacement {
    TPlanePoint Station;
    double OrientationGrads = 0.0;

    bool IsDefault() const {
        return Station.X == 0.0 && Station.Y == 0.0 && OrientationGrads == 0.0;
    }
};

struct TContourPoint {
    double Length = 0.0;         // metres, as entered
    double DirectionGrads = 0.0; // as entered
    double DirectionRadians = 0.0;
    TPlanePoint At;      // as seen from the station
    TPlanePoint Grid;    // easting and northing
    bool Placed = false; // false for an infinite length: the point has no place
};

struct TContour {
    int PointCount = 0;
    // The points read in full before the input ended: PointCount, unless
    // the input is the part typed so far.
    int EnteredCount = 0;
    TContourPoint Points[survey::PointCapacity]; // Points[k - 1] is point k
    double AreaSquareMetres = 0.0;
    double AreaAres = 0.0;
    double AreaHectares = 0.0;
    TGridPlacement Placement;

    const TContourPoint& Point(int k) const { return Points[k - 1]; }
};

// Reads the count and the points with survey's own read statements and
// has the area computed by survey's own ComputeArea; then places every
// point, as seen from the station and in the grid. A fault of the input
// ends in the error that survey raises at the same place (CheckIo's
// EInOutError, or a floating-point fault of a store or of the area); a
// grid coordinate beyond the double range faults as an overflow.
// With inputLeft, a point counts as entered only when input was left when
// its length and its direction were read; without, every point does.
using TInputLeft = bool (*)(const textio::TTextStream& input);
void ReadContour(textio::TTextStream& input, TContour& contour,
                 const TGridPlacement& placement = {}, TInputLeft inputLeft = nullptr);

// The same over bytes in memory: the input typed so far, say. The points
// typed in full are the entered ones.
void ReadContourFromBytes(std::span<const std::uint8_t> bytes, TContour& contour);

// x = L sin(theta), y = L cos(theta), both formed in extended precision and
// rounded once to double. The cosine is the sine of pi/2 - theta, with the
// same stored direction the area computation uses.
TPlanePoint PlaneCoordinates(double length, double radians);

// The same in the grid: theta + the orientation is the bearing, and the
// station's coordinates are added before the one rounding. With the
// default placement, the plane coordinates themselves.
TPlanePoint GridCoordinates(double length, double radians, const TGridPlacement& placement);

// A place in the station's plane (a crossing, say) in the grid, turned and
// moved in extended precision and rounded once.
TPlanePoint GridOf(const TPlanePoint& plane, const TGridPlacement& placement);

// The points that have a place, in order, each with its number: what
// every drawing draws.
struct TPlaced {
    int Number;
    const TContourPoint& Point;
};

class TPlacedPoints {
  public:
    class TIterator {
      public:
        TIterator(const TContour& contour, int k) : Contour(&contour), K(k) { SkipUnplaced(); }
        TPlaced operator*() const { return {K, Contour->Point(K)}; }
        TIterator& operator++() {
            ++K;
            SkipUnplaced();
            return *this;
        }
        bool operator==(const TIterator& other) const { return K == other.K; }

      private:
        void SkipUnplaced() {
            while (K <= Contour->PointCount && !Contour->Point(K).Placed)
                ++K;
        }
        const TContour* Contour;
        int K;
    };

    explicit TPlacedPoints(const TContour& contour) : Contour(contour) {}
    TIterator begin() const { return {Contour, 1}; }
    TIterator end() const { return {Contour, Contour.PointCount + 1}; }

  private:
    const TContour& Contour;
};

inline TPlacedPoints PlacedPoints(const TContour& contour) {
    return TPlacedPoints(contour);
}

// Which coordinates a drawing uses: the station's plane or the grid.
enum class TFrame : std::uint8_t { Plane, Grid };

inline const TPlanePoint& Where(const TContourPoint& point, TFrame frame) {
    return frame == TFrame::Plane ? point.At : point.Grid;
}

inline TPlanePoint StationIn(const TContour& contour, TFrame frame) {
    return frame == TFrame::Plane ? TPlanePoint{} : contour.Placement.Station;
}

// A box in metres. Spans are taken in halves, which never overflow.
struct TExtent {
    double MinX = 0.0, MaxX = 0.0, MinY = 0.0, MaxY = 0.0;

    explicit TExtent(const TPlanePoint& first)
        : MinX(first.X), MaxX(first.X), MinY(first.Y), MaxY(first.Y) {}
    void Add(const TPlanePoint& at);
    double HalfWidth() const { return MaxX * 0.5 - MinX * 0.5; }
    double HalfHeight() const { return MaxY * 0.5 - MinY * 0.5; }
};

// The station and every placed point.
TExtent PlacedExtent(const TContour& contour, TFrame frame);

} // namespace contour
