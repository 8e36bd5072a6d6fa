// SPDX-License-Identifier: MIT
// Reading the points with survey's own read statements, variables,
// StorePoint and ComputeArea, so that every number, every error and the
// area are the ones survey gives; then placing them.
#include <cmath>

#include "contour/contour.h"
#include "foundation/extended.h"
#include "survey/dialogue.h"
#include "textio/memory_streams.h"

namespace contour {

using foundation::Extended;
using foundation::StoreDouble;

namespace {

// pi/2 rounded to nearest in the extended format: significand
// 0xC90FDAA22168C235 (the next bits of pi, 0xC4C6..., round it up).
constexpr Extended HalfPi = foundation::MakeExtended(false, 0x3FFF, 0xC90FDAA22168C235);

struct TReading {
    TContour& Contour;
    const textio::TTextStream& Input;
    TInputLeft InputLeft;
    bool Ended = false;
    int Entered = 0;
};

// A point is entered when input was left before both its numbers.
void BeforeRead(survey::TReadStep step, std::uint8_t, void* context) {
    auto& reading = *static_cast<TReading*>(context);
    if (step == survey::TReadStep::Count) return;
    if (reading.InputLeft != nullptr && !reading.InputLeft(reading.Input)) reading.Ended = true;
    if (step == survey::TReadStep::Direction && !reading.Ended) ++reading.Entered;
}

void AfterRead(survey::TReadStep step, std::uint8_t k, void* context) {
    auto& reading = *static_cast<TReading*>(context);
    if (step == survey::TReadStep::Direction) {
        reading.Contour.Points[k - 1].DirectionGrads = survey::DirectionInput;
    }
}

void PlacePoints(TContour& contour) {
    for (int k = 1; k <= contour.PointCount; ++k) {
        TContourPoint& point = contour.Points[k - 1];
        point.Length = survey::Lengths[k];
        point.DirectionRadians = survey::Directions[k];
        // An infinite length has no place; its product with a zero sine
        // would be an invalid operation.
        point.Placed = std::isfinite(point.Length);
        point.At = {};
        point.Grid = {};
        if (!point.Placed) continue;
        point.At = PlaneCoordinates(point.Length, point.DirectionRadians);
        point.Grid = GridCoordinates(point.Length, point.DirectionRadians, contour.Placement);
    }
}

// sin(theta) and cos(theta), the cosine the sine of pi/2 - theta.
struct TSineCosine {
    Extended Sine;
    Extended Cosine;
};

TSineCosine SineCosine(const Extended& theta) {
    return {foundation::ExtendedSine(theta), foundation::ExtendedSine(HalfPi - theta)};
}

Extended OrientationRadians(const TGridPlacement& placement) {
    return Extended(placement.OrientationGrads) * survey::GradsToRadians;
}

} // namespace

TPlanePoint PlaneCoordinates(double length, double radians) {
    const TSineCosine turn = SineCosine(Extended(radians));
    return {StoreDouble(turn.Sine * Extended(length)), StoreDouble(turn.Cosine * Extended(length))};
}

TPlanePoint GridCoordinates(double length, double radians, const TGridPlacement& placement) {
    if (placement.IsDefault()) return PlaneCoordinates(length, radians);
    const TSineCosine bearing = SineCosine(Extended(radians) + OrientationRadians(placement));
    return {StoreDouble(Extended(placement.Station.X) + bearing.Sine * Extended(length)),
            StoreDouble(Extended(placement.Station.Y) + bearing.Cosine * Extended(length))};
}

TPlanePoint GridOf(const TPlanePoint& plane, const TGridPlacement& placement) {
    if (placement.IsDefault()) return plane;
    const TSineCosine turn = SineCosine(OrientationRadians(placement));
    const Extended x(plane.X), y(plane.Y);
    return {StoreDouble(Extended(placement.Station.X) + x * turn.Cosine + y * turn.Sine),
            StoreDouble(Extended(placement.Station.Y) + y * turn.Cosine - x * turn.Sine)};
}

void ReadContour(textio::TTextStream& input, TContour& contour, const TGridPlacement& placement,
                 TInputLeft inputLeft) {
    TReading reading{contour, input, inputLeft};
    survey::ReadPoints(input, {BeforeRead, AfterRead, &reading});
    survey::ComputeArea();
    contour.PointCount = survey::PointCount;
    contour.EnteredCount = reading.Entered;
    contour.AreaSquareMetres = survey::AreaSquareMetres;
    contour.AreaAres = survey::AreaAres;
    contour.AreaHectares = survey::AreaHectares;
    // A placement that places nothing (-0 included) is the default itself.
    contour.Placement = placement.IsDefault() ? TGridPlacement{} : placement;
    PlacePoints(contour);
}

void ReadContourFromBytes(std::span<const std::uint8_t> bytes, TContour& contour) {
    textio::TTextStream stream{};
    textio::OpenBytesInput(stream, bytes);
    ReadContour(stream, contour, {}, textio::BytesInputLeft);
}

void TExtent::Add(const TPlanePoint& at) {
    MinX = std::fmin(MinX, at.X);
    MaxX = std::fmax(MaxX, at.X);
    MinY = std::fmin(MinY, at.Y);
    MaxY = std::fmax(MaxY, at.Y);
}

TExtent PlacedExtent(const TContour& contour, TFrame frame) {
    TExtent extent(StationIn(contour, frame));
    for (const TPlaced placed : PlacedPoints(contour))
        extent.Add(Where(placed.Point, frame));
    return extent;
}

} // namespace contour
