// SPDX-License-Identifier: MIT
// The sine under the x87's own reduction, computed exactly with MPFR: the
// reference the software sine must equal bit for bit. For a finite non-zero
// x below 2^63, q is the integer nearest to x / (pi66 / 2), pi66 being pi
// rounded to 66 bits, and r = x - q * pi66 / 2 is formed exactly; the result
// is sin r, cos r, -sin r or -cos r by q mod 4, rounded once to 64 bits, to
// nearest. A tiny x gives x itself, as the x87 does: that is the correctly
// rounded sine there, and a denormal or pseudo-denormal comes back in the
// unit's encoding of the same value. Also the distance between two results
// in last places.
#pragma once

#include "foundation/extended_bits.h"

namespace softtest {

foundation::ExtendedBits ExactSine(foundation::ExtendedBits x);

// Position of a finite value on the number line, in last places: adjacent
// values differ by one, across binades and through zero.
inline __int128 Ordinal(foundation::ExtendedBits x) {
    const std::uint64_t fraction = x.Significand & ~foundation::ExtendedBits::IntegerBit;
    // Normal values count the integer bit in the exponent; denormals (and
    // pseudo-denormals, equal to the normals of exponent 1) count it too.
    const __int128 exponent =
        x.Exponent() == 0 ? ((x.Significand & foundation::ExtendedBits::IntegerBit) != 0 ? 1 : 0)
                          : x.Exponent();
    const __int128 magnitude = (exponent << 63) + fraction;
    return x.Negative() ? -magnitude : magnitude;
}

inline __int128 UlpDistance(foundation::ExtendedBits a, foundation::ExtendedBits b) {
    const __int128 difference = Ordinal(a) - Ordinal(b);
    return difference < 0 ? -difference : difference;
}

} // namespace softtest
