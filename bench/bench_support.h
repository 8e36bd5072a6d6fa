// SPDX-License-Identifier: MIT
// What the benchmarks share: the control word they run under and the seeded
// sets of realistic values and tokens.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "foundation/arithmetic_policy.h"
#include "foundation/extended.h"

namespace bench {

// The program's own control word: overflow, zero divide and invalid
// operation trap, 64-bit significand, round to nearest.
inline void UseProgramControlWord() {
    foundation::ResetArithmetic(foundation::ProgramControlWord);
}

inline constexpr std::uint64_t Seed = 20240917;
inline constexpr std::size_t ValueCount = 1024;

// Areas as the results line gets them: stored doubles, to be widened, from
// 0.01 to 1e9 square metres spread evenly over the decades, every eighth
// negative (a boundary entered the other way round), every sixteenth tiny
// (a degenerate boundary: below 1e-6).
inline std::vector<double> AreaValues(double divisor) {
    std::mt19937_64 random(Seed);
    std::uniform_real_distribution<double> decade(-2.0, 9.0);
    std::uniform_real_distribution<double> tinyDecade(-12.0, -6.0);
    std::vector<double> values;
    values.reserve(ValueCount);
    for (std::size_t i = 0; i < ValueCount; ++i) {
        double area =
            i % 16 == 15 ? std::pow(10.0, tinyDecade(random)) : std::pow(10.0, decade(random));
        if (i % 8 == 3) {
            area = -area;
        }
        values.push_back(
            foundation::StoreDouble(foundation::Extended(area) / foundation::Extended(divisor)));
    }
    return values;
}

} // namespace bench
