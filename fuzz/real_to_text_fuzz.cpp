// SPDX-License-Identifier: MIT
// RealToText on doubles widened to extended and on every valid extended
// pattern, at widths -5..300 and decimals -5..250, under the trapping
// control word: the text must keep its length limit and shape, and the
// fixed and exponent forms must read back within the precision they show.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "foundation/extended_bits.h"
#include "fuzz_fpu.h"
#include "textio/number_input.h"
#include "textio/number_output.h"

namespace {

using foundation::ExtendedBits;
using fuzz::Require;

constexpr int MaxText = 255;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int ClampWidth(int width) {
    return width < 0 ? 0 : (width > MaxText ? MaxText : width);
}

void CheckPadding(std::string_view text, std::size_t bodyLength, int width) {
    const std::size_t expected =
        std::max<std::size_t>(bodyLength, static_cast<std::size_t>(ClampWidth(width)));
    Require(text.size() == expected, "text is not padded to exactly the clamped width");
}

// Reads a text back with the program's own parser, trapping as the program
// does. The tolerances below are worked out in the C library's long double,
// which the fuzz targets' x87 build shares with Extended.
long double ReadBack(std::string_view text) {
    const std::string copy(text);
    const textio::TRealParse parsed = textio::ParseReal(copy.c_str());
    Require(parsed.ErrorPos == 0, "a formatted number does not parse");
    return parsed.Value;
}

long double PowerOfTen(int exponent) {
    return std::pow(10.0L, static_cast<long double>(exponent));
}

// Fixed form: [-]digits[.digits], exactly d decimals, no superfluous zero.
void CheckFixed(std::string_view text, long double value, bool negative, int width, int decimals) {
    const std::size_t lead = text.find_first_not_of(' ');
    const std::string_view body = text.substr(lead == std::string_view::npos ? text.size() : lead);
    CheckPadding(text, body.size(), width);
    std::string_view digits = body;
    if (negative) {
        Require(!digits.empty() && digits.front() == '-', "negative value without its sign");
        digits.remove_prefix(1);
    }
    const std::size_t point = digits.find('.');
    const std::string_view integer = digits.substr(0, point);
    Require(!integer.empty() && integer.size() <= 37,
            "integer part of the fixed form has a wrong length");
    Require(integer.size() == 1 || integer.front() != '0', "integer part has a leading zero");
    for (char c : integer)
        Require(IsDigit(c), "integer part holds a non-digit");
    if (decimals == 0) {
        Require(point == std::string_view::npos, "no decimals yet a decimal point");
    } else {
        Require(point != std::string_view::npos, "decimals without a decimal point");
        const std::string_view fraction = digits.substr(point + 1);
        Require(fraction.size() == static_cast<std::size_t>(decimals), "wrong count of decimals");
        for (char c : fraction)
            Require(IsDigit(c), "fraction holds a non-digit");
    }
    const long double a = std::fabs(value);
    if (a > 1e4900L) return;
    // Half a unit of the last decimal shown, plus the digits the conversion
    // does not produce: below 10 those after the 17th decimal, above it
    // those after the 18th significant digit; plus the read-back's rounding.
    const long double shown = a < 10.0L ? 1e-17L : a * 6e-18L;
    const long double tolerance = 0.5L * PowerOfTen(-decimals) + shown +
                                  a * static_cast<long double>(body.size() + 8) * 0x1p-63L;
    const long double back = ReadBack(body);
    Require(std::fabs(back - value) <= tolerance,
            "fixed form does not read back within what it shows");
}

// Exponent form: [ -]d.ddd...E[+-]dddd with n significant digits.
void CheckExponent(std::string_view text, long double value, bool negative, int width) {
    const int n = std::min(18, std::max(2, ClampWidth(width) - 8));
    Require(text.size() == static_cast<std::size_t>(std::max(n + 8, ClampWidth(width))),
            "exponent form has a wrong length");
    const std::string_view body = text.substr(text.size() - static_cast<std::size_t>(n + 8));
    for (std::size_t i = 0; i < text.size() - body.size(); ++i)
        Require(text[i] == ' ', "padding is not spaces");
    Require(body[0] == (negative ? '-' : ' '), "wrong sign character");
    Require(IsDigit(body[1]) && body[2] == '.', "mantissa does not start d.");
    for (int i = 3; i < n + 2; ++i)
        Require(IsDigit(body[static_cast<std::size_t>(i)]), "mantissa holds a non-digit");
    const std::size_t e = static_cast<std::size_t>(n) + 2;
    Require(body[e] == 'E' && (body[e + 1] == '+' || body[e + 1] == '-'), "no exponent mark");
    for (std::size_t i = e + 2; i < e + 6; ++i)
        Require(IsDigit(body[i]), "exponent holds a non-digit");
    const long double a = std::fabs(value);
    if (a == 0.0L) {
        Require(body[1] == '0', "zero has a non-zero mantissa");
        return;
    }
    Require(body[1] != '0', "mantissa of a non-zero value starts with 0");
    if (a < 1e-4900L || a > 1e4900L) return;
    int exponent = (body[e + 2] - '0') * 1000 + (body[e + 3] - '0') * 100 +
                   (body[e + 4] - '0') * 10 + (body[e + 5] - '0');
    if (body[e + 1] == '-') exponent = -exponent;
    const long double tolerance =
        0.5L * PowerOfTen(exponent - (n - 1)) + a * 6e-18L + a * 40.0L * 0x1p-63L;
    const long double back = ReadBack(body);
    Require(std::fabs(back - value) <= tolerance,
            "exponent form does not read back within what it shows");
}

void CheckText(foundation::Extended value, int width, int decimals) {
    const textio::TShortText text = textio::RealToText(value, width, decimals);
    foundation::RaisePendingFaults();
    const std::string_view view = text.View();
    Require(view.size() <= MaxText, "text longer than 255");
    const ExtendedBits bits = foundation::BitsOf(value);
    if (bits.IsSpecial()) {
        const std::string_view word = bits.IsNan() ? "Nan" : (bits.Negative() ? "-Inf" : "+Inf");
        CheckPadding(view, word.size(), width);
        Require(view.substr(view.size() - word.size()) == word, "wrong text for a special value");
        return;
    }
    // Decimals select the fixed form up to 2^120; beyond, and for negative
    // decimals, the exponent form.
    const bool large = bits.Exponent() >= ExtendedBits::ExponentBias + 120;
    if (decimals < 0 || large) {
        CheckExponent(view, value, bits.Negative(), width);
    } else {
        CheckFixed(view, value, bits.Negative(), width, std::min(decimals, 216));
    }
}

// The encodings the unit never produces and rejects as operands.
bool IsValidPattern(const ExtendedBits& bits) {
    const bool integerBit = (bits.Significand & ExtendedBits::IntegerBit) != 0;
    if (bits.Exponent() == 0) return !integerBit; // zero or denormal
    return integerBit;                            // normal, infinity, NaN
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const bool extended = (data[0] & 1) != 0;
    const int width = -5 + static_cast<int>((data[1] | (data[2] << 8)) % 306);
    const int decimals = -5 + static_cast<int>((data[3] | (data[4] << 8)) % 256);
    data += 5;
    size -= 5;
    foundation::Extended value(0.0);
    if (extended) {
        if (size < 10) return 0;
        const ExtendedBits bits = ExtendedBits::FromBytes(data);
        if (!IsValidPattern(bits)) return 0;
        value = foundation::ExtendedFromBits(bits);
    } else {
        if (size < 8) return 0;
        double d = 0.0;
        std::memcpy(&d, data, 8);
        // Widening is exact, but loading a signalling NaN would be an invalid
        // operation: NaNs are built from their bits instead.
        if (std::isnan(d)) {
            value = foundation::ExtendedFromBits(ExtendedBits::Make(
                std::signbit(d), ExtendedBits::ExponentMask, 0xC000000000000000ULL));
        } else {
            value = foundation::Extended(d);
        }
    }
    fuzz::UseControlWord(fuzz::TrappingControlWord);
    CheckText(value, width, decimals);
    return 0;
}
