// The points as a table: number, length (m), direction (grads), x and y
// (m), then the area in square metres, ares and hectares. Every real has
// enough digits to read back the same double; a point with no place has
// empty coordinates.
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
        PutRoundTrip(out, point.Length);
        Put(out, ",");
        PutRoundTrip(out, point.DirectionGrads);
        Put(out, ",");
        if (point.Placed) PutRoundTrip(out, point.At.X);
        Put(out, ",");
        if (point.Placed) PutRoundTrip(out, point.At.Y);
        EndLine(out);
    }
    Put(out, "area,");
    PutRoundTrip(out, contour.AreaSquareMetres);
    Put(out, ",");
    PutRoundTrip(out, contour.AreaAres);
    Put(out, ",");
    PutRoundTrip(out, contour.AreaHectares);
    EndLine(out);
}

} // namespace contour
