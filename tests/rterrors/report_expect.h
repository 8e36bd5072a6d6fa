// Helpers for checking reports: the program's load base found without the
// code under test, and text comparison with address digits masked.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "support/program_base.h"

namespace testsupport {

inline constexpr char ProgramName[] = "rterrors_tests";

// Stands in an expected text for an address: 8 or more upper-case
// hexadecimal digits.
inline constexpr char AnyAddress[] = "<ADDR>";

inline std::string Hex8(std::uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
    return text;
}

inline std::string Visible(const std::string& text) {
    std::string shown;
    for (char c : text) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

// Byte for byte, except that each AnyAddress in expected matches 8 or more
// upper-case hexadecimal digits.
inline testing::AssertionResult MatchesMasked(const std::string& actual, const std::string& expected) {
    std::string pattern;
    for (std::size_t k = 0; k < expected.size();) {
        if (expected.compare(k, std::strlen(AnyAddress), AnyAddress) == 0) {
            pattern += "[0-9A-F]{8,}";
            k += std::strlen(AnyAddress);
            continue;
        }
        const char c = expected[k++];
        if (std::strchr(".^$|()[]{}*+?\\", c) != nullptr) {
            pattern += '\\';
        }
        pattern += c;
    }
    if (std::regex_match(actual, std::regex(pattern))) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "\n  actual:   \"" << Visible(actual) << "\"\n  expected: \"" << Visible(expected) << "\"";
}

// The hexadecimal number that follows the first occurrence of marker.
inline std::uintptr_t AddressAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no \"" << marker << "\" in \"" << Visible(text) << "\"";
        return 0;
    }
    return std::stoull(text.substr(at + marker.size(), 16), nullptr, 16);
}

// True when the instruction ending just before address is a direct call of
// target (E8 and a 32-bit displacement).
inline bool FollowsCallOf(std::uintptr_t address, const void* target) {
    const auto* code = reinterpret_cast<const unsigned char*>(address);
    if (code[-5] != 0xE8) {
        return false;
    }
    std::int32_t displacement;
    std::memcpy(&displacement, code - 4, sizeof displacement);
    return address + displacement == reinterpret_cast<std::uintptr_t>(target);
}

} // namespace testsupport
