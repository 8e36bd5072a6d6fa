// SPDX-License-Identifier: MIT
// The suffix of a new file beside its target, for the platform folders:
// ".~" and eight hexadecimal digits, from a number of the process and the
// attempt, so that two runs and two attempts name different files.
#pragma once

#include "foundation/output_file.h"

namespace foundation {

inline constexpr unsigned BesideSuffixAttempts = 64;

inline void MakeBesideSuffix(unsigned process, unsigned attempt,
                             char (&suffix)[BesideSuffixCapacity]) {
    constexpr char Digits[] = "0123456789abcdef";
    constexpr int HexDigits = 8;
    const unsigned value = process * 0x9E3779B1U + attempt;
    suffix[0] = '.';
    suffix[1] = '~';
    for (int i = 0; i < HexDigits; ++i)
        suffix[2 + i] = Digits[(value >> (4 * (HexDigits - 1 - i))) & 0xFU];
    suffix[2 + HexDigits] = '\0';
}

} // namespace foundation
