#include "contour/render.h"

#include "contour/text_out.h"
#include "foundation/extended.h"
#include "textio/number_output.h"

namespace contour {

namespace {
// The widths and decimals of survey's results line.
constexpr int SquareMetresWidth = 7, SquareMetresDecimals = 2;
constexpr int AresWidth = 8, AresDecimals = 4;
constexpr int HectaresWidth = 8, HectaresDecimals = 5;
} // namespace

void WriteResultsLine(const TContour& contour, textio::TTextStream& out) {
    using foundation::Extended;
    Put(out, "The area of a contour: ");
    textio::WriteReal(out, Extended(contour.AreaSquareMetres), SquareMetresWidth,
                      SquareMetresDecimals);
    Put(out, "m^2 = ");
    textio::WriteReal(out, Extended(contour.AreaAres), AresWidth, AresDecimals);
    Put(out, "a = ");
    textio::WriteReal(out, Extended(contour.AreaHectares), HectaresWidth, HectaresDecimals);
    Put(out, "ha");
}

void RenderContour(TFormat format, const TContour& contour, const TFindings& findings,
                   textio::TTextStream& out) {
    switch (format) {
    case TFormat::Svg: WriteSvg(contour, findings, out); return;
    case TFormat::Csv: WriteCsv(contour, out); return;
    case TFormat::Dxf: WriteDxf(contour, out); return;
    }
}

} // namespace contour
