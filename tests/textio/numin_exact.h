// Exact arithmetic for checking extended results: natural numbers of any
// size, and a model of one extended operation (exact result, then a single
// rounding to a 64-bit significand, ties to even, with gradual underflow).
// Test-only; it shares nothing with the code under test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "foundation/extended_bits.h"

namespace numin {

// A natural number in base 2^32, least significant limb first, no leading zeros.
class BigNat {
public:
    BigNat() = default;
    explicit BigNat(std::uint64_t value) {
        while (value != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(value));
            value >>= 32;
        }
    }

    static BigNat PowerOfTen(int k) {
        BigNat result(1);
        for (int i = 0; i < k; ++i) {
            result.MulSmall(10);
        }
        return result;
    }

    bool IsZero() const { return limbs_.empty(); }

    int BitLength() const {
        if (limbs_.empty()) {
            return 0;
        }
        int bits = static_cast<int>(limbs_.size() - 1) * 32;
        for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) {
            ++bits;
        }
        return bits;
    }

    bool Bit(int i) const {
        const std::size_t limb = static_cast<std::size_t>(i) / 32;
        return limb < limbs_.size() && ((limbs_[limb] >> (i % 32)) & 1) != 0;
    }

    // True when any bit below position i is set.
    bool AnyBitBelow(int i) const {
        for (int b = 0; b < i; ++b) {
            if (Bit(b)) {
                return true;
            }
        }
        return false;
    }

    // Bits [from, from + 64) as a 64-bit number.
    std::uint64_t BitsFrom(int from) const {
        std::uint64_t result = 0;
        for (int b = 63; b >= 0; --b) {
            result = (result << 1) | (Bit(from + b) ? 1 : 0);
        }
        return result;
    }

    void MulSmall(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (auto& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
        Trim();
    }

    void AddSmall(std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; carry != 0; ++i) {
            if (i == limbs_.size()) {
                limbs_.push_back(0);
            }
            const std::uint64_t sum = std::uint64_t{limbs_[i]} + carry;
            limbs_[i] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
    }

    void ShiftLeft(int bits) {
        if (limbs_.empty() || bits == 0) {
            return;
        }
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(bits / 32), 0u);
        const int rest = bits % 32;
        if (rest != 0) {
            std::uint32_t carry = 0;
            for (auto& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - rest);
                limb = (limb << rest) | carry;
                carry = next;
            }
            if (carry != 0) {
                limbs_.push_back(carry);
            }
        }
    }

    friend BigNat operator*(const BigNat& a, const BigNat& b) {
        BigNat result;
        result.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
                const std::uint64_t t =
                    std::uint64_t{a.limbs_[i]} * b.limbs_[j] + result.limbs_[i + j] + carry;
                result.limbs_[i + j] = static_cast<std::uint32_t>(t);
                carry = t >> 32;
            }
            result.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
        }
        result.Trim();
        return result;
    }

    friend BigNat operator+(BigNat a, const BigNat& b) {
        a.limbs_.resize(std::max(a.limbs_.size(), b.limbs_.size()) + 1, 0);
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            const std::uint64_t sum =
                std::uint64_t{a.limbs_[i]} + (i < b.limbs_.size() ? b.limbs_[i] : 0) + carry;
            a.limbs_[i] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        a.Trim();
        return a;
    }

    // Divides in place by a non-zero 64-bit divisor; returns whether the
    // remainder is non-zero.
    bool DivideBy(std::uint64_t divisor) {
        unsigned __int128 remainder = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const unsigned __int128 part = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(part / divisor);
            remainder = part % divisor;
        }
        Trim();
        return remainder != 0;
    }

private:
    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
    }

    std::vector<std::uint32_t> limbs_;
};

// An extended value as significand times a power of two.
struct Exact {
    bool Negative = false;
    std::uint64_t Significand = 0;
    int Exponent2 = 0; // value = Significand * 2^Exponent2
    bool Overflow = false; // beyond the largest finite extended value

    foundation::ExtendedBits Bits() const;
};

inline constexpr int ExtendedBias = 16383;
// Exponent of the least significant significand bit of the smallest
// normal (and of every denormal) extended value.
inline constexpr int MinQuantum = 1 - ExtendedBias - 63;

// Rounds magnitude * 2^exponent2 (plus a non-zero tail below the last bit
// of magnitude when sticky is set) to the extended format.
inline Exact RoundToExtended(const BigNat& magnitude, int exponent2, bool sticky = false) {
    Exact result;
    if (magnitude.IsZero()) {
        result.Exponent2 = MinQuantum;
        return result;
    }
    int quantum = std::max(magnitude.BitLength() - 64 + exponent2, MinQuantum);
    const int shift = quantum - exponent2;
    std::uint64_t significand;
    if (shift <= 0) {
        significand = magnitude.BitsFrom(0) << -shift;
    } else {
        significand = magnitude.BitsFrom(shift);
        const bool half = magnitude.Bit(shift - 1);
        const bool below = sticky || magnitude.AnyBitBelow(shift - 1);
        if (half && (below || (significand & 1) != 0)) {
            ++significand;
            if (significand == 0) { // carried out of 64 bits
                significand = foundation::ExtendedBits::IntegerBit;
                ++quantum;
            }
        }
    }
    result.Significand = significand;
    result.Exponent2 = quantum;
    result.Overflow = significand != 0 && quantum + 63 + ExtendedBias >= 0x7FFF;
    return result;
}

inline foundation::ExtendedBits Exact::Bits() const {
    std::uint16_t biased = 0;
    if ((Significand & foundation::ExtendedBits::IntegerBit) != 0) {
        biased = static_cast<std::uint16_t>(Exponent2 + 63 + ExtendedBias);
    }
    return foundation::ExtendedBits::Make(Negative, biased, Significand);
}

inline Exact FromBits(foundation::ExtendedBits bits) {
    Exact value;
    value.Negative = bits.Negative();
    value.Significand = bits.Significand;
    value.Exponent2 = bits.Exponent() == 0 ? MinQuantum : bits.Exponent() - ExtendedBias - 63;
    return value;
}

// The nearest extended value to 10^k.
inline Exact PowerOfTen(int k) { return RoundToExtended(BigNat::PowerOfTen(k), 0); }

// One rounded extended multiplication of non-negative operands.
inline Exact Multiply(const Exact& a, const Exact& b) {
    return RoundToExtended(BigNat(a.Significand) * BigNat(b.Significand),
                           a.Exponent2 + b.Exponent2);
}

// One rounded extended division of non-negative operands, b not zero.
inline Exact Divide(const Exact& a, const Exact& b) {
    constexpr int ExtraBits = 130; // quotient keeps at least 66 bits
    BigNat quotient(a.Significand);
    quotient.ShiftLeft(ExtraBits);
    const bool sticky = quotient.DivideBy(b.Significand);
    return RoundToExtended(quotient, a.Exponent2 - b.Exponent2 - ExtraBits, sticky);
}

// One rounded extended addition of a non-negative value and a small integer.
inline Exact AddInteger(const Exact& a, std::uint32_t addend) {
    BigNat magnitude(a.Significand);
    BigNat term(addend);
    int exponent2 = a.Exponent2;
    if (exponent2 >= 0) {
        magnitude.ShiftLeft(exponent2);
        exponent2 = 0;
    } else {
        term.ShiftLeft(-exponent2);
    }
    return RoundToExtended(magnitude + term, exponent2);
}

// The nearest extended value to 10^k, computed once per exponent.
inline const Exact& ExactPower(int k) {
    static std::map<int, Exact> cache;
    auto found = cache.find(k);
    if (found == cache.end()) {
        found = cache.emplace(k, PowerOfTen(k)).first;
    }
    return found->second;
}

// Scaling by 10^n, 0 < |n| < 5120, as three table factors: every factor the
// nearest extended power, each product or quotient rounded once, in the
// order 10^(n mod 32), 10^(32 * ((n div 32) mod 16)), 10^(512 * (n div 512)).
inline Exact ScaleModel(Exact value, int n) {
    const bool negative = value.Negative;
    value.Negative = false;
    const int k = n < 0 ? -n : n;
    const int steps[3] = {k % 32, 32 * ((k / 32) % 16), 512 * (k / 512)};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && steps[i] == 0) {
            continue;
        }
        value = n > 0 ? Multiply(value, ExactPower(steps[i])) : Divide(value, ExactPower(steps[i]));
    }
    value.Negative = negative;
    return value;
}

// A decimal number digits * 10^scale read as the readers do: v := v * 10 + d
// with the product and the sum each rounded, then scaled once.
inline Exact DecimalModel(std::string_view digits, int scale, bool negative) {
    Exact value = RoundToExtended(BigNat(), 0);
    for (char c : digits) {
        value = AddInteger(Multiply(value, ExactPower(1)), static_cast<std::uint32_t>(c - '0'));
    }
    if (scale != 0) {
        value = ScaleModel(value, scale);
    }
    value.Negative = negative;
    return value;
}

} // namespace numin
