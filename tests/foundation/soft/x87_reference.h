// The real x87 as the reference for the software arithmetic: each operation
// runs with every exception masked and reports the status flags it raised,
// so IE, ZE and OE say what would have trapped under the program's control
// word. Also a fixture that keeps the unit's state, and a seeded source of
// operand bits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "foundation/extended_bits.h"

namespace softtest {

using foundation::ExtendedBits;

// Precision 64 bits, round to nearest, every exception masked.
inline constexpr std::uint16_t MaskedControlWord = 0x133F;
// IE, ZE and OE: the flags the program's control word does not mask.
inline constexpr unsigned TrappingFlags = 0x0D;
inline constexpr std::uint16_t StatusC2 = 0x0400; // FSIN: operand out of range

inline long double LongDoubleOf(ExtendedBits bits) {
    long double value = 0.0L;
    unsigned char bytes[10];
    std::memcpy(bytes, &bits.Significand, 8);
    std::memcpy(bytes + 8, &bits.SignExponent, 2);
    std::memcpy(&value, bytes, sizeof bytes);
    return value;
}

inline ExtendedBits LongDoubleBits(const long double& value) {
    unsigned char bytes[10];
    std::memcpy(bytes, &value, sizeof bytes);
    ExtendedBits bits;
    std::memcpy(&bits.Significand, bytes, 8);
    std::memcpy(&bits.SignExponent, bytes + 8, 2);
    return bits;
}

struct TX87Result {
    ExtendedBits Bits;
    unsigned Flags;
};

enum class TBinaryOp { Add, Subtract, Multiply, Divide };

// a op b with a in ST(0) and b in ST(1); the ST(0)-destination forms have no
// operand-order ambiguity in the assembler's syntax.
inline TX87Result X87Binary(TBinaryOp op, ExtendedBits a, ExtendedBits b) {
    const long double x = LongDoubleOf(a);
    const long double y = LongDoubleOf(b);
    long double result = 0.0L;
    std::uint16_t status = 0;
#define SOFTTEST_X87_BINARY(instruction)                                                           \
    asm volatile("fnclex\n\tfldt %[y]\n\tfldt %[x]\n\t" instruction " %%st(1), %%st\n\t"           \
                 "fstpt %[r]\n\tfstp %%st(0)\n\tfnstsw %[s]"                                       \
                 : [r] "=m"(result), [s] "=m"(status)                                              \
                 : [x] "m"(x), [y] "m"(y))
    switch (op) {
    case TBinaryOp::Add: SOFTTEST_X87_BINARY("fadd"); break;
    case TBinaryOp::Subtract: SOFTTEST_X87_BINARY("fsub"); break;
    case TBinaryOp::Multiply: SOFTTEST_X87_BINARY("fmul"); break;
    case TBinaryOp::Divide: SOFTTEST_X87_BINARY("fdiv"); break;
    }
#undef SOFTTEST_X87_BINARY
    return {LongDoubleBits(result), status & TrappingFlags};
}

inline double X87ToDouble(ExtendedBits a, unsigned& flags) {
    const long double x = LongDoubleOf(a);
    double result = 0.0;
    std::uint16_t status = 0;
    asm volatile("fnclex\n\tfldt %[x]\n\tfstpl %[r]\n\tfnstsw %[s]"
                 : [r] "=m"(result), [s] "=m"(status)
                 : [x] "m"(x));
    flags = status & TrappingFlags;
    return result;
}

inline std::int64_t X87ToInt64(ExtendedBits a, unsigned& flags) {
    const long double x = LongDoubleOf(a);
    std::int64_t result = 0;
    std::uint16_t status = 0;
    asm volatile("fnclex\n\tfldt %[x]\n\tfistpll %[r]\n\tfnstsw %[s]"
                 : [r] "=m"(result), [s] "=m"(status)
                 : [x] "m"(x));
    flags = status & TrappingFlags;
    return result;
}

// Loads the 8-byte (a double, or a 64-bit integer) or 4-byte pattern.
enum class TLoadKind { Double, Float, Int64 };

inline TX87Result X87Load(TLoadKind kind, std::uint64_t raw) {
    long double result = 0.0L;
    std::uint16_t status = 0;
    const auto narrow = static_cast<std::uint32_t>(raw);
    switch (kind) {
    case TLoadKind::Double:
        asm volatile("fnclex\n\tfldl %[v]\n\tfstpt %[r]\n\tfnstsw %[s]"
                     : [r] "=m"(result), [s] "=m"(status)
                     : [v] "m"(raw));
        break;
    case TLoadKind::Float:
        asm volatile("fnclex\n\tflds %[v]\n\tfstpt %[r]\n\tfnstsw %[s]"
                     : [r] "=m"(result), [s] "=m"(status)
                     : [v] "m"(narrow));
        break;
    case TLoadKind::Int64:
        asm volatile("fnclex\n\tfildll %[v]\n\tfstpt %[r]\n\tfnstsw %[s]"
                     : [r] "=m"(result), [s] "=m"(status)
                     : [v] "m"(raw));
        break;
    }
    return {LongDoubleBits(result), status & TrappingFlags};
}

// FUCOMI of a with b: -1, 0, 1, or 2 for unordered.
inline int X87Compare(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    const long double x = LongDoubleOf(a);
    const long double y = LongDoubleOf(b);
    std::uint16_t status = 0;
    bool zero;
    bool parity;
    bool carry;
    asm volatile("fnclex\n\tfldt %[y]\n\tfldt %[x]\n\tfucomi %%st(1), %%st\n\t"
                 "fstp %%st(0)\n\tfstp %%st(0)\n\tfnstsw %[s]"
                 : [s] "=m"(status), "=@ccz"(zero), "=@ccp"(parity), "=@ccc"(carry)
                 : [x] "m"(x), [y] "m"(y));
    flags = status & TrappingFlags;
    if (parity) {
        return 2;
    }
    return zero ? 0 : carry ? -1 : 1;
}

// FSIN; outOfRange tells whether the unit set C2 and left the operand.
inline TX87Result X87Sine(ExtendedBits a, bool& outOfRange) {
    const long double x = LongDoubleOf(a);
    long double result = 0.0L;
    std::uint16_t status = 0;
    asm volatile("fnclex\n\tfldt %[x]\n\tfsin\n\tfnstsw %[s]\n\tfstpt %[r]"
                 : [r] "=m"(result), [s] "=m"(status)
                 : [x] "m"(x));
    outOfRange = (status & StatusC2) != 0;
    return {LongDoubleBits(result), status & TrappingFlags};
}

// Runs every test with the exceptions masked and puts the unit's control
// word back afterwards.
class MaskedFpuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        asm volatile("fnstcw %0" : "=m"(SavedControlWord));
        asm volatile("fnclex\n\tfldcw %0" : : "m"(MaskedControlWord));
    }
    void TearDown() override { asm volatile("fnclex\n\tfldcw %0" : : "m"(SavedControlWord)); }

  private:
    std::uint16_t SavedControlWord = 0;
};

// Seeded random bits, with the shapes the operand drawers build on.
class TRandomBits {
  public:
    explicit TRandomBits(std::uint64_t seed) : Engine(seed) {}

    std::uint64_t Next() { return Engine(); }
    bool Coin() { return (Engine() & 1) != 0; }
    // Uniform in [low, high].
    int Range(int low, int high) {
        return low + static_cast<int>(Engine() % static_cast<std::uint64_t>(high - low + 1));
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Engine() >> 11) * 0x1p-53; }
    // A normalised significand whose lowest set bit is at a random place, or
    // with just one or two more bits than the integer bit, so that sums,
    // products and narrowings land on or right beside rounding boundaries
    // often, with the sticky bits all that tells them apart.
    std::uint64_t Significand() {
        if (Range(0, 3) == 0) {
            return ExtendedBits::IntegerBit | 1ULL << Range(0, 62) |
                   (Coin() ? 1ULL << Range(0, 62) : 0);
        }
        const int lowest = Range(0, 63);
        return ((Next() | ExtendedBits::IntegerBit) >> lowest << lowest) | (1ULL << lowest);
    }

  private:
    std::mt19937_64 Engine;
};

} // namespace softtest
