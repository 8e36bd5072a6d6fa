// The control word under which all real arithmetic runs. Its bits and the
// conditions that fault under it are laid down in foundation's arithmetic
// policy; this layer resets the unit with it.
#pragma once

#include <cstdint>

#include "foundation/arithmetic_policy.h"

namespace rterrors {

inline constexpr std::uint16_t DefaultFpuControlWord = foundation::ProgramControlWord;

// FNINIT, FWAIT, FLDCW DefaultFpuControlWord.
void ResetFpu();

} // namespace rterrors
