// SPDX-License-Identifier: MIT
#include "contour/finding_text.h"

#include "contour/text_out.h"

namespace contour {

namespace {

using textio::TTextStream;

// Coordinates in findings are shown to the millimetre.
constexpr std::int32_t CoordinateDecimals = 3;
constexpr double HalfMillimetre = 0.0005;
constexpr std::string_view NotTheParcels = ": the area is not the parcel's.";

// A coordinate that shows as zero is written without a sign: a crossing
// at the station reads (0.000, 0.000), not (-0.000, -0.000).
void PutCoordinate(TTextStream& out, double value) {
    if (value > -HalfMillimetre && value < HalfMillimetre) value = 0.0;
    PutFixed(out, value, CoordinateDecimals);
}

void PutSide(TTextStream& out, const TSide& side) {
    PutInteger(out, side.From);
    Put(out, "-");
    PutInteger(out, side.To);
}

void PutPlace(TTextStream& out, const TContour& contour, const TPlanePoint& plane) {
    const TPlanePoint at = GridOf(plane, contour.Placement);
    Put(out, "(");
    PutCoordinate(out, at.X);
    Put(out, ", ");
    PutCoordinate(out, at.Y);
    Put(out, ")");
}

void PutSidePair(TTextStream& out, const TFinding& finding, std::string_view between) {
    PutSide(out, finding.Sides[0]);
    Put(out, between);
    PutSide(out, finding.Sides[1]);
}

void PutDistinctPoints(TTextStream& out, const TContour& contour, const TFinding& finding) {
    Put(out, "Only ");
    PutInteger(out, finding.Distinct);
    Put(out, finding.Distinct == 1 ? " distinct point" : " distinct points");
    for (int i = 0; i < finding.Places; ++i) {
        Put(out, i == 0 ? ", " : " and ");
        PutInteger(out, i == 0 ? finding.First : finding.Second);
        Put(out, " at ");
        PutPlace(out, contour, finding.At[i]);
    }
    Put(out, ": fewer than three, the boundary encloses no area.");
}

} // namespace

void WriteFinding(TTextStream& out, const TContour& contour, const TFinding& finding) {
    switch (finding.Kind) {
    case TFindingKind::SidesCross:
        Put(out, "Sides ");
        PutSidePair(out, finding, " and ");
        Put(out, " cross at ");
        PutPlace(out, contour, finding.At[0]);
        Put(out, NotTheParcels);
        return;
    case TFindingKind::SidesOverlap:
        Put(out, "Sides ");
        PutSidePair(out, finding, " and ");
        Put(out, " overlap from ");
        PutPlace(out, contour, finding.At[0]);
        Put(out, " to ");
        PutPlace(out, contour, finding.At[1]);
        Put(out, NotTheParcels);
        return;
    case TFindingKind::ZeroLengthSide:
        Put(out, "Side ");
        PutSide(out, {finding.First, finding.Second});
        Put(out, " has zero length: points ");
        PutInteger(out, finding.First);
        Put(out, " and ");
        PutInteger(out, finding.Second);
        Put(out, " are alike, at ");
        PutPlace(out, contour, finding.At[0]);
        Put(out, ".");
        return;
    case TFindingKind::RepeatedPoint:
        Put(out, "Point ");
        PutInteger(out, finding.Second);
        Put(out, " repeats point ");
        PutInteger(out, finding.First);
        Put(out, ", at ");
        PutPlace(out, contour, finding.At[0]);
        Put(out, ".");
        return;
    case TFindingKind::TooFewPoints: PutDistinctPoints(out, contour, finding); return;
    case TFindingKind::NotPlaced:
        Put(out, "Point ");
        PutInteger(out, finding.First);
        Put(out, " has an infinite length and cannot be drawn.");
        return;
    }
}

void WriteFindingLabel(TTextStream& out, const TFinding& finding) {
    switch (finding.Kind) {
    case TFindingKind::SidesCross: PutSidePair(out, finding, " crosses "); return;
    case TFindingKind::SidesOverlap: PutSidePair(out, finding, " overlaps "); return;
    case TFindingKind::ZeroLengthSide:
        PutSide(out, {finding.First, finding.Second});
        Put(out, " zero length");
        return;
    case TFindingKind::RepeatedPoint:
        PutInteger(out, finding.Second);
        Put(out, " repeats ");
        PutInteger(out, finding.First);
        return;
    case TFindingKind::TooFewPoints:
        Put(out, "only ");
        PutInteger(out, finding.Distinct);
        Put(out, finding.Distinct == 1 ? " point" : " points");
        return;
    case TFindingKind::NotPlaced:
        PutInteger(out, finding.First);
        Put(out, " not placed");
        return;
    }
}

} // namespace contour
