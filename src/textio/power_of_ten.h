// SPDX-License-Identifier: MIT
// Multiplication of an extended value by an integer power of ten through
// three tables of extended powers, each entry the exact power rounded to
// nearest (ties to even) to a 64-bit significand.
#pragma once

#include <cstdint>

#include "foundation/extended.h"

namespace textio {

extern const foundation::Extended PowersOfTenLow[32]; // 10^k, k = 0..31
extern const foundation::Extended PowersOfTenMid[15]; // 10^(32j), j = 1..15
extern const foundation::Extended PowersOfTenHigh[9]; // 10^(512m), m = 1..9

// The limit from which the result saturates to +infinity or +0.0.
inline constexpr std::int32_t ScaleLimit = 5120;

foundation::Extended ScaleByPowerOfTen(foundation::Extended value, std::int32_t n);

} // namespace textio
