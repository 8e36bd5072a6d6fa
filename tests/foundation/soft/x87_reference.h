// SPDX-License-Identifier: MIT
// The real x87 as the reference for the software arithmetic: each operation
// runs with every exception masked (MaskedControlWord loaded) and reports the
// status flags it raised, so IE, ZE and OE say what would have trapped under
// the program's control word. Shared by the tests and the fuzz target.
#pragma once

#include <cstdint>
#include <cstring>

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

} // namespace softtest
