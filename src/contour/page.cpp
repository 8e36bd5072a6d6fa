#include "contour/page.h"

#include "contour/findings.h"
#include "contour/render.h"
#include "foundation/faults.h"
#include "rterrors/fpu_control.h"
#include "rterrors/layers.h"
#include "rterrors/run_errors.h"

namespace contour {

namespace {

struct TPageRun {
    std::span<const std::uint8_t> Bytes;
    TPageDocument Document;
    TByteSink Sink;
    void* Context;
    std::size_t FindingCount = 0;
};

// Runs at a fault checkpoint. A fault can come only from reading and the
// area, before anything with a destructor exists.
void DrawPage(void* context) {
    auto& run = *static_cast<TPageRun*>(context);
    static TContour contour;
    ReadContourFromBytes(run.Bytes, contour);
    textio::TTextStream out{};
    OpenSinkOutput(out, run.Sink, run.Context);
    if (run.Document == TPageDocument::Csv) {
        WriteCsv(contour, out);
    } else if (run.Document == TPageDocument::Dxf) {
        WriteDxf(contour, out);
    } else if (contour.EnteredCount < contour.PointCount) {
        WriteSvgSoFar(contour, out);
    } else {
        const TFindings findings = FindFindings(contour);
        WriteSvg(contour, findings, out);
        run.FindingCount = findings.size();
    }
    textio::FlushStream(out);
    rterrors::CheckIo();
}

} // namespace

void StartContourPage() {
    foundation::InstallFaultHandlers();
    rterrors::InitializeLayers();
}

TPageResult DrawContourPage(std::span<const std::uint8_t> bytes, TPageDocument document,
                            TByteSink sink, void* context) {
    TPageResult result;
    TPageRun run{bytes, document, sink, context};
    textio::TakeIoResult(); // nothing left over from an earlier drawing
    rterrors::TObject* failure = nullptr;
    rterrors::TCodeAddress address = 0;
    foundation::TFaultRecord fault;
    try {
        if (foundation::RunWithFaultCheckpoint(DrawPage, &run, fault)) {
            result.FindingCount = run.FindingCount;
            result.Status = run.FindingCount == 0 ? PageDrawn : PageDrawnWithFindings;
            return result;
        }
        rterrors::ResetFpu();
        if (rterrors::FaultObjectHook != nullptr) failure = rterrors::FaultObjectHook(fault);
        address = fault.Address;
    } catch (const rterrors::TRaisedException& raised) {
        failure = raised.Object;
        address = raised.Address;
    }
    result.Status = PageInputFails;
    rterrors::FormatExceptionReport(failure, address, result.Report, sizeof result.Report);
    if (failure != nullptr) rterrors::ReleaseObject(failure);
    return result;
}

} // namespace contour
