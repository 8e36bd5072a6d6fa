// SPDX-License-Identifier: MIT
// The decimal digit string of a scaled real: 18 digits from one integer
// conversion, then zeros or half-up rounding at the last shown position.
#include <array>
#include <cstring>

#include "foundation/extended.h"
#include "textio/number_output.h"

namespace textio {

namespace {

// 10^17, exactly.
constexpr foundation::Extended DigitScale =
    foundation::MakeExtended(false, 0x4037, 0xB1A2BC2EC5000000);
inline constexpr std::uint64_t CarryLimit = 1000000000000000000ULL; // 10^18
inline constexpr std::uint32_t HalfLimit = 1000000000u;             // 10^9
inline constexpr std::int32_t GeneratedLast = 18;

// "00" to "99", so that digits come out two per division.
constexpr auto DigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Nine digits of value (below 10^9), most significant first, with zeros.
void PutNineDigits(char* out, std::uint32_t value) {
    constexpr std::uint32_t LowEight = 100000000u;
    out[0] = static_cast<char>('0' + value / LowEight);
    value %= LowEight;
    for (int i = 7; i > 0; i -= 2) {
        std::memcpy(out + i, DigitPairs.data() + 2 * (value % 100), 2);
        value /= 100;
    }
}

} // namespace

void GenerateDigits(foundation::Extended s, std::int32_t lastPos, TDigitString& digits) {
    if (lastPos < 0) {
        lastPos = 0;
    } else if (lastPos > DigitStringCapacity - 1) {
        lastPos = DigitStringCapacity - 1;
    }
    char* d = digits.Digits;

    // One extended multiply and one integer store, both to nearest even.
    auto r = static_cast<std::uint64_t>(foundation::RoundToInt64(s * DigitScale));
    d[0] = '0';
    if (r >= CarryLimit) {
        d[0] = '1';
        r -= CarryLimit;
    }
    PutNineDigits(d + 1, static_cast<std::uint32_t>(r / HalfLimit));
    PutNineDigits(d + 10, static_cast<std::uint32_t>(r % HalfLimit));

    if (lastPos >= GeneratedLast) {
        std::memset(d + GeneratedLast + 1, '0', static_cast<std::size_t>(lastPos - GeneratedLast));
        return;
    }
    // Half up on the digit string; position 0 is '0' or '1', so the carry
    // always stops there at the latest.
    if (d[lastPos + 1] >= '5') {
        int i = lastPos;
        while (i > 0 && d[i] == '9') {
            d[i--] = '0';
        }
        ++d[i];
    }
}

} // namespace textio
