// A finding as one line of text, for standard error and the list under
// the drawing.
#pragma once

#include "contour/findings.h"
#include "textio/text_stream.h"

namespace contour {

// Writes the text of finding, without a line end.
void WriteFinding(textio::TTextStream& out, const TFinding& finding);

} // namespace contour
