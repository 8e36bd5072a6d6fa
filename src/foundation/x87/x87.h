// SPDX-License-Identifier: MIT
// Direct access to the x87 floating-point unit: control and status words,
// the store that rounds an extended value to double, FSIN and FISTP.
// This header is the only place with inline assembly.
#pragma once

#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 80-bit extended type (64-bit significand)");
static_assert(std::numeric_limits<long double>::max_exponent == 16384,
              "long double must have the 15-bit extended exponent");

namespace foundation {

// Reserved bits of the control word; bit 6 reads back as 1 on current
// processors whatever was loaded, so compare control words without them.
inline constexpr std::uint16_t ControlWordReservedBits = 0xE0C0;

// Status word bits read after FSIN.
inline constexpr std::uint16_t StatusC2 = 0x0400; // operand out of range for FSIN

// Resets the unit (FNINIT: clear the flags, empty the stack), FWAIT, then
// loads the given control word (FLDCW).
// Every x87 register is declared clobbered: FNINIT empties the stack, so the
// compiler must not keep a long double in a register across this call.
inline void ResetArithmetic(std::uint16_t controlWord) {
    asm volatile("fninit\n\tfwait\n\tfldcw %0"
                 :
                 : "m"(controlWord)
                 : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

inline std::uint16_t ReadControlWord() {
    std::uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline std::uint16_t ReadStatusWord() {
    std::uint16_t word;
    asm volatile("fnstsw %0" : "=m"(word));
    return word;
}

// Rounds an extended value to double by FSTP to a 64-bit memory operand.
// The FWAIT right behind makes a trapped overflow or invalid operation fault
// at this store rather than at whatever x87 instruction comes next.
// Every value the program stores into a double goes through here.
[[gnu::always_inline]] inline double StoreDouble(long double value) {
    double stored;
    asm volatile("fstpl %0\n\tfwait" : "=m"(stored) : "t"(value) : "st");
    return stored;
}

// Forces a pending unmasked exception of the unit to fault now (FWAIT).
inline void RaisePendingFaults() {
    asm volatile("fwait");
}

// FSIN on the extended argument. When the unit reports the operand out of
// range (C2 set: magnitude 2^63 or more) the operand is discarded and +0.0
// is the result. An infinity faults with an invalid operation at the FWAIT.
inline long double ExtendedSine(long double x) {
    long double result;
    std::uint16_t status;
    asm volatile("fsin\n\tfnstsw %%ax\n\tfwait" : "=t"(result), "=a"(status) : "0"(x));
    if (status & StatusC2) {
        return 0.0L;
    }
    return result;
}

// Rounds an extended value to a 64-bit integer with FISTP, under the
// rounding control of the unit (to nearest, ties to even).
inline std::int64_t RoundToInt64(long double value) {
    std::int64_t result;
    asm volatile("fistpll %0\n\tfwait" : "=m"(result) : "t"(value) : "st");
    return result;
}

} // namespace foundation
