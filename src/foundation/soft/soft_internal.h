// SPDX-License-Identifier: MIT
// The software arithmetic's own helpers, shared by its implementation files
// and included by nothing else: the unpacked form of a finite value, and the
// one rounding of every result.
#pragma once

#include <bit>
#include <cstdint>

#include "foundation/soft/soft_arith.h"

namespace foundation::soft {

namespace detail {

using TUint128 = unsigned __int128;

inline constexpr int MaxFiniteExponent = 0x7FFE;
inline constexpr std::uint64_t Half = 0x8000000000000000ULL; // one half of a last place

using TKind = ExtendedBits::TKind;

// A finite non-zero value: Significand * 2^(Exponent - bias - 63), with bit
// 63 of Significand set. Exponent goes below 1 for denormals.
struct TUnpacked {
    bool Negative;
    int Exponent;
    std::uint64_t Significand;
};

inline TUnpacked Unpack(ExtendedBits x) {
    if (x.Exponent() != 0) {
        return {x.Negative(), x.Exponent(), x.Significand};
    }
    // Denormals and pseudo-denormals have the exponent of the smallest normals.
    const int shift = std::countl_zero(x.Significand);
    return {x.Negative(), 1 - shift, x.Significand << shift};
}

inline int CountLeadingZeros(TUint128 x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    return high != 0 ? std::countl_zero(high)
                     : 64 + std::countl_zero(static_cast<std::uint64_t>(x));
}

// x >> shift, with every bit shifted out ORed into bit 0.
inline TUint128 ShiftRightSticky(TUint128 x, int shift) {
    if (shift <= 0) {
        return x;
    }
    if (shift >= 128) {
        return x != 0 ? 1 : 0;
    }
    return (x >> shift) | ((x << (128 - shift)) != 0 ? 1 : 0);
}

// Round to nearest, ties to even: whether kept goes up given the bits below it.
inline bool RoundsUp(std::uint64_t rest, std::uint64_t kept) {
    return rest > Half || (rest == Half && (kept & 1) != 0);
}

// Rounds significand * 2^(exponent - bias - 127), significand having bit 127
// set and exponent possibly outside the format's range, to the extended
// format: to a denormal or zero below it, to infinity with the overflow flag
// above it. Every result is rounded and packed here, once; inlined, so that
// a normal result costs each operation's common path no call.
[[gnu::always_inline]] inline ExtendedBits RoundPack(bool negative, int exponent,
                                                     TUint128 significand, unsigned& flags) {
    // Outside the normal range: above it the value overflows however it
    // rounds; below it the value is denormalised first, so that it is
    // rounded once, at the denormal's last place.
    const bool normal = static_cast<unsigned>(exponent - 1) < unsigned{MaxFiniteExponent};
    if (!normal) [[unlikely]] {
        if (exponent > MaxFiniteExponent) {
            flags |= FlagOverflow;
            return Infinity(negative);
        }
        significand = ShiftRightSticky(significand, 1 - exponent);
        exponent = 0;
    }
    std::uint64_t kept = static_cast<std::uint64_t>(significand >> 64);
    // A normal significand rounded up stays above IntegerBit unless it wraps
    // to 0; only that carry and a denormal's rounding go on to the checks.
    if (RoundsUp(static_cast<std::uint64_t>(significand), kept) &&
        ++kept <= ExtendedBits::IntegerBit) [[unlikely]] {
        if (kept == 0) { // carried into the next binade, perhaps past the largest finite
            kept = ExtendedBits::IntegerBit;
            if (++exponent > MaxFiniteExponent) {
                flags |= FlagOverflow;
                return Infinity(negative);
            }
        } else if (kept == ExtendedBits::IntegerBit) {
            exponent = 1; // a denormal rounded up to the smallest normal
        }
    }
    return ExtendedBits::Make(negative, static_cast<std::uint16_t>(exponent), kept);
}

// The value again in the x87's encoding: a pseudo-denormal becomes normal.
inline ExtendedBits Repack(TUnpacked x, unsigned& flags) {
    return RoundPack(x.Negative, x.Exponent, static_cast<TUint128>(x.Significand) << 64, flags);
}

} // namespace detail

} // namespace foundation::soft
