// SPDX-License-Identifier: MIT
// Reference arithmetic from exact integers, independent of the x87: each
// value is formed exactly and rounded to nearest, ties to even, to a given
// number of significant bits, as the program's rounding points do.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/extended_bits.h"
#include "support/big_nat.h"

namespace testsupport {

// (Negative ? -1 : 1) * Magnitude * 2^Exponent; Sticky marks a non-zero
// tail below the last bit of Magnitude (a quotient that was cut off).
struct TExact {
    BigNat Magnitude;
    int Exponent = 0;
    bool Negative = false;
    bool Sticky = false;
};

inline TExact DecomposeDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((1ULL << 52) - 1);
    if (biased != 0) {
        mantissa |= 1ULL << 52;
    }
    return {BigNat(mantissa), (biased == 0 ? 1 : biased) - 1075, (bits >> 63) != 0};
}

inline TExact DecomposeExtended(const foundation::ExtendedBits& bits) {
    const int field = bits.Exponent() == 0 ? 1 : bits.Exponent();
    return {BigNat(bits.Significand), field - foundation::ExtendedBits::ExponentBias - 63,
            bits.Negative()};
}

// Rounds to at most `bits` (64 or fewer) significant bits.
inline TExact RoundToBits(const TExact& value, int bits) {
    const int excess = value.Magnitude.BitLength() - bits;
    if (excess <= 0) {
        return value;
    }
    std::uint64_t kept = value.Magnitude.BitsFrom(excess);
    int exponent = value.Exponent + excess;
    const bool below = value.Sticky || value.Magnitude.AnyBitBelow(excess - 1);
    if (value.Magnitude.Bit(excess - 1) && (below || (kept & 1) != 0) && ++kept == 0) {
        kept = 1ULL << 63; // carried out of 64 bits
        ++exponent;
    }
    return {BigNat(kept), exponent, value.Negative};
}

inline TExact Multiply(const TExact& a, const TExact& b) {
    return {a.Magnitude * b.Magnitude, a.Exponent + b.Exponent, a.Negative != b.Negative};
}

// Exact for operands without a tail; zero only as -0 + -0 is negative.
inline TExact Add(const TExact& a, const TExact& b) {
    const int exponent = std::min(a.Exponent, b.Exponent);
    BigNat x = a.Magnitude;
    BigNat y = b.Magnitude;
    x.ShiftLeft(a.Exponent - exponent);
    y.ShiftLeft(b.Exponent - exponent);
    if (a.Negative == b.Negative) {
        return {x + y, exponent, a.Negative};
    }
    const int order = BigNat::Compare(x, y);
    return {BigNat::Distance(x, y), exponent, order > 0 ? a.Negative : order < 0 && b.Negative};
}

// A quotient by a small divisor, kept to far more bits than any rounding
// looks at, with the remainder as its tail.
inline TExact Divide(const TExact& a, std::uint32_t divisor) {
    constexpr int ExtraBits = 128;
    TExact quotient = a;
    quotient.Magnitude.ShiftLeft(ExtraBits);
    quotient.Exponent -= ExtraBits;
    quotient.Sticky = quotient.Magnitude.DivideBy(divisor) != 0;
    return quotient;
}

// Exact for values of at most 53 bits in the double range.
inline double ToDouble(const TExact& value) {
    const double magnitude =
        std::ldexp(static_cast<double>(value.Magnitude.BitsFrom(0)), value.Exponent);
    return value.Negative ? -magnitude : magnitude;
}

// Rounded first to the 64-bit significand, then to double.
inline double RoundTwice(const TExact& exact) {
    return ToDouble(RoundToBits(RoundToBits(exact, 64), 53));
}
inline double RoundOnce(const TExact& exact) {
    return ToDouble(RoundToBits(exact, 53));
}

// pi/200, the factor from grads to radians, rounded to the 64-bit
// significand: pi * 10^50 from 51 digits of pi, far more than the 66 bits
// the rounding looks at, times 2^77 and divided by 200 * 10^50.
inline TExact GradsToRadiansExact() {
    TExact value{BigNat::FromDecimal("314159265358979323846264338327950288419716939937510"), -77};
    value.Magnitude.ShiftLeft(77);
    value.Sticky = value.Magnitude.DivideBy(2) != 0;
    for (int k = 0; k < 52; ++k) {
        value.Sticky = value.Magnitude.DivideBy(10) != 0 || value.Sticky;
    }
    value.Sticky = true; // the digits of pi beyond those above
    return RoundToBits(value, 64);
}

} // namespace testsupport
