// Writing the documents: text, integers and reals through the program's
// own number output, and line ends each followed by one CheckIo, so that a
// failed write ends the run with its report at the line that failed.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/text_stream.h"

namespace contour {

void Put(textio::TTextStream& out, std::string_view text);
void PutInteger(textio::TTextStream& out, std::int32_t value);
// Fixed form with the given decimals.
void PutFixed(textio::TTextStream& out, double value, std::int32_t decimals);
// Enough significant digits (18) to read back the same double, with no
// blank in front: "2.80330085889910600E+0003".
void PutRoundTrip(textio::TTextStream& out, double value);
void EndLine(textio::TTextStream& out);

} // namespace contour
