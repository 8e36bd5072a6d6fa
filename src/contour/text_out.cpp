// SPDX-License-Identifier: MIT
#include "contour/text_out.h"

#include <cmath>
#include <fmt/format.h>

#include "foundation/extended.h"
#include "rterrors/run_errors.h"
#include "textio/number_output.h"

namespace contour {

namespace {

// Room for the shortest form in exponent notation: a sign, 17 digits, a
// point and an exponent of three digits with its sign.
constexpr std::size_t ShortestCapacity = 32;
constexpr std::string_view Zeros =
    "0000000000000000000000000000000000000000000000000000000000000000";

void PutZeros(textio::TTextStream& out, int count) {
    for (; count > 0; count -= static_cast<int>(Zeros.size())) {
        Put(out, Zeros.substr(0, static_cast<std::size_t>(std::min<int>(count, Zeros.size()))));
    }
}

// The digits of a shortest form and where its decimal point goes: the
// value is 0.Digits times ten to the power Point.
struct TDecimal {
    bool Negative = false;
    char Digits[ShortestCapacity] = {};
    int Count = 0;
    int Point = 0;
};

// From the shortest round-trip form, fixed or with an exponent ("1e+300",
// "3.06287113727155e-15", "0.1", "100").
TDecimal Decimal(std::string_view text) {
    TDecimal decimal;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') {
        decimal.Negative = true;
        ++at;
    }
    int before = 0;
    bool point = false;
    for (; at < text.size() && text[at] != 'e'; ++at) {
        if (text[at] == '.') {
            point = true;
        } else if (decimal.Count > 0 || text[at] != '0') {
            decimal.Digits[decimal.Count++] = text[at];
            before += point ? 0 : 1;
        } else if (point) {
            --before; // a zero after the point, before the first digit
        }
    }
    // After the 'e', a sign and the exponent's digits.
    int exponent = 0;
    bool negative = false;
    for (++at; at < text.size(); ++at) {
        if (text[at] == '-') {
            negative = true;
        } else if (text[at] != '+') {
            exponent = exponent * 10 + (text[at] - '0');
        }
    }
    decimal.Point = before + (negative ? -exponent : exponent);
    return decimal;
}

} // namespace

void Put(textio::TTextStream& out, std::string_view text) {
    textio::WriteText(out, text, 0);
}

void PutInteger(textio::TTextStream& out, std::int32_t value) {
    textio::WriteInteger(out, value, 0);
}

void PutFixed(textio::TTextStream& out, double value, std::int32_t decimals) {
    textio::WriteReal(out, foundation::Extended(value), 0, decimals);
}

void PutShortest(textio::TTextStream& out, double value) {
    if (!std::isfinite(value)) {
        PutFixed(out, value, 0);
        return;
    }
    char text[ShortestCapacity];
    const auto written = fmt::format_to_n(text, sizeof text, "{}", value);
    const TDecimal decimal = Decimal({text, written.size});
    if (decimal.Negative) Put(out, "-");
    const std::string_view digits(decimal.Digits, static_cast<std::size_t>(decimal.Count));
    if (digits.empty()) {
        Put(out, "0");
    } else if (decimal.Point <= 0) {
        Put(out, "0.");
        PutZeros(out, -decimal.Point);
        Put(out, digits);
    } else if (decimal.Point >= decimal.Count) {
        Put(out, digits);
        PutZeros(out, decimal.Point - decimal.Count);
    } else {
        const auto whole = static_cast<std::size_t>(decimal.Point);
        Put(out, digits.substr(0, whole));
        Put(out, ".");
        Put(out, digits.substr(whole));
    }
}

void EndLine(textio::TTextStream& out) {
    textio::WriteLineEnd(out);
    rterrors::CheckIo();
}

void PutXmlText(textio::TTextStream& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string_view escaped;
        switch (text[at]) {
        case '&': escaped = "&amp;"; break;
        case '<': escaped = "&lt;"; break;
        case '>': escaped = "&gt;"; break;
        case '"': escaped = "&quot;"; break;
        default: continue;
        }
        Put(out, text.substr(start, at - start));
        Put(out, escaped);
        start = at + 1;
    }
    Put(out, text.substr(start));
}

} // namespace contour
