// SPDX-License-Identifier: MIT
// Checking reports and run-error lines: byte for byte, except that code
// addresses, which depend on how the program is laid out, are masked.
// Header-only, so that a runner built outside this project can use it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

// Stands in an expected text for a code address: 8 to 16 upper-case
// hexadecimal digits. The transcripts' expected errors are written so.
inline constexpr char AnyAddress[] = "########";

// The three-line report of an exception nobody handles, its address masked;
// `message` is the second line as shown.
inline std::string ReportOf(const std::string& module, const std::string& className,
                            const std::string& message) {
    return "Exception " + className + " in module " + module + " at " + AnyAddress + ".\r\n" +
           message + "\r\n\r\n";
}

// The expected text as an extended regular expression of the whole text;
// death tests match with it.
inline std::string MaskedPattern(const std::string& expected) {
    const std::size_t maskLength = std::strlen(AnyAddress);
    std::string pattern = "^";
    for (std::size_t k = 0; k < expected.size();) {
        if (expected.compare(k, maskLength, AnyAddress) == 0) {
            pattern += "[0-9A-F]{8,16}";
            k += maskLength;
            continue;
        }
        const char c = expected[k++];
        if (std::strchr(".^$|()[]{}*+?\\", c) != nullptr) {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "$";
}

// Byte for byte, except that each AnyAddress in expected stands for an address.
inline testing::AssertionResult MatchesMasked(const std::string& actual,
                                              const std::string& expected) {
    if (std::regex_match(actual, std::regex(MaskedPattern(expected), std::regex::extended))) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "\n  actual:   " << testing::PrintToString(actual)
                                       << "\n  expected: " << testing::PrintToString(expected);
}

// An address as the report shows it: at least 8 upper-case digits.
inline std::string Hex8(std::uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

// The hexadecimal number that follows the first occurrence of marker.
inline std::uintptr_t AddressAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no \"" << marker << "\" in " << testing::PrintToString(text);
        return 0;
    }
    return std::stoull(text.substr(at + marker.size(), 16), nullptr, 16);
}

} // namespace testsupport
