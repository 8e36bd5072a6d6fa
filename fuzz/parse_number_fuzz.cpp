// SPDX-License-Identifier: MIT
// ParseInteger and ParseReal on arbitrary bytes, compared with the
// independent reading of the grammar and, where the result is exactly
// determined, with the C library's conversion to long double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "foundation/extended_bits.h"
#include "fuzz_fpu.h"
#include "textio/number_input.h"
#include "token_model.h"

namespace {

using foundation::ExtendedBits;

// The largest number of decimal digits (after the first significant one)
// plus scale for which neither the digit accumulation nor the scaling can
// leave the extended range (its largest value is about 1.19e4932).
constexpr std::int64_t SafeMagnitude = 4900;

void CheckInteger(std::string_view text) {
    const textio::TIntegerParse got = textio::ParseInteger(std::string(text).c_str());
    const soak::TIntegerVerdict want = soak::JudgeInteger(text);
    const auto length = static_cast<std::int32_t>(text.size());
    fuzz::Require(got.ErrorPos >= 0 && got.ErrorPos <= length + 2,
                  "integer error position out of range");
    fuzz::Require((got.ErrorPos == 0) == want.Valid, "integer validity differs from the grammar");
    if (want.Valid) {
        fuzz::Require(got.Value == want.Value, "integer value differs");
    } else if (want.FailsAtEnd) {
        // A range fault found at the NUL: its index or just behind it.
        fuzz::Require(got.ErrorPos == length + 1 || got.ErrorPos == length + 2,
                      "integer range fault not at the end");
    } else {
        fuzz::Require(got.ErrorPos == want.ErrorPos, "integer error position differs");
    }
}

// Digits v accumulates exactly while below 2^64; one multiplication or
// division by an exact table power (10^0..10^27) then rounds once, just as
// a correctly rounded conversion does.
bool ExactlyDetermined(const soak::TRealVerdict& verdict) {
    return verdict.SignificantDigits <= 19 && verdict.Scale >= -27 && verdict.Scale <= 27;
}

void CheckRealValue(std::string_view text, const soak::TRealVerdict& want,
                    foundation::Extended got) {
    const ExtendedBits bits = foundation::BitsOf(got);
    fuzz::Require(bits.Negative() == want.Negative, "real sign differs");
    if (want.Scale >= 5120) {
        fuzz::Require(bits.IsInfinity(), "real should be infinite");
        return;
    }
    if (want.Scale <= -5120 || want.SignificantDigits == 0) {
        fuzz::Require(bits.IsZero(), "real should be zero");
        return;
    }
    fuzz::Require(!bits.IsSpecial(), "finite real came out special");
    // Below the smallest extended denormal (about 3.6e-4951) the value
    // underflows to zero without a fault.
    if (bits.IsZero()) {
        fuzz::Require(want.Log10Magnitude < -4940.0, "non-zero real came out zero");
        return;
    }
    // The reference reads the same characters; no locale is set, so its
    // decimal point is ".".
    const std::string copy(text);
    // The C library's long double is the x87 type the fuzz build's Extended is.
    const long double reference = std::strtold(copy.c_str(), nullptr);
    if (ExactlyDetermined(want)) {
        fuzz::Require(foundation::BitsOf(reference) == bits,
                      "real differs from the correctly rounded value");
        return;
    }
    // Otherwise each rounding (one per digit, three per scaling) costs at
    // most half a unit of the 64-bit significand.
    const long double a = std::fabs(reference);
    if (a < 1e-4900L || a > 1e4900L) return; // denormal results lose relative precision
    const long double steps = static_cast<long double>(want.SignificantDigits) + 4.0L;
    const long double tolerance = a * steps * 0x1p-63L;
    fuzz::Require(std::fabs(got - reference) <= tolerance, "real too far from its decimal value");
}

void CheckReal(std::string_view text) {
    const soak::TRealVerdict want = soak::JudgeReal(text);
    const std::int64_t magnitude =
        want.SignificantDigits + (want.Scale > 0 && want.Scale < 5120 ? want.Scale : 0);
    const bool mayOverflow = want.SignificantDigits > SafeMagnitude || magnitude > SafeMagnitude;
    // Near and beyond the extended range the overflow fault is the specified
    // outcome: mask it there, and trap everywhere else.
    fuzz::UseControlWord(mayOverflow ? fuzz::OverflowMaskedControlWord : fuzz::TrappingControlWord);
    const textio::TRealParse got = textio::ParseReal(std::string(text).c_str());
    foundation::RaisePendingFaults();
    const auto length = static_cast<std::int32_t>(text.size());
    fuzz::Require(got.ErrorPos >= 0 && got.ErrorPos <= length + 1,
                  "real error position out of range");
    fuzz::Require((got.ErrorPos == 0) == want.Valid, "real validity differs from the grammar");
    if (!want.Valid) {
        fuzz::Require(got.ErrorPos == want.ErrorPos, "real error position differs");
    } else if (!mayOverflow && !want.ExponentUnsettled) {
        CheckRealValue(text, want, got.Value);
    }
    fuzz::UseControlWord(fuzz::TrappingControlWord);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The text ends at the first NUL, as a NUL-terminated copy would.
    const auto* chars = reinterpret_cast<const char*>(data);
    const std::string_view text(chars, strnlen(chars, size));
    fuzz::UseControlWord(fuzz::TrappingControlWord);
    CheckInteger(text);
    CheckReal(text);
    return 0;
}
