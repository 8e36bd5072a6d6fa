// SPDX-License-Identifier: MIT
// Property checks of the real formatting over seeded random doubles at the
// three layouts the survey prints: the text has the expected shape, and its
// value, as written and as read back with ParseReal, lies within half a
// unit of the last shown decimal of the exact value, plus the error of the
// 18 generated digits.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "numout_exact_decimal.h"
#include "numout_fixture.h"
#include "support/fpu_fixture.h"
#include "textio/number_input.h"
#include "textio/number_output.h"

namespace {

struct Layout {
    std::int32_t Width;
    std::int32_t Decimals;
};

constexpr Layout SurveyLayouts[] = {{7, 2}, {8, 4}, {8, 5}};

// Units of the last generated digit: 10^(k - 17), k the decimal exponent of
// a value of 10 or more (0 below). Two of them cover the rounding of R and
// the scaling steps.
constexpr int GeneratedSlack = 2;
constexpr int GeneratedDigitsBelowUnit = 17;

constexpr int Binary120 = 0x3FFF + 120;

double RandomDouble(std::mt19937_64& random, int kind) {
    std::uint64_t bits = random();
    const std::uint64_t sign = bits & 0x8000000000000000ULL;
    const std::uint64_t mantissa = bits & 0x000FFFFFFFFFFFFFULL;
    std::uint64_t exponent = (bits >> 52) & 0x7FF;
    switch (kind) {
    case 0: // anywhere in the finite range
        exponent %= 0x7FF;
        break;
    case 1: // the survey's range: about 10^-6 to 10^18
        exponent = 1023 - 20 + exponent % 81;
        break;
    default: // around the switch to the exponent form at 2^120
        exponent = 1023 + 110 + exponent % 21;
        break;
    }
    bits = sign | (exponent << 52) | mantissa;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool AllDigits(const std::string& text, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return from <= to;
}

int SlackExponent(const numout::TExactDecimal& exact) {
    const int k = exact.IsZero() ? 0 : exact.DecimalExponent();
    return (k > 0 ? k : 0) - GeneratedDigitsBelowUnit;
}

// " d.dE+dddd" or "-d.dE-dddd": the layouts' widths give two digits.
// Returns the decimal exponent of the last shown digit's unit, negated.
int CheckExponentForm(const std::string& text, const numout::TExactDecimal& exact) {
    EXPECT_EQ(text.size(), 10u);
    if (text.size() != 10u) {
        return 0;
    }
    EXPECT_EQ(text[0], exact.Negative ? '-' : ' ');
    EXPECT_TRUE(text[1] >= '1' && text[1] <= '9');
    EXPECT_EQ(text[2], '.');
    EXPECT_TRUE(AllDigits(text, 3, 4));
    EXPECT_EQ(text[4], 'E');
    EXPECT_TRUE(text[5] == '+' || text[5] == '-');
    EXPECT_TRUE(AllDigits(text, 6, 10));
    const int unitScale = 1 - std::stoi(text.substr(5));
    const std::string shown = text.substr(1, 1) + text.substr(3, 1);
    EXPECT_TRUE(numout::WithinTolerance(shown, unitScale, unitScale, exact, GeneratedSlack,
                                        SlackExponent(exact)));
    return unitScale;
}

void CheckFixedForm(const std::string& text, const numout::TExactDecimal& exact, Layout layout) {
    std::size_t pos = text.find_first_not_of(' ');
    ASSERT_NE(pos, std::string::npos);
    // Spaces only to fill the width; a longer text stands alone.
    EXPECT_TRUE(pos == 0 || text.size() == static_cast<std::size_t>(layout.Width));
    const bool negative = text[pos] == '-';
    EXPECT_EQ(negative, exact.Negative);
    if (negative) {
        ++pos;
    }
    const std::size_t point = text.size() - static_cast<std::size_t>(layout.Decimals) - 1;
    ASSERT_GT(point, pos);
    EXPECT_EQ(text[point], '.');
    EXPECT_TRUE(AllDigits(text, pos, point));
    EXPECT_TRUE(AllDigits(text, point + 1, text.size()));
    EXPECT_TRUE(text[pos] != '0' || point == pos + 1) << "leading zero";
    EXPECT_LE(point - pos, 37u) << "more than 37 integer digits";
    const std::string shown = text.substr(pos, point - pos) + text.substr(point + 1);
    EXPECT_TRUE(numout::WithinTolerance(shown, layout.Decimals, layout.Decimals, exact,
                                        GeneratedSlack, SlackExponent(exact)));
}

// The text read back as a number lies as close to the value; the reading
// adds at most one more unit of the 18th digit.
void CheckReadBack(const std::string& text, const numout::TExactDecimal& exact, int unitScale) {
    const textio::TRealParse back = textio::ParseReal(text.c_str());
    ASSERT_EQ(back.ErrorPos, 0);
    const numout::TExactDecimal parsed = numout::ExactDecimal(back.Value);
    EXPECT_EQ(parsed.Negative, exact.Negative);
    EXPECT_TRUE(numout::WithinTolerance(parsed.Digits, parsed.Scale, unitScale, exact,
                                        GeneratedSlack + 1, SlackExponent(exact)))
        << "read back as " << parsed.Digits << "e-" << parsed.Scale;
}

class RealToTextProperty : public testsupport::TrappingFpu<::testing::TestWithParam<int>> {};

TEST_P(RealToTextProperty, ShapeAndValueAtSurveyLayouts) {
    const int kind = GetParam();
    std::mt19937_64 random(20240605u + static_cast<unsigned>(kind));
    constexpr int Samples = 3000;
    for (int i = 0; i < Samples; ++i) {
        const foundation::Extended x(RandomDouble(random, kind));
        const numout::TExactDecimal exact = numout::ExactDecimal(x);
        const bool huge = foundation::BitsOf(x).Exponent() >= Binary120;
        for (const Layout layout : SurveyLayouts) {
            const std::string text =
                numout::Text(textio::RealToText(x, layout.Width, layout.Decimals));
            SCOPED_TRACE("\"" + text + "\" for " + exact.Digits + "e-" +
                         std::to_string(exact.Scale));
            int unitScale = layout.Decimals;
            if (huge) {
                unitScale = CheckExponentForm(text, exact);
            } else {
                CheckFixedForm(text, exact, layout);
            }
            CheckReadBack(text, exact, unitScale);
            if (HasFailure()) {
                return;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeded, RealToTextProperty, ::testing::Values(0, 1, 2));

// Values with few digits that lie exactly on a tie at the shown place are
// rounded half up, away from zero, like their exact decimal.
TEST_P(RealToTextProperty, ExactTiesRoundHalfUp) {
    const int kind = GetParam();
    std::mt19937_64 random(77u + static_cast<unsigned>(kind));
    const Layout layout = SurveyLayouts[kind];
    // Odd multiples of 1/8, 1/32 and 1/64 have one more decimal than the
    // layout shows, and that decimal is 5.
    const std::uint64_t denominator = kind == 0 ? 8 : kind == 1 ? 32 : 64;
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t whole = random() % 1000000;
        const std::uint64_t odd = 2 * (random() % (denominator / 2)) + 1;
        foundation::Extended x =
            foundation::Extended(static_cast<std::int64_t>(whole * denominator + odd)) /
            foundation::Extended(static_cast<std::int64_t>(denominator));
        if (random() % 2 != 0) {
            x = -x;
        }
        const std::string expected =
            numout::FixedFormOfExact(numout::ExactDecimal(x), layout.Decimals, layout.Width);
        ASSERT_EQ(numout::Text(textio::RealToText(x, layout.Width, layout.Decimals)), expected);
    }
}

} // namespace
