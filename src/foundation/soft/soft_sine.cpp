// SPDX-License-Identifier: MIT
// The sine as the x87 computes it below 2^63. The argument is reduced by the
// unit's own pi, rounded to 66 bits: q is the integer nearest to x / (pi/2)
// and r = x - q * pi/2 is formed exactly, in units of 2^-65. The result is
// sin r, cos r, -sin r or -cos r by q mod 4, evaluated in 128-bit fixed point
// relative to the size of r, which leaves an error near 2^-125 of the value:
// only values that close to a rounding midpoint can round the wrong way.
//
// x / (pi/2) is never exactly halfway between two integers, so the nearest
// integer needs no tie rule: with x = m * 2^k (m < 2^64) and pi/2 = P * 2^-65
// (P odd, P > 2^65), x = (q + 1/2) * pi/2 would need m * 2^(k+66) =
// (2q + 1) * P. The right side is odd and at least P; the left side is even
// when k + 66 > 0, and otherwise at most m < P.
#include <cstdint>

#include "foundation/soft/soft_internal.h"

namespace foundation::soft {

namespace {

using namespace detail;

// pi/2 in units of 2^-65: pi rounded to 66 significant bits.
constexpr TUint128 HalfPiUnits = (TUint128{0x3} << 64) | 0x243F6A8885A308D3ULL;

// floor(2^InverseHalfPiScale / P), a 64-bit reciprocal for the quotient.
constexpr int InverseHalfPiScale = 129;
constexpr std::uint64_t MakeInverseHalfPi() {
    const TUint128 all = ~TUint128{0}; // 2^128 - 1
    const TUint128 half = all / HalfPiUnits;
    const TUint128 rest = all % HalfPiUnits + 1; // 2^128 = half * P + rest, rest <= P
    return static_cast<std::uint64_t>(2 * half + (2 * rest >= HalfPiUnits ? 1 : 0) +
                                      (2 * rest >= 2 * HalfPiUnits ? 1 : 0));
}
constexpr std::uint64_t InverseHalfPi = MakeInverseHalfPi();
static_assert(InverseHalfPi >> 63 == 1, "the reciprocal keeps 64 significant bits");

// Below 2^-32, x^2/6 is under a quarter of x's last place: sin x rounds to x.
constexpr int SmallScale = -32;
// At 2^63 and above the x87 reports the operand out of range.
constexpr int OutOfRangeScale = 63;

// floor(2^128 / n!) for n = 2 .. LastFactorial. The Taylor series stop at
// 1/31! (sine) and 1/32! (cosine): for |r| <= pi/4 the next terms are below
// 2^-130.
constexpr int LastFactorial = 32;
struct TInverseFactorials {
    TUint128 Values[LastFactorial + 1];
};
constexpr TInverseFactorials MakeInverseFactorials() {
    TInverseFactorials table{};
    table.Values[2] = TUint128{1} << 127;
    for (int n = 3; n <= LastFactorial; ++n) {
        table.Values[n] = table.Values[n - 1] / static_cast<unsigned>(n); // floors compose exactly
    }
    return table;
}
constexpr TInverseFactorials InverseFactorial = MakeInverseFactorials();

// a * b / 2^128, short of the exact floor by at most one unit: the low
// halves' product is left out.
TUint128 MultiplyHigh(TUint128 a, TUint128 b) {
    const auto a1 = static_cast<std::uint64_t>(a >> 64);
    const auto a0 = static_cast<std::uint64_t>(a);
    const auto b1 = static_cast<std::uint64_t>(b >> 64);
    const auto b0 = static_cast<std::uint64_t>(b);
    const TUint128 cross1 = static_cast<TUint128>(a1) * b0;
    const TUint128 cross0 = static_cast<TUint128>(a0) * b1;
    const TUint128 middle = (cross1 & ~std::uint64_t{0}) + (cross0 & ~std::uint64_t{0});
    return static_cast<TUint128>(a1) * b1 + (cross1 >> 64) + (cross0 >> 64) + (middle >> 64);
}

// The sum of (-z)^j / (First + 2j)! up to LastFactorial, z < 1, all in
// units of 2^-128. The even and the odd terms are summed apart in powers of
// w = z^2, as two independent chains of multiplications side by side, and
// the odd ones then subtracted. Every term is less than a sixth of the one
// before, so each sum and the result lie in (0, 1).
template <int First> TUint128 SumAlternatingSeries(TUint128 z) {
    constexpr int EvenLast = First + (LastFactorial - First) / 4 * 4;
    constexpr int OddLast = First + 2 + (LastFactorial - First - 2) / 4 * 4;
    const TUint128 w = MultiplyHigh(z, z);
    TUint128 even = InverseFactorial.Values[EvenLast];
    TUint128 odd = InverseFactorial.Values[OddLast];
    for (int n = EvenLast - 4, m = OddLast - 4; n >= First; n -= 4, m -= 4) {
        even = InverseFactorial.Values[n] + MultiplyHigh(w, even);
        if (m > First) {
            odd = InverseFactorial.Values[m] + MultiplyHigh(w, odd);
        }
    }
    return even - MultiplyHigh(z, odd);
}

// The remainder r = (Negative ? -1 : 1) * Fraction * 2^(-128 - Scale), with
// bit 127 of Fraction set, and q mod 4.
struct TReduced {
    unsigned Quadrant;
    bool Negative;
    TUint128 Fraction;
    int Scale;
};

// Reduces |x|, which lies below 2^63.
TReduced Reduce(const TUnpacked& x) {
    const int scale = x.Exponent - ExtendedBits::ExponentBias; // |x| in [2^scale, 2^(scale+1))
    if (scale < -1) {
        return {0, false, static_cast<TUint128>(x.Significand) << 64, -(scale + 1)};
    }
    // |x| in units of 2^-65 fits 128 bits, and so does q * P (q < 2^62.4).
    // The quotient estimate from the reciprocal is q or q - 1.
    const TUint128 units = static_cast<TUint128>(x.Significand) << (scale + 2);
    const TUint128 estimate = static_cast<TUint128>(x.Significand) * InverseHalfPi;
    const int estimateShift = InverseHalfPiScale - 2 - scale;
    TUint128 quotient = estimateShift < 128 ? estimate >> estimateShift : 0;
    TUint128 rest = units - quotient * HalfPiUnits;
    if (rest >= HalfPiUnits) {
        ++quotient;
        rest -= HalfPiUnits;
    }
    bool negative = false;
    if (rest > HalfPiUnits - rest) {
        ++quotient;
        rest = HalfPiUnits - rest;
        negative = true;
    }
    // rest > 0: x is never a multiple of pi/2 (see the note at the top).
    const int shift = CountLeadingZeros(rest);
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult): rest is not 0
    return {static_cast<unsigned>(quotient & 3), negative, rest << shift, shift - 63};
}

// sin r, with r's sign, rounded.
ExtendedBits ComputeSine(const TReduced& r, bool negative, unsigned& flags) {
    const TUint128 square =
        r.Scale >= 64 ? 0 : MultiplyHigh(r.Fraction, r.Fraction) >> (2 * r.Scale);
    // sin r = r - r * z * (1/3! - z/5! + ...), z = r^2
    const TUint128 tail = MultiplyHigh(square, SumAlternatingSeries<3>(square));
    const TUint128 sine = r.Fraction - MultiplyHigh(r.Fraction, tail);
    // The fraction has its top bit set and the tail takes off less than a
    // sixth of it, so the sine is not 0.
    const int shift = CountLeadingZeros(sine);
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
    return RoundPack(negative, ExtendedBits::ExponentBias - 1 - r.Scale - shift, sine << shift,
                     flags);
}

// cos r, rounded.
ExtendedBits ComputeCosine(const TReduced& r, bool negative, unsigned& flags) {
    const TUint128 square =
        r.Scale >= 64 ? 0 : MultiplyHigh(r.Fraction, r.Fraction) >> (2 * r.Scale);
    // cos r = 1 - z * (1/2! - z/4! + ...)
    const TUint128 tail = MultiplyHigh(square, SumAlternatingSeries<2>(square));
    if (tail == 0) { // within 2^-128 of 1
        return RoundPack(negative, ExtendedBits::ExponentBias, TUint128{1} << 127, flags);
    }
    return RoundPack(negative, ExtendedBits::ExponentBias - 1, 0 - tail, flags);
}

} // namespace

ExtendedBits Sine(ExtendedBits x, unsigned& flags) {
    switch (x.Kind()) {
    case TKind::Zero:
    case TKind::QuietNan: return x;
    case TKind::Infinity:
    case TKind::SignalingNan:
    case TKind::Unsupported: flags |= FlagInvalid; return IndefiniteNan;
    case TKind::Finite: break;
    }
    const TUnpacked u = Unpack(x);
    const int scale = u.Exponent - ExtendedBits::ExponentBias;
    if (scale >= OutOfRangeScale) {
        return ExtendedBits::Make(false, 0, 0);
    }
    if (scale < SmallScale) {
        return Repack(u, flags);
    }
    const TReduced r = Reduce(u);
    // sin(-x) = -sin x; quadrants 2 and 3 negate the sine and the cosine.
    const bool negative = u.Negative != (r.Quadrant >= 2);
    if ((r.Quadrant & 1) == 0) {
        return ComputeSine(r, negative != r.Negative, flags);
    }
    return ComputeCosine(r, negative, flags);
}

} // namespace foundation::soft
