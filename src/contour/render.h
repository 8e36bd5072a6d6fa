// SPDX-License-Identifier: MIT
// The contour as a document: an SVG drawing, a CSV table or a DXF drawing
// for CAD, written to any text stream. Each line ends with CR LF and one
// CheckIo.
#pragma once

#include <cstdint>

#include "contour/contour.h"
#include "contour/findings.h"
#include "textio/text_stream.h"

namespace contour {

enum class TDocument : std::uint8_t { Svg, Csv, Dxf };

// The drawing as seen from the station, the findings marked and listed.
void WriteSvg(const TContour& contour, const TFindings& findings, textio::TTextStream& out);
// A contour still being entered: its points so far, the sides between
// them, and how many of how many are in; no area and no findings yet.
void WriteSvgSoFar(const TContour& contour, textio::TTextStream& out);
// The table and the CAD drawing, in grid coordinates.
void WriteCsv(const TContour& contour, textio::TTextStream& out);
void WriteDxf(const TContour& contour, const TFindings& findings, textio::TTextStream& out);

void RenderContour(TDocument document, const TContour& contour, const TFindings& findings,
                   textio::TTextStream& out);

} // namespace contour
