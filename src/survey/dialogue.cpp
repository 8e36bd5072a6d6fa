// SPDX-License-Identifier: MIT
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

constexpr std::string_view CountPromptText =
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

[[gnu::always_inline]] inline void CountPrompt() {
    WriteText(OutputStream, CountPromptText, 0);
    WriteLineEnd(OutputStream);
    CheckIo();
}

// The dialogue's statements around each read: the prompt before it, and
// the empty lines after it.
void PromptBefore(TReadStep step, std::uint8_t k, void*) {
    switch (step) {
    case TReadStep::Count: CountPrompt(); return;
    case TReadStep::Length: PointPrompt(LengthPrompt, k); return;
    case TReadStep::Direction: PointPrompt(DirectionPrompt, k); return;
    }
}

void SpaceAfter(TReadStep step, std::uint8_t, void*) {
    EmptyLine();
    if (step != TReadStep::Length) EmptyLine();
}

} // namespace

// Every statement below ends with exactly one CheckIo, so a failure is
// reported for the statement that caused it and nothing after it runs.
// In a read statement the number is stored before the rest of the line is
// discarded: a value too large for a double faults at its store.
void ReadPoints(TTextStream& input, const TReadHooks& hooks) {
    const auto before = [&](TReadStep step, std::uint8_t k) {
        if (hooks.Before != nullptr) hooks.Before(step, k, hooks.Context);
    };
    const auto after = [&](TReadStep step, std::uint8_t k) {
        if (hooks.After != nullptr) hooks.After(step, k, hooks.Context);
    };

    before(TReadStep::Count, 0);
    // Only the low 8 bits of the count are kept.
    PointCount = static_cast<std::uint8_t>(ReadInteger(input));
    ReadLineEnd(input);
    CheckIo();
    after(TReadStep::Count, 0);

    std::uint8_t k = 1;
    for (std::uint8_t remaining = PointCount; remaining != 0; --remaining, ++k) {
        before(TReadStep::Length, k);
        LengthInput = StoreDouble(ReadReal(input));
        ReadLineEnd(input);
        CheckIo();
        after(TReadStep::Length, k);

        before(TReadStep::Direction, k);
        DirectionInput = StoreDouble(ReadReal(input));
        ReadLineEnd(input);
        CheckIo();
        after(TReadStep::Direction, k);

        StorePoint(k);
    }
}

void WriteResults(TTextStream& out, double squareMetres, double ares, double hectares) {
    WriteText(out, ResultsLead, 0);
    WriteReal(out, Extended(squareMetres), SquareMetresWidth, SquareMetresDecimals);
    WriteText(out, "m^2", 0);
    WriteText(out, " = ", 0);
    WriteReal(out, Extended(ares), AresWidth, AresDecimals);
    WriteText(out, "a = ", 0);
    WriteReal(out, Extended(hectares), HectaresWidth, HectaresDecimals);
    WriteText(out, "ha", 0);
}

void RunDialogue() {
    ReadPoints(InputStream, {PromptBefore, SpaceAfter, nullptr});

    ComputeArea();

    EmptyLine();

    WriteResults(OutputStream, AreaSquareMetres, AreaAres, AreaHectares);
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
