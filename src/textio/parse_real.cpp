// SPDX-License-Identifier: MIT
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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitOf(char c) {
    return c - '0';
}

// 10, exactly.
constexpr Extended Ten = foundation::MakeExtended(false, 0x4002, 0xA000000000000000);

// The digits' value, v := v * 10 + digit with each operation rounded to the
// 64-bit significand. While v stays below 2^63 every step is exact, so the
// digits are gathered in an integer and converted once when they no longer
// fit; the steps after that are done in extended precision. The bits are
// those of the step-by-step extended accumulation, at a fraction of its
// cost where the arithmetic is done in software.
class TDigitValue {
  public:
    void Append(int digit) {
        if (!Widened) {
            if (Exact <= ExactLimit) {
                Exact = Exact * 10 + digit;
                return;
            }
            Value = Extended(Exact);
            Widened = true;
        }
        Value = Value * Ten + Extended(digit);
    }

    Extended Get() const { return Widened ? Value : Extended(Exact); }

  private:
    // Up to here the next step stays below 2^63.
    static constexpr std::int64_t ExactLimit = (INT64_MAX - 9) / 10;

    std::int64_t Exact = 0;
    Extended Value{};
    bool Widened = false;
};

} // namespace

TRealParse ParseReal(const char* text) {
    const char* p = text;
    const bool negative = SkipSpacesAndSign(p);
    TDigitValue digits;
    if (*p == '\0') {
        return {digits.Get(), PositionOf(text, p)};
    }
    std::int32_t scale = 0;
    for (; IsDigit(*p); ++p) {
        digits.Append(DigitOf(*p));
    }
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p) {
            digits.Append(DigitOf(*p));
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
            return {digits.Get(), PositionOf(text, p)};
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
        return {digits.Get(), PositionOf(text, p)};
    }
    const Extended value = ScaleByPowerOfTen(digits.Get(), scale);
    return {negative ? -value : value, 0};
}

} // namespace textio
