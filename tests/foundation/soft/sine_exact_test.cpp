// SPDX-License-Identifier: MIT
// The software sine against the exact sine under the x87's reduction
// (sine_reference.h): every argument of every band, near the multiples of
// pi/2 and tiny, gives the exact sine's bits. The same arguments as the
// comparison with FSIN, which also keeps the reference within a last place
// of FSIN's result.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "foundation/soft/sine_arguments.h"
#include "foundation/soft/sine_reference.h"
#include "foundation/soft/soft_arith.h"
#include "foundation/soft/soft_test_fixture.h"

namespace {

using foundation::ExtendedBits;
using namespace softtest;

constexpr int ShownMismatches = 5;

struct TMismatches {
    int Software = 0; // the software sine differs from the exact one
    int Fsin = 0;     // the exact sine lies more than a last place from FSIN
};

template <class TDraw> TMismatches CountMismatches(const char* name, int count, TDraw draw) {
    TMismatches mismatches;
    for (int i = 0; i < count; ++i) {
        const ExtendedBits x = draw();
        unsigned flags = 0;
        const ExtendedBits software = foundation::soft::Sine(x, flags);
        const ExtendedBits exact = ExactSine(x);
        bool outOfRange = false;
        mismatches.Fsin += UlpDistance(X87Sine(x, outOfRange).Bits, exact) > 1 ? 1 : 0;
        if (flags == 0 && software == exact) {
            continue;
        }
        if (++mismatches.Software <= ShownMismatches) {
            std::printf("%s: sine of %04X:%016llX is %04X:%016llX, exactly %04X:%016llX\n", name,
                        x.SignExponent, static_cast<unsigned long long>(x.Significand),
                        software.SignExponent,
                        static_cast<unsigned long long>(software.Significand), exact.SignExponent,
                        static_cast<unsigned long long>(exact.Significand));
        }
    }
    std::printf("%-24s %d arguments, %d differ from the exact sine\n", name, count,
                mismatches.Software);
    return mismatches;
}

void Check(const char* name, const TMismatches& mismatches) {
    EXPECT_EQ(mismatches.Software, 0) << name;
    EXPECT_EQ(mismatches.Fsin, 0) << name;
}

class SoftSineExactTest : public MaskedFpuTest {};

TEST_F(SoftSineExactTest, EqualsTheExactSinePerBand) {
    TRandomBits random(BandSeed);
    for (const TBand& band : Bands) {
        Check(band.Name, CountMismatches(band.Name, ArgumentsPerBand,
                                         [&] { return DrawArgument(random, band); }));
    }
}

TEST_F(SoftSineExactTest, EqualsTheExactSineNearMultiplesOfHalfPi) {
    TRandomBits random(NearHalfPiSeed);
    Check("near k pi/2", CountMismatches("near k pi/2", NearHalfPiCount,
                                         [&] { return NearMultipleOfHalfPi(random); }));
}

TEST_F(SoftSineExactTest, EqualsTheExactSineOnTinyArguments) {
    TRandomBits random(TinySeed);
    Check("2^-70 to 2^-20",
          CountMismatches("2^-70 to 2^-20", TinyCount, [&] { return DrawTiny(random); }));
}

} // namespace
