// The contour as an ASCII DXF drawing of release 12, which every CAD
// program reads: the boundary as a closed polyline on layer BOUNDARY, the
// points on POINTS, their numbers as text on NUMBERS and the station on
// STATION. Coordinates are the plane coordinates in metres, y pointing to
// the zero direction, with enough digits to read back the same doubles.
#include <cmath>
#include <string_view>

#include "contour/render.h"
#include "contour/text_out.h"

namespace contour {

namespace {

using textio::TTextStream;

constexpr std::string_view LayerBoundary = "BOUNDARY";
constexpr std::string_view LayerPoints = "POINTS";
constexpr std::string_view LayerNumbers = "NUMBERS";
constexpr std::string_view LayerStation = "STATION";

struct TLayer {
    std::string_view Name;
    int Colour; // the CAD colour number
};
constexpr TLayer Layers[] = {
    {"0", 7}, {LayerBoundary, 5}, {LayerPoints, 1}, {LayerNumbers, 3}, {LayerStation, 6},
};

// Text height of the numbers: this share of the drawing's extent.
constexpr double TextShare = 1.0 / 50.0;

// A group: its code right-aligned in three columns, then its value.
void Code(TTextStream& out, int code) {
    if (code < 100) Put(out, code < 10 ? "  " : " ");
    PutInteger(out, code);
    EndLine(out);
}

void Group(TTextStream& out, int code, std::string_view value) {
    Code(out, code);
    Put(out, value);
    EndLine(out);
}

void Group(TTextStream& out, int code, int value) {
    Code(out, code);
    PutInteger(out, value);
    EndLine(out);
}

void GroupReal(TTextStream& out, int code, double value) {
    Code(out, code);
    PutRoundTrip(out, value);
    EndLine(out);
}

void Position(TTextStream& out, int firstCode, const TPlanePoint& at) {
    GroupReal(out, firstCode, at.X);
    GroupReal(out, firstCode + 10, at.Y);
    GroupReal(out, firstCode + 20, 0.0);
}

void Entity(TTextStream& out, std::string_view type, std::string_view layer) {
    Group(out, 0, type);
    Group(out, 8, layer);
}

double TextHeight(const TContour& contour) {
    double low = 0.0, high = 0.0;
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TContourPoint& point = contour.Point(k);
        if (!point.Placed) continue;
        low = std::fmin(low, std::fmin(point.At.X, point.At.Y));
        high = std::fmax(high, std::fmax(point.At.X, point.At.Y));
    }
    const double extent = high * 0.5 - low * 0.5; // halves: no overflow
    return extent > 0.0 ? extent * (2.0 * TextShare) : 1.0;
}

void WriteTables(TTextStream& out) {
    Group(out, 0, "SECTION");
    Group(out, 2, "TABLES");

    Group(out, 0, "TABLE");
    Group(out, 2, "LTYPE");
    Group(out, 70, 1);
    Group(out, 0, "LTYPE");
    Group(out, 2, "CONTINUOUS");
    Group(out, 70, 0);
    Group(out, 3, "Solid line");
    Group(out, 72, 65);
    Group(out, 73, 0);
    GroupReal(out, 40, 0.0);
    Group(out, 0, "ENDTAB");

    Group(out, 0, "TABLE");
    Group(out, 2, "LAYER");
    Group(out, 70, static_cast<int>(std::size(Layers)));
    for (const TLayer& layer : Layers) {
        Group(out, 0, "LAYER");
        Group(out, 2, layer.Name);
        Group(out, 70, 0);
        Group(out, 62, layer.Colour);
        Group(out, 6, "CONTINUOUS");
    }
    Group(out, 0, "ENDTAB");

    Group(out, 0, "TABLE");
    Group(out, 2, "STYLE");
    Group(out, 70, 1);
    Group(out, 0, "STYLE");
    Group(out, 2, "STANDARD");
    Group(out, 70, 0);
    GroupReal(out, 40, 0.0);
    GroupReal(out, 41, 1.0);
    GroupReal(out, 50, 0.0);
    Group(out, 71, 0);
    GroupReal(out, 42, 1.0);
    Group(out, 3, "txt");
    Group(out, 4, "");
    Group(out, 0, "ENDTAB");

    Group(out, 0, "ENDSEC");
}

void WriteBoundary(const TContour& contour, TTextStream& out) {
    Entity(out, "POLYLINE", LayerBoundary);
    Group(out, 66, 1); // vertices follow
    Position(out, 10, {});
    Group(out, 70, 1); // closed
    for (int k = 1; k <= contour.PointCount; ++k) {
        if (!contour.Point(k).Placed) continue;
        Entity(out, "VERTEX", LayerBoundary);
        Position(out, 10, contour.Point(k).At);
    }
    Entity(out, "SEQEND", LayerBoundary);
}

void WritePoints(const TContour& contour, TTextStream& out) {
    const double height = TextHeight(contour);
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TContourPoint& point = contour.Point(k);
        if (!point.Placed) continue;
        Entity(out, "POINT", LayerPoints);
        Position(out, 10, point.At);
        Entity(out, "TEXT", LayerNumbers);
        Position(out, 10, {point.At.X + height * 0.5, point.At.Y + height * 0.5});
        GroupReal(out, 40, height);
        Code(out, 1);
        PutInteger(out, k);
        EndLine(out);
    }
    Entity(out, "POINT", LayerStation);
    Position(out, 10, {});
    Entity(out, "CIRCLE", LayerStation);
    Position(out, 10, {});
    GroupReal(out, 40, height * 0.5);
}

} // namespace

void WriteDxf(const TContour& contour, textio::TTextStream& out) {
    Group(out, 0, "SECTION");
    Group(out, 2, "HEADER");
    Group(out, 9, "$ACADVER");
    Group(out, 1, "AC1009");
    Group(out, 0, "ENDSEC");

    WriteTables(out);

    Group(out, 0, "SECTION");
    Group(out, 2, "BLOCKS");
    Group(out, 0, "ENDSEC");

    Group(out, 0, "SECTION");
    Group(out, 2, "ENTITIES");
    if (contour.PointCount > 0) WriteBoundary(contour, out);
    WritePoints(contour, out);
    Group(out, 0, "ENDSEC");
    Group(out, 0, "EOF");
}

} // namespace contour
