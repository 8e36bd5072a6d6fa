// Helpers for the number-output tests: text and extended-value builders.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/extended_bits.h"
#include "textio/text_stream.h"

namespace numout {

inline std::string Text(const textio::TShortText& text) {
    return std::string(text.View());
}

inline long double Extended(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    return foundation::ExtendedBits::Make(negative, exponent, significand).Value();
}

} // namespace numout
