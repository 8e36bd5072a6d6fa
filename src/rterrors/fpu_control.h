// The control word under which all real arithmetic runs.
//
//  bit 0     invalid-operation mask   0  invalid operation faults
//  bit 1     denormal-operand mask    1
//  bit 2     zero-divide mask         0  division by zero faults
//  bit 3     overflow mask            0  overflow faults
//  bit 4     underflow mask           1
//  bit 5     precision mask           1
//  bits 8-9  precision control        3  64-bit significand
//  bits 10-11 rounding control        0  to nearest, ties to even
//  bit 12    infinity control         1  (no effect on current processors)
//
// The mask override that some systems read from a registry value at start-up
// has no counterpart here (no registry, no keyboard-type query), so the word
// is always the default.
#pragma once

#include <cstdint>

namespace rterrors {

inline constexpr std::uint16_t DefaultFpuControlWord = 0x1332;

// FNINIT, FWAIT, FLDCW DefaultFpuControlWord.
void ResetFpu();

} // namespace rterrors
