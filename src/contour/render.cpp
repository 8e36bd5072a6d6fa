// SPDX-License-Identifier: MIT
#include "contour/render.h"

namespace contour {

void RenderContour(TDocument document, const TContour& contour, const TFindings& findings,
                   textio::TTextStream& out) {
    switch (document) {
    case TDocument::Svg: WriteSvg(contour, findings, out); return;
    case TDocument::Csv: WriteCsv(contour, out); return;
    case TDocument::Dxf: WriteDxf(contour, findings, out); return;
    }
}

} // namespace contour
