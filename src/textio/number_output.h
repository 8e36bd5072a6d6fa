// Writing integers and reals as text, digit for digit, in fixed buffers.
#pragma once

#include <cstdint>

#include "textio/text_stream.h"

namespace textio {

inline constexpr std::int32_t MaxFieldWidth = 255;
inline constexpr std::int32_t MaxDecimals = 216;

struct TNormalized {
    long double Scaled; // s
    std::int32_t Exponent; // k
};

// Digit characters, positions 0..p.
struct TDigitString {
    char Digits[256];
};

TShortText IntegerToText(std::int32_t value, std::int32_t width);
TTextStream& WriteInteger(TTextStream& stream, std::int32_t value, std::int32_t width);

TShortText RealToText(long double value, std::int32_t width, std::int32_t decimals);
TTextStream& WriteReal(TTextStream& stream, long double value, std::int32_t width,
                       std::int32_t decimals);

TNormalized NormalizeDecimal(long double a);
void GenerateDigits(long double s, std::int32_t lastPos, TDigitString& digits);

} // namespace textio
