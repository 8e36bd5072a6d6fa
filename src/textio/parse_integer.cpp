// SPDX-License-Identifier: MIT
// Conversion of a NUL-terminated token to a 32-bit signed integer, in the
// decimal form with a signed range test or the hexadecimal form without one.
#include <cstdint>

#include "textio/number_input.h"
#include "textio/number_prefix.h"

namespace textio {
namespace {

// A decimal value above this would leave 32 bits at the next digit.
constexpr std::uint32_t DecimalGuard = 214748364;
// A hexadecimal value above this would lose bits at the next digit.
constexpr std::uint32_t HexGuard = 0x0FFFFFFF;
constexpr std::uint32_t LargestPositive = 2147483647u;
constexpr std::uint32_t LargestNegativeMagnitude = 2147483648u;
// Distance between a lower-case letter and its upper case.
constexpr unsigned char CaseOffset = 'a' - 'A';

// 32-bit two's complement of the accumulated bits.
std::int32_t AsSigned(std::uint32_t value, bool negative) {
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

TIntegerParse ParseDecimal(const char* text, const char* p, bool negative) {
    if (*p == '\0') {
        return {0, PositionOf(text, p)};
    }
    std::uint32_t value = 0;
    for (; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < '0' || c > '9' || value > DecimalGuard) {
            return {AsSigned(value, false), PositionOf(text, p)};
        }
        value = value * 10 + (c - '0');
    }
    if (value > (negative ? LargestNegativeMagnitude : LargestPositive)) {
        return {AsSigned(value, false), PositionOf(text, p)};
    }
    return {AsSigned(value, negative), 0};
}

int HexDigitValue(unsigned char c) {
    if (c >= 'a') {
        c = static_cast<unsigned char>(c - CaseOffset);
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Up to eight hexadecimal digits taken as a 32-bit pattern; "$FFFFFFFF" is -1.
TIntegerParse ParseHex(const char* text, const char* p, bool negative) {
    if (*p == '\0') {
        return {0, PositionOf(text, p)};
    }
    std::uint32_t value = 0;
    for (; *p != '\0'; ++p) {
        const int digit = HexDigitValue(static_cast<unsigned char>(*p));
        if (digit < 0 || value > HexGuard) {
            return {AsSigned(value, false), PositionOf(text, p)};
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return {AsSigned(value, negative), 0};
}

} // namespace

TIntegerParse ParseInteger(const char* text) {
    const char* p = text;
    const bool negative = SkipSpacesAndSign(p);
    if (*p == '$' || *p == 'x' || *p == 'X') {
        return ParseHex(text, p + 1, negative);
    }
    if (*p == '0' && (p[1] == 'x' || p[1] == 'X')) {
        return ParseHex(text, p + 2, negative);
    }
    return ParseDecimal(text, p, negative);
}

} // namespace textio
