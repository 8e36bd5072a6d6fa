// Reading the points statement by statement as the survey dialogue reads
// them, with survey's own variables, StorePoint and ComputeArea, so that
// every number, every error and the area are the ones survey gives.
#include <cmath>

#include "contour/byte_streams.h"
#include "contour/contour.h"
#include "foundation/extended.h"
#include "rterrors/run_errors.h"
#include "survey/area.h"
#include "textio/number_input.h"

namespace contour {

using foundation::Extended;
using foundation::StoreDouble;
using rterrors::CheckIo;

namespace {

// pi/2 rounded to nearest in the extended format: significand
// 0xC90FDAA22168C235 (the next bits of pi, 0xC4C6..., round it up).
constexpr Extended HalfPi = foundation::MakeExtended(false, 0x3FFF, 0xC90FDAA22168C235);

void PlacePoints(TContour& contour) {
    for (int k = 1; k <= contour.PointCount; ++k) {
        TContourPoint& point = contour.Points[k - 1];
        point.Length = survey::Lengths[k];
        point.DirectionRadians = survey::Directions[k];
        // An infinite length has no place; its product with a zero sine
        // would be an invalid operation.
        point.Placed = std::isfinite(point.Length);
        point.At =
            point.Placed ? PlaneCoordinates(point.Length, point.DirectionRadians) : TPlanePoint{};
    }
}

} // namespace

TPlanePoint PlaneCoordinates(double length, double radians) {
    const Extended theta(radians);
    const Extended sine = foundation::ExtendedSine(theta);
    const Extended cosine = foundation::ExtendedSine(HalfPi - theta);
    return {StoreDouble(sine * Extended(length)), StoreDouble(cosine * Extended(length))};
}

// The statements of the dialogue less its prompts and its final wait for
// Enter: each read is followed by the rest of its line and one CheckIo, and
// each number is stored before that, where a value beyond the double range
// faults.
void ReadContour(textio::TTextStream& input, TContour& contour, TInputLeft inputLeft) {
    survey::PointCount = static_cast<std::uint8_t>(textio::ReadInteger(input));
    textio::ReadLineEnd(input);
    CheckIo();

    int entered = 0;
    bool ended = false;
    std::uint8_t k = 1;
    for (std::uint8_t remaining = survey::PointCount; remaining != 0; --remaining, ++k) {
        ended = ended || (inputLeft != nullptr && !inputLeft(input));
        survey::LengthInput = StoreDouble(textio::ReadReal(input));
        textio::ReadLineEnd(input);
        CheckIo();

        ended = ended || (inputLeft != nullptr && !inputLeft(input));
        entered += ended ? 0 : 1;
        survey::DirectionInput = StoreDouble(textio::ReadReal(input));
        textio::ReadLineEnd(input);
        CheckIo();

        survey::StorePoint(k);
        contour.Points[k - 1].DirectionGrads = survey::DirectionInput;
    }

    survey::ComputeArea();
    contour.PointCount = survey::PointCount;
    contour.EnteredCount = entered;
    contour.AreaSquareMetres = survey::AreaSquareMetres;
    contour.AreaAres = survey::AreaAres;
    contour.AreaHectares = survey::AreaHectares;
    PlacePoints(contour);
}

void ReadContourFromBytes(std::span<const std::uint8_t> bytes, TContour& contour) {
    textio::TTextStream stream{};
    OpenBytesInput(stream, bytes);
    ReadContour(stream, contour, BytesInputLeft);
}

} // namespace contour
