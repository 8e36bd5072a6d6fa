// SPDX-License-Identifier: MIT
// The entry for a page that shows the contour beside the terminal and
// draws it again after each entry, from the bytes typed so far, and that
// offers it as a document to download. It reads them as survey would, and
// writes the document into a sink, or gives the report survey would end
// with. Nothing here touches files or the process: the page holds the
// bytes and takes the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "contour/render.h"
#include "rterrors/error_report.h"
#include "textio/memory_streams.h"

namespace contour {

using TByteSink = textio::TByteSink;
// The SVG drawing, the CSV table or the DXF drawing.
using TPageDocument = TDocument;

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

// The document of the contour the bytes describe, in pieces into sink.
// While points are still missing the SVG shows those typed in full so
// far; the CSV and the DXF are those survey-contour writes for the same
// bytes (the missing numbers 0, as survey takes them at an early end).
TPageResult DrawContourPage(std::span<const std::uint8_t> bytes, TPageDocument document,
                            TByteSink sink, void* context);

} // namespace contour
