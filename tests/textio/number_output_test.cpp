// SPDX-License-Identifier: MIT
// Integers and reals as text: the worked examples byte for byte, the limits
// of width and decimals, extreme and special values, and the digit string.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "numout_exact_decimal.h"
#include "numout_fixture.h"
#include "support/fpu_fixture.h"
#include "support/stream_fixture.h"
#include "textio/number_output.h"

namespace {

using foundation::Extended;
using numout::FromFields;
using numout::Text;
using textio::IntegerToText;
using textio::RealToText;

const Extended Infinity = foundation::Infinity();
const Extended QuietNan = FromFields(false, 0x7FFF, 0xC000000000000000ULL);
const Extended LargestBelow2To120 = Extended(0x1.fffffffffffffp119);
const Extended TwoTo120 = Extended(0x1p120);

struct RealCase {
    const char* Name;
    Extended Value;
    std::int32_t Width;
    std::int32_t Decimals;
    const char* Expected;
    friend void PrintTo(const RealCase& c, std::ostream* os) { *os << c.Name; }
};

class RealToTextCases : public testsupport::TrappingFpu<::testing::TestWithParam<RealCase>> {};

class NumberOutputLimits : public testsupport::TrappingFpu<> {};

TEST_P(RealToTextCases, GivesExactText) {
    const RealCase& c = GetParam();
    EXPECT_EQ(Text(RealToText(c.Value, c.Width, c.Decimals)), c.Expected) << c.Name;
    testsupport::TStreamRecord out(textio::ModeOutput);
    EXPECT_EQ(&textio::WriteReal(out.Stream, c.Value, c.Width, c.Decimals), &out.Stream);
    EXPECT_EQ(out.Contents(), c.Expected) << c.Name;
}

// Decimal values stand for the nearest double, as the program stores them.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, RealToTextCases,
    ::testing::Values(RealCase{"zero", Extended(0.0), 7, 2, "   0.00"},
                      RealCase{"negative zero", Extended(-0.0), 7, 2, "  -0.00"},
                      RealCase{"minus 0.001", Extended(-0.001), 7, 2, "  -0.00"},
                      RealCase{"tie 0.125", Extended(0.125), 7, 2, "   0.13"},
                      RealCase{"tie 2.5", Extended(2.5), 7, 0, "      3"},
                      RealCase{"carry 9.999", Extended(9.999), 7, 2, "  10.00"},
                      RealCase{"1234.5678", Extended(1234.5678), 7, 2, "1234.57"},
                      RealCase{"minus 1234.5678", Extended(-1234.5678), 7, 2, "-1234.57"},
                      RealCase{"12.345678", Extended(12.345678), 8, 4, " 12.3457"},
                      RealCase{"0.12345678", Extended(0.12345678), 8, 5, " 0.12346"},
                      RealCase{"1234.5625", Extended(1234.5625), 8, 4, "1234.5625"},
                      RealCase{"0.1 to 20 places", Extended(0.1), 0, 20, "0.10000000000000001000"},
                      RealCase{"1e20", Extended(1e20), 7, 2, "100000000000000000000.00"},
                      RealCase{"2^64", Extended(0x1p64), 7, 2, "18446744073709551600.00"},
                      RealCase{"largest below 2^120", LargestBelow2To120, 7, 2,
                               "1329227995784915725000000000000000000.00"},
                      RealCase{"2^120", TwoTo120, 7, 2, " 1.3E+0036"},
                      RealCase{"1.5e40", Extended(1.5e40), 8, 4, " 1.5E+0040"},
                      RealCase{"minus 1.5e40", Extended(-1.5e40), 8, 5, "-1.5E+0040"},
                      RealCase{"1e300", Extended(1e300), 7, 2, " 1.0E+0300"},
                      RealCase{"infinity", Infinity, 7, 2, "   +Inf"},
                      RealCase{"minus infinity", -Infinity, 8, 4, "    -Inf"},
                      RealCase{"nan", QuietNan, 8, 5, "     Nan"},
                      RealCase{"12.6 exponent", Extended(12.6), 10, -1, " 1.3E+0001"},
                      RealCase{"1.26 exponent", Extended(1.26), 10, -1, " 1.3E+0000"},
                      RealCase{"zero exponent", Extended(0.0), 10, -1, " 0.0E+0000"},
                      RealCase{"minus 1e-300", Extended(-1e-300), 12, -1, "-1.000E-0300"},
                      RealCase{"123456789 at 26", Extended(123456789.0), 26, -1,
                               " 1.23456789000000000E+0008"},
                      RealCase{"123456789 at 30", Extended(123456789.0), 30, -1,
                               "     1.23456789000000000E+0008"}));

// Rounding, carries and forms beyond the worked examples.
INSTANTIATE_TEST_SUITE_P(
    Rounding, RealToTextCases,
    ::testing::Values(
        RealCase{"tie 0.375", Extended(0.375), 7, 2, "   0.38"},
        RealCase{"minus tie 2.5", Extended(-2.5), 0, 0, "-3"},
        RealCase{"half", Extended(0.5), 0, 0, "1"},
        RealCase{"below half", Extended(0x1.fffffffffffffp-2), 0, 0, "0"},
        RealCase{"1.005 is below the tie", Extended(1.005), 0, 2, "1.00"},
        RealCase{"rounds up to one", Extended(0.996), 0, 2, "1.00"},
        RealCase{"no point at 0 decimals", Extended(123.456), 0, 0, "123"},
        RealCase{"negative zero, 0 decimals", Extended(-0.0), 0, 0, "-0"},
        RealCase{"9.5 long", Extended(9.5), 0, 30, "9.500000000000000000000000000000"},
        RealCase{"999999.995 stays", Extended(999999.995), 0, 2, "999999.99"},
        RealCase{"carry adds a digit", Extended(99999.996), 0, 2, "100000.00"},
        RealCase{"normalised 15.5", Extended(15.5), 0, 1, "15.5"},
        RealCase{"negative zero exponent", Extended(-0.0), 10, -1, "-0.0E+0000"},
        RealCase{"exponent carry", Extended(9.96), 10, -1, " 1.0E+0001"},
        RealCase{"exponent form at 27", Extended(123456789.0), 27, -1,
                 "  1.23456789000000000E+0008"},
        RealCase{"exponent of a small value", Extended(0.000123456), 14, -1, " 1.23456E-0004"},
        RealCase{"2^120 at 8:4", TwoTo120, 8, 4, " 1.3E+0036"},
        RealCase{"2^120 at 12:2 uses the width", TwoTo120, 12, 2, " 1.329E+0036"},
        RealCase{"negative width", Extended(1.5), -5, 1, "1.5"},
        RealCase{"lowest width, exponent form", Extended(1.5), INT_MIN, -1, " 1.5E+0000"}));

// All 18 digits at large decimal exponents, where the first scaling step
// must not overshoot (the exponent estimate stays below log10 2): the texts
// are worked out with exact arithmetic along the specified scaling steps.
INSTANTIATE_TEST_SUITE_P(
    LargeExponents, RealToTextCases,
    ::testing::Values(
        RealCase{"E+0087", Extended(-0x1.6c3ee0353812bp+289), 26, -1, "-1.41521722607281959E+0087"},
        RealCase{"E-0087", Extended(0x1.41823da150101p-289), 26, -1, " 1.26265321432233434E-0087"},
        RealCase{"E+0146", Extended(0x1.531eaa5c8d554p+485), 26, -1, " 1.32330837935505186E+0146"},
        RealCase{"E-0146", Extended(-0x1.8f4605476e4bbp-485), 26, -1, "-1.56128664227598350E-0146"},
        RealCase{"E+0174", Extended(0x1.665be836e7bb4p+578), 26, -1, " 1.38489184882370833E+0174"},
        RealCase{"E-0174", Extended(-0x1.5107c5d4583a6p-578), 26, -1, "-1.33073496549307200E-0174"},
        RealCase{"E+0264", Extended(0x1.7e14160b7bc6ep+877), 26, -1, " 1.50389940746603031E+0264"},
        RealCase{"E-0264", Extended(0x1.3af0c4af94c5ap-877), 26, -1,
                 " 1.22090634753818818E-0264"}));

// Special values ignore the decimals, whatever their count or sign; the
// unsupported encodings (unnormal, pseudo-infinity, pseudo-NaN) and a
// signalling NaN would fault the trapping unit if anything computed with them.
INSTANTIATE_TEST_SUITE_P(
    SpecialValues, RealToTextCases,
    ::testing::Values(
        RealCase{"infinity, exponent form", Infinity, 0, -1, "+Inf"},
        RealCase{"minus infinity, many decimals", -Infinity, 3, 500, "-Inf"},
        RealCase{"negative nan", -QuietNan, 0, 2, "Nan"},
        RealCase{"signalling nan", FromFields(false, 0x7FFF, 0x8000000000000001ULL), 4, 2, " Nan"},
        RealCase{"pseudo-infinity", FromFields(false, 0x7FFF, 0), 0, 2, "Nan"},
        RealCase{"pseudo-nan", FromFields(true, 0x7FFF, 1), 0, 2, "Nan"},
        RealCase{"unnormal", FromFields(false, 0x3FFF, 0x4000000000000000ULL), 7, 2, "    Nan"},
        RealCase{"unnormal zero", FromFields(false, 0x4000, 0), 0, -1, "Nan"}));

TEST_F(NumberOutputLimits, ExponentFormAtWidthsUpTo10HasTwoDigits) {
    for (std::int32_t width = -3; width <= 10; ++width) {
        EXPECT_EQ(Text(RealToText(Extended(-2.25), width, -1)), "-2.3E+0000") << width;
    }
}

struct IntegerCase {
    std::int32_t Value;
    std::int32_t Width;
    const char* Expected;
};

class IntegerToTextCases : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerToTextCases, GivesExactText) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(Text(IntegerToText(c.Value, c.Width)), c.Expected) << c.Value << " at " << c.Width;
    testsupport::TStreamRecord out(textio::ModeOutput);
    EXPECT_EQ(&textio::WriteInteger(out.Stream, c.Value, c.Width), &out.Stream);
    EXPECT_EQ(out.Contents(), c.Expected) << c.Value << " at " << c.Width;
}

INSTANTIATE_TEST_SUITE_P(Examples, IntegerToTextCases,
                         ::testing::Values(IntegerCase{7, 0, "7"}, IntegerCase{255, 0, "255"},
                                           IntegerCase{INT_MIN, 0, "-2147483648"},
                                           IntegerCase{42, 5, "   42"}, IntegerCase{0, 0, "0"},
                                           IntegerCase{INT_MAX, 0, "2147483647"},
                                           IntegerCase{-1, 3, " -1"}, IntegerCase{-12, 3, "-12"},
                                           IntegerCase{123456, 2, "123456"},
                                           IntegerCase{5, -7, "5"},
                                           IntegerCase{INT_MIN, 12, " -2147483648"}));

TEST_F(NumberOutputLimits, WidthAbove255IsClampedForTheText) {
    const std::string real = Text(RealToText(Extended(1.5), 300, 2));
    EXPECT_EQ(real, std::string(251, ' ') + "1.50");

    const std::string exponent = Text(RealToText(Extended(-1.5), INT_MAX, -1));
    EXPECT_EQ(exponent, std::string(229, ' ') + "-1.50000000000000000E+0000");

    EXPECT_EQ(Text(IntegerToText(42, 1000)), std::string(253, ' ') + "42");
    EXPECT_EQ(Text(RealToText(Infinity, 256, 2)), std::string(251, ' ') + "+Inf");
}

TEST_F(NumberOutputLimits, DecimalsAbove216CountAs216) {
    const std::string expected = "0.10000000000000001" + std::string(216 - 17, '0');
    EXPECT_EQ(Text(RealToText(Extended(0.1), 0, 217)), expected);
    EXPECT_EQ(Text(RealToText(Extended(0.1), 0, INT_MAX)), expected);
}

TEST_F(NumberOutputLimits, LongestFixedTextFillsAllOf255) {
    // Sign, 37 integer digits, point and 216 decimals.
    const std::string expected =
        "-1329227995784915725" + std::string(18, '0') + "." + std::string(216, '0');
    ASSERT_EQ(expected.size(), 255u);
    EXPECT_EQ(Text(RealToText(-LargestBelow2To120, 255, 216)), expected);
    EXPECT_EQ(Text(RealToText(-LargestBelow2To120, 0, 1000)), expected);
}

// Extremes of both formats, against the exact value rounded half up. At
// these digit counts the exact values lie far from any rounding tie.
TEST_F(NumberOutputLimits, ExtremeValuesMatchTheirExactDecimals) {
    const struct {
        const char* Name;
        Extended Value;
    } cases[] = {
        {"smallest double denormal", Extended(0x1p-1074)},
        {"largest double denormal", Extended(0x0.fffffffffffffp-1022)},
        {"smallest normal double", Extended(0x1p-1022)},
        {"largest double", Extended(0x1.fffffffffffffp1023)},
        {"smallest extended denormal", FromFields(false, 0, 1)},
        {"largest extended denormal", FromFields(false, 0, 0x7FFFFFFFFFFFFFFFULL)},
        {"pseudo-denormal", FromFields(false, 0, 0x8000000000000000ULL)},
        {"smallest normal extended", FromFields(false, 1, 0x8000000000000000ULL)},
        {"largest extended", FromFields(false, 0x7FFE, 0xFFFFFFFFFFFFFFFFULL)},
        {"negative largest extended", FromFields(true, 0x7FFE, 0xFFFFFFFFFFFFFFFFULL)},
        {"2^120", TwoTo120},
        {"negative 2^-16000", FromFields(true, 0x3FFF - 16000, 0x8000000000000000ULL)},
    };
    for (const auto& c : cases) {
        const numout::TExactDecimal exact = numout::ExactDecimal(c.Value);
        for (const int digits : {2, 4, 10}) {
            EXPECT_EQ(Text(RealToText(c.Value, digits + 8, -1)),
                      numout::ExponentFormOfExact(exact, digits))
                << c.Name << " with " << digits << " digits";
        }
    }
}

TEST_F(NumberOutputLimits, TinyAndHugeValuesInTheFixedForm) {
    EXPECT_EQ(Text(RealToText(Extended(0x1p-1074), 7, 2)), "   0.00");
    EXPECT_EQ(Text(RealToText(Extended(-0x1p-1074), 7, 2)), "  -0.00");
    EXPECT_EQ(Text(RealToText(FromFields(false, 0, 1), 8, 5)), " 0.00000");
    EXPECT_EQ(Text(RealToText(FromFields(true, 0, 1), 8, 4)), " -0.0000");
    EXPECT_EQ(Text(RealToText(Extended(0x1.fffffffffffffp1023), 7, 2)), " 1.8E+0308");
    EXPECT_EQ(Text(RealToText(FromFields(false, 0x7FFE, ~0ULL), 8, 4)), " 1.2E+4932");
    EXPECT_EQ(Text(RealToText(FromFields(true, 0x7FFE, ~0ULL), 8, 5)), "-1.2E+4932");
}

// Positions 0..p of the digit string.
struct DigitCase {
    const char* Name;
    Extended Scaled;
    std::int32_t Last;
    const char* Expected;
    friend void PrintTo(const DigitCase& c, std::ostream* os) { *os << c.Name; }
};

class GenerateDigitsCases : public testsupport::TrappingFpu<::testing::TestWithParam<DigitCase>> {};

TEST_P(GenerateDigitsCases, FillsPositionsUpToLast) {
    const DigitCase& c = GetParam();
    textio::TDigitString digits;
    textio::GenerateDigits(c.Scaled, c.Last, digits);
    EXPECT_EQ(std::string(digits.Digits, static_cast<std::size_t>(c.Last) + 1), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Digits, GenerateDigitsCases,
    ::testing::Values(
        DigitCase{"zero", Extended(0.0), 18, "0000000000000000000"},
        DigitCase{"half up at the last position", Extended(0.125), 3, "0013"},
        DigitCase{"carry into position 0", Extended(9.999), 3, "1000"},
        DigitCase{"first digit at position 0", Extended(15.0), 1, "15"},
        DigitCase{"appended zeros", Extended(1.5), 25, "01500000000000000000000000"},
        DigitCase{"18 digits as generated", Extended(0.1), 18, "0010000000000000001"},
        // 2^-18 * 10^17 = 5^17 / 2 lies on a tie: the integer store takes
        // the even neighbour, 3 * 2^-18 * 10^17 rounds up to the even one.
        DigitCase{"integer tie to even, down", Extended(0x1p-18), 18, "0000000381469726562"},
        DigitCase{"integer tie to even, up", Extended(0x3p-18), 18, "0000001144409179688"},
        // 1.23456789012345678 rounded to the 64-bit significand.
        DigitCase{"round at position 17", FromFields(false, 0x3FFF, 0x9E06521462CFDB3AULL), 17,
                  "012345678901234568"}));

struct NormalizeCase {
    const char* Name;
    Extended Value;
    std::int32_t Exponent;
    friend void PrintTo(const NormalizeCase& c, std::ostream* os) { *os << c.Name; }
};

class NormalizeDecimalCases
    : public testsupport::TrappingFpu<::testing::TestWithParam<NormalizeCase>> {};

// The scaled value lies in 1..16 and keeps the leading digits of the input.
TEST_P(NormalizeDecimalCases, ScalesIntoOneToSixteen) {
    const NormalizeCase& c = GetParam();
    const textio::TNormalized result = textio::NormalizeDecimal(c.Value);
    EXPECT_EQ(result.Exponent, c.Exponent);
    EXPECT_GE(result.Scaled, Extended(1.0));
    EXPECT_LT(result.Scaled, Extended(16.0));
    // Rounded to 15 significant digits, s and the input agree, and their
    // decimal exponents differ by k.
    const std::string input = numout::ExponentFormOfExact(numout::ExactDecimal(c.Value), 15);
    const std::string scaled = numout::ExponentFormOfExact(numout::ExactDecimal(result.Scaled), 15);
    constexpr std::size_t MantissaEnd = 17; // sign, digit, point, 14 digits
    EXPECT_EQ(scaled.substr(0, MantissaEnd), input.substr(0, MantissaEnd));
    EXPECT_EQ(std::stoi(scaled.substr(MantissaEnd + 1)) + result.Exponent,
              std::stoi(input.substr(MantissaEnd + 1)));
}

INSTANTIATE_TEST_SUITE_P(
    Values, NormalizeDecimalCases,
    ::testing::Values(NormalizeCase{"one", Extended(1.0), 0},
                      NormalizeCase{"below 16", Extended(15.75), 0},
                      NormalizeCase{"16", Extended(16.0), 1},
                      NormalizeCase{"1234.5678", Extended(1234.5678), 3},
                      NormalizeCase{"0.001 stops at 10", Extended(0.001), -4},
                      NormalizeCase{"0.5", Extended(0.5), -1},
                      // 10^300 stops at s = 10 after one step.
                      NormalizeCase{"1e300", Extended(1e300), 299},
                      NormalizeCase{"smallest double", Extended(0x1p-1074), -324},
                      NormalizeCase{"smallest extended", FromFields(false, 0, 1), -4951},
                      NormalizeCase{"largest extended", FromFields(false, 0x7FFE, ~0ULL), 4931}));

TEST_F(NumberOutputLimits, NormalizeKeepsZero) {
    const textio::TNormalized zero = textio::NormalizeDecimal(Extended(0.0));
    EXPECT_EQ(zero.Exponent, 0);
    EXPECT_EQ(zero.Scaled, Extended(0.0));
}

} // namespace

namespace {

class WriteNumbers : public testsupport::TrappingFpu<> {};

// The text is clamped to 255 characters; the stream completes the field.
TEST_F(WriteNumbers, WidthAbove255GivesTheWholeField) {
    testsupport::TStreamRecord out(textio::ModeOutput);
    textio::WriteReal(out.Stream, Extended(1.5), 300, 2);
    EXPECT_EQ(out.Contents(), std::string(296, ' ') + "1.50");

    testsupport::TStreamRecord exponent(textio::ModeOutput);
    textio::WriteReal(exponent.Stream, Extended(-1.5), 1000, -1);
    EXPECT_EQ(exponent.Contents(), std::string(974, ' ') + "-1.50000000000000000E+0000");

    testsupport::TStreamRecord integer(textio::ModeOutput);
    textio::WriteInteger(integer.Stream, INT_MIN, 256);
    EXPECT_EQ(integer.Contents(), std::string(245, ' ') + "-2147483648");

    testsupport::TStreamRecord special(textio::ModeOutput);
    textio::WriteReal(special.Stream, -Infinity, 400, 2);
    EXPECT_EQ(special.Contents(), std::string(396, ' ') + "-Inf");
}

// The items of one statement follow each other, as in the survey's result line.
TEST_F(WriteNumbers, ItemsOfAStatementFollowEachOther) {
    testsupport::TStreamRecord out(textio::ModeOutput);
    textio::TTextStream& s = out.Stream;
    textio::WriteText(s, std::string_view("Point "), 0);
    textio::WriteInteger(textio::WriteInteger(s, 12, 0), -3, 4);
    textio::WriteReal(textio::WriteReal(textio::WriteReal(s, Extended(1234.5678), 7, 2),
                                        Extended(12.345678), 8, 4),
                      Extended(0.12345678), 8, 5);
    EXPECT_EQ(out.Contents(), "Point 12  -31234.57 12.3457 0.12346");
}

} // namespace
