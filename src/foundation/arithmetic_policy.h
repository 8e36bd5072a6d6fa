// SPDX-License-Identifier: MIT
// The arithmetic policy of the program, in the x87 control word's layout,
// the one place it is defined. The x87 backend loads the word as it stands;
// the software backend derives from it which conditions fault.
//
//  bit 0      invalid-operation mask   0  invalid operation faults
//  bit 1      denormal-operand mask    1
//  bit 2      zero-divide mask         0  division by zero faults
//  bit 3      overflow mask            0  overflow faults
//  bit 4      underflow mask           1
//  bit 5      precision mask           1
//  bits 8-9   precision control        3  64-bit significand
//  bits 10-11 rounding control         0  to nearest, ties to even
//  bit 12     infinity control         1  (no effect on current processors)
#pragma once

#include <cstdint>

namespace foundation {

// Exception conditions: their mask bits in the control word, and the same
// bits as flags in the status word.
inline constexpr std::uint16_t ConditionInvalid = 0x01;
inline constexpr std::uint16_t ConditionDenormal = 0x02;
inline constexpr std::uint16_t ConditionZeroDivide = 0x04;
inline constexpr std::uint16_t ConditionOverflow = 0x08;
inline constexpr std::uint16_t ConditionUnderflow = 0x10;
inline constexpr std::uint16_t ConditionInexact = 0x20;
inline constexpr std::uint16_t ConditionMaskBits = 0x3F;

inline constexpr std::uint16_t ProgramControlWord = 0x1332;

// The conditions that fault under a control word: those whose mask is clear.
constexpr std::uint16_t FaultingConditions(std::uint16_t controlWord) {
    return static_cast<std::uint16_t>(~controlWord & ConditionMaskBits);
}

static_assert(FaultingConditions(ProgramControlWord) ==
              (ConditionInvalid | ConditionZeroDivide | ConditionOverflow));

} // namespace foundation
