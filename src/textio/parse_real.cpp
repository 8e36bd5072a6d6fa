// Conversion of a NUL-terminated token to an extended real: the digits are
// accumulated as v := v * 10 + digit, each operation rounded to the 64-bit
// significand, and the decimal exponent is applied by ScaleByPowerOfTen.
#include <cstdint>

#include "textio/number_input.h"
#include "textio/number_prefix.h"
#include "textio/power_of_ten.h"

namespace textio {
namespace {

// The written exponent stops growing here. Any exponent this large
// saturates the scaling whatever the fraction digits, and the accumulator
// can neither overflow nor wrap around however many digits follow.
constexpr std::int32_t ExponentSaturation = 100000000;

using foundation::Extended;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitOf(char c) { return c - '0'; }

// 10, exactly.
constexpr Extended Ten = foundation::MakeExtended(false, 0x4002, 0xA000000000000000);

} // namespace

TRealParse ParseReal(const char* text) {
    const char* p = text;
    const bool negative = SkipSpacesAndSign(p);
    Extended value(0.0);
    if (*p == '\0') {
        return {value, PositionOf(text, p)};
    }
    std::int32_t scale = 0;
    for (; IsDigit(*p); ++p) {
        value = value * Ten + Extended(DigitOf(*p));
    }
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p) {
            value = value * Ten + Extended(DigitOf(*p));
            --scale;
        }
    }
    if (*p == 'E' || *p == 'e') {
        ++p;
        bool exponentNegative = false;
        if (*p == '-') {
            exponentNegative = true;
            ++p;
        } else if (*p == '+') {
            ++p;
        }
        if (!IsDigit(*p)) {
            return {value, PositionOf(text, p)};
        }
        std::int32_t exponent = 0;
        for (; IsDigit(*p); ++p) {
            if (exponent < ExponentSaturation) {
                exponent = exponent * 10 + DigitOf(*p);
            }
        }
        scale += exponentNegative ? -exponent : exponent;
    }
    if (*p != '\0') {
        return {value, PositionOf(text, p)};
    }
    value = ScaleByPowerOfTen(value, scale);
    return {negative ? -value : value, 0};
}

} // namespace textio
