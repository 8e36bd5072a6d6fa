// SPDX-License-Identifier: MIT
// Natural numbers of any size, for exact reference arithmetic in tests.
// Test-only; it shares nothing with the code under test and uses no
// floating-point arithmetic.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

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

    // 10^k; 1 for k <= 0.
    static BigNat PowerOfTen(int k) {
        BigNat result(1);
        result.MulPower(10, k);
        return result;
    }

    static BigNat FromDecimal(const std::string& digits) {
        BigNat result;
        std::uint64_t chunk = 0;
        int inChunk = 0;
        for (const char c : digits) {
            chunk = chunk * 10 + static_cast<std::uint64_t>(c - '0');
            if (++inChunk == 9) {
                result.MulSmall(1000000000u);
                result.Add(BigNat(chunk));
                chunk = 0;
                inChunk = 0;
            }
        }
        result.MulPower(10, inChunk);
        result.Add(BigNat(chunk));
        return result;
    }

    std::string ToDecimal() const {
        if (limbs_.empty()) {
            return "0";
        }
        BigNat rest = *this;
        std::string digits;
        while (!rest.limbs_.empty()) {
            auto chunk = static_cast<std::uint32_t>(rest.DivideBy(1000000000u));
            for (int i = 0; i < 9; ++i) {
                digits.push_back(static_cast<char>('0' + chunk % 10));
                chunk /= 10;
            }
        }
        while (digits.size() > 1 && digits.back() == '0') {
            digits.pop_back();
        }
        std::reverse(digits.begin(), digits.end());
        return digits;
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

    // Multiplies by base^exponent, as many factors per pass as fit in a limb;
    // a non-positive exponent leaves the number as it is.
    void MulPower(std::uint32_t base, int exponent) {
        std::uint32_t chunk = 1;
        int perChunk = 0;
        while (std::uint64_t{chunk} * base <= 0xFFFFFFFFu) {
            chunk *= base;
            ++perChunk;
        }
        for (; exponent >= perChunk; exponent -= perChunk) {
            MulSmall(chunk);
        }
        for (; exponent > 0; --exponent) {
            MulSmall(base);
        }
    }

    // Multiplies by 2^bits; a non-positive count leaves the number as it is.
    void ShiftLeft(int bits) {
        if (limbs_.empty() || bits <= 0) {
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

    void Add(const BigNat& other) {
        limbs_.resize(std::max(limbs_.size(), other.limbs_.size()) + 1, 0);
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            const std::uint64_t sum =
                std::uint64_t{limbs_[i]} + (i < other.limbs_.size() ? other.limbs_[i] : 0) + carry;
            limbs_[i] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        Trim();
    }

    // Divides in place by a non-zero divisor and returns the remainder.
    std::uint64_t DivideBy(std::uint64_t divisor) {
        if (divisor <= 0xFFFFFFFFu) {
            // The common case, kept to 64-bit division.
            std::uint64_t remainder = 0;
            for (std::size_t i = limbs_.size(); i-- > 0;) {
                const std::uint64_t part = (remainder << 32) | limbs_[i];
                limbs_[i] = static_cast<std::uint32_t>(part / divisor);
                remainder = part % divisor;
            }
            Trim();
            return remainder;
        }
        unsigned __int128 remainder = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const unsigned __int128 part = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(part / divisor);
            remainder = part % divisor;
        }
        Trim();
        return static_cast<std::uint64_t>(remainder);
    }

    friend BigNat operator+(BigNat a, const BigNat& b) {
        a.Add(b);
        return a;
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

    // |a - b|
    static BigNat Distance(const BigNat& a, const BigNat& b) {
        const bool aLarger = Compare(a, b) >= 0;
        BigNat result = aLarger ? a : b;
        const BigNat& smaller = aLarger ? b : a;
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < result.limbs_.size(); ++i) {
            std::int64_t diff = std::int64_t{result.limbs_[i]} - borrow -
                                (i < smaller.limbs_.size() ? smaller.limbs_[i] : 0);
            borrow = diff < 0 ? 1 : 0;
            if (diff < 0) {
                diff += std::int64_t{1} << 32;
            }
            result.limbs_[i] = static_cast<std::uint32_t>(diff);
        }
        result.Trim();
        return result;
    }

    // -1, 0 or 1 as a is less than, equal to or greater than b.
    static int Compare(const BigNat& a, const BigNat& b) {
        if (a.limbs_.size() != b.limbs_.size()) {
            return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        }
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) {
                return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
            }
        }
        return 0;
    }

  private:
    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
    }

    std::vector<std::uint32_t> limbs_;
};

} // namespace testsupport
