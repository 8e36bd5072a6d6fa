// SPDX-License-Identifier: MIT
// The x87 unit itself: its control and status words, its store, sine and
// integer rounding, its traps, and the extended format as it holds it.
// Built with the x87 backend only, where Extended is the unit's long double.
#include <array>
#include <csignal>
#include <limits>

#include <gtest/gtest.h>

#include "foundation/extended.h"
#include "support/exact_rounding.h"
#include "support/fpu_fixture.h"

namespace {

using foundation::BitsOf;
using foundation::ExtendedBits;
using foundation::ProgramControlWord;
using testsupport::DoubleBits;
using testsupport::OpaqueExtended;

class X87Test : public testsupport::TrappingFpuTest {};

std::uint16_t DefinedControlBits() {
    return foundation::ReadControlWord() & ~foundation::ControlWordReservedBits;
}

TEST_F(X87Test, ControlWordReadsBackAfterLoad) {
    EXPECT_EQ(DefinedControlBits(), ProgramControlWord);
    foundation::ResetArithmetic(testsupport::PlatformDefaultControlWord);
    EXPECT_EQ(DefinedControlBits(), 0x033F);
    foundation::ResetArithmetic(ProgramControlWord);
    EXPECT_EQ(DefinedControlBits(), ProgramControlWord);
}

TEST_F(X87Test, LoadingTheControlWordClearsPendingFlags) {
    // An inexact result is masked but still sets its flag (bit 5).
    (void)foundation::StoreDouble(OpaqueExtended(1.0L) / 3.0L);
    EXPECT_NE(foundation::ReadStatusWord() & 0x20, 0);
    foundation::ResetArithmetic(ProgramControlWord);
    EXPECT_EQ(foundation::ReadStatusWord() & 0x3F, 0);
}

TEST_F(X87Test, StoreRoundsToNearestEven) {
    // 1 + 2^-53 is halfway between two doubles: ties go to the even one.
    EXPECT_EQ(foundation::StoreDouble(OpaqueExtended(1.0L) + 0x1p-53L), 1.0);
    // 1 + 3 * 2^-53 is halfway too, and rounds up to the even 1 + 2^-51.
    EXPECT_EQ(foundation::StoreDouble(OpaqueExtended(1.0L) + 0x3p-53L), 1.0 + 0x1p-51);
}

TEST_F(X87Test, TinyValuesStoreWithoutFault) {
    EXPECT_EQ(DoubleBits(foundation::StoreDouble(OpaqueExtended(1e-400L))), 0u);
    EXPECT_EQ(DoubleBits(foundation::StoreDouble(-OpaqueExtended(1e-400L))), 0x8000000000000000u);
    // The smallest subnormal double survives the store.
    EXPECT_EQ(foundation::StoreDouble(OpaqueExtended(0x1p-1074L)), 0x1p-1074);
}

TEST_F(X87Test, InfinityStoresWithoutFault) {
    const long double infinity = OpaqueExtended(std::numeric_limits<long double>::infinity());
    EXPECT_EQ(foundation::StoreDouble(infinity), std::numeric_limits<double>::infinity());
    EXPECT_EQ(foundation::StoreDouble(-infinity), -std::numeric_limits<double>::infinity());
}

TEST_F(X87Test, SineOfSmallArguments) {
    EXPECT_EQ(foundation::ExtendedSine(OpaqueExtended(0.0L)), 0.0L);
    // sin(x) = x to within the 64-bit significand for tiny x.
    EXPECT_EQ(foundation::ExtendedSine(OpaqueExtended(0x1p-40L)), 0x1p-40L);
    const long double half =
        foundation::ExtendedSine(OpaqueExtended(0.52359877559829887307710723054658L));
    EXPECT_NEAR(static_cast<double>(half), 0.5, 1e-18);
}

TEST_F(X87Test, SineOutOfRangeGivesPositiveZero) {
    for (long double x : {0x1p63L, -0x1p63L, 0x1p100L, 9.42e18L, -1e4000L}) {
        const ExtendedBits bits = BitsOf(foundation::ExtendedSine(OpaqueExtended(x)));
        EXPECT_TRUE(bits.IsZero()) << static_cast<double>(x);
        EXPECT_FALSE(bits.Negative()) << static_cast<double>(x);
    }
    // Just below 2^63 the instruction still computes.
    const long double below = 0x1p63L - 1.0L;
    EXPECT_FALSE(BitsOf(foundation::ExtendedSine(OpaqueExtended(below))).IsZero());
}

TEST_F(X87Test, RoundToInt64TiesToEven) {
    EXPECT_EQ(foundation::RoundToInt64(OpaqueExtended(2.5L)), 2);
    EXPECT_EQ(foundation::RoundToInt64(OpaqueExtended(3.5L)), 4);
    EXPECT_EQ(foundation::RoundToInt64(OpaqueExtended(-2.5L)), -2);
    EXPECT_EQ(foundation::RoundToInt64(OpaqueExtended(1999999999999999999.0L)),
              1999999999999999999);
}

// Each fault case runs in a child, which inherits the trapping control word.
using X87DeathTest = X87Test;

TEST_F(X87DeathTest, TrappedFaultsKillWithSigfpe) {
    struct Case {
        const char* name;
        void (*operation)();
    };
    static const Case cases[] = {
        {"overflowing store", [] { (void)foundation::StoreDouble(OpaqueExtended(1e400L)); }},
        {"zero times infinity",
         [] {
             (void)foundation::StoreDouble(OpaqueExtended(0.0L) * OpaqueExtended(__builtin_infl()));
         }},
        {"infinity minus infinity",
         [] {
             (void)foundation::StoreDouble(OpaqueExtended(__builtin_infl()) -
                                           OpaqueExtended(__builtin_infl()));
         }},
        {"sine of infinity",
         [] { (void)foundation::ExtendedSine(OpaqueExtended(__builtin_infl())); }},
        {"division by zero",
         [] { (void)foundation::StoreDouble(OpaqueExtended(1.0L) / OpaqueExtended(0.0L)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(c.operation(), ::testing::KilledBySignal(SIGFPE), "");
    }
}

TEST(ExtendedBitsTest, FieldsOfKnownValues) {
    struct Case {
        long double value;
        bool negative;
        std::uint16_t exponent;
        std::uint64_t significand;
    };
    const Case cases[] = {
        {1.0L, false, 0x3FFF, 0x8000000000000000u},
        {-2.0L, true, 0x4000, 0x8000000000000000u},
        {0.0L, false, 0, 0},
        {-0.0L, true, 0, 0},
        {__builtin_infl(), false, 0x7FFF, 0x8000000000000000u},
        {0x1p-16445L, false, 0, 1}, // smallest denormal
    };
    for (const Case& c : cases) {
        const ExtendedBits bits = BitsOf(OpaqueExtended(c.value));
        EXPECT_EQ(bits.Negative(), c.negative);
        EXPECT_EQ(bits.Exponent(), c.exponent);
        EXPECT_EQ(bits.Significand, c.significand);
        EXPECT_EQ(ExtendedBits::Make(c.negative, c.exponent, c.significand), bits);
    }
    EXPECT_TRUE(BitsOf(__builtin_nanl("")).IsNan());
    EXPECT_TRUE(BitsOf(-__builtin_infl()).IsInfinity());
}

// pi/200 from the exact reference: the significand's eight bytes, then the
// exponent's two, little-endian.
TEST(ExtendedBitsTest, BytesRoundTrip) {
    const testsupport::TExact grads = testsupport::GradsToRadiansExact();
    const std::uint64_t significand = grads.Magnitude.BitsFrom(0);
    const auto exponent =
        static_cast<std::uint16_t>(grads.Exponent + 63 + ExtendedBits::ExponentBias);
    std::array<std::uint8_t, 10> bytes;
    for (int k = 0; k < 10; ++k) {
        bytes[k] =
            static_cast<std::uint8_t>(k < 8 ? significand >> (8 * k) : exponent >> (8 * (k - 8)));
    }
    const long double value = foundation::ExtendedFromBits(ExtendedBits::FromBytes(bytes.data()));
    std::array<std::uint8_t, 10> back{};
    BitsOf(value).ToBytes(back.data());
    EXPECT_EQ(back, bytes);
    const ExtendedBits bits = BitsOf(value);
    EXPECT_EQ(bits.Exponent(), exponent);
    EXPECT_EQ(bits.Significand, significand);
}

} // namespace
