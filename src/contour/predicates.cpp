// SPDX-License-Identifier: MIT
// The orientation is Boost.Geometry's robust side strategy, Shewchuk's
// adaptive orient2d, whose sign is exact as long as none of its products
// overflows or loses bits below the denormals. Each call checks that for
// its three points: when the span of their binary exponents allows, the
// points are scaled by a power of two (exactly) into the range where it
// holds; otherwise the sign comes from integer arithmetic of any size.
#include "contour/predicates.h"

#include <algorithm>
#include <bit>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/strategy/cartesian/side_robust.hpp>
#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace contour {

namespace {

namespace bg = boost::geometry;
using TExactInteger = boost::multiprecision::cpp_int;

// Below 2^SafeTop no sum of the determinant's products overflows; with
// every coordinate a multiple of 2^SafeBottom, every product is a multiple
// of 2^-1074, so no rounding error falls below the denormals.
constexpr int SafeTop = 500;
constexpr int SafeBottom = -537;

constexpr int SignificandBits = 52;
constexpr int ExponentBias = 1075; // of the significand read as an integer
constexpr std::uint64_t SignificandMask = (std::uint64_t{1} << SignificandBits) - 1;
constexpr std::uint64_t ExponentMask = 0x7FF;

// A finite double as Integer * 2^Exponent, Integer holding the 53 bits.
struct TBinary {
    bool Negative = false;
    std::uint64_t Integer = 0;
    int Exponent = 0;

    explicit TBinary(double value) {
        std::uint64_t bits; // emscripten's libc++ has no std::bit_cast
        std::memcpy(&bits, &value, sizeof bits);
        const auto field = static_cast<int>((bits >> SignificandBits) & ExponentMask);
        Negative = (bits >> 63) != 0;
        Integer = bits & SignificandMask;
        Exponent = (field == 0 ? 1 : field) - ExponentBias;
        if (field != 0) Integer |= std::uint64_t{1} << SignificandBits;
    }
    // The exponent of the lowest set bit, and one above the highest.
    int Bottom() const { return Exponent + std::countr_zero(Integer); }
    int Top() const { return Exponent + static_cast<int>(std::bit_width(Integer)); }
};

struct TSpan {
    int Bottom = SafeTop;
    int Top = SafeBottom;
    bool AllZero = true;
};

TSpan SpanOf(std::initializer_list<double> values) {
    TSpan span;
    for (const double value : values) {
        if (value == 0.0) continue;
        const TBinary binary(value);
        span.Bottom = std::min(span.Bottom, binary.Bottom());
        span.Top = std::max(span.Top, binary.Top());
        span.AllZero = false;
    }
    return span;
}

TExactInteger ExactScaled(double value, int bottom) {
    const TBinary binary(value);
    if (binary.Integer == 0) return 0;
    TExactInteger integer = binary.Integer >> std::countr_zero(binary.Integer);
    integer <<= static_cast<unsigned>(binary.Bottom() - bottom);
    return binary.Negative ? TExactInteger(-integer) : integer;
}

// (b - a) x (c - a) in integers: every coordinate a whole multiple of
// 2^bottom, the lowest set bit among them.
int ExactOrientation(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c, int bottom) {
    const TExactInteger ax = ExactScaled(a.X, bottom), ay = ExactScaled(a.Y, bottom);
    const TExactInteger bx = ExactScaled(b.X, bottom), by = ExactScaled(b.Y, bottom);
    const TExactInteger cx = ExactScaled(c.X, bottom), cy = ExactScaled(c.Y, bottom);
    const TExactInteger turn = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    return turn.sign();
}

int RobustOrientation(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c, int scale) {
    using TPoint = bg::model::d2::point_xy<double>;
    using TSide = bg::strategy::side::side_robust<double, bg::strategy::side::fp_equals_policy>;
    const auto scaled = [scale](const TPlanePoint& p) {
        return TPoint(std::ldexp(p.X, scale), std::ldexp(p.Y, scale));
    };
    return TSide::apply(scaled(a), scaled(b), scaled(c));
}

// Where the lines of a-b and c-d meet, for sides that cross inside both:
// on a-b at the share of the way that the turns of c-d to a and to b
// give, computed in doubles once the four points are scaled to the unit
// box, and kept within the box of a-b whatever the rounding does.
TPlanePoint CrossingPoint(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c,
                          const TPlanePoint& d) {
    const TSpan span = SpanOf({a.X, a.Y, b.X, b.Y, c.X, c.Y, d.X, d.Y});
    const auto scaled = [&span](const TPlanePoint& p) {
        return TPlanePoint{std::ldexp(p.X, -span.Top), std::ldexp(p.Y, -span.Top)};
    };
    const TPlanePoint sa = scaled(a), sb = scaled(b), sc = scaled(c), sd = scaled(d);
    const auto turn = [&](const TPlanePoint& p) {
        return (sd.X - sc.X) * (p.Y - sc.Y) - (sd.Y - sc.Y) * (p.X - sc.X);
    };
    const double toA = turn(sa), toB = turn(sb);
    const double between = toA - toB;
    double share = between != 0.0 ? toA / between : 0.5;
    share = std::clamp(share, 0.0, 1.0);
    const TPlanePoint at{std::ldexp(sa.X + share * (sb.X - sa.X), span.Top),
                         std::ldexp(sa.Y + share * (sb.Y - sa.Y), span.Top)};
    // Within the box of a-b, whatever the rounding did.
    return {std::clamp(at.X, std::min(a.X, b.X), std::max(a.X, b.X)),
            std::clamp(at.Y, std::min(a.Y, b.Y), std::max(a.Y, b.Y))};
}

} // namespace

int Orientation(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c) {
    const TSpan span = SpanOf({a.X, a.Y, b.X, b.Y, c.X, c.Y});
    if (span.AllZero) return 0;
    const int scale = SafeTop - span.Top;
    if (span.Bottom + scale >= SafeBottom) return RobustOrientation(a, b, c, scale);
    return ExactOrientation(a, b, c, span.Bottom);
}

TShared SharedPoints(const TPlanePoint& a, const TPlanePoint& b, const TPlanePoint& c,
                     const TPlanePoint& d) {
    const int turnC = Orientation(a, b, c), turnD = Orientation(a, b, d);
    TShared shared;
    if (turnC == 0 && turnD == 0) {
        // On one line: the stretch both cover, in the line's order.
        const TPlanePoint& low = std::max(std::min(a, b, Before), std::min(c, d, Before), Before);
        const TPlanePoint& high = std::min(std::max(a, b, Before), std::max(c, d, Before), Before);
        if (Before(high, low)) return shared;
        shared.At[0] = low;
        shared.At[1] = high;
        shared.Count = SamePoint(low, high) ? 1 : 2;
        return shared;
    }
    if (turnC * turnD > 0) return shared;
    const int turnA = Orientation(c, d, a), turnB = Orientation(c, d, b);
    if (turnA * turnB > 0) return shared;
    shared.Count = 1;
    if (turnC == 0) {
        shared.At[0] = c;
    } else if (turnD == 0) {
        shared.At[0] = d;
    } else if (turnA == 0) {
        shared.At[0] = a;
    } else if (turnB == 0) {
        shared.At[0] = b;
    } else {
        shared.At[0] = CrossingPoint(a, b, c, d);
    }
    return shared;
}

} // namespace contour
