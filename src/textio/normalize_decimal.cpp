// SPDX-License-Identifier: MIT
// Scaling a real into 1 <= s < 16 by a power of ten, with its exponent.
#include "foundation/extended.h"
#include "textio/number_output.h"
#include "textio/power_of_ten.h"

namespace textio {

namespace {

// floor(e * Log2Estimate / 65536) estimates floor(e * log10 2) from below:
// 19728 / 65536 = 0.301025390625, slightly under log10 2.
inline constexpr std::int32_t Log2Estimate = 19728;

} // namespace

TNormalized NormalizeDecimal(foundation::Extended a) {
    std::int32_t k = 0;
    for (;;) {
        const foundation::ExtendedBits bits = foundation::BitsOf(a);
        if (bits.IsZero()) {
            return {a, k};
        }
        // Unbiased binary exponent; a denormal (field 0) counts as -16383.
        const auto e =
            static_cast<std::int16_t>(bits.Exponent() - foundation::ExtendedBits::ExponentBias);
        // The upper 16 bits of the 32-bit product: an arithmetic shift floors.
        const auto q = static_cast<std::int16_t>((std::int32_t{e} * Log2Estimate) >> 16);
        if (q == 0) {
            return {a, k};
        }
        k += q;
        a = ScaleByPowerOfTen(a, -q);
    }
}

} // namespace textio
