// SPDX-License-Identifier: MIT
// The x87 backend of Extended: the compiler's long double is the 80-bit
// extended format, its arithmetic the unit's own under the loaded control
// word, and the rounding helpers are single instructions (x87.h).
#pragma once

#include <cstdint>
#include <cstring>

#include "foundation/extended_bits.h"
#include "foundation/x87/x87.h"

namespace foundation {

using Extended = long double;

// The ten value bytes; the padding of a long double is never read.
inline ExtendedBits BitsOf(Extended value) {
    unsigned char bytes[ExtendedBits::ValueBytes];
    std::memcpy(bytes, &value, sizeof bytes);
    return ExtendedBits::FromBytes(bytes);
}

inline Extended ExtendedFromBits(const ExtendedBits& bits) {
    unsigned char bytes[ExtendedBits::ValueBytes];
    bits.ToBytes(bytes);
    Extended value = 0.0L;
    std::memcpy(&value, bytes, sizeof bytes);
    return value;
}

namespace x87detail {

// 2^e by exact squarings, so a constant expression forms it without rounding.
constexpr long double PowerOfTwo(int e) {
    long double result = 1.0L;
    long double factor = e < 0 ? 0.5L : 2.0L;
    for (int rest = e < 0 ? -e : e; rest != 0; rest >>= 1) {
        if (rest & 1) {
            result *= factor;
        }
        if (rest > 1) {
            factor *= factor;
        }
    }
    return result;
}

} // namespace x87detail

// A normal value from its fields, at compile time: the significand converts
// exactly and the power of two only moves the exponent.
constexpr Extended MakeExtended(bool negative, std::uint16_t biasedExponent,
                                std::uint64_t significand) {
    constexpr int FractionBits = 63;
    const long double magnitude =
        static_cast<long double>(significand) *
        x87detail::PowerOfTwo(biasedExponent - ExtendedBits::ExponentBias - FractionBits);
    return negative ? -magnitude : magnitude;
}

inline Extended Abs(Extended value) {
    return __builtin_fabsl(value);
}

constexpr Extended Infinity() {
    return __builtin_infl();
}

} // namespace foundation
