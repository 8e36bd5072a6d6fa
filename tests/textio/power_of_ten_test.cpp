#include "textio/power_of_ten.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <limits>
#include <random>

#include "foundation/extended_bits.h"
#include "support/fpu_fixture.h"
#include "textio/numin_exact.h"

namespace {

using foundation::ExtendedBits;
using numin::Exact;
using numin::ExactPower;

TEST(PowersOfTenTables, EveryEntryIsTheNearestExtendedValue) {
    for (int k = 0; k < 32; ++k) {
        EXPECT_EQ(ExtendedBits::Of(textio::PowersOfTenLow[k]), ExactPower(k).Bits()) << "10^" << k;
    }
    for (int j = 1; j <= 15; ++j) {
        EXPECT_EQ(ExtendedBits::Of(textio::PowersOfTenMid[j - 1]), ExactPower(32 * j).Bits())
            << "10^" << 32 * j;
    }
    for (int m = 1; m <= 9; ++m) {
        EXPECT_EQ(ExtendedBits::Of(textio::PowersOfTenHigh[m - 1]), ExactPower(512 * m).Bits())
            << "10^" << 512 * m;
    }
}

TEST(PowersOfTenTables, RoundingOfTheFirstInexactEntries) {
    // 10^27 = 5^27 * 2^27 and 5^27 < 2^63, so it is exact; 10^28 needs 66
    // significant bits of 5^28 and is the first entry that rounds.
    EXPECT_EQ(textio::PowersOfTenLow[27], 1e27L);
    EXPECT_EQ(ExtendedBits::Of(textio::PowersOfTenLow[27]),
              ExtendedBits::Make(false, 0x4058, 0xCECB8F27F4200F3AULL));
    // 5^28 = 0x813F3978F8940984 * 4 + 1: the dropped bits are below one half.
    EXPECT_EQ(ExtendedBits::Of(textio::PowersOfTenLow[28]),
              ExtendedBits::Make(false, 0x405C, 0x813F3978F8940984ULL));
}

Exact ModelScale(long double value, int n) {
    return numin::ScaleModel(numin::FromBits(ExtendedBits::Of(value)), n);
}

using ScaleTest = testsupport::TrappingFpuTest;

TEST_F(ScaleTest, MatchesExactModelAtTableBoundaries) {
    const long double values[] = {
        1.0L, 3.0L, 0.1L, 123456789.123456789L, 1e-300L, -7.25L, 18446744073709551615.0L};
    const int exponents[] = {1,   27,  28,   31,   32,   33,   63,   64,   480,  511, 512,
                             513, 544, 1023, 1024, 4095, 4096, 4607, 4608, 4900, 5119};
    for (long double v : values) {
        for (int n : exponents) {
            for (int sign : {1, -1}) {
                const Exact expected = ModelScale(v, sign * n);
                if (expected.Overflow) {
                    continue;
                }
                EXPECT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(v, sign * n)), expected.Bits())
                    << "v=" << v << " n=" << sign * n;
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
        const long double v = ExtendedBits::Make(false, biased, significand).Value();
        const int n = exponentOf(random);
        const Exact expected = ModelScale(v, n);
        if (expected.Overflow) {
            continue;
        }
        ++compared;
        ASSERT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(v, n)), expected.Bits())
            << "v=" << v << " n=" << n;
    }
    EXPECT_GT(compared, 2000);
}

TEST_F(ScaleTest, ZeroExponentReturnsTheValueUnchanged) {
    const long double negativeZero = -0.0L;
    EXPECT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(negativeZero, 0)),
              ExtendedBits::Of(negativeZero));
    EXPECT_EQ(textio::ScaleByPowerOfTen(2.5L, 0), 2.5L);
}

TEST_F(ScaleTest, SaturatesFromTheLimitWhateverTheValue) {
    const ExtendedBits plusInfinity =
        ExtendedBits::Of(std::numeric_limits<long double>::infinity());
    const ExtendedBits plusZero = ExtendedBits::Of(0.0L);
    const std::int32_t large[] = {textio::ScaleLimit, 5121, 100000,
                                  std::numeric_limits<std::int32_t>::max()};
    for (long double v : {0.0L, -0.0L, 1.0L, -1.0L, 1e-4000L}) {
        for (std::int32_t n : large) {
            EXPECT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(v, n)), plusInfinity)
                << v << " " << n;
            EXPECT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(v, n == 5121 ? -5120 : -n)),
                      plusZero)
                << v << " " << -n;
        }
        EXPECT_EQ(ExtendedBits::Of(
                      textio::ScaleByPowerOfTen(v, std::numeric_limits<std::int32_t>::min())),
                  plusZero);
    }
}

TEST_F(ScaleTest, TinyResultsBecomeDenormalOrZeroWithoutFault) {
    const Exact denormal = ModelScale(1.0L, -4940);
    EXPECT_EQ(denormal.Bits().Exponent(), 0);
    EXPECT_NE(denormal.Significand, 0u);
    EXPECT_EQ(ExtendedBits::Of(textio::ScaleByPowerOfTen(1.0L, -4940)), denormal.Bits());
    EXPECT_TRUE(ExtendedBits::Of(textio::ScaleByPowerOfTen(1.0L, -5000)).IsZero());
}

TEST_F(ScaleTest, LargestPowerInRangeIsFinite) {
    // 10^4932 < 1.19 * 10^4932, the largest finite extended value.
    const long double v = textio::ScaleByPowerOfTen(1.0L, 4932);
    EXPECT_EQ(ExtendedBits::Of(v), ModelScale(1.0L, 4932).Bits());
    EXPECT_FALSE(ExtendedBits::Of(v).IsSpecial());
}

using ScaleDeathTest = testsupport::TrappingFpuTest;

TEST_F(ScaleDeathTest, ProductBeyondTheRangeFaults) {
    EXPECT_EXIT(
        {
            volatile long double result = textio::ScaleByPowerOfTen(1.0L, 4933);
            (void)result;
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGFPE), "");
}

} // namespace
