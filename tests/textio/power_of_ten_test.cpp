// SPDX-License-Identifier: MIT
#include "textio/power_of_ten.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

#include "foundation/extended.h"
#include "support/fpu_fixture.h"
#include "textio/numin_exact.h"

namespace {

using foundation::BitsOf;
using foundation::Extended;
using foundation::ExtendedBits;
using foundation::ExtendedFromBits;
using numin::Exact;
using numin::ExactPower;
using numin::NearestDecimal;

TEST(PowersOfTenTables, EveryEntryIsTheNearestExtendedValue) {
    for (int k = 0; k < 32; ++k) {
        EXPECT_EQ(BitsOf(textio::PowersOfTenLow[k]), ExactPower(k).Bits()) << "10^" << k;
    }
    for (int j = 1; j <= 15; ++j) {
        EXPECT_EQ(BitsOf(textio::PowersOfTenMid[j - 1]), ExactPower(32 * j).Bits())
            << "10^" << 32 * j;
    }
    for (int m = 1; m <= 9; ++m) {
        EXPECT_EQ(BitsOf(textio::PowersOfTenHigh[m - 1]), ExactPower(512 * m).Bits())
            << "10^" << 512 * m;
    }
}

TEST(PowersOfTenTables, RoundingOfTheFirstInexactEntries) {
    // 10^27 = 5^27 * 2^27 and 5^27 < 2^63, so it is exact; 10^28 needs 66
    // significant bits of 5^28 and is the first entry that rounds.
    constexpr std::int64_t FivePower27 = 7450580596923828125;
    EXPECT_EQ(textio::PowersOfTenLow[27], Extended(FivePower27) * Extended(0x1p27));
    EXPECT_EQ(BitsOf(textio::PowersOfTenLow[27]),
              ExtendedBits::Make(false, 0x4058, 0xCECB8F27F4200F3AULL));
    // 5^28 = 0x813F3978F8940984 * 4 + 1: the dropped bits are below one half.
    EXPECT_EQ(BitsOf(textio::PowersOfTenLow[28]),
              ExtendedBits::Make(false, 0x405C, 0x813F3978F8940984ULL));
}

Exact ModelScale(Extended value, int n) {
    return numin::ScaleModel(numin::FromBits(BitsOf(value)), n);
}

// The value the exact model stands for.
Extended ValueOf(const Exact& exact) {
    return ExtendedFromBits(exact.Bits());
}

using ScaleTest = testsupport::TrappingFpuTest;

TEST_F(ScaleTest, MatchesExactModelAtTableBoundaries) {
    const Extended values[] = {Extended(1.0),
                               Extended(3.0),
                               ValueOf(NearestDecimal("1", -1)),
                               ValueOf(NearestDecimal("123456789123456789", -9)),
                               ValueOf(NearestDecimal("1", -300)),
                               Extended(-7.25),
                               ValueOf(NearestDecimal("18446744073709551615", 0))};
    const int exponents[] = {1,   27,  28,   31,   32,   33,   63,   64,   480,  511, 512,
                             513, 544, 1023, 1024, 4095, 4096, 4607, 4608, 4900, 5119};
    for (const Extended v : values) {
        for (int n : exponents) {
            for (int sign : {1, -1}) {
                const Exact expected = ModelScale(v, sign * n);
                if (expected.Overflow) {
                    continue;
                }
                EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(v, sign * n)), expected.Bits())
                    << "v=" << testing::PrintToString(BitsOf(v)) << " n=" << sign * n;
            }
        }
    }
}

TEST_F(ScaleTest, MatchesExactModelForRandomOperands) {
    std::mt19937_64 random(20240607);
    std::uniform_int_distribution<int> exponentOf(-5119, 5119);
    std::uniform_int_distribution<int> biasedOf(0x3FFF - 200, 0x3FFF + 200);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::uint64_t significand = random() | ExtendedBits::IntegerBit;
        const auto biased = static_cast<std::uint16_t>(biasedOf(random));
        const Extended v = foundation::MakeExtended(false, biased, significand);
        const int n = exponentOf(random);
        const Exact expected = ModelScale(v, n);
        if (expected.Overflow) {
            continue;
        }
        ++compared;
        ASSERT_EQ(BitsOf(textio::ScaleByPowerOfTen(v, n)), expected.Bits())
            << "v=" << testing::PrintToString(BitsOf(v)) << " n=" << n;
    }
    EXPECT_GT(compared, 2000);
}

TEST_F(ScaleTest, ZeroExponentReturnsTheValueUnchanged) {
    const Extended negativeZero = Extended(-0.0);
    EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(negativeZero, 0)), BitsOf(negativeZero));
    EXPECT_EQ(textio::ScaleByPowerOfTen(Extended(2.5), 0), Extended(2.5));
}

TEST_F(ScaleTest, SaturatesFromTheLimitWhateverTheValue) {
    const ExtendedBits plusInfinity = BitsOf(foundation::Infinity());
    const ExtendedBits plusZero = BitsOf(Extended(0.0));
    const std::int32_t large[] = {textio::ScaleLimit, 5121, 100000,
                                  std::numeric_limits<std::int32_t>::max()};
    for (const Extended v : {Extended(0.0), Extended(-0.0), Extended(1.0), Extended(-1.0),
                             ValueOf(NearestDecimal("1", -4000))}) {
        for (std::int32_t n : large) {
            EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(v, n)), plusInfinity)
                << testing::PrintToString(BitsOf(v)) << " " << n;
            EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(v, n == 5121 ? -5120 : -n)), plusZero)
                << testing::PrintToString(BitsOf(v)) << " " << -n;
        }
        EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(v, std::numeric_limits<std::int32_t>::min())),
                  plusZero);
    }
}

TEST_F(ScaleTest, TinyResultsBecomeDenormalOrZeroWithoutFault) {
    const Exact denormal = ModelScale(Extended(1.0), -4940);
    EXPECT_EQ(denormal.Bits().Exponent(), 0);
    EXPECT_NE(denormal.Significand, 0u);
    EXPECT_EQ(BitsOf(textio::ScaleByPowerOfTen(Extended(1.0), -4940)), denormal.Bits());
    EXPECT_TRUE(BitsOf(textio::ScaleByPowerOfTen(Extended(1.0), -5000)).IsZero());
}

TEST_F(ScaleTest, LargestPowerInRangeIsFinite) {
    // 10^4932 < 1.19 * 10^4932, the largest finite extended value.
    const Extended v = textio::ScaleByPowerOfTen(Extended(1.0), 4932);
    EXPECT_EQ(BitsOf(v), ModelScale(Extended(1.0), 4932).Bits());
    EXPECT_FALSE(BitsOf(v).IsSpecial());
}

using ScaleDeathTest = testsupport::TrappingFpuTest;

TEST_F(ScaleDeathTest, ProductBeyondTheRangeFaults) {
    EXPECT_EXIT(
        testsupport::ExitWithFault([] { (void)textio::ScaleByPowerOfTen(Extended(1.0), 4933); }),
        ::testing::ExitedWithCode(testsupport::FaultedExitCode),
        testsupport::FaultText(foundation::FaultFloatOverflow));
}

} // namespace
