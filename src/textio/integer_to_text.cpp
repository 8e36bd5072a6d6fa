// SPDX-License-Identifier: MIT
// Signed 32-bit integers as decimal text.
#include <cstring>

#include "textio/number_output.h"

namespace textio {

namespace {

inline constexpr int MaxIntegerDigits = 10; // 4294967295 at most

} // namespace

TShortText IntegerToText(std::int32_t value, std::int32_t width) {
    // The magnitude as unsigned, so that -2147483648 keeps all its digits.
    const bool negative = value < 0;
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (negative) {
        magnitude = 0u - magnitude;
    }

    char digits[MaxIntegerDigits];
    int first = MaxIntegerDigits;
    do {
        digits[--first] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    const int count = MaxIntegerDigits - first;
    const int length = count + (negative ? 1 : 0);
    const int field = width > MaxFieldWidth ? MaxFieldWidth : width;
    const int pad = field > length ? field - length : 0;

    TShortText text;
    std::memset(text.Chars, ' ', static_cast<std::size_t>(pad));
    char* out = text.Chars + pad;
    if (negative) {
        *out++ = '-';
    }
    std::memcpy(out, digits + first, static_cast<std::size_t>(count));
    text.Length = static_cast<std::uint8_t>(pad + length);
    return text;
}

TTextStream& WriteInteger(TTextStream& stream, std::int32_t value, std::int32_t width) {
    const TShortText text = IntegerToText(value, 0);
    return WriteText(stream, text, width);
}

} // namespace textio
