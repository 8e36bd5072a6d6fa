// SPDX-License-Identifier: MIT
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

constexpr ExtendedBits Infinity(bool negative) {
    return ExtendedBits::Make(negative, SpecialExponent, ExtendedBits::IntegerBit);
}

// The x87's default NaN ("real indefinite"), the masked response to an
// invalid operation.
inline constexpr ExtendedBits IndefiniteNan =
    ExtendedBits::Make(true, SpecialExponent, 0xC000000000000000ULL);

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
        return ExtendedBits::Make(false, 0, 0);
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const int shift = std::countl_zero(magnitude);
    return ExtendedBits::Make(negative,
                              static_cast<std::uint16_t>(ExtendedBits::ExponentBias + 63 - shift),
                              magnitude << shift);
}

// Storing to a double: one rounding from 64 to 53 bits (or to the subnormal
// position below the double range).
double ToDouble(ExtendedBits x, unsigned& flags);
// Storing to a 64-bit integer, rounded to nearest (ties to even).
std::int64_t ToInt64(ExtendedBits x, unsigned& flags);

// TOrdering as an unordered compare reports it: NaNs are unordered, and only a
// signalling NaN or an unsupported encoding is an invalid operation.
enum class TOrdering { Less, Equal, Greater, Unordered };
TOrdering Compare(ExtendedBits a, ExtendedBits b, unsigned& flags);

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

} // namespace foundation::soft
