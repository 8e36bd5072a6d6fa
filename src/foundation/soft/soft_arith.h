// Extended arithmetic in software, bit for bit as the x87 does it with
// precision control 64 bits and rounding to nearest (ties to even): the
// result bits, and the exception flags among those the program's control word
// (arithmetic_policy.h) leaves unmasked. The masked exceptions only shape the
// result and are never reported. The policy is the program's own word,
// ProgramControlWord, fixed at build time. The start-up override of the
// masks, which the Windows build reads from the registry on machines with
// certain Japanese keyboards, does not reach this backend: the systems it
// serves have no registry, and it keeps the default masks whatever word
// ResetArithmetic is given. Nothing here allocates or keeps state.
#pragma once

#include <bit>
#include <cstdint>

#include "foundation/arithmetic_policy.h"
#include "foundation/extended_bits.h"

namespace foundation::soft {

// Exception flags, with the bit values of the x87 status word. Only the
// conditions the program's control word leaves unmasked are reported.
inline constexpr unsigned FlagInvalid = ConditionInvalid;
inline constexpr unsigned FlagZeroDivide = ConditionZeroDivide;
inline constexpr unsigned FlagOverflow = ConditionOverflow;
inline constexpr unsigned UnmaskedFlags = FaultingConditions(ProgramControlWord);
static_assert(UnmaskedFlags == (FlagInvalid | FlagZeroDivide | FlagOverflow),
              "the core reports exactly the conditions the program's control word unmasks");

inline constexpr std::uint16_t SpecialExponent = 0x7FFF; // infinities and NaNs
inline constexpr std::uint64_t QuietBit = 0x4000000000000000ULL;

constexpr ExtendedBits Make(bool negative, std::uint16_t biasedExponent,
                            std::uint64_t significand) {
    return ExtendedBits{significand,
                        static_cast<std::uint16_t>((negative ? ExtendedBits::SignMask : 0) |
                                                   (biasedExponent & ExtendedBits::ExponentMask))};
}

// The x87's default NaN ("real indefinite"), the masked response to an
// invalid operation.
inline constexpr ExtendedBits IndefiniteNan = Make(true, SpecialExponent, 0xC000000000000000ULL);

// Every operation below ORs the flags the x87 would raise into flags. When a
// flag is raised the program faults, so the returned value is only a
// placeholder then.
ExtendedBits Add(ExtendedBits a, ExtendedBits b, unsigned& flags);
ExtendedBits Subtract(ExtendedBits a, ExtendedBits b, unsigned& flags);
ExtendedBits Multiply(ExtendedBits a, ExtendedBits b, unsigned& flags);
ExtendedBits Divide(ExtendedBits a, ExtendedBits b, unsigned& flags);

// Exact widenings, as loading a double, a float or a 64-bit integer.
// Loading a signalling NaN is an invalid operation.
ExtendedBits FromDouble(double value, unsigned& flags);
ExtendedBits FromFloat(float value, unsigned& flags);
constexpr ExtendedBits FromInt64(std::int64_t value) {
    if (value == 0) {
        return Make(false, 0, 0);
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const int shift = std::countl_zero(magnitude);
    return Make(negative, static_cast<std::uint16_t>(ExtendedBits::ExponentBias + 63 - shift),
                magnitude << shift);
}

// Storing to a double: one rounding from 64 to 53 bits (or to the subnormal
// position below the double range).
double ToDouble(ExtendedBits x, unsigned& flags);
// Storing to a 64-bit integer, rounded to nearest (ties to even).
std::int64_t ToInt64(ExtendedBits x, unsigned& flags);

// Ordering as an unordered compare reports it: NaNs are unordered, and only a
// signalling NaN or an unsupported encoding is an invalid operation.
enum class Ordering { Less, Equal, Greater, Unordered };
Ordering Compare(ExtendedBits a, ExtendedBits b, unsigned& flags);

// Sign changes touch nothing but the sign bit, NaNs included.
constexpr ExtendedBits Negate(ExtendedBits x) {
    x.SignExponent = static_cast<std::uint16_t>(x.SignExponent ^ ExtendedBits::SignMask);
    return x;
}
constexpr ExtendedBits Abs(ExtendedBits x) {
    x.SignExponent = static_cast<std::uint16_t>(x.SignExponent & ExtendedBits::ExponentMask);
    return x;
}

// The sine as the x87 computes it: the argument reduced exactly by a 66-bit
// pi, then the sine or cosine of the remainder rounded to 64 bits. Finite
// arguments of magnitude 2^63 or more are out of range and give +0.
ExtendedBits Sine(ExtendedBits x, unsigned& flags);

namespace detail {

// Shared by the implementation files; not for callers.

using Uint128 = unsigned __int128;

inline constexpr int MaxFiniteExponent = 0x7FFE;
inline constexpr std::uint64_t Half = 0x8000000000000000ULL; // one half of a last place

enum class Kind { Zero, Finite, Infinity, QuietNan, SignalingNan, Unsupported };

// Unnormals, pseudo-infinities and pseudo-NaNs (a non-zero exponent without
// the integer bit) are unsupported; denormals and pseudo-denormals are finite.
inline Kind KindOf(ExtendedBits x) {
    const bool integerBit = (x.Significand & ExtendedBits::IntegerBit) != 0;
    if (x.Exponent() == 0) {
        return x.Significand == 0 ? Kind::Zero : Kind::Finite;
    }
    if (!integerBit) {
        return Kind::Unsupported;
    }
    if (x.Exponent() != SpecialExponent) {
        return Kind::Finite;
    }
    if (x.Significand == ExtendedBits::IntegerBit) {
        return Kind::Infinity;
    }
    return (x.Significand & QuietBit) != 0 ? Kind::QuietNan : Kind::SignalingNan;
}

// A normal number: the common case every operation tries first.
inline bool IsNormal(ExtendedBits x) {
    return static_cast<std::uint16_t>(x.Exponent() - 1) < MaxFiniteExponent &&
           (x.Significand & ExtendedBits::IntegerBit) != 0;
}

inline bool IsNan(Kind kind) {
    return kind == Kind::QuietNan || kind == Kind::SignalingNan;
}

constexpr ExtendedBits Infinity(bool negative) {
    return Make(negative, SpecialExponent, ExtendedBits::IntegerBit);
}

// A finite non-zero value: Significand * 2^(Exponent - bias - 63), with bit
// 63 of Significand set. Exponent goes below 1 for denormals.
struct Unpacked {
    bool Negative;
    int Exponent;
    std::uint64_t Significand;
};

inline Unpacked Unpack(ExtendedBits x) {
    if (x.Exponent() != 0) {
        return {x.Negative(), x.Exponent(), x.Significand};
    }
    // Denormals and pseudo-denormals have the exponent of the smallest normals.
    const int shift = std::countl_zero(x.Significand);
    return {x.Negative(), 1 - shift, x.Significand << shift};
}

inline int CountLeadingZeros(Uint128 x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    return high != 0 ? std::countl_zero(high)
                     : 64 + std::countl_zero(static_cast<std::uint64_t>(x));
}

// x >> shift, with every bit shifted out ORed into bit 0.
inline Uint128 ShiftRightSticky(Uint128 x, int shift) {
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
// format: to a denormal or zero below it, with the overflow flag above it.
ExtendedBits RoundPack(bool negative, int exponent, Uint128 significand, unsigned& flags);

// The value again in the x87's encoding: a pseudo-denormal becomes normal.
inline ExtendedBits Repack(Unpacked x, unsigned& flags) {
    return RoundPack(x.Negative, x.Exponent, static_cast<Uint128>(x.Significand) << 64, flags);
}

} // namespace detail

} // namespace foundation::soft
