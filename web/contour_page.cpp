// SPDX-License-Identifier: MIT
// The contour pane's entry into the contour library, for the page: one
// module of its own beside the program's, so that drawing never touches the
// running program's variables. The page hands over the bytes typed so far
// and takes the SVG text (or the CSV or DXF document, for a download), or
// the report survey would end with.
#include <emscripten.h>

#include <cstdint>

#include "contour/page.h"

namespace {

contour::TPageResult LastResult;

// The drawing, in pieces, to the page.
EM_JS(void, survey_contour_take, (const std::uint8_t* bytes, std::uint32_t count),
      { Module['contourTake'](HEAPU8.slice(bytes, bytes + count)); });

void TakePiece(void*, const std::uint8_t* bytes, std::uint32_t count) {
    survey_contour_take(bytes, count);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void survey_contour_start() {
    contour::StartContourPage();
}

// Document: 0 SVG, 1 CSV, 2 DXF. Status: 0 drawn, 2 drawn with findings,
// 1 nothing drawn (see the report).
EMSCRIPTEN_KEEPALIVE int survey_contour_draw(const std::uint8_t* bytes, std::uint32_t count,
                                             std::uint32_t document) {
    const auto kind = static_cast<contour::TPageDocument>(document);
    LastResult = contour::DrawContourPage({bytes, count}, kind, TakePiece, nullptr);
    return LastResult.Status;
}

EMSCRIPTEN_KEEPALIVE const char* survey_contour_report() {
    return LastResult.Report;
}

} // extern "C"
