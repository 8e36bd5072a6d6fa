// Reference rounding from exact integer products, independent of the x87:
// a product of two binary significands is formed exactly in 128 bits and
// rounded to nearest, ties to even, to a given number of bits.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace testsupport {

struct TExact {
    unsigned __int128 Mantissa; // value = Mantissa * 2^Exponent
    int Exponent;
};

inline TExact DecomposeDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((1ULL << 52) - 1);
    if (biased != 0) {
        mantissa |= 1ULL << 52;
    }
    return {mantissa, (biased == 0 ? 1 : biased) - 1075};
}

inline int BitLength(unsigned __int128 value) {
    int length = 0;
    while (value != 0) {
        value >>= 1;
        ++length;
    }
    return length;
}

// Rounds to at most `bits` significant bits, to nearest with ties to even.
inline TExact RoundToBits(TExact value, int bits) {
    const int excess = BitLength(value.Mantissa) - bits;
    if (excess <= 0) {
        return value;
    }
    const unsigned __int128 one = 1;
    const unsigned __int128 remainder = value.Mantissa & ((one << excess) - 1);
    const unsigned __int128 half = one << (excess - 1);
    unsigned __int128 kept = value.Mantissa >> excess;
    if (remainder > half || (remainder == half && (kept & 1) != 0)) {
        ++kept;
    }
    return {kept, value.Exponent + excess};
}

inline TExact Multiply(TExact a, TExact b) {
    return {a.Mantissa * b.Mantissa, a.Exponent + b.Exponent};
}

// Exact for results in the normal double range.
inline double ToDouble(TExact value) {
    return std::ldexp(static_cast<double>(static_cast<std::uint64_t>(value.Mantissa)),
                      value.Exponent);
}

// Rounded first to the 64-bit significand, then to double.
inline double RoundTwice(TExact exact) { return ToDouble(RoundToBits(RoundToBits(exact, 64), 53)); }
inline double RoundOnce(TExact exact) { return ToDouble(RoundToBits(exact, 53)); }

} // namespace testsupport
