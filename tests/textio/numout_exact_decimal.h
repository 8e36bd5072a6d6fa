// SPDX-License-Identifier: MIT
// Exact decimal expansions of extended values, by big-integer arithmetic,
// for checking formatted texts. Test-only; shares nothing with the code
// under test and uses no floating-point arithmetic.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "foundation/extended.h"
#include "support/big_nat.h"
#include "support/exact_rounding.h"

namespace numout {

using testsupport::BigNat;

// value = (negative ? -1 : 1) * Digits * 10^-Scale, Digits without leading zeros.
struct TExactDecimal {
    bool Negative = false;
    std::string Digits;
    int Scale = 0;

    BigNat Magnitude() const { return BigNat::FromDecimal(Digits); }
    bool IsZero() const { return Digits == "0"; }
    // floor(log10 |value|) for a non-zero value.
    int DecimalExponent() const { return static_cast<int>(Digits.size()) - 1 - Scale; }
};

// The exact decimal value of a finite extended, from its bits:
// significand * 2^(exponent - 16383 - 63), a zero field counting as 1.
inline TExactDecimal ExactDecimal(foundation::Extended value) {
    testsupport::TExact exact = testsupport::DecomposeExtended(foundation::BitsOf(value));
    TExactDecimal result;
    result.Negative = exact.Negative;
    // Either m * 2^k, or m * 2^-j = m * 5^j / 10^j (each call does nothing
    // for the other sign).
    exact.Magnitude.ShiftLeft(exact.Exponent);
    exact.Magnitude.MulPower(5, -exact.Exponent);
    result.Scale = std::max(-exact.Exponent, 0);
    result.Digits = exact.Magnitude.ToDecimal();
    // Drop trailing fraction zeros so that Digits has no redundant tail.
    while (result.Scale > 0 && result.Digits.size() > 1 && result.Digits.back() == '0') {
        result.Digits.pop_back();
        --result.Scale;
    }
    if (result.Digits == "0") {
        result.Scale = 0;
    }
    return result;
}

// Rounds a digit string half up after keep digits; returns the kept digits
// (one more digit when the carry runs through all of them).
inline std::string RoundDigitsHalfUp(const std::string& digits, std::size_t keep) {
    std::string kept = digits.substr(0, std::min(keep, digits.size()));
    kept.resize(keep, '0');
    if (keep < digits.size() && digits[keep] >= '5') {
        std::size_t i = keep;
        while (i > 0 && kept[i - 1] == '9') {
            kept[--i] = '0';
        }
        if (i == 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[i - 1];
        }
    }
    return kept;
}

// The exponent-form text of the exact value rounded half up to n
// significant digits: sign position, d.ddd, "E", sign, four digits.
inline std::string ExponentFormOfExact(const TExactDecimal& x, int n) {
    std::string mantissa;
    int e = 0;
    if (x.IsZero()) {
        mantissa.assign(static_cast<std::size_t>(n), '0');
    } else {
        mantissa = RoundDigitsHalfUp(x.Digits, static_cast<std::size_t>(n));
        e = x.DecimalExponent();
        if (mantissa.size() > static_cast<std::size_t>(n)) {
            mantissa.pop_back();
            ++e;
        }
    }
    std::string exponent = std::to_string(e < 0 ? -e : e);
    exponent.insert(0, 4 - exponent.size(), '0');
    return std::string(x.Negative ? "-" : " ") + mantissa[0] + "." + mantissa.substr(1) + "E" +
           (e < 0 ? "-" : "+") + exponent;
}

// True when |shown - exact| <= half a unit of 10^-unitScale plus `slack`
// units of 10^slackExponent; shown is shownDigits * 10^-shownScale.
inline bool WithinTolerance(const std::string& shownDigits, int shownScale, int unitScale,
                            const TExactDecimal& exact, int slack, int slackExponent) {
    // Bring everything to integers at a common scale g.
    const int g = std::max({shownScale, unitScale + 1, exact.Scale, -slackExponent, 0});
    BigNat shown = BigNat::FromDecimal(shownDigits);
    shown.MulPower(10, g - shownScale);
    BigNat value = exact.Magnitude();
    value.MulPower(10, g - exact.Scale);
    BigNat tolerance = BigNat::PowerOfTen(g - unitScale - 1);
    tolerance.MulSmall(5);
    BigNat extra = BigNat::PowerOfTen(g + slackExponent);
    extra.MulSmall(static_cast<std::uint32_t>(slack));
    tolerance.Add(extra);
    return BigNat::Compare(BigNat::Distance(shown, value), tolerance) <= 0;
}

// The fixed-form text of the exact value rounded half up to `decimals`
// places, right-justified in width.
inline std::string FixedFormOfExact(const TExactDecimal& x, int decimals, int width) {
    std::string digits = x.Digits;
    int scale = x.Scale;
    if (scale < decimals) {
        digits.append(static_cast<std::size_t>(decimals - scale), '0');
        scale = decimals;
    }
    // At least one integer digit in front of the kept decimals.
    const std::size_t dropped = static_cast<std::size_t>(scale - decimals);
    const std::size_t needed = static_cast<std::size_t>(decimals) + 1 + dropped;
    if (digits.size() < needed) {
        digits.insert(0, needed - digits.size(), '0');
    }
    const std::string kept = RoundDigitsHalfUp(digits, digits.size() - dropped);
    const std::size_t integerDigits = kept.size() - static_cast<std::size_t>(decimals);
    std::string text = (x.Negative ? "-" : "") + kept.substr(0, integerDigits);
    if (decimals > 0) {
        text += "." + kept.substr(integerDigits);
    }
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    }
    return text;
}

} // namespace numout
