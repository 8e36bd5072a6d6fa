// SPDX-License-Identifier: MIT
// The exact sine: the reduction in MPFR numbers wide enough to hold every
// step exactly, then MPFR's correctly rounded sine or cosine at 64 bits.
#include "foundation/soft/sine_reference.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <mpfr.h>

namespace softtest {

namespace {

using foundation::ExtendedBits;

constexpr mpfr_prec_t ResultBits = 64;
constexpr mpfr_prec_t PiBits = 66;
// The quotient x / (pi66 / 2) lies at least about 2^-67 from a half-integer
// and below 2^62.4, so 256 bits place it on the right side; q * pi66 / 2 and
// r have their bits between 2^63 and 2^-65, at most 129 of them.
constexpr mpfr_prec_t WorkingBits = 256;
constexpr int OutOfRangeScale = 63;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "exact sine: %s\n", what);
    std::abort();
}

// The numbers of one evaluation, set up once: pi66 / 2 and the steps.
struct TWorkspace {
    mpfr_t HalfPi;
    mpfr_t X;
    mpfr_t Quotient;
    mpfr_t Product;
    mpfr_t Remainder;
    mpfr_t Result;
    mpfr_t Scaled;

    TWorkspace() {
        mpfr_init2(HalfPi, PiBits);
        mpfr_init2(X, ResultBits);
        mpfr_init2(Quotient, WorkingBits);
        mpfr_init2(Product, WorkingBits);
        mpfr_init2(Remainder, WorkingBits);
        mpfr_init2(Result, ResultBits);
        mpfr_init2(Scaled, ResultBits);
        mpfr_const_pi(HalfPi, MPFR_RNDN);
        mpfr_div_2ui(HalfPi, HalfPi, 1, MPFR_RNDN);
    }
    ~TWorkspace() {
        for (mpfr_ptr number : {HalfPi, X, Quotient, Product, Remainder, Result, Scaled}) {
            mpfr_clear(number);
        }
    }
    TWorkspace(const TWorkspace&) = delete;
    TWorkspace& operator=(const TWorkspace&) = delete;
};

// The 64-bit Result in the extended format, denormal below the normal range.
ExtendedBits Pack(TWorkspace& w, bool negative) {
    // Result = m * 2^e, m in [1/2, 1): the significand is m * 2^64.
    const mpfr_exp_t e = mpfr_get_exp(w.Result);
    mpfr_mul_2si(w.Scaled, w.Result, ResultBits - e, MPFR_RNDN);
    std::uint64_t significand = mpfr_get_uj(w.Scaled, MPFR_RNDN);
    long exponent = e - 1 + ExtendedBits::ExponentBias;
    if (exponent < 1) {
        const long shift = 1 - exponent;
        if (shift >= 64 || (significand & ((std::uint64_t{1} << shift) - 1)) != 0) {
            Fail("a result below the normal range would be rounded twice");
        }
        significand >>= shift;
        exponent = 0;
    }
    return ExtendedBits::Make(negative, static_cast<std::uint16_t>(exponent), significand);
}

} // namespace

ExtendedBits ExactSine(ExtendedBits x) {
    static TWorkspace w;
    const int exponent = x.Exponent() == 0 ? 1 : x.Exponent(); // denormals: as the smallest normals
    if (x.Kind() != ExtendedBits::TKind::Finite ||
        exponent - ExtendedBits::ExponentBias >= OutOfRangeScale) {
        Fail("the argument is not finite, zero, or not below 2^63");
    }
    // |x| = significand * 2^(exponent - bias - 63), exactly.
    bool exact = mpfr_set_uj_2exp(w.X, x.Significand, exponent - ExtendedBits::ExponentBias - 63,
                                  MPFR_RNDN) == 0;
    mpfr_div(w.Quotient, w.X, w.HalfPi, MPFR_RNDN);
    mpfr_rint(w.Quotient, w.Quotient, MPFR_RNDN);
    exact = exact && mpfr_mul(w.Product, w.Quotient, w.HalfPi, MPFR_RNDN) == 0;
    exact = exact && mpfr_sub(w.Remainder, w.X, w.Product, MPFR_RNDN) == 0;
    if (!exact) {
        Fail("the reduction was not exact");
    }
    const auto quadrant = static_cast<unsigned>(mpfr_get_uj(w.Quotient, MPFR_RNDN) & 3);
    if ((quadrant & 1) == 0) {
        mpfr_sin(w.Result, w.Remainder, MPFR_RNDN);
    } else {
        mpfr_cos(w.Result, w.Remainder, MPFR_RNDN);
    }
    // sin(-x) = -sin x; quadrants 2 and 3 negate; the sign of r is Result's.
    const bool negative = (mpfr_sgn(w.Result) < 0) != (x.Negative() != (quadrant >= 2));
    mpfr_abs(w.Result, w.Result, MPFR_RNDN);
    return Pack(w, negative);
}

} // namespace softtest
