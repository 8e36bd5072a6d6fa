// SPDX-License-Identifier: MIT
// Helpers for the number-output tests: text and extended-value builders.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/extended.h"
#include "textio/text_stream.h"

namespace numout {

inline std::string Text(const textio::TShortText& text) {
    return std::string(text.View());
}

// Any encoding from its fields: denormals, NaNs and the unsupported ones too.
inline foundation::Extended FromFields(bool negative, std::uint16_t exponent,
                                       std::uint64_t significand) {
    return foundation::ExtendedFromBits(
        foundation::ExtendedBits::Make(negative, exponent, significand));
}

} // namespace numout
