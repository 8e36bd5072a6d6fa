// SPDX-License-Identifier: MIT
#include "contour/page.h"

#include "contour/findings.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"

namespace contour {

namespace {

struct TPageRun {
    std::span<const std::uint8_t> Bytes;
    TPageDocument Document;
    TByteSink Sink;
    void* Context;
    std::size_t FindingCount = 0;
};

// Runs under the run-time's handlers. A fault can come only from reading
// and the area, before anything with a destructor exists.
void DrawPage(void* context) {
    auto& run = *static_cast<TPageRun*>(context);
    static TContour contour;
    ReadContourFromBytes(run.Bytes, contour);
    textio::TTextStream out{};
    textio::OpenSinkOutput(out, run.Sink, run.Context);
    if (run.Document == TPageDocument::Svg && contour.EnteredCount < contour.PointCount) {
        WriteSvgSoFar(contour, out);
    } else {
        const TFindings findings = FindFindings(contour);
        RenderContour(run.Document, contour, findings, out);
        run.FindingCount = findings.size();
    }
    textio::FlushStream(out);
    rterrors::CheckIo();
}

} // namespace

void StartContourPage() {
    rterrors::StartRepeatedRuns();
}

TPageResult DrawContourPage(std::span<const std::uint8_t> bytes, TPageDocument document,
                            TByteSink sink, void* context) {
    TPageResult result;
    TPageRun run{bytes, document, sink, context};
    textio::TakeIoResult(); // nothing left over from an earlier drawing
    if (!rterrors::RunReportingFailure(DrawPage, &run, result.Report, sizeof result.Report)) {
        result.Status = PageInputFails;
        return result;
    }
    result.FindingCount = run.FindingCount;
    result.Status = run.FindingCount == 0 ? PageDrawn : PageDrawnWithFindings;
    return result;
}

} // namespace contour
