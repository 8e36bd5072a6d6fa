// SPDX-License-Identifier: MIT
// A finding as one line of text, for standard error and the list under
// the drawing, and as the few words a CAD drawing puts beside it. Places
// are given in the grid (the station's plane by default), to the
// millimetre.
#pragma once

#include "contour/findings.h"
#include "textio/text_stream.h"

namespace contour {

// Writes the text of finding, without a line end.
void WriteFinding(textio::TTextStream& out, const TContour& contour, const TFinding& finding);

// The label of a finding on a drawing: "2-3 crosses 4-5", "4 repeats 1".
void WriteFindingLabel(textio::TTextStream& out, const TFinding& finding);

} // namespace contour
