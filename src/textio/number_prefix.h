// SPDX-License-Identifier: MIT
// The common start of an integer and a real token: spaces (byte 32 only,
// no other blanks), then at most one sign; and the error position.
#pragma once

#include <cstdint>

namespace textio {

// The 1-based index of the byte at p in text, as an error position.
inline std::int32_t PositionOf(const char* text, const char* p) {
    return static_cast<std::int32_t>(p - text) + 1;
}

// Advances p past the spaces and the sign; true when the sign was "-".
inline bool SkipSpacesAndSign(const char*& p) {
    while (*p == ' ') {
        ++p;
    }
    if (*p == '-') {
        ++p;
        return true;
    }
    if (*p == '+') {
        ++p;
    }
    return false;
}

} // namespace textio
