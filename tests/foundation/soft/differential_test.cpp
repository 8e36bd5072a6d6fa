// SPDX-License-Identifier: MIT
// The software arithmetic against the real x87, bit for bit: the same
// trapping flags, and when none is raised the same result bits. Seeded
// random operands of every class, a table of named hard cases, then the
// value class: its operators, comparisons and faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "foundation/faults.h"
#include "foundation/soft/extended_soft.h"
#include "foundation/soft/soft_arith.h"
#include "foundation/soft/soft_test_fixture.h"
#include "foundation/soft/soft_vs_x87.h"

namespace {

using foundation::Extended;
using foundation::ExtendedBits;
using foundation::Infinity;
using namespace softtest;
namespace soft = foundation::soft;

constexpr int Bias = ExtendedBits::ExponentBias;
constexpr int MaxExponent = 0x7FFE;
constexpr int DoubleBias = 1023;
constexpr std::uint64_t Ones = ~0ULL;
constexpr std::uint64_t Top = ExtendedBits::IntegerBit;

// Draws operands of every class, weighted towards the places where rounding,
// range limits and special encodings meet.
class TOperandDrawer {
  public:
    explicit TOperandDrawer(std::uint64_t seed) : Random(seed) {}

    TCase Draw(TOp op) {
        TCase c{op, {}, {}, 0};
        switch (op) {
        case TOp::Add:
        case TOp::Subtract:
        case TOp::Multiply:
        case TOp::Divide: DrawArithmetic(c); break;
        case TOp::ToDouble: c.A = ForDoubleStore(); break;
        case TOp::ToInt64: c.A = ForIntegerStore(); break;
        case TOp::FromDouble: c.Raw = LoadPattern(52, 11); break;
        case TOp::FromFloat: c.Raw = LoadPattern(23, 8); break;
        case TOp::FromInt64:
            c.Raw = Random.Next() >> Random.Range(0, 63);
            c.Raw = Random.Coin() ? 0 - c.Raw : c.Raw;
            break;
        case TOp::Compare: DrawComparison(c); break;
        }
        return c;
    }

  private:
    // The significand at the given biased exponent; at 0 and below a
    // denormal with that much less precision, above the range the largest
    // exponent.
    static ExtendedBits Encode(bool negative, int exponent, std::uint64_t significand) {
        if (exponent <= 0) {
            const int shift = 1 - exponent;
            return ExtendedBits::Make(negative, 0, shift >= 64 ? 1 : significand >> shift);
        }
        const int clamped = exponent > MaxExponent ? MaxExponent : exponent;
        return ExtendedBits::Make(negative, static_cast<std::uint16_t>(clamped), significand);
    }

    ExtendedBits Number(int exponent) {
        return Encode(Random.Coin(), exponent, Random.Significand());
    }

    int Ordinary() { return Bias + Random.Range(-80, 80); }

    ExtendedBits Any() {
        switch (Random.Range(0, 11)) {
        case 0:
            return ExtendedBits::Make(false, static_cast<std::uint16_t>(Random.Next()),
                                      Random.Next());
        case 1: return Number(Random.Range(1, MaxExponent));
        case 2: return Number(Random.Range(-70, 0));                              // denormals
        case 3: return ExtendedBits::Make(Random.Coin(), 0, Top | Random.Next()); // pseudo-denormal
        case 4: return ExtendedBits::Make(Random.Coin(), 0, 0);
        case 5: return soft::Infinity(Random.Coin());
        case 6: // NaNs with a few payloads, so that equal significands meet
            return ExtendedBits::Make(
                Random.Coin(), soft::SpecialExponent,
                Top | (Random.Coin() ? Random.Next() : Random.Next() & 0x4000000000000003));
        case 7: // unnormals, pseudo-infinities and pseudo-NaNs
            return ExtendedBits::Make(Random.Coin(),
                                      static_cast<std::uint16_t>(Random.Range(1, 0x7FFF)),
                                      Random.Next() >> Random.Range(1, 63));
        case 8: return Number(MaxExponent - Random.Range(0, 2));
        default: return Number(Ordinary());
        }
    }

    // Exponents a, b whose sum is given, both within the normal range.
    void SplitSum(int sum, int& a, int& b) {
        const int low = sum - MaxExponent > 1 ? sum - MaxExponent : 1;
        const int high = sum - 1 < MaxExponent ? sum - 1 : MaxExponent;
        a = low <= high ? Random.Range(low, high) : Ordinary();
        b = sum - a;
    }

    // A result exponent near the top or the bottom of the range, and
    // operands that give it, at times on a rounding midpoint as well.
    void NearLimit(TCase& c) {
        const int target = Random.Coin() ? MaxExponent + Random.Range(-2, 1) : Random.Range(-70, 2);
        int ea = target;
        int eb = target - Random.Range(0, 3);
        if (c.Op == TOp::Multiply) {
            SplitSum(target + Bias, ea, eb);
        } else if (c.Op == TOp::Divide) {
            SplitSum(target + Bias, ea, eb); // then ea - (2 bias - eb) + bias = target
            eb = 2 * Bias - eb;
        }
        if (Random.Coin()) {
            NearTie(c, ea, eb);
        } else {
            c.A = Number(ea);
            c.B = Number(eb);
        }
    }

    // Sums, products and quotients on or right beside a rounding midpoint.
    // For sums b's exponent follows from a's.
    void NearTie(TCase& c, int ea, int eb) {
        std::uint64_t a = Random.Significand();
        std::uint64_t b;
        if (c.Op == TOp::Add || c.Op == TOp::Subtract) {
            // b's lowest set bit lands on half of a's last place.
            const int gap = Random.Range(1, 64);
            b = ((Random.Next() | Top) >> (gap - 1) << (gap - 1)) | (1ULL << (gap - 1));
            eb = ea - gap;
        } else if (c.Op == TOp::Multiply) {
            // Odd factors of k and about 65 - k bits: 64 to 66 product bits.
            const int bitsA = Random.Range(1, 64);
            const int bitsB = std::clamp(65 - bitsA + Random.Range(-1, 1), 1, 64);
            a = (Random.Next() | 1 | Top) >> (64 - bitsA) << (64 - bitsA);
            b = (Random.Next() | 1 | Top) >> (64 - bitsB) << (64 - bitsB);
        } else {
            // a = b * q cut to 64 bits: a / b lies within a last place of q.
            b = Random.Significand();
            const auto product = static_cast<unsigned __int128>(b) * Random.Significand();
            const int shift = (product >> 127) != 0 ? 64 : 63;
            a = static_cast<std::uint64_t>(product >> shift);
        }
        const int nudge = Random.Range(-1, 1);
        a = (a + static_cast<std::uint64_t>(nudge * Random.Range(0, 1))) | Top;
        b = (b + static_cast<std::uint64_t>(nudge)) | Top;
        c.A = Encode(Random.Coin(), ea, a);
        c.B = Encode(Random.Coin(), eb, b);
    }

    void DrawArithmetic(TCase& c) {
        switch (Random.Range(0, 7)) {
        case 0:
            c.A = Any();
            c.B = Any();
            return;
        case 1: { // exponent differences, from none to huge
            const int ea = Random.Range(1, MaxExponent);
            const int gap =
                Random.Coin() ? Random.Range(-70, 70) : Random.Range(-MaxExponent, MaxExponent);
            c.A = Number(ea);
            c.B = Number(std::max(ea - gap, 1));
            return;
        }
        case 2: // equal values, opposite values, neighbours
            c.A = Any();
            c.B = Random.Coin() ? soft::Negate(c.A) : c.A;
            c.B.Significand += static_cast<std::uint64_t>(Random.Range(-1, 1) * Random.Range(0, 1));
            return;
        case 3:
        case 4: NearTie(c, Ordinary(), Ordinary()); return;
        case 5: NearLimit(c); return;
        case 6: // a denormal with a large number, either way round
            c.A = Random.Coin() ? Number(Random.Range(-64, 0))
                                : ExtendedBits::Make(false, 0, Top | Random.Next());
            c.B = Number(Random.Range(Bias, MaxExponent));
            if (Random.Coin()) {
                std::swap(c.A, c.B);
            }
            return;
        default:
            c.A = Any();
            c.B = Number(Ordinary());
            return;
        }
    }

    // The double's subnormal range and its top, or anything.
    ExtendedBits ForDoubleStore() {
        switch (Random.Range(0, 2)) {
        case 0: return Number(Bias - DoubleBias - Random.Range(-2, 66));
        case 1: return Number(Bias + DoubleBias + Random.Range(-1, 1));
        default: return Any();
        }
    }

    // Halves from 1/4 to 2^64, the neighbours of 2^63, or anything.
    ExtendedBits ForIntegerStore() {
        switch (Random.Range(0, 2)) {
        case 0: return Number(Bias + Random.Range(-2, 64));
        case 1: {
            const auto step = static_cast<std::uint64_t>(Random.Range(0, 3));
            return ExtendedBits::Make(Random.Coin(),
                                      static_cast<std::uint16_t>(Bias + Random.Range(62, 63)),
                                      Random.Coin() ? Ones - step : Top + step);
        }
        default: return Any();
        }
    }

    // A double or float pattern: random, subnormal, infinite or NaN.
    std::uint64_t LoadPattern(int fractionBits, int exponentBits) {
        const std::uint64_t fraction = Random.Next() >> Random.Range(64 - fractionBits, 63);
        const std::uint64_t exponentAll = (1ULL << exponentBits) - 1;
        std::uint64_t exponent = Random.Next() & exponentAll;
        switch (Random.Range(0, 3)) {
        case 0: exponent = 0; break;
        case 1: exponent = exponentAll; break;
        default: break;
        }
        const std::uint64_t sign = Random.Next() & 1;
        return sign << (fractionBits + exponentBits) | exponent << fractionBits | fraction;
    }

    void DrawComparison(TCase& c) {
        c.A = Any();
        switch (Random.Range(0, 4)) {
        case 0: c.B = Any(); break;
        case 1: c.B = Random.Coin() ? c.A : soft::Negate(c.A); break;
        case 2:
            c.B = c.A;
            c.B.Significand += static_cast<std::uint64_t>(Random.Range(-1, 1));
            break;
        case 3: // a pseudo-denormal and the normal of the same value
            c.A = ExtendedBits::Make(Random.Coin(), 0, Top | Random.Next());
            c.B = ExtendedBits::Make(Random.Coin(), 1, c.A.Significand);
            break;
        default: c.B = ExtendedBits::Make(Random.Coin(), 0, 0); break;
        }
    }

    TRandomBits Random;
};

class SoftDifferentialTest : public MaskedFpuTest {};

constexpr int CasesPerOp = 1000000;
constexpr int ShownDisagreements = 5;

TEST_F(SoftDifferentialTest, AgreesWithTheX87OnRandomOperands) {
    TOperandDrawer drawer(0x5EED0001);
    for (const TOp op : AllOps) {
        int agreed = 0;
        int flagged = 0;
        for (int i = 0; i < CasesPerOp; ++i) {
            const TCase c = drawer.Draw(op);
            const TOutcome x87 = RunX87(c);
            const TOutcome software = RunSoft(c);
            flagged += x87.Flags != 0 ? 1 : 0;
            if (Agree(x87, software)) {
                ++agreed;
            } else if (i + 1 - agreed <= ShownDisagreements) {
                PrintDisagreement("random", c, x87, software);
            }
        }
        std::printf("%-10s %d cases, %d agreed, %d with a trapping flag\n",
                    OpNames[static_cast<int>(op)], CasesPerOp, agreed, flagged);
        EXPECT_EQ(agreed, CasesPerOp) << OpNames[static_cast<int>(op)];
    }
}

struct THardCase {
    const char* Name;
    TCase Case;
    unsigned ExpectedFlags; // asserted of both, so that each case is what its name says
};

constexpr ExtendedBits Number(bool negative, int exponent, std::uint64_t significand) {
    return ExtendedBits::Make(negative, static_cast<std::uint16_t>(exponent), significand);
}
constexpr ExtendedBits Zero = Number(false, 0, 0);
constexpr ExtendedBits MinusZero = Number(true, 0, 0);
constexpr ExtendedBits One = Number(false, Bias, Top);
constexpr ExtendedBits Largest = Number(false, MaxExponent, Ones);
constexpr ExtendedBits PlusInfinity = Number(false, 0x7FFF, Top);
constexpr ExtendedBits QuietNan = Number(false, 0x7FFF, 0xC000000000000123);
constexpr ExtendedBits SignallingNan = Number(false, 0x7FFF, Top | 1);

constexpr TCase Binary(TOp op, ExtendedBits a, ExtendedBits b) {
    return {op, a, b, 0};
}
constexpr TCase Unary(TOp op, ExtendedBits a) {
    return {op, a, Zero, 0};
}
constexpr TCase Load(TOp op, std::uint64_t raw) {
    return {op, Zero, Zero, raw};
}

constexpr unsigned I = 0x01; // invalid operation
constexpr unsigned Z = 0x04; // division by zero
constexpr unsigned O = 0x08; // overflow

const THardCase HardCases[] = {
    {"sum tie stays even", Binary(TOp::Add, One, Number(false, Bias - 64, Top)), 0},
    {"sum tie goes up to even",
     Binary(TOp::Add, Number(false, Bias, Top | 1), Number(false, Bias - 64, Top)), 0},
    {"difference tie just below a power of two",
     Binary(TOp::Subtract, One, Number(false, Bias - 65, Top)), 0},
    {"largest finite sum",
     Binary(TOp::Add, Number(false, MaxExponent - 1, Ones), Number(false, MaxExponent - 1, Ones)),
     0},
    {"sum tie past the largest finite overflows",
     Binary(TOp::Add, Largest, Number(false, MaxExponent - 64, Top)), O},
    {"sum just under that tie stays finite",
     Binary(TOp::Add, Largest, Number(false, MaxExponent - 65, Ones)), 0},
    {"largest finite product", Binary(TOp::Multiply, Largest, One), 0},
    {"product past the largest finite",
     Binary(TOp::Multiply, Largest, Number(false, Bias, Top | 1)), O},
    {"quotient past the largest finite", Binary(TOp::Divide, Largest, Number(false, Bias - 1, Top)),
     O},
    {"smallest denormal from a product",
     Binary(TOp::Multiply, Number(false, 1, Top), Number(false, Bias - 63, Top)), 0},
    {"half the smallest denormal ties to zero",
     Binary(TOp::Multiply, Number(false, 0, 1), Number(true, Bias - 1, Top)), 0},
    {"one and a half smallest denormals tie to two",
     Binary(TOp::Multiply, Number(false, 0, 3), Number(false, Bias - 1, Top)), 0},
    {"denormal tie broken by bits shifted out",
     Binary(TOp::Multiply, Number(false, 1, Top | 1), Number(false, Bias - 2, Top | 1)), 0},
    {"denormal product rounds up to the smallest normal",
     Binary(TOp::Multiply, Number(false, 1, Ones), Number(false, Bias - 1, Top)), 0},
    {"denormal quotient tie",
     Binary(TOp::Divide, Number(false, 0, 3), Number(false, Bias + 1, Top)), 0},
    {"denormal times large",
     Binary(TOp::Multiply, Number(false, 0, 0x123456789), Number(true, 0x7FF0, Top | 5)), 0},
    {"pseudo-denormal plus zero", Binary(TOp::Add, Number(false, 0, Top | 5), Zero), 0},
    {"minus zero plus minus zero", Binary(TOp::Add, MinusZero, MinusZero), 0},
    {"x minus x is plus zero",
     Binary(TOp::Subtract, Number(true, Bias, Top | 9), Number(true, Bias, Top | 9)), 0},
    {"zero times infinity", Binary(TOp::Multiply, MinusZero, PlusInfinity), I},
    {"infinity minus infinity", Binary(TOp::Subtract, PlusInfinity, PlusInfinity), I},
    {"one over zero", Binary(TOp::Divide, One, Zero), Z},
    {"denormal over minus zero", Binary(TOp::Divide, Number(false, 0, 1), MinusZero), Z},
    {"zero over zero", Binary(TOp::Divide, Zero, MinusZero), I},
    {"infinity over infinity", Binary(TOp::Divide, PlusInfinity, PlusInfinity), I},
    {"infinity over zero", Binary(TOp::Divide, PlusInfinity, Zero), 0},
    {"unnormal operand", Binary(TOp::Add, Number(false, Bias, Top >> 1), One), I},
    {"one minus a pseudo-infinity", Binary(TOp::Subtract, One, Number(true, 0x7FFF, 0)), I},
    {"a NaN subtracted keeps its sign", Binary(TOp::Subtract, One, soft::Negate(QuietNan)), 0},
    {"quiet NaNs of equal significand", Binary(TOp::Add, soft::Negate(QuietNan), QuietNan), 0},
    {"half the smallest subnormal double ties to zero",
     Unary(TOp::ToDouble, Number(false, Bias - 1075, Top)), 0},
    {"three halves of it tie up to two",
     Unary(TOp::ToDouble, Number(true, Bias - 1074, Top | Top >> 1)), 0},
    {"subnormal double tie with a sticky bit",
     Unary(TOp::ToDouble, Number(false, Bias - 1070, Top | 1 << 14 | 1)), 0},
    {"subnormal rounds up to the smallest normal double",
     Unary(TOp::ToDouble, Number(false, Bias - 1023, Ones)), 0},
    {"largest double", Unary(TOp::ToDouble, Number(false, Bias + 1023, Ones << 11)), 0},
    {"largest double and half a place overflows",
     Unary(TOp::ToDouble, Number(false, Bias + 1023, Ones << 10)), O},
    {"just under that stays finite",
     Unary(TOp::ToDouble, Number(true, Bias + 1023, Ones << 11 | 0x3FF)), 0},
    {"extended denormal stores as minus zero", Unary(TOp::ToDouble, Number(true, 0, Ones >> 1)), 0},
    {"infinity stores without a flag", Unary(TOp::ToDouble, PlusInfinity), 0},
    {"quiet NaN keeps its top fraction bits",
     Unary(TOp::ToDouble, Number(true, 0x7FFF, 0xC000000000000FFF)), 0},
    {"2^63 is out of integer range", Unary(TOp::ToInt64, Number(false, Bias + 63, Top)), I},
    {"-2^63 fits", Unary(TOp::ToInt64, Number(true, Bias + 63, Top)), 0},
    {"2^63 - 1/2 rounds out of range", Unary(TOp::ToInt64, Number(false, Bias + 62, Ones)), I},
    {"-(2^63 - 1/2) rounds to -2^63", Unary(TOp::ToInt64, Number(true, Bias + 62, Ones)), 0},
    {"2^63 - 1 fits", Unary(TOp::ToInt64, Number(false, Bias + 62, Ones << 1)), 0},
    {"-2^63 - 1 is out of range", Unary(TOp::ToInt64, Number(true, Bias + 63, Top | 1)), I},
    {"two and a half tie to two", Unary(TOp::ToInt64, Number(false, Bias + 1, Top | Top >> 2)), 0},
    {"minus one and a half ties to minus two",
     Unary(TOp::ToInt64, Number(true, Bias, Top | Top >> 1)), 0},
    {"signalling NaN double", Load(TOp::FromDouble, 0x7FF0000000000001), I},
    {"smallest subnormal double", Load(TOp::FromDouble, 1), 0},
    {"signalling NaN float", Load(TOp::FromFloat, 0xFF800001), I},
    {"most negative integer", Load(TOp::FromInt64, 0x8000000000000000), 0},
    {"plus zero equals minus zero", Binary(TOp::Compare, Zero, MinusZero), 0},
    {"quiet NaN is unordered without a flag", Binary(TOp::Compare, One, QuietNan), 0},
    {"signalling NaN comparison", Binary(TOp::Compare, SignallingNan, One), I},
    {"pseudo-denormal equals its normal",
     Binary(TOp::Compare, Number(false, 0, Top | 7), Number(false, 1, Top | 7)), 0},
};

TEST_F(SoftDifferentialTest, AgreesWithTheX87OnHardCases) {
    for (const THardCase& hard : HardCases) {
        const TOutcome x87 = RunX87(hard.Case);
        const TOutcome software = RunSoft(hard.Case);
        EXPECT_EQ(x87.Flags, hard.ExpectedFlags) << hard.Name;
        EXPECT_EQ(software.Flags, hard.ExpectedFlags) << hard.Name;
        if (!Agree(x87, software)) {
            ADD_FAILURE() << hard.Name;
            PrintDisagreement(hard.Name, hard.Case, x87, software);
        }
    }
}

// The value class: each operator is the core operation it names, and a
// trapping flag becomes the x87's fault code at the operator's call site.

TEST_F(SoftDifferentialTest, ExtendedOperatorsAgreeWithTheX87) {
    TRandomBits random(0x5EED0005);
    const auto ordinary = [&] {
        return ExtendedBits::Make(random.Coin(),
                                  static_cast<std::uint16_t>(Bias + random.Range(-60, 60)),
                                  random.Significand());
    };
    for (int i = 0; i < 10000; ++i) {
        const ExtendedBits a = ordinary();
        const ExtendedBits b = ordinary();
        const Extended x = Extended::FromBits(a);
        const Extended y = Extended::FromBits(b);
        Extended compound = x;
        compound /= y;
        EXPECT_EQ((x + y).Bits(), X87Binary(TBinaryOp::Add, a, b).Bits);
        EXPECT_EQ((x - y).Bits(), X87Binary(TBinaryOp::Subtract, a, b).Bits);
        EXPECT_EQ((x * y).Bits(), X87Binary(TBinaryOp::Multiply, a, b).Bits);
        EXPECT_EQ(compound.Bits(), X87Binary(TBinaryOp::Divide, a, b).Bits);
        unsigned flags = 0;
        EXPECT_EQ(DoublePattern(StoreDouble(x)), DoublePattern(X87ToDouble(a, flags)));
        EXPECT_EQ(RoundToInt64(x), X87ToInt64(a, flags));
        const double stored = StoreDouble(y);
        EXPECT_EQ(Extended(stored).Bits(), X87Load(TLoadKind::Double, DoublePattern(stored)).Bits);
        EXPECT_EQ(x < y, OrderingCode(soft::Compare(a, b, flags)) < 0);
        EXPECT_EQ((-x).Bits(), soft::Negate(a));
    }
}

TEST_F(SoftDifferentialTest, ExtendedComparisonsAreFalseWhenUnordered) {
    const Extended nan = Extended::FromBits(QuietNan);
    const Extended one(1);
    EXPECT_FALSE(nan == nan);
    EXPECT_TRUE(nan != nan);
    EXPECT_FALSE(nan < one || nan <= one || nan > one || nan >= one);
    EXPECT_FALSE(one < nan || one <= nan || one > nan || one >= nan);
    EXPECT_TRUE(Extended(0) == -Extended(0));
    EXPECT_TRUE(one < Extended(2) && one <= one && one >= one && Extended(2) > one);
    EXPECT_FALSE(one < one || one > one || one != one);
    EXPECT_EQ(Abs(-Extended(3)).Bits(), Extended(3).Bits());
}

volatile double DoubleSink;
volatile std::int64_t IntegerSink;
volatile bool FlagSink;

void OneOverZero(void*) {
    DoubleSink = StoreDouble(Extended(1) / Extended(0));
}
void ZeroOverZeroInPlace(void*) {
    Extended x(0);
    x /= Extended(0);
    DoubleSink = StoreDouble(x);
}
void LargestTimesTwo(void*) {
    DoubleSink = StoreDouble(Extended::FromBits(Largest) * Extended(2));
}
void InfinityMinusInfinity(void*) {
    DoubleSink = StoreDouble(Infinity() - Infinity()); // NOLINT(misc-redundant-expression)
}
void LargestStoredAsDouble(void*) {
    DoubleSink = StoreDouble(Extended::FromBits(Largest));
}
void TwoTo63AsInteger(void*) {
    IntegerSink = RoundToInt64(Extended::FromBits(Number(false, Bias + 63, Top)));
}
void SineOfInfinity(void*) {
    DoubleSink = StoreDouble(ExtendedSine(Infinity()));
}
void SignallingNanCompared(void*) {
    FlagSink = Extended::FromBits(SignallingNan) < Extended(1);
}
void SignallingNanLoaded(void*) {
    const std::uint64_t pattern = 0x7FF0000000000001;
    double value;
    std::memcpy(&value, &pattern, sizeof value);
    DoubleSink = StoreDouble(Extended(value));
}
void EveryFlag(void*) {
    foundation::RaiseFloatFault(I | Z | O);
}
void ZeroDivideAndOverflow(void*) {
    foundation::RaiseFloatFault(Z | O);
}

struct TFaultCase {
    const char* Name;
    void (*Body)(void*);
    std::uint32_t Code;
};

const TFaultCase FaultCases[] = {
    {"one over zero", OneOverZero, foundation::FaultFloatDivideByZero},
    {"zero over zero in place", ZeroOverZeroInPlace, foundation::FaultFloatInvalid},
    {"largest times two", LargestTimesTwo, foundation::FaultFloatOverflow},
    {"infinity minus infinity", InfinityMinusInfinity, foundation::FaultFloatInvalid},
    {"largest stored as double", LargestStoredAsDouble, foundation::FaultFloatOverflow},
    {"2^63 stored as integer", TwoTo63AsInteger, foundation::FaultFloatInvalid},
    {"sine of infinity", SineOfInfinity, foundation::FaultFloatInvalid},
    {"signalling NaN compared", SignallingNanCompared, foundation::FaultFloatInvalid},
    {"signalling NaN loaded", SignallingNanLoaded, foundation::FaultFloatInvalid},
    {"invalid goes first", EveryFlag, foundation::FaultFloatInvalid},
    {"division by zero before overflow", ZeroDivideAndOverflow, foundation::FaultFloatDivideByZero},
};

// Each body is small (even instrumented); its operators are inlined into it.
constexpr std::uintptr_t LargestBody = 4096;

TEST_F(SoftDifferentialTest, ExtendedFaultsWithTheX87CodeAtItsCallSite) {
    for (const TFaultCase& row : FaultCases) {
        foundation::TFaultRecord fault;
        EXPECT_FALSE(foundation::RunWithFaultCheckpoint(row.Body, nullptr, fault)) << row.Name;
        EXPECT_EQ(fault.Code, row.Code) << row.Name;
        const auto body = reinterpret_cast<std::uintptr_t>(row.Body);
        EXPECT_GT(fault.Address, body) << row.Name;
        EXPECT_LT(fault.Address, body + LargestBody) << row.Name;
    }
}

// Two stores in one body, either of which can fault: each must report its
// own address, which the compiler would lose by merging the two calls of
// the fault routine into one.
volatile int FaultingStore = 0;
void EitherOfTwoStores(void*) {
    const Extended large = Extended::FromBits(Largest);
    const Extended one(1);
    DoubleSink = StoreDouble(FaultingStore == 0 ? large : one);
    DoubleSink = StoreDouble(FaultingStore == 1 ? large : one);
}

TEST_F(SoftDifferentialTest, EachFaultingOperationReportsItsOwnAddress) {
    foundation::TFaultRecord first;
    foundation::TFaultRecord second;
    FaultingStore = 0;
    ASSERT_FALSE(foundation::RunWithFaultCheckpoint(EitherOfTwoStores, nullptr, first));
    FaultingStore = 1;
    ASSERT_FALSE(foundation::RunWithFaultCheckpoint(EitherOfTwoStores, nullptr, second));
    EXPECT_EQ(first.Code, foundation::FaultFloatOverflow);
    EXPECT_EQ(second.Code, foundation::FaultFloatOverflow);
    EXPECT_LT(first.Address, second.Address);
}

} // namespace
