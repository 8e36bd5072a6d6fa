// SPDX-License-Identifier: MIT
// Fills a message pattern into a fixed buffer. Directives: %s text, %d
// signed decimal, %x upper-case hexadecimal without leading zeros, %p an
// address as upper-case hexadecimal with at least 8 digits (more when the
// value needs them; an address is never cut), %% a percent sign.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rterrors {

struct TFormatArg {
    enum class TKind { Text, Signed, Unsigned };

    static TFormatArg Text(std::string_view text) { return {TKind::Text, text, 0}; }
    static TFormatArg Signed(std::int64_t value) {
        return {TKind::Signed, {}, static_cast<std::uint64_t>(value)};
    }
    static TFormatArg Unsigned(std::uint64_t value) { return {TKind::Unsigned, {}, value}; }

    TKind Kind;
    std::string_view Chars;
    std::uint64_t Bits;
};

inline constexpr int AddressMinDigits = 8;

// Writes at most size - 1 characters and a terminating zero; returns the
// number of characters written. Arguments are taken in order; a directive
// with no argument left writes nothing.
std::size_t FormatText(char* buffer, std::size_t size, std::string_view pattern,
                       std::initializer_list<TFormatArg> args);

// The same into a new string (for exception messages), up to 1023 characters.
std::string FormatResourceText(std::string_view pattern, std::initializer_list<TFormatArg> args);

} // namespace rterrors
