// SPDX-License-Identifier: MIT
// Writing the documents: text, integers and reals, and line ends each
// followed by one CheckIo, so that a failed write ends the run with its
// report at the line that failed.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/text_stream.h"

namespace contour {

void Put(textio::TTextStream& out, std::string_view text);
void PutInteger(textio::TTextStream& out, std::int32_t value);
// Fixed form with the given decimals, through the program's own output.
void PutFixed(textio::TTextStream& out, double value, std::int32_t decimals);
// The shortest decimal that reads back as the same double, in plain
// notation, for the tables and drawings other programs read:
// "70.71067811865476", "-0.00000000000000306287113727155", "100".
// An infinite value is written as the program writes it: "+Inf".
void PutShortest(textio::TTextStream& out, double value);
void EndLine(textio::TTextStream& out);

// Text for XML: the characters markup gives a meaning escaped.
void PutXmlText(textio::TTextStream& out, std::string_view text);

} // namespace contour
