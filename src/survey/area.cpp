// SPDX-License-Identifier: MIT
#include "survey/area.h"

#include "foundation/extended.h"

namespace survey {

using foundation::Extended;
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

namespace {
// Held as 32-bit floats and widened exactly for the operation.
constexpr float Half = 0.5f;
constexpr float SquareMetresPerAre = 100.0f;
constexpr float SquareMetresPerHectare = 10000.0f;
} // namespace

void StorePoint(std::uint8_t k) {
    Lengths[k] = LengthInput;
    Directions[k] = StoreDouble(GradsToRadians * Extended(DirectionInput));
}

void ComputeArea() {
    Sum = StoreDouble(Extended(0.0));
    std::uint8_t k = 1;
    // An 8-bit count-down of its own: exactly PointCount passes.
    for (std::uint8_t remaining = PointCount; remaining != 0; --remaining, ++k) {
        const std::uint8_t j = (k < PointCount) ? static_cast<std::uint8_t>(k + 1) : 1;
        PairProduct = StoreDouble(Extended(Lengths[j]) * Extended(Lengths[k]));
        AngleDifference = StoreDouble(Extended(Directions[j]) - Extended(Directions[k]));
        const Extended s = foundation::ExtendedSine(Extended(AngleDifference));
        Term = StoreDouble(s * Extended(PairProduct));
        Sum = StoreDouble(Extended(Sum) + Extended(Term));
    }
    AreaSquareMetres = StoreDouble(Extended(Half) * Extended(Sum));
    AreaAres = StoreDouble(Extended(AreaSquareMetres) / Extended(SquareMetresPerAre));
    AreaHectares = StoreDouble(Extended(AreaSquareMetres) / Extended(SquareMetresPerHectare));
}

} // namespace survey
