// The 80-bit extended format as fields: sign 1 bit, exponent 15 bits biased
// by 16383, significand 64 bits with an explicit integer bit. Stored as ten
// little-endian bytes: the significand, then sign and exponent.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace foundation {

// Every target of the program stores integers little-endian, as the format's
// ten bytes are; the fields are then copied as they lie.
static_assert(std::endian::native == std::endian::little);

struct ExtendedBits {
    static constexpr int ExponentBias = 16383;
    static constexpr std::uint16_t ExponentMask = 0x7FFF;
    static constexpr std::uint16_t SignMask = 0x8000;
    static constexpr std::uint64_t IntegerBit = 0x8000000000000000ULL;
    static constexpr int ValueBytes = 10;

    std::uint64_t Significand = 0;
    std::uint16_t SignExponent = 0;

    static constexpr ExtendedBits Make(bool negative, std::uint16_t exponent,
                                       std::uint64_t significand) {
        ExtendedBits bits;
        bits.Significand = significand;
        bits.SignExponent =
            static_cast<std::uint16_t>((negative ? SignMask : 0) | (exponent & ExponentMask));
        return bits;
    }

    static constexpr ExtendedBits FromBytes(const unsigned char* bytes) {
        ExtendedBits bits;
        if (!std::is_constant_evaluated()) {
            std::memcpy(&bits.Significand, bytes, sizeof bits.Significand);
            std::memcpy(&bits.SignExponent, bytes + 8, sizeof bits.SignExponent);
            return bits;
        }
        for (int k = 7; k >= 0; --k) {
            bits.Significand = (bits.Significand << 8) | bytes[k];
        }
        bits.SignExponent = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
        return bits;
    }

    constexpr void ToBytes(unsigned char* bytes) const {
        if (!std::is_constant_evaluated()) {
            std::memcpy(bytes, &Significand, sizeof Significand);
            std::memcpy(bytes + 8, &SignExponent, sizeof SignExponent);
            return;
        }
        for (int k = 0; k < 8; ++k) {
            bytes[k] = static_cast<unsigned char>(Significand >> (8 * k));
        }
        bytes[8] = static_cast<unsigned char>(SignExponent);
        bytes[9] = static_cast<unsigned char>(SignExponent >> 8);
    }

    constexpr bool Negative() const { return (SignExponent & SignMask) != 0; }
    constexpr std::uint16_t Exponent() const { return SignExponent & ExponentMask; }
    constexpr bool IsSpecial() const { return Exponent() == ExponentMask; }
    constexpr bool IsInfinity() const { return IsSpecial() && Significand == IntegerBit; }
    constexpr bool IsNan() const { return IsSpecial() && Significand != IntegerBit; }
    constexpr bool IsZero() const { return Exponent() == 0 && Significand == 0; }

    constexpr bool operator==(const ExtendedBits&) const = default;
};

} // namespace foundation
