// SPDX-License-Identifier: MIT
// Writing integers and reals as text, digit for digit, in fixed buffers.
// Nothing here allocates and nothing raises: the texts, the digit string and
// the integer digits all live in fixed local areas.
#pragma once

#include <cstdint>

#include "foundation/extended.h"
#include "textio/text_stream.h"

namespace textio {

inline constexpr std::int32_t MaxFieldWidth = 255;
inline constexpr std::int32_t MaxDecimals = 216;

// The fixed form shows at most this decimal exponent (37 integer digits);
// anything larger goes to the exponent form.
inline constexpr std::int32_t MaxFixedExponent = 35;

// Significant digits of the exponent form: width - 8, within these bounds.
inline constexpr std::int32_t MinMantissaDigits = 2;
inline constexpr std::int32_t MaxMantissaDigits = 18;

// Positions of a digit string: 0 (the carry digit), 1..18 from the digit
// generation, then appended zeros up to position 252 at most.
inline constexpr std::int32_t DigitStringCapacity = 256;

struct TNormalized {
    foundation::Extended Scaled; // s: zero, or 1 <= s < 16
    std::int32_t Exponent;       // k: the input is s * 10^k
};

// Digit characters '0'..'9', positions 0..p.
struct TDigitString {
    char Digits[DigitStringCapacity];
};

// The decimal text of value, right-justified in width (clamped to 255).
TShortText IntegerToText(std::int32_t value, std::int32_t width);
TTextStream& WriteInteger(TTextStream& stream, std::int32_t value, std::int32_t width);

// The text of value with the given decimals in the fixed form, or in the
// exponent form when decimals is negative or the value is 2^120 or more.
TShortText RealToText(foundation::Extended value, std::int32_t width, std::int32_t decimals);
TTextStream& WriteReal(TTextStream& stream, foundation::Extended value, std::int32_t width,
                       std::int32_t decimals);

// Splits a finite, non-negative a into s * 10^k with 1 <= s < 16 (or s = 0).
TNormalized NormalizeDecimal(foundation::Extended a);

// Fills positions 0..lastPos with the decimal digits of s (0 <= s < 20),
// rounded half up at lastPos when that lies within the 18 generated digits.
void GenerateDigits(foundation::Extended s, std::int32_t lastPos, TDigitString& digits);

} // namespace textio
