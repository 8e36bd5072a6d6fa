// SPDX-License-Identifier: MIT
#include "token_model.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace soak {

namespace {

constexpr std::int64_t ScaleLimit = 5120;
constexpr double SmallBelow = 150.0; // squares and sums of 255 stay finite
// The first 19 digits of the smallest magnitude that no longer rounds to a
// finite double, 2^1024 - 2^970 = 1.797693134862315807937...e308, and how
// many units of the 19th digit around it the parser's own rounding may blur.
constexpr int DoubleLimitExponent = 308;
constexpr std::uint64_t DoubleLimitDigits = 1797693134862315807ull;
constexpr std::uint64_t DoubleLimitBlur = 10;

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::int32_t Pos(std::size_t index) {
    return static_cast<std::int32_t>(index + 1);
}

TIntegerVerdict Fail(std::size_t index) {
    TIntegerVerdict v;
    v.ErrorPos = Pos(index);
    return v;
}

} // namespace

TIntegerVerdict JudgeInteger(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto at = [&](std::size_t k) -> unsigned char { return k < n ? text[k] : 0; };
    while (at(i) == ' ')
        ++i;
    bool negative = false;
    if (at(i) == '-' || at(i) == '+') {
        negative = at(i) == '-';
        ++i;
    }
    bool hex = false;
    if (at(i) == '$' || at(i) == 'x' || at(i) == 'X') {
        hex = true;
        i += 1;
    } else if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return Fail(i);
    // Exact value of the digits, held wide enough that no overflow can hide.
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        const unsigned char c = at(i);
        const int digit = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
        if (digit < 0) return Fail(i);
        // A value that could no longer take one more digit in 32 bits fails
        // at that digit.
        if (hex ? value > 0x0FFFFFFFull : value > 214748364ull) return Fail(i);
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    if (!hex) {
        const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
        if (value > limit) {
            TIntegerVerdict v = Fail(n);
            v.FailsAtEnd = true;
            return v;
        }
    }
    TIntegerVerdict v;
    v.Valid = true;
    const auto bits = static_cast<std::uint32_t>(value);
    v.Value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return v;
}

TRealVerdict JudgeReal(std::string_view text) {
    TRealVerdict v;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto at = [&](std::size_t k) -> unsigned char { return k < n ? text[k] : 0; };
    auto fail = [&](std::size_t k) {
        v.Valid = false;
        v.ErrorPos = Pos(k);
        return v;
    };
    while (at(i) == ' ')
        ++i;
    if (at(i) == '-' || at(i) == '+') {
        v.Negative = at(i) == '-';
        ++i;
    }
    if (i >= n) return fail(i);

    int significant = 0;
    double mantissa = 0.0;     // the first significant digits as d.ddd
    std::uint64_t leading = 0; // the first 19 significant digits as an integer
    std::int64_t fraction = 0;
    auto take = [&](unsigned char c) {
        if (significant == 0 && c == '0') return;
        if (significant < 18) mantissa += (c - '0') * std::pow(10.0, -significant);
        if (significant < 19) leading = leading * 10 + (c - '0');
        ++significant;
    };
    for (; IsDigit(at(i)); ++i)
        take(at(i));
    if (at(i) == '.') {
        for (++i; IsDigit(at(i)); ++i) {
            take(at(i));
            ++fraction;
        }
    }
    std::int64_t exponent = 0;
    bool exponentUnsettled = false;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        bool exponentNegative = false;
        if (at(i) == '-' || at(i) == '+') {
            exponentNegative = at(i) == '-';
            ++i;
        }
        if (!IsDigit(at(i))) return fail(i);
        for (; IsDigit(at(i)); ++i) {
            exponent = exponent * 10 + (at(i) - '0');
            if (exponent > std::numeric_limits<std::int32_t>::max()) {
                exponentUnsettled = true;
                exponent = std::numeric_limits<std::int32_t>::max();
            }
        }
        if (exponentNegative) exponent = -exponent;
    }
    if (i < n) return fail(i);

    v.Valid = true;
    v.Scale = exponent - fraction;
    v.SignificantDigits = significant;
    v.ExponentUnsettled = exponentUnsettled || v.Scale < std::numeric_limits<std::int32_t>::min();
    if (v.ExponentUnsettled) {
        v.Class = TRealClass::Unsettled;
    } else if (v.Scale >= ScaleLimit) {
        v.Class = TRealClass::Infinite;
    } else if (v.Scale <= -ScaleLimit || significant == 0) {
        v.Class = TRealClass::Zero;
    } else {
        const std::int64_t decimalExponent = significant - 1 + v.Scale;
        v.Log10Magnitude = static_cast<double>(decimalExponent) + std::log10(mantissa);
        for (int d = significant; d < 19; ++d)
            leading *= 10;
        if (v.Log10Magnitude < SmallBelow)
            v.Class = TRealClass::Small;
        else if (decimalExponent != DoubleLimitExponent)
            v.Class =
                decimalExponent < DoubleLimitExponent ? TRealClass::Large : TRealClass::Overflow;
        else if (leading + DoubleLimitBlur < DoubleLimitDigits)
            v.Class = TRealClass::Large;
        else if (leading > DoubleLimitDigits + DoubleLimitBlur)
            v.Class = TRealClass::Overflow;
        else
            v.Class = TRealClass::Unsettled;
    }
    return v;
}

} // namespace soak
