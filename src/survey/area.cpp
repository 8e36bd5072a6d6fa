#include "survey/area.h"

#include "foundation/extended_bits.h"
#include "foundation/x87/x87.h"

namespace survey {

using foundation::StoreDouble;

std::uint8_t PointCount;
TPointArray Lengths;
TPointArray Directions;
double LengthInput;
double DirectionInput;
double PairProduct;
double AngleDifference;
double Term;
double Sum;
double AreaSquareMetres;
double AreaAres;
double AreaHectares;

// Sign 0, biased exponent 0x3FF9, significand 0x80ADFC90B938CE36.
const long double GradsToRadians = foundation::ExtendedFromBytes(
    {0x36, 0xCE, 0x38, 0xB9, 0x90, 0xFC, 0xAD, 0x80, 0xF9, 0x3F});

namespace {
// Held as 32-bit floats and widened exactly for the operation.
constexpr float Half = 0.5f;
constexpr float SquareMetresPerAre = 100.0f;
constexpr float SquareMetresPerHectare = 10000.0f;
} // namespace

void StorePoint(std::uint8_t k) {
    Lengths[k] = LengthInput;
    Directions[k] = StoreDouble(GradsToRadians * static_cast<long double>(DirectionInput));
}

void ComputeArea() {
    Sum = StoreDouble(0.0L);
    std::uint8_t k = 1;
    // An 8-bit count-down of its own: exactly PointCount passes.
    for (std::uint8_t remaining = PointCount; remaining != 0; --remaining, ++k) {
        const std::uint8_t j = (k < PointCount) ? static_cast<std::uint8_t>(k + 1) : 1;
        PairProduct = StoreDouble(static_cast<long double>(Lengths[j]) * Lengths[k]);
        AngleDifference = StoreDouble(static_cast<long double>(Directions[j]) - Directions[k]);
        const long double s = foundation::ExtendedSine(AngleDifference);
        Term = StoreDouble(s * static_cast<long double>(PairProduct));
        Sum = StoreDouble(static_cast<long double>(Sum) + Term);
    }
    AreaSquareMetres = StoreDouble(static_cast<long double>(Half) * Sum);
    AreaAres = StoreDouble(static_cast<long double>(AreaSquareMetres) / SquareMetresPerAre);
    AreaHectares =
        StoreDouble(static_cast<long double>(AreaSquareMetres) / SquareMetresPerHectare);
}

} // namespace survey
