// SPDX-License-Identifier: MIT
// Exact arithmetic for checking extended results: a model of one extended
// operation (exact result, then a single rounding to a 64-bit significand,
// ties to even, with gradual underflow). Test-only; it shares nothing with
// the code under test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

#include "foundation/extended_bits.h"
#include "support/big_nat.h"
#include "support/exact_rounding.h"

namespace numin {

using testsupport::BigNat;

// An extended value as significand times a power of two.
struct Exact {
    bool Negative = false;
    std::uint64_t Significand = 0;
    int Exponent2 = 0;     // value = Significand * 2^Exponent2
    bool Overflow = false; // beyond the largest finite extended value

    foundation::ExtendedBits Bits() const;
};

inline constexpr int ExtendedBias = 16383;
// Exponent of the least significant significand bit of the smallest
// normal (and of every denormal) extended value.
inline constexpr int MinQuantum = 1 - ExtendedBias - 63;

// Rounds magnitude * 2^exponent2 (plus a non-zero tail below the last bit
// of magnitude when sticky is set) to the extended format: 64 significant
// bits, fewer below the normal range, where the last bit stays at MinQuantum.
inline Exact RoundToExtended(const BigNat& magnitude, int exponent2, bool sticky = false) {
    Exact result;
    result.Exponent2 = MinQuantum;
    const int bits = std::min(64, magnitude.BitLength() + exponent2 - MinQuantum);
    const testsupport::TExact rounded =
        testsupport::RoundToBits({magnitude, exponent2, false, sticky}, bits);
    if (rounded.Magnitude.IsZero()) {
        return result;
    }
    // The integer bit at 63, unless that takes the last bit below MinQuantum.
    const int shift = std::min(64 - rounded.Magnitude.BitLength(), rounded.Exponent - MinQuantum);
    result.Significand = rounded.Magnitude.BitsFrom(0) << shift;
    result.Exponent2 = rounded.Exponent - shift;
    result.Overflow = result.Exponent2 + 63 + ExtendedBias >= 0x7FFF;
    return result;
}

inline foundation::ExtendedBits Exact::Bits() const {
    std::uint16_t biased = 0;
    if ((Significand & foundation::ExtendedBits::IntegerBit) != 0) {
        biased = static_cast<std::uint16_t>(Exponent2 + 63 + ExtendedBias);
    }
    return foundation::ExtendedBits::Make(Negative, biased, Significand);
}

inline Exact FromBits(foundation::ExtendedBits bits) {
    Exact value;
    value.Negative = bits.Negative();
    value.Significand = bits.Significand;
    value.Exponent2 = bits.Exponent() == 0 ? MinQuantum : bits.Exponent() - ExtendedBias - 63;
    return value;
}

// The extended value nearest to digits * 10^scale: exact integers and a
// single rounding, as a correctly rounded conversion gives it.
inline Exact NearestDecimal(std::string_view digits, int scale, bool negative = false) {
    BigNat magnitude = BigNat::FromDecimal(std::string(digits));
    int exponent2 = 0;
    bool sticky = false;
    if (scale >= 0) {
        magnitude.MulPower(10, scale);
    } else {
        // 10^-scale has fewer than 4 * -scale bits: the quotient keeps more
        // than the 66 bits the rounding looks at.
        exponent2 = 4 * scale - 68;
        magnitude.ShiftLeft(-exponent2);
        for (int k = 0; k < -scale; ++k) {
            sticky = magnitude.DivideBy(10) != 0 || sticky;
        }
    }
    Exact result = RoundToExtended(magnitude, exponent2, sticky);
    result.Negative = negative;
    return result;
}

// The nearest extended value to 10^k.
inline Exact PowerOfTen(int k) {
    return RoundToExtended(BigNat::PowerOfTen(k), 0);
}

// One rounded extended multiplication of non-negative operands.
inline Exact Multiply(const Exact& a, const Exact& b) {
    return RoundToExtended(BigNat(a.Significand) * BigNat(b.Significand),
                           a.Exponent2 + b.Exponent2);
}

// One rounded extended division of non-negative operands, b not zero.
inline Exact Divide(const Exact& a, const Exact& b) {
    constexpr int ExtraBits = 130; // quotient keeps at least 66 bits
    BigNat quotient(a.Significand);
    quotient.ShiftLeft(ExtraBits);
    const bool sticky = quotient.DivideBy(b.Significand) != 0;
    return RoundToExtended(quotient, a.Exponent2 - b.Exponent2 - ExtraBits, sticky);
}

// One rounded extended addition of a non-negative value and a small integer.
inline Exact AddInteger(const Exact& a, std::uint32_t addend) {
    const testsupport::TExact sum = testsupport::Add(
        {BigNat(a.Significand), a.Exponent2, false, false}, {BigNat(addend), 0, false, false});
    return RoundToExtended(sum.Magnitude, sum.Exponent);
}

// The nearest extended value to 10^k, computed once per exponent.
inline const Exact& ExactPower(int k) {
    static std::map<int, Exact> cache;
    auto found = cache.find(k);
    if (found == cache.end()) {
        found = cache.emplace(k, PowerOfTen(k)).first;
    }
    return found->second;
}

// Scaling by 10^n, 0 < |n| < 5120, as three table factors: every factor the
// nearest extended power, each product or quotient rounded once, in the
// order 10^(n mod 32), 10^(32 * ((n div 32) mod 16)), 10^(512 * (n div 512)).
inline Exact ScaleModel(Exact value, int n) {
    const bool negative = value.Negative;
    value.Negative = false;
    const int k = n < 0 ? -n : n;
    const int steps[3] = {k % 32, 32 * ((k / 32) % 16), 512 * (k / 512)};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && steps[i] == 0) {
            continue;
        }
        value = n > 0 ? Multiply(value, ExactPower(steps[i])) : Divide(value, ExactPower(steps[i]));
    }
    value.Negative = negative;
    return value;
}

// A decimal number digits * 10^scale read as the readers do: v := v * 10 + d
// with the product and the sum each rounded, then scaled once.
inline Exact DecimalModel(std::string_view digits, int scale, bool negative) {
    Exact value = RoundToExtended(BigNat(), 0);
    for (char c : digits) {
        value = AddInteger(Multiply(value, ExactPower(1)), static_cast<std::uint32_t>(c - '0'));
    }
    if (scale != 0) {
        value = ScaleModel(value, scale);
    }
    value.Negative = negative;
    return value;
}

} // namespace numin

namespace foundation {

// Failure messages show an extended value by its fields.
inline void PrintTo(const ExtendedBits& bits, std::ostream* os) {
    *os << (bits.Negative() ? '-' : '+') << std::hex << std::uppercase << "0x" << bits.Significand
        << " exponent 0x" << bits.Exponent() << std::dec << std::nouppercase;
}

} // namespace foundation
