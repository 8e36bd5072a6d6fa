// SPDX-License-Identifier: MIT
// A second, independent reading of the number grammar, written from the
// rules for integer and real tokens rather than from the program's parser.
// The soak test and the fuzz targets compare the program against it.
#pragma once

#include <cstdint>
#include <string_view>

namespace soak {

struct TIntegerVerdict {
    bool Valid = false;
    std::int32_t Value = 0;    // meaningful only when Valid
    std::int32_t ErrorPos = 0; // 1-based; 0 when Valid
    bool FailsAtEnd = false;   // the range test at the terminating NUL failed
};

// `text` holds the bytes before the terminating NUL.
TIntegerVerdict JudgeInteger(std::string_view text);

// What storing a real token into a double leads to.
enum class TRealClass {
    Zero,      // exactly zero (no significant digit, or a scale of -5120 or less)
    Small,     // finite, magnitude below 1e150: no later operation can overflow
    Large,     // finite and storable, 1e150 up to just below the double range
    Infinite,  // scale 5120 or more: an infinity, without any fault
    Overflow,  // beyond the double range: storing it (or scaling it) faults
    Unsettled, // too close to the double limit, or an exponent beyond 32 bits
};

struct TRealVerdict {
    bool Valid = false;
    std::int32_t ErrorPos = 0;
    bool Negative = false;
    TRealClass Class = TRealClass::Zero;
    std::int64_t Scale = 0;         // exponent minus fraction digits
    int SignificantDigits = 0;      // digits from the first non-zero one on
    double Log10Magnitude = 0.0;    // estimate, for non-zero finite scales
    bool ExponentUnsettled = false; // the written exponent does not fit 32 bits
};

TRealVerdict JudgeReal(std::string_view text);

} // namespace soak
