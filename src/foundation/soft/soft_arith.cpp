// SPDX-License-Identifier: MIT
// The four operations, the conversions and the comparison in software. A
// finite operand is unpacked into a significand with its top bit set and a
// signed exponent; results are formed exactly or with a sticky bit in 128
// bits and rounded once by RoundPack.
#include "foundation/soft/soft_internal.h"

#include <bit>
#include <cstring>
#include <utility>

namespace foundation::soft {

namespace {

using namespace detail;

// Both operands are numbers (zero, finite or infinite) unless this returns
// true, with result set to what the x87 gives for a NaN or unsupported operand.
bool SelectNan(ExtendedBits a, TKind ka, ExtendedBits b, TKind kb, ExtendedBits& result,
               unsigned& flags) {
    if (ka == TKind::Unsupported || kb == TKind::Unsupported) {
        flags |= FlagInvalid;
        result = IndefiniteNan;
        return true;
    }
    const bool nanA = a.IsNan();
    const bool nanB = b.IsNan();
    if (!nanA && !nanB) {
        return false;
    }
    if (ka == TKind::SignalingNan || kb == TKind::SignalingNan) {
        flags |= FlagInvalid;
    }
    // Of two NaNs the one with the larger significand wins; on equal
    // significands the positive one.
    if (nanA && nanB) {
        const bool pickA =
            a.Significand > b.Significand || (a.Significand == b.Significand && !a.Negative());
        result = pickA ? a : b;
    } else {
        result = nanA ? a : b;
    }
    result.Significand |= ExtendedBits::QuietBit;
    return true;
}

// Two normal numbers of the same sign whose exponents differ by less than
// 64, in 64-bit words: the usual case of a sum.
[[gnu::always_inline]] inline ExtendedBits AddCloseMagnitudes(const TUnpacked& a,
                                                              const TUnpacked& b, unsigned& flags) {
    const int gap = a.Exponent - b.Exponent;
    int exponent = a.Exponent;
    // The bits of b shifted out, exactly: at most 63 of them, so bit 0 stays
    // free and the carry below loses nothing.
    const std::uint64_t rest = b.Significand << 1 << (63 - gap);
    const std::uint64_t sum = a.Significand + (b.Significand >> gap);
    TUint128 significand = (static_cast<TUint128>(sum) << 64) | rest;
    if (sum < a.Significand) { // carry: one more bit to the right
        significand = (significand >> 1) | (TUint128{1} << 127);
        ++exponent;
    }
    return RoundPack(a.Negative, exponent, significand, flags);
}

[[gnu::always_inline]] inline ExtendedBits AddFinite(TUnpacked a, TUnpacked b, unsigned& flags) {
    if (a.Exponent < b.Exponent || (a.Exponent == b.Exponent && a.Significand < b.Significand)) {
        std::swap(a, b);
    }
    // Bit 127 stays free for the carry; 63 bits below the significand hold
    // the smaller operand's shifted-out bits exactly up to a gap of 63, and
    // beyond it the sticky bit stands for them.
    const TUint128 larger = static_cast<TUint128>(a.Significand) << 63;
    const int gap = a.Exponent - b.Exponent;
    const TUint128 shifted = static_cast<TUint128>(b.Significand) << 63;
    const TUint128 smaller = gap < 64 ? shifted >> gap : ShiftRightSticky(shifted, gap);
    TUint128 sum;
    if (a.Negative == b.Negative) {
        sum = larger + smaller;
    } else {
        sum = larger - smaller;
        if (sum == 0) {
            return ExtendedBits::Make(false, 0, 0); // x - x is +0 when rounding to nearest
        }
    }
    // Not 0: a sum of two magnitudes keeps the larger's top bit, and an
    // exact cancellation has returned above.
    const int shift = CountLeadingZeros(sum);
    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
    return RoundPack(a.Negative, a.Exponent + 1 - shift, sum << shift, flags);
}

[[gnu::always_inline]] inline ExtendedBits MultiplyFinite(const TUnpacked& a, const TUnpacked& b,
                                                          unsigned& flags) {
    TUint128 product = static_cast<TUint128>(a.Significand) * b.Significand;
    int exponent = a.Exponent + b.Exponent - ExtendedBits::ExponentBias + 1;
    if ((product >> 127) == 0) {
        product <<= 1;
        --exponent;
    }
    return RoundPack(a.Negative != b.Negative, exponent, product, flags);
}

[[gnu::always_inline]] inline ExtendedBits DivideFinite(const TUnpacked& a, const TUnpacked& b,
                                                        unsigned& flags) {
    // 2^64 * a / b lies in (2^63, 2^65): 64 or 65 quotient bits. The
    // remainder only has to tell whether the rest is zero, below or above one
    // half of the last quotient bit. With 65 bits the last one is the half.
    // With 64 the rest is never exactly one half: 2 * remainder = b would give
    // 2^64 * a = (2q + 1) * remainder, so that the remainder, not 0 and below
    // 2^63, were a multiple of 2^64.
    const TUint128 dividend = static_cast<TUint128>(a.Significand) << 64;
    const TUint128 quotient = dividend / b.Significand;
    const auto remainder = static_cast<std::uint64_t>(dividend % b.Significand);
    int exponent = a.Exponent - b.Exponent + ExtendedBits::ExponentBias;
    TUint128 significand;
    if ((quotient >> 64) != 0) {
        significand = (quotient << 63) | (remainder != 0 ? 1 : 0);
    } else {
        const std::uint64_t other = b.Significand - remainder;
        std::uint64_t fraction = 0;
        if (remainder != 0) {
            fraction = remainder < other ? 1 : Half | 1;
        }
        significand = (quotient << 64) | fraction;
        --exponent;
    }
    return RoundPack(a.Negative != b.Negative, exponent, significand, flags);
}

// An operand of a and b is zero, denormal, infinite, a NaN or unsupported.
[[gnu::noinline]] ExtendedBits AddSpecial(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    const TKind ka = a.Kind();
    const TKind kb = b.Kind();
    ExtendedBits result;
    if (SelectNan(a, ka, b, kb, result, flags)) {
        return result;
    }
    if (ka == TKind::Infinity || kb == TKind::Infinity) {
        if (ka == TKind::Infinity && kb == TKind::Infinity && a.Negative() != b.Negative()) {
            flags |= FlagInvalid;
            return IndefiniteNan;
        }
        return Infinity(ka == TKind::Infinity ? a.Negative() : b.Negative());
    }
    if (ka == TKind::Zero && kb == TKind::Zero) {
        return ExtendedBits::Make(a.Negative() && b.Negative(), 0, 0);
    }
    if (ka == TKind::Zero || kb == TKind::Zero) {
        return Repack(Unpack(ka == TKind::Zero ? b : a), flags);
    }
    return AddFinite(Unpack(a), Unpack(b), flags);
}

[[gnu::noinline]] ExtendedBits MultiplySpecial(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    const TKind ka = a.Kind();
    const TKind kb = b.Kind();
    ExtendedBits result;
    if (SelectNan(a, ka, b, kb, result, flags)) {
        return result;
    }
    const bool negative = a.Negative() != b.Negative();
    if (ka == TKind::Infinity || kb == TKind::Infinity) {
        if (ka == TKind::Zero || kb == TKind::Zero) {
            flags |= FlagInvalid;
            return IndefiniteNan;
        }
        return Infinity(negative);
    }
    if (ka == TKind::Zero || kb == TKind::Zero) {
        return ExtendedBits::Make(negative, 0, 0);
    }
    return MultiplyFinite(Unpack(a), Unpack(b), flags);
}

[[gnu::noinline]] ExtendedBits DivideSpecial(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    const TKind ka = a.Kind();
    const TKind kb = b.Kind();
    ExtendedBits result;
    if (SelectNan(a, ka, b, kb, result, flags)) {
        return result;
    }
    const bool negative = a.Negative() != b.Negative();
    if (ka == TKind::Infinity) {
        if (kb == TKind::Infinity) {
            flags |= FlagInvalid;
            return IndefiniteNan;
        }
        return Infinity(negative);
    }
    if (kb == TKind::Zero) {
        flags |= ka == TKind::Zero ? FlagInvalid : FlagZeroDivide;
        return ka == TKind::Zero ? IndefiniteNan : Infinity(negative);
    }
    if (ka == TKind::Zero || kb == TKind::Infinity) {
        return ExtendedBits::Make(negative, 0, 0);
    }
    return DivideFinite(Unpack(a), Unpack(b), flags);
}

TUnpacked UnpackNormal(ExtendedBits x) {
    return {x.Negative(), x.Exponent(), x.Significand};
}

} // namespace

ExtendedBits Add(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    if (a.IsNormal() && b.IsNormal()) [[likely]] {
        const TUnpacked ua = UnpackNormal(a);
        const TUnpacked ub = UnpackNormal(b);
        if (ua.Negative == ub.Negative) {
            const int gap = ua.Exponent - ub.Exponent;
            if (gap >= 0 && gap < 64) {
                return AddCloseMagnitudes(ua, ub, flags);
            }
            if (gap < 0 && gap > -64) {
                return AddCloseMagnitudes(ub, ua, flags);
            }
        }
        return AddFinite(ua, ub, flags);
    }
    return AddSpecial(a, b, flags);
}

// A NaN keeps its sign: the sign of b is flipped for everything else (an
// unsupported encoding, a pseudo-infinity among them, gives the default NaN
// whatever its sign).
ExtendedBits Subtract(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    return Add(a, b.IsNan() ? b : Negate(b), flags);
}

ExtendedBits Multiply(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    if (a.IsNormal() && b.IsNormal()) [[likely]] {
        return MultiplyFinite(UnpackNormal(a), UnpackNormal(b), flags);
    }
    return MultiplySpecial(a, b, flags);
}

ExtendedBits Divide(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    if (a.IsNormal() && b.IsNormal()) [[likely]] {
        return DivideFinite(UnpackNormal(a), UnpackNormal(b), flags);
    }
    return DivideSpecial(a, b, flags);
}

namespace {

// Fields of the binary interchange formats loaded and stored.
template <class TUint, int FractionBitCount, int ExponentBiasOf> struct TBinaryFormat {
    static constexpr int FractionBits = FractionBitCount;
    static constexpr int Bias = ExponentBiasOf;
    static constexpr int ExponentBits = static_cast<int>(sizeof(TUint)) * 8 - 1 - FractionBits;
    static constexpr TUint ExponentAll = (TUint{1} << ExponentBits) - 1;
    static constexpr TUint FractionMask = (TUint{1} << FractionBits) - 1;
    static constexpr TUint QuietBit = TUint{1} << (FractionBits - 1);
};
using TDoubleFormat = TBinaryFormat<std::uint64_t, 52, 1023>;
using TFloatFormat = TBinaryFormat<std::uint32_t, 23, 127>;

// Widens the bits of a double or a float exactly; a signalling NaN is an
// invalid operation and loads quieted.
template <class TFormat, class TUint> ExtendedBits Widen(TUint bits, unsigned& flags) {
    constexpr int Width = static_cast<int>(sizeof(TUint)) * 8;
    constexpr int Spare = 63 - TFormat::FractionBits; // extended fraction bits the format lacks
    const bool negative = (bits >> (Width - 1)) != 0;
    const auto exponent = static_cast<int>((bits >> TFormat::FractionBits) & TFormat::ExponentAll);
    const std::uint64_t fraction = bits & TFormat::FractionMask;
    if (exponent == static_cast<int>(TFormat::ExponentAll)) {
        if (fraction != 0 && (fraction & TFormat::QuietBit) == 0) {
            flags |= FlagInvalid;
        }
        const std::uint64_t payload =
            fraction != 0 ? ExtendedBits::QuietBit | (fraction << Spare) : 0;
        return ExtendedBits::Make(negative, SpecialExponent, ExtendedBits::IntegerBit | payload);
    }
    if (exponent == 0) {
        if (fraction == 0) {
            return ExtendedBits::Make(negative, 0, 0);
        }
        // A subnormal becomes a normal extended value.
        const int shift = std::countl_zero(fraction);
        const int biased = ExtendedBits::ExponentBias - TFormat::Bias + 1 + Spare - shift;
        return ExtendedBits::Make(negative, static_cast<std::uint16_t>(biased), fraction << shift);
    }
    const int biased = exponent - TFormat::Bias + ExtendedBits::ExponentBias;
    return ExtendedBits::Make(negative, static_cast<std::uint16_t>(biased),
                              ExtendedBits::IntegerBit | (fraction << Spare));
}

double DoubleOfBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr std::uint64_t DoubleSign = 0x8000000000000000ULL;
constexpr std::uint64_t DoubleInfinity = 0x7FF0000000000000ULL;
constexpr std::uint64_t DoubleDefaultNan = 0xFFF8000000000000ULL;
constexpr int DoubleDroppedBits = 63 - TDoubleFormat::FractionBits;
constexpr int DoubleMaxExponent = 2046;

// A finite non-zero value rounded to a double's bits, in its normal or
// subnormal range; above the range the overflow flag.
std::uint64_t NarrowFinite(TUnpacked x, unsigned& flags) {
    int exponent = x.Exponent - ExtendedBits::ExponentBias + TDoubleFormat::Bias;
    const std::uint64_t sign = x.Negative ? DoubleSign : 0;
    if (exponent > DoubleMaxExponent) {
        flags |= FlagOverflow;
        return sign | DoubleInfinity;
    }
    int dropped = DoubleDroppedBits;
    if (exponent < 1) {
        dropped += 1 - exponent; // subnormal: fewer bits kept, one rounding
        exponent = 1;
    }
    std::uint64_t kept = 0;
    if (dropped < 64) {
        kept = x.Significand >> dropped;
        if (RoundsUp(x.Significand << (64 - dropped), kept)) {
            ++kept;
        }
    } else if (dropped == 64 && x.Significand > Half) {
        kept = 1; // more than half the smallest subnormal
    }
    // kept carries its leading bit into the exponent field: a rounding
    // carry or a subnormal rounded up to the smallest normal come out right.
    const std::uint64_t bits =
        (static_cast<std::uint64_t>(exponent - 1) << TDoubleFormat::FractionBits) + kept;
    if (bits >= DoubleInfinity) {
        flags |= FlagOverflow;
    }
    return sign | bits;
}

} // namespace

ExtendedBits FromDouble(double value, unsigned& flags) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Widen<TDoubleFormat>(bits, flags);
}

ExtendedBits FromFloat(float value, unsigned& flags) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Widen<TFloatFormat>(bits, flags);
}

double ToDouble(ExtendedBits x, unsigned& flags) {
    const std::uint64_t sign = x.Negative() ? DoubleSign : 0;
    switch (x.Kind()) {
    case TKind::Zero: return DoubleOfBits(sign);
    case TKind::Infinity: return DoubleOfBits(sign | DoubleInfinity);
    case TKind::QuietNan:
        // The top 52 fraction bits survive; the quiet bit is among them.
        return DoubleOfBits(sign | DoubleInfinity |
                            ((x.Significand & ~ExtendedBits::IntegerBit) >> DoubleDroppedBits));
    case TKind::SignalingNan:
    case TKind::Unsupported: flags |= FlagInvalid; return DoubleOfBits(DoubleDefaultNan);
    case TKind::Finite: break;
    }
    return DoubleOfBits(NarrowFinite(Unpack(x), flags));
}

std::int64_t ToInt64(ExtendedBits x, unsigned& flags) {
    constexpr std::int64_t IntegerIndefinite = INT64_MIN;
    const TKind kind = x.Kind();
    if (kind == TKind::Zero) {
        return 0;
    }
    if (kind != TKind::Finite) {
        flags |= FlagInvalid;
        return IntegerIndefinite;
    }
    const TUnpacked u = Unpack(x);
    const int scale = u.Exponent - ExtendedBits::ExponentBias; // value = significand * 2^(scale-63)
    std::uint64_t magnitude = 0;
    if (scale >= 63) {
        magnitude = scale == 63 ? u.Significand : ~0ULL; // 2^64 and up: out of range anyway
    } else if (scale >= 0) {
        const int dropped = 63 - scale;
        magnitude = u.Significand >> dropped;
        if (RoundsUp(u.Significand << (64 - dropped), magnitude)) {
            ++magnitude;
        }
    } else if (scale == -1 && u.Significand > Half) {
        magnitude = 1; // more than one half
    }
    const std::uint64_t limit = u.Negative ? Half : Half - 1;
    if (magnitude > limit) {
        flags |= FlagInvalid;
        return IntegerIndefinite;
    }
    return u.Negative ? static_cast<std::int64_t>(0 - magnitude)
                      : static_cast<std::int64_t>(magnitude);
}

TOrdering Compare(ExtendedBits a, ExtendedBits b, unsigned& flags) {
    const TKind ka = a.Kind();
    const TKind kb = b.Kind();
    if (ka == TKind::SignalingNan || kb == TKind::SignalingNan || ka == TKind::Unsupported ||
        kb == TKind::Unsupported) {
        flags |= FlagInvalid;
        return TOrdering::Unordered;
    }
    if (a.IsNan() || b.IsNan()) {
        return TOrdering::Unordered;
    }
    if (ka == TKind::Zero && kb == TKind::Zero) {
        return TOrdering::Equal;
    }
    // Signs differ (one may be zero): the negative one is the smaller.
    const bool negA = ka != TKind::Zero && a.Negative();
    const bool negB = kb != TKind::Zero && b.Negative();
    if (ka == TKind::Zero || kb == TKind::Zero || negA != negB) {
        const bool aBelow = ka == TKind::Zero ? !negB : negA;
        return aBelow ? TOrdering::Less : TOrdering::Greater;
    }
    const TUnpacked ua = Unpack(a); // infinities unpack as the largest exponent
    const TUnpacked ub = Unpack(b);
    if (ua.Exponent == ub.Exponent && ua.Significand == ub.Significand) {
        return TOrdering::Equal;
    }
    const bool magnitudeBelow = ua.Exponent < ub.Exponent ||
                                (ua.Exponent == ub.Exponent && ua.Significand < ub.Significand);
    return magnitudeBelow != negA ? TOrdering::Less : TOrdering::Greater;
}

} // namespace foundation::soft
