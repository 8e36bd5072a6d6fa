// SPDX-License-Identifier: MIT
// The survey dialogue: asks for the points, has the area computed, prints
// it and waits for Enter. Runs once, between start-up and the normal end.
// Its read statements and its results line serve any reader of the same
// input (survey-contour), with or without the prompts.
#pragma once

#include <cstdint>

#include "textio/text_stream.h"

namespace survey {

// The number read by one read statement: the count, or point k's length
// or direction.
enum class TReadStep : std::uint8_t { Count, Length, Direction };

// What runs before and after each read statement (a null hook does
// nothing): the dialogue's prompts and empty lines.
struct TReadHooks {
    void (*Before)(TReadStep step, std::uint8_t k, void* context) = nullptr;
    void (*After)(TReadStep step, std::uint8_t k, void* context) = nullptr;
    void* Context = nullptr;
};

// The read statements of the dialogue: PointCount, then each point's
// LengthInput and DirectionInput, the point stored after its hooks have
// run. Each read is followed by the rest of its line and one CheckIo, and
// each number is stored before that, where a value beyond the double
// range faults. The area is not computed here.
void ReadPoints(textio::TTextStream& input, const TReadHooks& hooks);

// The results line, without its line end:
// "The area of a contour: 2803.30m^2 =  28.0330a =  0.28033ha".
void WriteResults(textio::TTextStream& out, double squareMetres, double ares, double hectares);

void RunDialogue();

} // namespace survey
