// SPDX-License-Identifier: MIT
// Extended, the program's extended-precision value, computed in software.
// It holds the format's fields and nothing else. Every operation is inlined
// at its call site and calls the software core; when the core reports an
// exception the program's control word leaves unmasked, RaiseFloatFault
// raises the matching fault at that call site, as the x87 would have trapped.
#pragma once

#include <cstdint>
#include <type_traits>

#include "foundation/extended_bits.h"
#include "foundation/soft/soft_arith.h"

namespace foundation {

// Turns unmasked exception flags into a fault with the caller's address
// (invalid operation before division by zero before overflow) and raises it.
[[noreturn, gnu::noinline]] void RaiseFloatFault(unsigned flags);

namespace soft::detail {

// Raises the fault for flags, if any. Takes them only once the operation has
// set them: each caller stores its result first.
[[gnu::always_inline]] inline void CheckFlags(unsigned flags) {
    if ((flags & UnmaskedFlags) != 0) [[unlikely]] {
        RaiseFloatFault(flags);
    }
}

template <ExtendedBits (*Operation)(ExtendedBits, ExtendedBits, unsigned&)>
[[gnu::always_inline]] inline ExtendedBits Apply(ExtendedBits a, ExtendedBits b) {
    unsigned flags = 0;
    const ExtendedBits result = Operation(a, b, flags);
    CheckFlags(flags);
    return result;
}

} // namespace soft::detail

class Extended {
  public:
    constexpr Extended() = default;
    // The load sets the flags, which are checked only after it: an
    // initialiser list could not order the two.
    [[gnu::always_inline]] explicit Extended(double value) {
        unsigned flags = 0;
        // cppcheck-suppress useInitializationList
        Value = soft::FromDouble(value, flags);
        soft::detail::CheckFlags(flags);
    }
    [[gnu::always_inline]] explicit Extended(float value) {
        unsigned flags = 0;
        // cppcheck-suppress useInitializationList
        Value = soft::FromFloat(value, flags);
        soft::detail::CheckFlags(flags);
    }
    explicit constexpr Extended(std::int64_t value) : Value(soft::FromInt64(value)) {}
    explicit constexpr Extended(int value) : Value(soft::FromInt64(value)) {}

    static constexpr Extended FromBits(ExtendedBits bits) {
        Extended result;
        result.Value = bits;
        return result;
    }
    constexpr ExtendedBits Bits() const { return Value; }

    [[gnu::always_inline]] Extended& operator+=(Extended other) {
        Value = soft::detail::Apply<soft::Add>(Value, other.Value);
        return *this;
    }
    [[gnu::always_inline]] Extended& operator-=(Extended other) {
        Value = soft::detail::Apply<soft::Subtract>(Value, other.Value);
        return *this;
    }
    [[gnu::always_inline]] Extended& operator*=(Extended other) {
        Value = soft::detail::Apply<soft::Multiply>(Value, other.Value);
        return *this;
    }
    [[gnu::always_inline]] Extended& operator/=(Extended other) {
        Value = soft::detail::Apply<soft::Divide>(Value, other.Value);
        return *this;
    }

  private:
    ExtendedBits Value;
};

static_assert(std::is_trivially_copyable_v<Extended>, "Extended is copied as plain bytes");

[[gnu::always_inline]] inline Extended operator+(Extended a, Extended b) {
    return a += b;
}
[[gnu::always_inline]] inline Extended operator-(Extended a, Extended b) {
    return a -= b;
}
[[gnu::always_inline]] inline Extended operator*(Extended a, Extended b) {
    return a *= b;
}
[[gnu::always_inline]] inline Extended operator/(Extended a, Extended b) {
    return a /= b;
}
constexpr Extended operator-(Extended a) {
    return Extended::FromBits(soft::Negate(a.Bits()));
}
constexpr Extended Abs(Extended a) {
    return Extended::FromBits(soft::Abs(a.Bits()));
}

// Comparisons are false when unordered; only a signalling NaN or an
// unsupported encoding faults.
namespace soft::detail {
[[gnu::always_inline]] inline TOrdering CheckedOrder(Extended a, Extended b) {
    unsigned flags = 0;
    const TOrdering order = Compare(a.Bits(), b.Bits(), flags);
    CheckFlags(flags);
    return order;
}
} // namespace soft::detail

[[gnu::always_inline]] inline bool operator==(Extended a, Extended b) {
    return soft::detail::CheckedOrder(a, b) == soft::TOrdering::Equal;
}
[[gnu::always_inline]] inline bool operator!=(Extended a, Extended b) {
    return !(a == b);
}
[[gnu::always_inline]] inline bool operator<(Extended a, Extended b) {
    return soft::detail::CheckedOrder(a, b) == soft::TOrdering::Less;
}
[[gnu::always_inline]] inline bool operator>(Extended a, Extended b) {
    return soft::detail::CheckedOrder(a, b) == soft::TOrdering::Greater;
}
[[gnu::always_inline]] inline bool operator<=(Extended a, Extended b) {
    const soft::TOrdering order = soft::detail::CheckedOrder(a, b);
    return order == soft::TOrdering::Less || order == soft::TOrdering::Equal;
}
[[gnu::always_inline]] inline bool operator>=(Extended a, Extended b) {
    const soft::TOrdering order = soft::detail::CheckedOrder(a, b);
    return order == soft::TOrdering::Greater || order == soft::TOrdering::Equal;
}

[[gnu::always_inline]] inline double StoreDouble(Extended x) {
    unsigned flags = 0;
    const double stored = soft::ToDouble(x.Bits(), flags);
    soft::detail::CheckFlags(flags);
    return stored;
}

[[gnu::always_inline]] inline std::int64_t RoundToInt64(Extended x) {
    unsigned flags = 0;
    const std::int64_t rounded = soft::ToInt64(x.Bits(), flags);
    soft::detail::CheckFlags(flags);
    return rounded;
}

[[gnu::always_inline]] inline Extended ExtendedSine(Extended x) {
    unsigned flags = 0;
    const ExtendedBits sine = soft::Sine(x.Bits(), flags);
    soft::detail::CheckFlags(flags);
    return Extended::FromBits(sine);
}

constexpr Extended Infinity() {
    return Extended::FromBits(soft::Infinity(false));
}

constexpr ExtendedBits BitsOf(Extended value) {
    return value.Bits();
}
constexpr Extended ExtendedFromBits(const ExtendedBits& bits) {
    return Extended::FromBits(bits);
}
constexpr Extended MakeExtended(bool negative, std::uint16_t biasedExponent,
                                std::uint64_t significand) {
    return Extended::FromBits(ExtendedBits::Make(negative, biasedExponent, significand));
}

// There is no unit to set up or to wait for: the software arithmetic always
// works as the program's control word (arithmetic_policy.h) makes the x87
// work, and faults at the operation itself.
inline void ResetArithmetic(std::uint16_t) {}
inline void RaisePendingFaults() {}

} // namespace foundation
