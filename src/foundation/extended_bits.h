// SPDX-License-Identifier: MIT
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
    static constexpr std::uint64_t QuietBit = 0x4000000000000000ULL; // of a NaN
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

    // The encodings as the x87 tells them apart, the one classification of
    // them. A non-zero exponent without the integer bit (an unnormal, a
    // pseudo-infinity, a pseudo-NaN) is unsupported: every operation rejects
    // it. Denormals and pseudo-denormals are finite.
    enum class TKind { Zero, Finite, Infinity, QuietNan, SignalingNan, Unsupported };

    // A normal number, the common case: exponent neither 0 nor all ones,
    // integer bit set.
    constexpr bool IsNormal() const {
        return static_cast<std::uint16_t>(Exponent() - 1) < ExponentMask - 1 &&
               (Significand & IntegerBit) != 0;
    }
    constexpr TKind Kind() const {
        if (IsNormal()) {
            return TKind::Finite;
        }
        if (Exponent() == 0) {
            return Significand == 0 ? TKind::Zero : TKind::Finite;
        }
        if ((Significand & IntegerBit) == 0) {
            return TKind::Unsupported;
        }
        if (Significand == IntegerBit) {
            return TKind::Infinity;
        }
        return (Significand & QuietBit) != 0 ? TKind::QuietNan : TKind::SignalingNan;
    }
    constexpr bool IsZero() const { return Kind() == TKind::Zero; }
    constexpr bool IsInfinity() const { return Kind() == TKind::Infinity; }
    constexpr bool IsNan() const {
        const TKind kind = Kind();
        return kind == TKind::QuietNan || kind == TKind::SignalingNan;
    }
    // The exponent field all ones: an infinity, a NaN, or one of the
    // unsupported encodings with that exponent.
    constexpr bool IsSpecial() const { return Exponent() == ExponentMask; }

    constexpr bool operator==(const ExtendedBits&) const = default;
};

} // namespace foundation
