// The 80-bit extended format as fields: sign 1 bit, exponent 15 bits biased
// by 16383, significand 64 bits with an explicit integer bit. Only the ten
// value bytes are read or written, never the padding of the long double.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace foundation {

struct ExtendedBits {
    static constexpr int ExponentBias = 16383;
    static constexpr std::uint16_t ExponentMask = 0x7FFF;
    static constexpr std::uint16_t SignMask = 0x8000;
    static constexpr std::uint64_t IntegerBit = 0x8000000000000000ULL;

    std::uint64_t Significand = 0;
    std::uint16_t SignExponent = 0;

    static ExtendedBits Of(long double value) {
        unsigned char bytes[10];
        std::memcpy(bytes, &value, sizeof bytes);
        ExtendedBits bits;
        std::memcpy(&bits.Significand, bytes, 8);
        std::memcpy(&bits.SignExponent, bytes + 8, 2);
        return bits;
    }

    static ExtendedBits Make(bool negative, std::uint16_t exponent, std::uint64_t significand) {
        ExtendedBits bits;
        bits.Significand = significand;
        bits.SignExponent =
            static_cast<std::uint16_t>((negative ? SignMask : 0) | (exponent & ExponentMask));
        return bits;
    }

    long double Value() const {
        long double value = 0.0L;
        unsigned char bytes[10];
        std::memcpy(bytes, &Significand, 8);
        std::memcpy(bytes + 8, &SignExponent, 2);
        std::memcpy(&value, bytes, sizeof bytes);
        return value;
    }

    bool Negative() const { return (SignExponent & SignMask) != 0; }
    std::uint16_t Exponent() const { return SignExponent & ExponentMask; }
    bool IsSpecial() const { return Exponent() == ExponentMask; }
    bool IsInfinity() const { return IsSpecial() && Significand == IntegerBit; }
    bool IsNan() const { return IsSpecial() && Significand != IntegerBit; }
    bool IsZero() const { return Exponent() == 0 && Significand == 0; }

    bool operator==(const ExtendedBits&) const = default;
};

// Builds an extended constant exactly from its ten little-endian bytes.
inline long double ExtendedFromBytes(const std::array<std::uint8_t, 10>& bytes) {
    long double value = 0.0L;
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
}

inline std::array<std::uint8_t, 10> ExtendedToBytes(long double value) {
    std::array<std::uint8_t, 10> bytes{};
    std::memcpy(bytes.data(), &value, bytes.size());
    return bytes;
}

} // namespace foundation
