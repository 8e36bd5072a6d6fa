#include "contour/finding_text.h"

#include "contour/text_out.h"

namespace contour {

namespace {

// Coordinates in findings are shown to the millimetre.
constexpr std::int32_t CoordinateDecimals = 3;
constexpr double HalfMillimetre = 0.0005;

// A coordinate that shows as zero is written without a sign: a crossing
// at the station reads (0.000, 0.000), not (-0.000, -0.000).
void PutCoordinate(textio::TTextStream& out, double value) {
    if (value > -HalfMillimetre && value < HalfMillimetre) value = 0.0;
    PutFixed(out, value, CoordinateDecimals);
}

void PutSide(textio::TTextStream& out, const TSide& side) {
    PutInteger(out, side.From);
    Put(out, "-");
    PutInteger(out, side.To);
}

void PutPlanePoint(textio::TTextStream& out, const TPlanePoint& point) {
    Put(out, "(");
    PutCoordinate(out, point.X);
    Put(out, ", ");
    PutCoordinate(out, point.Y);
    Put(out, ")");
}

void PutSidePair(textio::TTextStream& out, const TFinding& finding) {
    Put(out, "Sides ");
    PutSide(out, finding.Sides[0]);
    Put(out, " and ");
    PutSide(out, finding.Sides[1]);
}

} // namespace

void WriteFinding(textio::TTextStream& out, const TFinding& finding) {
    switch (finding.Kind) {
    case TFindingKind::SidesCross:
        PutSidePair(out, finding);
        Put(out, " cross at ");
        PutPlanePoint(out, finding.At[0]);
        Put(out, ": the area is not the parcel's.");
        return;
    case TFindingKind::SidesOverlap:
        PutSidePair(out, finding);
        Put(out, " overlap from ");
        PutPlanePoint(out, finding.At[0]);
        Put(out, " to ");
        PutPlanePoint(out, finding.At[1]);
        Put(out, ": the area is not the parcel's.");
        return;
    case TFindingKind::ZeroLengthSide:
        Put(out, "Side ");
        PutSide(out, {finding.First, finding.Second});
        Put(out, " has zero length: points ");
        PutInteger(out, finding.First);
        Put(out, " and ");
        PutInteger(out, finding.Second);
        Put(out, " are alike.");
        return;
    case TFindingKind::RepeatedPoint:
        Put(out, "Point ");
        PutInteger(out, finding.Second);
        Put(out, " repeats point ");
        PutInteger(out, finding.First);
        Put(out, ".");
        return;
    case TFindingKind::TooFewPoints:
        Put(out, "Only ");
        PutInteger(out, finding.Count);
        Put(out, finding.Count == 1 ? " distinct point" : " distinct points");
        Put(out, ": fewer than three, the boundary encloses no area.");
        return;
    case TFindingKind::NotPlaced:
        Put(out, "Point ");
        PutInteger(out, finding.First);
        Put(out, " has an infinite length and cannot be drawn.");
        return;
    case TFindingKind::InvalidShape:
        Put(out, "The boundary is not a valid polygon: ");
        Put(out, finding.Reason != nullptr ? finding.Reason : "no reason given");
        Put(out, ".");
        return;
    }
}

} // namespace contour
