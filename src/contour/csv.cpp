// SPDX-License-Identifier: MIT
// The points as a table: number, length (m), direction (grads), x and y
// (m, in the grid), then the area in square metres, ares and hectares.
// Every real is the shortest decimal that reads back the same double; a
// point with no place has empty coordinates.
#include "contour/render.h"
#include "contour/text_out.h"

namespace contour {

void WriteCsv(const TContour& contour, textio::TTextStream& out) {
    Put(out, "point,length,direction,x,y");
    EndLine(out);
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TContourPoint& point = contour.Point(k);
        PutInteger(out, k);
        Put(out, ",");
        PutShortest(out, point.Length);
        Put(out, ",");
        PutShortest(out, point.DirectionGrads);
        Put(out, ",");
        if (point.Placed) PutShortest(out, point.Grid.X);
        Put(out, ",");
        if (point.Placed) PutShortest(out, point.Grid.Y);
        EndLine(out);
    }
    Put(out, "area,");
    PutShortest(out, contour.AreaSquareMetres);
    Put(out, ",");
    PutShortest(out, contour.AreaAres);
    Put(out, ",");
    PutShortest(out, contour.AreaHectares);
    EndLine(out);
}

} // namespace contour
