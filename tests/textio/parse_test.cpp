// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>

#include "foundation/extended.h"
#include "support/fpu_fixture.h"
#include "textio/number_input.h"
#include "textio/numin_exact.h"

namespace {

using foundation::BitsOf;
using foundation::ExtendedBits;

struct IntegerCase {
    const char* Text;
    std::int32_t Value;
    std::int32_t ErrorPos;
    friend void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }
};

class ParseIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerTest, ValueAndErrorPosition) {
    const IntegerCase& c = GetParam();
    const textio::TIntegerParse parsed = textio::ParseInteger(c.Text);
    EXPECT_EQ(parsed.ErrorPos, c.ErrorPos);
    if (c.ErrorPos == 0) {
        EXPECT_EQ(parsed.Value, c.Value);
    }
}

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Decimal, ParseIntegerTest,
    ::testing::Values(IntegerCase{"0", 0, 0}, IntegerCase{"-0", 0, 0}, IntegerCase{"+0", 0, 0},
                      IntegerCase{"007", 7, 0}, IntegerCase{"  -7", -7, 0},
                      IntegerCase{"2147483647", 2147483647, 0},
                      IntegerCase{"+2147483647", 2147483647, 0},
                      IntegerCase{"-2147483648", Min32, 0},
                      // Range failures found at the NUL.
                      IntegerCase{"2147483648", 0, 11}, IntegerCase{"+2147483648", 0, 12},
                      IntegerCase{"-2147483649", 0, 12}, IntegerCase{"4294967295", 0, 10},
                      // The value above 214748364 before another digit fails at that digit.
                      IntegerCase{"21474836470", 0, 11}, IntegerCase{"99999999999", 0, 10},
                      IntegerCase{"00000000000000000000000000000000", 0, 0},
                      IntegerCase{"12abc", 0, 3}, IntegerCase{"", 0, 1}, IntegerCase{"-", 0, 2},
                      IntegerCase{"+-5", 0, 2}, IntegerCase{"--5", 0, 2}, IntegerCase{"\t5", 0, 1},
                      IntegerCase{"5 ", 0, 2}, IntegerCase{"3.5", 0, 2}, IntegerCase{"1e3", 0, 2},
                      IntegerCase{"12\xB0", 0, 3}, IntegerCase{"\xFF", 0, 1}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, ParseIntegerTest,
    ::testing::Values(IntegerCase{"$1F", 31, 0}, IntegerCase{"x1F", 31, 0},
                      IntegerCase{"X1f", 31, 0}, IntegerCase{"0x1F", 31, 0},
                      IntegerCase{"0X1f", 31, 0}, IntegerCase{"-$10", -16, 0},
                      IntegerCase{"+$abcdef", 0xABCDEF, 0}, IntegerCase{"$7FFFFFFF", 2147483647, 0},
                      IntegerCase{"$FFFFFFFF", -1, 0}, IntegerCase{"$80000000", Min32, 0},
                      IntegerCase{"-$80000000", Min32, 0}, IntegerCase{"-$FFFFFFFF", 1, 0},
                      IntegerCase{"$000000000001", 1, 0}, IntegerCase{"$100000000", 0, 10},
                      IntegerCase{"$", 0, 2}, IntegerCase{"0x", 0, 3}, IntegerCase{"-0x", 0, 4},
                      IntegerCase{"$1G", 0, 3}, IntegerCase{"$1g", 0, 3},
                      // A byte from 128 up is lowered by 32 and is still no digit.
                      IntegerCase{"$1\xE1", 0, 3}, IntegerCase{"$1\xC1", 0, 3},
                      IntegerCase{"0$1", 0, 2}, IntegerCase{"$-1", 0, 2}));

// A real token with its expected decomposition: the digits as written, the
// power of ten they are scaled by, and the sign.
struct RealCase {
    const char* Text;
    const char* Digits;
    int Scale;
    bool Negative;
    friend void PrintTo(const RealCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }
};

// Under the program's trapping control word, so that a fault in the parse
// ends the test.
class ParseRealTest : public testsupport::TrappingFpu<::testing::TestWithParam<RealCase>> {};

TEST_P(ParseRealTest, ExactBitsOfTheReadValue) {
    const RealCase& c = GetParam();
    const textio::TRealParse parsed = textio::ParseReal(c.Text);
    const ExtendedBits got = BitsOf(parsed.Value);
    EXPECT_EQ(parsed.ErrorPos, 0);
    EXPECT_EQ(got, numin::DecimalModel(c.Digits, c.Scale, c.Negative).Bits());
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseRealTest,
    ::testing::Values(RealCase{"1.5", "15", -1, false}, RealCase{".5", "5", -1, false},
                      RealCase{"5.", "5", 0, false}, RealCase{"1.5E3", "15", 2, false},
                      RealCase{"2e-3", "2", -3, false}, RealCase{"-.5e1", "5", 0, true},
                      RealCase{"+4E+2", "4", 2, false}, RealCase{"  7", "7", 0, false},
                      RealCase{".", "", 0, false}, RealCase{"E5", "", 5, false},
                      RealCase{"-0", "0", 0, true}, RealCase{"123.456", "123456", -3, false},
                      RealCase{"399.9999", "3999999", -4, false}, RealCase{"0.1", "1", -1, false},
                      RealCase{"1e-4940", "1", -4940, false}, RealCase{"1e4932", "1", 4932, false},
                      // Twenty digits and more: the accumulation itself rounds.
                      RealCase{"18446744073709551617", "18446744073709551617", 0, false},
                      RealCase{"1000000000000000000000000000000000000000000000000000000000000000",
                               "1000000000000000000000000000000000000000000000000000000000000000",
                               0, false},
                      RealCase{"3.14159265358979323846264338327950288",
                               "314159265358979323846264338327950288", -35, false}));

TEST(ParseRealLiterals, HandCheckedBits) {
    // 1.5 = 0b1.1; 1500 = 0x5DC, 11 bits, so 1.0111011100b * 2^10; 0.5 = 2^-1.
    EXPECT_EQ(BitsOf(textio::ParseReal("1.5").Value),
              ExtendedBits::Make(false, 0x3FFF, 0xC000000000000000ULL));
    EXPECT_EQ(BitsOf(textio::ParseReal("1.5E3").Value),
              ExtendedBits::Make(false, 0x3FFF + 10, 0xBB80000000000000ULL));
    EXPECT_EQ(BitsOf(textio::ParseReal(".5").Value),
              ExtendedBits::Make(false, 0x3FFE, 0x8000000000000000ULL));
    // 0.1 = 0xCCCC...CCCD * 2^-67 rounded: the dropped bits 1100... are above one half.
    EXPECT_EQ(BitsOf(textio::ParseReal("0.1").Value),
              ExtendedBits::Make(false, 0x3FFB, 0xCCCCCCCCCCCCCCCDULL));
    EXPECT_EQ(BitsOf(textio::ParseReal("-0").Value), ExtendedBits::Make(true, 0, 0));
}

struct SpecialCase {
    const char* Text;
    bool Infinity; // else zero
    bool Negative;
    friend void PrintTo(const SpecialCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }
};

class ParseRealSaturationTest
    : public testsupport::TrappingFpu<::testing::TestWithParam<SpecialCase>> {};

TEST_P(ParseRealSaturationTest, GivesInfinityOrZeroWithoutFault) {
    const SpecialCase& c = GetParam();
    const textio::TRealParse parsed = textio::ParseReal(c.Text);
    const ExtendedBits got = BitsOf(parsed.Value);
    EXPECT_EQ(parsed.ErrorPos, 0);
    const ExtendedBits expected =
        c.Infinity ? ExtendedBits::Make(c.Negative, 0x7FFF, ExtendedBits::IntegerBit)
                   : ExtendedBits::Make(c.Negative, 0, 0);
    EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Exponents, ParseRealSaturationTest,
    ::testing::Values(
        SpecialCase{"1e5120", true, false}, SpecialCase{"0e5120", true, false},
        SpecialCase{"-1e5120", true, true}, SpecialCase{"1e-5120", false, false},
        SpecialCase{"-1e-5120", false, true}, SpecialCase{"0.1e5121", true, false},
        SpecialCase{"1e2147483647", true, false},
        // Exponents beyond 32 bits saturate rather than wrap around:
        // wrapped, these would read as 0, 0.1, 1 and 1e-4 or so.
        SpecialCase{"1e2147483648", true, false}, SpecialCase{"1e4294967295", true, false},
        SpecialCase{"1e4294967296", true, false}, SpecialCase{"1e4294967297", true, false},
        SpecialCase{"1e99999999999999999999", true, false},
        SpecialCase{"-1e99999999999999999999", true, true},
        SpecialCase{"1e-4294967296", false, false}, SpecialCase{"1e-4294967297", false, false},
        SpecialCase{"1e-99999999999999999999", false, false},
        SpecialCase{"-1e-99999999999999999999", false, true},
        SpecialCase{"1e000000000000000000000000000000000000000005120", true, false}));

struct RejectCase {
    const char* Text;
    std::int32_t ErrorPos;
    friend void PrintTo(const RejectCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }
};

class ParseRealRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(ParseRealRejectTest, StopsAtTheOffendingByte) {
    EXPECT_EQ(textio::ParseReal(GetParam().Text).ErrorPos, GetParam().ErrorPos);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseRealRejectTest,
    ::testing::Values(RejectCase{"", 1}, RejectCase{"-", 2}, RejectCase{"+", 2},
                      RejectCase{"1e", 3}, RejectCase{"1e+", 4}, RejectCase{"1,5", 2},
                      RejectCase{"1.2.3", 4}, RejectCase{"1e5x", 4}, RejectCase{"1e5.", 4},
                      RejectCase{"e", 2}, RejectCase{"--1", 2}, RejectCase{"1 ", 2},
                      RejectCase{"\t1", 1}, RejectCase{"1.5\xB0", 4}, RejectCase{"\xFF", 1},
                      RejectCase{"1e99999999999999999999x", 23}, RejectCase{"1d5", 2}));

TEST(ParseRealRejected, ValueIsTheUnscaledUnsignedAccumulation) {
    const textio::TRealParse parsed = textio::ParseReal("-1.25e");
    EXPECT_EQ(parsed.ErrorPos, 7);
    EXPECT_EQ(parsed.Value, foundation::Extended(125.0));
}

// Up to 19 digits (below 2^64, exact) scaled by at most 10^27 (an exact
// table entry) the result is rounded once, so it must be the correctly
// rounded value, the nearest to the exact decimal.
TEST(ParseRealRandom, ShortTokensAgreeWithCorrectRounding) {
    std::mt19937_64 random(4711);
    std::uniform_int_distribution<int> lengthOf(1, 19);
    std::uniform_int_distribution<int> digitOf(0, 9);
    std::uniform_int_distribution<int> pointOf(0, 19);
    std::uniform_int_distribution<int> exponentOf(-20, 20);
    for (int i = 0; i < 5000; ++i) {
        std::string digits;
        const int length = lengthOf(random);
        for (int d = 0; d < length; ++d) {
            digits += static_cast<char>('0' + digitOf(random));
        }
        const int point = std::min(pointOf(random), length);
        const int exponent = exponentOf(random);
        std::string text = digits.substr(0, static_cast<std::size_t>(point)) + "." +
                           digits.substr(static_cast<std::size_t>(point));
        text += "e" + std::to_string(exponent);
        const int scale = exponent - (length - point);
        if (scale < -27 || scale > 27) {
            continue;
        }
        const ExtendedBits got = BitsOf(textio::ParseReal(text.c_str()).Value);
        ASSERT_EQ(got, numin::NearestDecimal(digits, scale).Bits()) << text;
        ASSERT_EQ(got, numin::DecimalModel(digits, scale, false).Bits()) << text;
    }
}

// Long tokens and large exponents round at several steps; the model
// follows the same steps with exact arithmetic.
TEST(ParseRealRandom, LongTokensMatchTheStepwiseModel) {
    std::mt19937_64 random(1234);
    std::uniform_int_distribution<int> lengthOf(1, 40);
    std::uniform_int_distribution<int> digitOf(0, 9);
    std::uniform_int_distribution<int> exponentOf(-4900, 4880);
    for (int i = 0; i < 2000; ++i) {
        std::string digits;
        const int length = lengthOf(random);
        for (int d = 0; d < length; ++d) {
            digits += static_cast<char>('0' + digitOf(random));
        }
        const int exponent = exponentOf(random);
        const std::string text = "-" + digits + "e" + std::to_string(exponent);
        const numin::Exact expected = numin::DecimalModel(digits, exponent, true);
        ASSERT_FALSE(expected.Overflow);
        ASSERT_EQ(BitsOf(textio::ParseReal(text.c_str()).Value), expected.Bits()) << text;
    }
}

using ParseRealDeathTest = testsupport::TrappingFpuTest;

TEST_F(ParseRealDeathTest, ValueBeyondTheExtendedRangeFaults) {
    for (const char* text : {"1e4999", "1e4933", "1.5e5120", "-1e4933"}) {
        EXPECT_EXIT(testsupport::ExitWithFault([text] { (void)textio::ParseReal(text); }),
                    ::testing::ExitedWithCode(testsupport::FaultedExitCode),
                    testsupport::FaultText(foundation::FaultFloatOverflow))
            << text;
    }
}

} // namespace
