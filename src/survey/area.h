// SPDX-License-Identifier: MIT
// The survey's variables and the polar area computation.
//
// Every value is formed in extended precision and rounded to double only
// where it is stored (through foundation::StoreDouble), so each stored value
// is rounded first to 64 significant bits and then to 53.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/extended.h"

namespace survey {

// The arrays hold the 255 points an 8-bit count can reach. Room for a
// million points, as they were once laid out, put 16 MB into the program's
// data, and under a tight address-space or data limit the program died at
// start, before it could say a word.
inline constexpr std::size_t PointCapacity = UINT8_MAX;

// An array of doubles whose first index is 1, in static storage.
class TPointArray {
  public:
    double& operator[](std::size_t k) { return Values[k - 1]; }
    const double& operator[](std::size_t k) const { return Values[k - 1]; }

  private:
    double Values[PointCapacity];
};

extern std::uint8_t PointCount;
extern TPointArray Lengths;    // metres, as entered
extern TPointArray Directions; // radians
extern double LengthInput;
extern double DirectionInput; // grads
extern double PairProduct;
extern double AngleDifference;
extern double Term;
extern double Sum;
extern double AreaSquareMetres;
extern double AreaAres;
extern double AreaHectares;

// pi/200 at full extended precision; never rounded to double. Sign 0,
// biased exponent 0x3FF9, significand 0x80ADFC90B938CE36: the ten bytes
// 36 CE 38 B9 90 FC AD 80 F9 3F.
inline constexpr foundation::Extended GradsToRadians =
    foundation::MakeExtended(false, 0x3FF9, 0x80ADFC90B938CE36);

// Lengths[k] := LengthInput; Directions[k] := DirectionInput in radians.
void StorePoint(std::uint8_t k);

// Sets Sum, AreaSquareMetres, AreaAres and AreaHectares from the first
// PointCount points.
void ComputeArea();

} // namespace survey
