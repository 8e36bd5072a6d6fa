// SPDX-License-Identifier: MIT
// The control word under which all real arithmetic runs, and the start-up
// override of its exception masks. The word's bits and the conditions that
// fault under it are laid down in foundation's arithmetic policy; this layer
// settles the word once at start-up and resets the unit with it.
#pragma once

#include <cstdint>

#include "foundation/arithmetic_policy.h"
#include "foundation/mask_override.h"

namespace rterrors {

// The word every ResetFpu loads: the program's control word, whose six
// exception masks ApplyFpuMaskOverride may replace, once, at start-up.
extern std::uint16_t DefaultFpuControlWord;

// The platform's answers the override depends on; tests give their own.
struct TFpuMaskQueries {
    foundation::TKeyboardType (*KeyboardType)() = foundation::QueryKeyboardType;
    bool (*ReadMaskValue)(std::uint32_t& value) = foundation::ReadFpuMaskValue;
};

// A Japanese keyboard (type 7) whose subtype holds 0x0D or 0x04 in bits 8
// to 15: on such machines the masks come from the registry value.
bool NeedsFpuMaskOverride(const foundation::TKeyboardType& keyboard);

// word with its six exception masks taken from value; its other bits stay.
constexpr std::uint16_t WithFpuMasks(std::uint16_t word, std::uint32_t value) {
    return static_cast<std::uint16_t>((word & ~foundation::ConditionMaskBits) |
                                      (value & foundation::ConditionMaskBits));
}

// The word start-up settles on from word: on a machine that
// NeedsFpuMaskOverride and has the registry value, word with the value's
// masks; otherwise (another keyboard, no key, no value, a value that does
// not fit in four bytes) word itself.
std::uint16_t OverriddenFpuControlWord(std::uint16_t word, const TFpuMaskQueries& queries);

// Start-up, before the first ResetFpu: DefaultFpuControlWord becomes
// OverriddenFpuControlWord of itself. Only the first call does anything.
void ApplyFpuMaskOverride(const TFpuMaskQueries& queries = {});

// FNINIT, FWAIT, FLDCW DefaultFpuControlWord.
void ResetFpu();

} // namespace rterrors
