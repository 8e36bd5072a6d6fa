// SPDX-License-Identifier: MIT
#include "rterrors/fpu_control.h"

#include "foundation/extended.h"

namespace rterrors {

namespace {

constexpr std::int32_t JapaneseKeyboard = 7;
constexpr std::int32_t SubtypeBits = 0xFF00;
constexpr std::int32_t OverrideSubtypes[] = {0x0D00, 0x0400};

bool MaskOverrideApplied = false;

} // namespace

std::uint16_t DefaultFpuControlWord = foundation::ProgramControlWord;

bool NeedsFpuMaskOverride(const foundation::TKeyboardType& keyboard) {
    if (keyboard.Type != JapaneseKeyboard) {
        return false;
    }
    for (const std::int32_t subtype : OverrideSubtypes) {
        if ((keyboard.Subtype & SubtypeBits) == subtype) {
            return true;
        }
    }
    return false;
}

std::uint16_t OverriddenFpuControlWord(std::uint16_t word, const TFpuMaskQueries& queries) {
    if (!NeedsFpuMaskOverride(queries.KeyboardType())) {
        return word;
    }
    // A value shorter than four bytes keeps the word's bytes above its own.
    std::uint32_t value = word;
    return queries.ReadMaskValue(value) ? WithFpuMasks(word, value) : word;
}

void ApplyFpuMaskOverride(const TFpuMaskQueries& queries) {
    if (MaskOverrideApplied) {
        return;
    }
    MaskOverrideApplied = true;
    DefaultFpuControlWord = OverriddenFpuControlWord(DefaultFpuControlWord, queries);
}

void ResetFpu() {
    foundation::ResetArithmetic(DefaultFpuControlWord);
}

} // namespace rterrors
