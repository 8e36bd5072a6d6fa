// SPDX-License-Identifier: MIT
// Extended reals as text: the fixed form with a count of decimals and the
// exponent form with a count of significant digits taken from the width.
#include <cstring>
#include <string_view>

#include "foundation/extended.h"
#include "textio/number_output.h"

namespace textio {

namespace {

// Below this magnitude the fixed form takes the value as it is.
constexpr foundation::Extended FixedNormalizeFrom =
    foundation::MakeExtended(false, 0x4002, 0xA000000000000000); // 10

// Sign, point, "E", exponent sign and four exponent digits.
inline constexpr std::int32_t ExponentFormOverhead = 8;
inline constexpr int ExponentDigits = 4;

// Reserves a right-justified field for a text of the given length and
// returns where the text starts; the spaces in front are already written.
char* StartField(TShortText& text, std::int32_t length, std::int32_t width) {
    const std::int32_t pad = width > length ? width - length : 0;
    std::memset(text.Chars, ' ', static_cast<std::size_t>(pad));
    text.Length = static_cast<std::uint8_t>(pad + length);
    return text.Chars + pad;
}

void PutWord(TShortText& text, std::string_view word, std::int32_t width) {
    char* out = StartField(text, static_cast<std::int32_t>(word.size()), width);
    std::memcpy(out, word.data(), word.size());
}

// Infinities and NaNs, and the encodings the unit rejects as operands
// (unnormals, pseudo-infinities, pseudo-NaNs), are told from the bits so that
// no arithmetic ever touches them.
bool PutSpecial(TShortText& text, const foundation::ExtendedBits& bits, std::int32_t width) {
    using TKind = foundation::ExtendedBits::TKind;
    switch (bits.Kind()) {
    case TKind::Infinity: PutWord(text, bits.Negative() ? "-Inf" : "+Inf", width); return true;
    case TKind::QuietNan:
    case TKind::SignalingNan:
    case TKind::Unsupported: PutWord(text, "Nan", width); return true;
    case TKind::Zero:
    case TKind::Finite: break;
    }
    return false;
}

void PutExponentForm(TShortText& text, bool negative, TNormalized sk, std::int32_t width) {
    std::int32_t n = width - ExponentFormOverhead;
    if (n < MinMantissaDigits) {
        n = MinMantissaDigits;
    } else if (n > MaxMantissaDigits) {
        n = MaxMantissaDigits;
    }
    // At 10 or more the first significant digit already sits at position 0.
    TDigitString digits;
    GenerateDigits(sk.Scaled, sk.Scaled < FixedNormalizeFrom ? n : n - 1, digits);
    const int first = digits.Digits[0] == '1' ? 0 : 1;
    const std::int32_t e = sk.Exponent + (first == 0 ? 1 : 0);

    char* out = StartField(text, n + ExponentFormOverhead, width);
    *out++ = negative ? '-' : ' ';
    *out++ = digits.Digits[first];
    *out++ = '.';
    std::memcpy(out, digits.Digits + first + 1, static_cast<std::size_t>(n - 1));
    out += n - 1;
    *out++ = 'E';
    *out++ = e < 0 ? '-' : '+';
    std::int32_t magnitude = e < 0 ? -e : e;
    for (int i = ExponentDigits - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
}

void PutFixedForm(TShortText& text, bool negative, TNormalized sk, std::int32_t decimals,
                  std::int32_t width) {
    const std::int32_t k = sk.Exponent;
    const std::int32_t last = k + 1 + decimals;
    TDigitString digits;
    GenerateDigits(sk.Scaled, last, digits);

    // A carry into position 0 adds an integer digit.
    const int first = digits.Digits[0] == '1' ? 0 : 1;
    const std::int32_t integerDigits = k + 2 - first;
    const std::int32_t length =
        (negative ? 1 : 0) + integerDigits + (decimals > 0 ? decimals + 1 : 0);

    char* out = StartField(text, length, width);
    if (negative) {
        *out++ = '-';
    }
    std::memcpy(out, digits.Digits + first, static_cast<std::size_t>(integerDigits));
    out += integerDigits;
    if (decimals > 0) {
        *out++ = '.';
        std::memcpy(out, digits.Digits + k + 2, static_cast<std::size_t>(decimals));
    }
}

} // namespace

TShortText RealToText(foundation::Extended value, std::int32_t width, std::int32_t decimals) {
    // A width of zero or less means no spaces; holding it at 0 also keeps
    // the digit count of the exponent form free of overflow.
    if (width > MaxFieldWidth) {
        width = MaxFieldWidth;
    } else if (width < 0) {
        width = 0;
    }
    TShortText text;
    const foundation::ExtendedBits bits = foundation::BitsOf(value);
    if (PutSpecial(text, bits, width)) {
        return text;
    }
    const bool negative = bits.Negative();
    const foundation::Extended a = foundation::Abs(value);

    if (decimals < 0) {
        PutExponentForm(text, negative, NormalizeDecimal(a), width);
        return text;
    }
    if (decimals > MaxDecimals) {
        decimals = MaxDecimals;
    }
    TNormalized sk{a, 0};
    if (!(a < FixedNormalizeFrom)) {
        sk = NormalizeDecimal(a);
        if (sk.Exponent > MaxFixedExponent) {
            PutExponentForm(text, negative, sk, width);
            return text;
        }
    }
    PutFixedForm(text, negative, sk, decimals, width);
    return text;
}

TTextStream& WriteReal(TTextStream& stream, foundation::Extended value, std::int32_t width,
                       std::int32_t decimals) {
    const TShortText text = RealToText(value, width, decimals);
    return WriteText(stream, text, width);
}

} // namespace textio
