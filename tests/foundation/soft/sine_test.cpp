// The software sine against FSIN: per band of argument magnitude, the share
// of identical results and the largest distance in last places; then the
// arguments FSIN treats specially.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "foundation/soft/soft_arith.h"
#include "foundation/soft/soft_test_fixture.h"

namespace {

using foundation::ExtendedBits;
using namespace softtest;
namespace soft = foundation::soft;

constexpr int Bias = ExtendedBits::ExponentBias;
constexpr std::uint64_t Top = ExtendedBits::IntegerBit;
constexpr std::uint64_t QuietNanBit = ExtendedBits::QuietBit;

// Position of a finite value on the number line, in last places: adjacent
// values differ by one, across binades and through zero.
__int128 Ordinal(ExtendedBits x) {
    const std::uint64_t fraction = x.Significand & ~Top;
    // Normal values count the integer bit in the exponent; denormals (and
    // pseudo-denormals, equal to the normals of exponent 1) count it too.
    const __int128 exponent = x.Exponent() == 0 ? (x.Significand & Top ? 1 : 0) : x.Exponent();
    const __int128 magnitude = (exponent << 63) + fraction;
    return x.Negative() ? -magnitude : magnitude;
}

__int128 UlpDistance(ExtendedBits a, ExtendedBits b) {
    const __int128 difference = Ordinal(a) - Ordinal(b);
    return difference < 0 ? -difference : difference;
}

struct TBand {
    const char* Name;
    long double Low;
    long double High;
};

constexpr TBand Bands[] = {
    {"[0.001, 0.78]", 0.001L, 0.78L}, {"[0.78, 4]", 0.78L, 4.0L},
    {"[4, 100]", 4.0L, 100.0L},       {"[100, 1e6]", 100.0L, 1e6L},
    {"[1e6, 1e12]", 1e6L, 1e12L},     {"[1e12, 9.2e18]", 1e12L, 9.2e18L},
};
constexpr int ArgumentsPerBand = 1000000 / 6;
constexpr double RequiredAgreement = 0.985;

// Spread over the band by the logarithm, with a random 64-bit significand,
// and either sign.
ExtendedBits DrawArgument(TRandomBits& random, const TBand& band) {
    long double x;
    do {
        const long double logLow = std::log(band.Low);
        const long double logHigh = std::log(band.High);
        x = std::exp(logLow + static_cast<long double>(random.Unit()) * (logHigh - logLow));
        ExtendedBits bits = LongDoubleBits(x);
        bits.Significand = Top | random.Next();
        x = LongDoubleOf(bits);
    } while (x < band.Low || x > band.High);
    ExtendedBits bits = LongDoubleBits(x);
    return random.Coin() ? soft::Negate(bits) : bits;
}

struct TAgreement {
    int Identical = 0;
    __int128 Worst = 0;
};

// The software sine and FSIN on count arguments from draw(): none may be out
// of range or raise a flag.
template <class TDraw> TAgreement MeasureAgainstFsin(int count, TDraw draw) {
    TAgreement agreement;
    for (int i = 0; i < count; ++i) {
        const ExtendedBits x = draw();
        bool outOfRange = false;
        const TX87Result x87 = X87Sine(x, outOfRange);
        unsigned flags = 0;
        const ExtendedBits software = soft::Sine(x, flags);
        EXPECT_FALSE(outOfRange);
        EXPECT_EQ(x87.Flags | flags, 0u);
        const __int128 distance = UlpDistance(x87.Bits, software);
        agreement.Identical += distance == 0 ? 1 : 0;
        agreement.Worst = distance > agreement.Worst ? distance : agreement.Worst;
    }
    return agreement;
}

void ReportAndCheck(const char* name, int count, const TAgreement& agreement) {
    const double share = static_cast<double>(agreement.Identical) / count;
    std::printf("%-24s %d arguments, %d identical (%.3f%%), at most %lld ulp apart\n", name, count,
                agreement.Identical, 100.0 * share, static_cast<long long>(agreement.Worst));
    EXPECT_GE(share, RequiredAgreement) << name;
    EXPECT_LE(agreement.Worst, 1) << name;
}

// The extended value nearest to k * pi/2 (pi as the unit has it), moved by
// a few last places: the remainder cancels down to a few bits.
ExtendedBits NearMultipleOfHalfPi(TRandomBits& random) {
    using TUint128 = unsigned __int128;
    constexpr TUint128 HalfPiUnits = (TUint128{0x3} << 64) | 0x243F6A8885A308D3ULL; // of 2^-65
    const std::uint64_t k = (random.Next() >> random.Range(2, 63)) | 1;
    const TUint128 units = k * HalfPiUnits;
    // k is odd, so units is not 0 and has at most 127 leading zeros.
    const auto high = static_cast<std::uint64_t>(units >> 64);
    const int zeros = high != 0 ? std::countl_zero(high)
                                : 64 + std::countl_zero(static_cast<std::uint64_t>(units));
    const TUint128 aligned = units
                             << zeros; // NOLINT(clang-analyzer-core.UndefinedBinaryOperatorResult)
    std::uint64_t significand = static_cast<std::uint64_t>(aligned >> 64);
    significand += static_cast<std::uint64_t>(aligned) >> 63; // nearest
    significand += static_cast<std::uint64_t>(random.Range(-2, 2));
    const int exponent = Bias + 62 - zeros;
    return ExtendedBits::Make(random.Coin(), static_cast<std::uint16_t>(exponent),
                              significand | Top);
}

class SoftSineTest : public MaskedFpuTest {};

TEST_F(SoftSineTest, MatchesFsinPerBand) {
    TRandomBits random(0x5EED0002);
    for (const TBand& band : Bands) {
        const TAgreement agreement =
            MeasureAgainstFsin(ArgumentsPerBand, [&] { return DrawArgument(random, band); });
        ReportAndCheck(band.Name, ArgumentsPerBand, agreement);
    }
}

TEST_F(SoftSineTest, MatchesFsinNearMultiplesOfHalfPi) {
    TRandomBits random(0x5EED0003);
    constexpr int Count = 100000;
    ReportAndCheck("near k pi/2", Count,
                   MeasureAgainstFsin(Count, [&] { return NearMultipleOfHalfPi(random); }));
}

TEST_F(SoftSineTest, MatchesFsinOnTinyArguments) {
    TRandomBits random(0x5EED0004);
    constexpr int Count = 100000;
    // From 2^-70 to 2^-20: sin x is x below 2^-32, and just above it.
    const TAgreement agreement = MeasureAgainstFsin(Count, [&] {
        return ExtendedBits::Make(random.Coin(),
                                  static_cast<std::uint16_t>(Bias + random.Range(-70, -20)),
                                  Top | random.Next());
    });
    ReportAndCheck("2^-70 to 2^-20", Count, agreement);
}

struct TSpecialArgument {
    const char* Name;
    ExtendedBits X;
    unsigned Flags;
    bool OutOfRange; // FSIN leaves the operand; the program uses +0
};

constexpr std::uint64_t Ones = ~0ULL;

const TSpecialArgument SpecialArguments[] = {
    {"plus zero", ExtendedBits::Make(false, 0, 0), 0, false},
    {"minus zero keeps its sign", ExtendedBits::Make(true, 0, 0), 0, false},
    {"smallest denormal", ExtendedBits::Make(false, 0, 1), 0, false},
    {"largest negative denormal", ExtendedBits::Make(true, 0, Ones >> 1), 0, false},
    {"pseudo-denormal", ExtendedBits::Make(false, 0, Top | 3), 0, false},
    {"2^-33", ExtendedBits::Make(true, Bias - 33, Top | 0x1234), 0, false},
    {"just below 2^63", ExtendedBits::Make(false, Bias + 62, Ones), 0, false},
    {"minus just below 2^63", ExtendedBits::Make(true, Bias + 62, Ones - 1), 0, false},
    {"2^63", ExtendedBits::Make(false, Bias + 63, Top), 0, true},
    {"-2^63", ExtendedBits::Make(true, Bias + 63, Top), 0, true},
    {"2^63 and a place", ExtendedBits::Make(false, Bias + 63, Top | 1), 0, true},
    {"largest finite", ExtendedBits::Make(true, 0x7FFE, Ones), 0, true},
    {"infinity", ExtendedBits::Make(false, 0x7FFF, Top), soft::FlagInvalid, false},
    {"minus infinity", ExtendedBits::Make(true, 0x7FFF, Top), soft::FlagInvalid, false},
    {"signalling NaN", ExtendedBits::Make(false, 0x7FFF, Top | 5), soft::FlagInvalid, false},
    {"quiet NaN propagates", ExtendedBits::Make(true, 0x7FFF, 0xC000000000000005), 0, false},
    {"unnormal", ExtendedBits::Make(false, Bias, Top >> 1), soft::FlagInvalid, false},
    {"pseudo-NaN", ExtendedBits::Make(false, 0x7FFF, QuietNanBit), soft::FlagInvalid, false},
};

TEST_F(SoftSineTest, SpecialArgumentsAsFsin) {
    for (const TSpecialArgument& special : SpecialArguments) {
        bool outOfRange = false;
        const TX87Result x87 = X87Sine(special.X, outOfRange);
        unsigned flags = 0;
        const ExtendedBits software = soft::Sine(special.X, flags);
        EXPECT_EQ(outOfRange, special.OutOfRange) << special.Name;
        EXPECT_EQ(x87.Flags, special.Flags) << special.Name;
        EXPECT_EQ(flags, special.Flags) << special.Name;
        const ExtendedBits expected = outOfRange ? ExtendedBits::Make(false, 0, 0) : x87.Bits;
        if (flags == 0) {
            EXPECT_EQ(software, expected) << special.Name;
        }
    }
}

} // namespace
