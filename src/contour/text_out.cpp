#include "contour/text_out.h"

#include "foundation/extended.h"
#include "rterrors/run_errors.h"
#include "textio/number_output.h"

namespace contour {

namespace {
// The exponent form shows width - 8 significant digits, at most 18; 17
// already tell every double apart.
constexpr std::int32_t RoundTripWidth = 26;
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

void PutRoundTrip(textio::TTextStream& out, double value) {
    const textio::TShortText text =
        textio::RealToText(foundation::Extended(value), RoundTripWidth, -1);
    std::string_view view = text.View();
    // A positive value's sign position is a blank.
    if (!view.empty() && view.front() == ' ') view.remove_prefix(1);
    Put(out, view);
}

void EndLine(textio::TTextStream& out) {
    textio::WriteLineEnd(out);
    rterrors::CheckIo();
}

} // namespace contour
