// The entry for a page that shows the contour beside the terminal and
// draws it again after each entry, from the bytes typed so far. It reads
// them as survey would, and writes the SVG drawing, or the CSV or DXF
// document, into a sink, or gives the report survey would end with.
// Nothing here touches files or the process: the page holds the bytes and
// takes the drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "contour/byte_streams.h"
#include "rterrors/error_report.h"

namespace contour {

inline constexpr int PageDrawn = 0;             // drawn, no findings
inline constexpr int PageInputFails = 1;        // nothing drawn: Report holds the report
inline constexpr int PageDrawnWithFindings = 2; // drawn, FindingCount findings

struct TPageResult {
    int Status = PageDrawn;
    std::size_t FindingCount = 0;
    char Report[rterrors::ReportBufferSize] = {}; // three lines, as on standard error
};

// Once, before the first drawing: the fault handlers and the run-time
// layers, as the program's start has them.
void StartContourPage();

enum class TPageDocument : std::uint8_t { Svg, Csv, Dxf };

// The document of the contour the bytes describe, in pieces into sink. The
// SVG of a contour still being entered shows the points so far; complete,
// each document is the one survey-contour writes for the same bytes.
TPageResult DrawContourPage(std::span<const std::uint8_t> bytes, TPageDocument document,
                            TByteSink sink, void* context);

} // namespace contour
