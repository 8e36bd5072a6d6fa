// SPDX-License-Identifier: MIT
// The floating-point control word the program runs under, loaded for every
// fuzz input, and a way to fail loudly with the input's context.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "foundation/arithmetic_policy.h"
#include "foundation/extended.h"

namespace fuzz {

// Invalid operation, division by zero and overflow trap; 64-bit significand,
// rounding to nearest.
inline constexpr std::uint16_t TrappingControlWord = foundation::ProgramControlWord;
// The same with overflow masked (bit 3), for inputs whose overflow is the
// specified outcome rather than a fault of the code under test.
inline constexpr std::uint16_t OverflowMaskedControlWord =
    TrappingControlWord | foundation::ConditionOverflow;

inline void UseControlWord(std::uint16_t word) {
    foundation::ResetArithmetic(word);
}

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void Require(bool condition, const char* what) {
    if (!condition) Fail(what);
}

} // namespace fuzz
