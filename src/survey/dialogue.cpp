#include "survey/dialogue.h"

#include <string_view>

#include "foundation/extended.h"
#include "rterrors/run_errors.h"
#include "survey/area.h"
#include "textio/number_input.h"
#include "textio/number_output.h"
#include "textio/text_stream.h"

namespace survey {

using foundation::Extended;
using foundation::StoreDouble;
using rterrors::CheckIo;
using namespace textio;

namespace {

constexpr std::string_view CountPrompt =
    "Enter the number of the points in the collapse of a contour:";
constexpr std::string_view LengthPrompt = "Enter the measured length of the point ";
constexpr std::string_view DirectionPrompt = "Enter the measured direction of the point ";
constexpr std::string_view PromptTail = " in the collapse of a contour: ";
constexpr std::string_view ResultsLead = "The area of a contour: ";
constexpr std::string_view ExitPrompt = "*Press Enter to exit*";

// Widths and decimals of the three results on the results line.
constexpr int SquareMetresWidth = 7, SquareMetresDecimals = 2;
constexpr int AresWidth = 8, AresDecimals = 4;
constexpr int HectaresWidth = 8, HectaresDecimals = 5;

// The statement helpers are inlined so that every CheckIo has a call site
// of its own in the dialogue and a report points at that statement.

// One statement: an empty line.
[[gnu::always_inline]] inline void EmptyLine() {
    WriteLineEnd(OutputStream);
    CheckIo();
}

[[gnu::always_inline]] inline void PointPrompt(std::string_view lead, std::uint8_t k) {
    WriteText(OutputStream, lead, 0);
    WriteInteger(OutputStream, k, 0);
    WriteText(OutputStream, PromptTail, 0);
    WriteLineEnd(OutputStream);
    CheckIo();
}

} // namespace

// Every statement below ends with exactly one CheckIo, so a failure is
// reported for the statement that caused it and nothing after it runs.
// In a read statement the number is stored before the rest of the line is
// discarded: a value too large for a double faults at its store.
void RunDialogue() {
    WriteText(OutputStream, CountPrompt, 0);
    WriteLineEnd(OutputStream);
    CheckIo();

    // Only the low 8 bits of the count are kept.
    PointCount = static_cast<std::uint8_t>(ReadInteger(InputStream));
    ReadLineEnd(InputStream);
    CheckIo();

    EmptyLine();
    EmptyLine();

    std::uint8_t k = 1;
    for (std::uint8_t remaining = PointCount; remaining != 0; --remaining, ++k) {
        PointPrompt(LengthPrompt, k);

        LengthInput = StoreDouble(ReadReal(InputStream));
        ReadLineEnd(InputStream);
        CheckIo();

        EmptyLine();

        PointPrompt(DirectionPrompt, k);

        DirectionInput = StoreDouble(ReadReal(InputStream));
        ReadLineEnd(InputStream);
        CheckIo();

        EmptyLine();
        EmptyLine();

        StorePoint(k);
    }

    ComputeArea();

    EmptyLine();

    WriteText(OutputStream, ResultsLead, 0);
    WriteReal(OutputStream, Extended(AreaSquareMetres), SquareMetresWidth, SquareMetresDecimals);
    WriteText(OutputStream, "m^2", 0);
    WriteText(OutputStream, " = ", 0);
    WriteReal(OutputStream, Extended(AreaAres), AresWidth, AresDecimals);
    WriteText(OutputStream, "a = ", 0);
    WriteReal(OutputStream, Extended(AreaHectares), HectaresWidth, HectaresDecimals);
    WriteText(OutputStream, "ha", 0);
    WriteLineEnd(OutputStream);
    CheckIo();

    for (int i = 0; i < 4; ++i) {
        EmptyLine();
    }

    WriteText(OutputStream, ExitPrompt, 0);
    WriteLineEnd(OutputStream);
    CheckIo();

    ReadLineEnd(InputStream);
    CheckIo();
}

} // namespace survey
