// The common start of an integer and a real token: spaces (byte 32 only,
// no other blanks), then at most one sign.
#pragma once

namespace textio {

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
