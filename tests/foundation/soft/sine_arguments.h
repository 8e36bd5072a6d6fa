// SPDX-License-Identifier: MIT
// The arguments the sine tests draw: per band of magnitude, near the
// multiples of pi/2, and tiny ones, each from its own seeded source.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "foundation/extended_bits.h"
#include "foundation/soft/soft_arith.h"
#include "foundation/soft/soft_test_fixture.h"

namespace softtest {

struct TBand {
    const char* Name;
    long double Low;
    long double High;
};

inline constexpr TBand Bands[] = {
    {"[0.001, 0.78]", 0.001L, 0.78L}, {"[0.78, 4]", 0.78L, 4.0L},
    {"[4, 100]", 4.0L, 100.0L},       {"[100, 1e6]", 100.0L, 1e6L},
    {"[1e6, 1e12]", 1e6L, 1e12L},     {"[1e12, 9.2e18]", 1e12L, 9.2e18L},
};
inline constexpr int ArgumentsPerBand = 1000000 / 6;

// Spread over the band by the logarithm, with a random 64-bit significand,
// and either sign.
inline ExtendedBits DrawArgument(TRandomBits& random, const TBand& band) {
    long double x;
    do {
        const long double logLow = std::log(band.Low);
        const long double logHigh = std::log(band.High);
        x = std::exp(logLow + static_cast<long double>(random.Unit()) * (logHigh - logLow));
        ExtendedBits bits = LongDoubleBits(x);
        bits.Significand = ExtendedBits::IntegerBit | random.Next();
        x = LongDoubleOf(bits);
    } while (x < band.Low || x > band.High);
    ExtendedBits bits = LongDoubleBits(x);
    return random.Coin() ? foundation::soft::Negate(bits) : bits;
}

// The extended value nearest to k * pi/2 (pi as the unit has it), moved by
// a few last places: the remainder cancels down to a few bits.
inline ExtendedBits NearMultipleOfHalfPi(TRandomBits& random) {
    using TUint128 = unsigned __int128;
    constexpr TUint128 HalfPiUnits = (TUint128{0x3} << 64) | 0x243F6A8885A308D3ULL; // of 2^-65
    const std::uint64_t k = (random.Next() >> random.Range(2, 63)) | 1;
    const TUint128 units = k * HalfPiUnits;
    // k is odd, so units is not 0 and has at most 127 leading zeros.
    const auto high = static_cast<std::uint64_t>(units >> 64);
    const int zeros = high != 0 ? std::countl_zero(high)
                                : 64 + std::countl_zero(static_cast<std::uint64_t>(units));
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
    const TUint128 aligned = units << zeros;
    std::uint64_t significand = static_cast<std::uint64_t>(aligned >> 64);
    significand += static_cast<std::uint64_t>(aligned) >> 63; // nearest
    significand += static_cast<std::uint64_t>(random.Range(-2, 2));
    const int exponent = ExtendedBits::ExponentBias + 62 - zeros;
    return ExtendedBits::Make(random.Coin(), static_cast<std::uint16_t>(exponent),
                              significand | ExtendedBits::IntegerBit);
}

// From 2^-70 to 2^-20: sin x is x below 2^-32, and just above it.
inline ExtendedBits DrawTiny(TRandomBits& random) {
    return ExtendedBits::Make(
        random.Coin(),
        static_cast<std::uint16_t>(ExtendedBits::ExponentBias + random.Range(-70, -20)),
        ExtendedBits::IntegerBit | random.Next());
}

inline constexpr std::uint64_t BandSeed = 0x5EED0002;
inline constexpr std::uint64_t NearHalfPiSeed = 0x5EED0003;
inline constexpr std::uint64_t TinySeed = 0x5EED0004;
inline constexpr int NearHalfPiCount = 100000;
inline constexpr int TinyCount = 100000;

} // namespace softtest
