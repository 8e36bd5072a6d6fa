// SPDX-License-Identifier: MIT
// The contour as an ASCII DXF drawing of release 12, which every CAD
// program reads: the boundary as a closed polyline on layer BOUNDARY, the
// points and small circles around them on POINTS, their numbers as text on
// NUMBERS, the station on STATION, and each finding's place with a short
// label on FINDINGS. Coordinates are grid coordinates in metres, each the
// shortest decimal that reads back the same double. The header's extents
// and limits cover every entity, text included, so that a reader shows the
// whole drawing; text and markers are sized from the drawing's extent.
#include <algorithm>
#include <cfloat>
#include <string_view>

#include "contour/finding_text.h"
#include "contour/render.h"
#include "contour/text_out.h"
#include "textio/memory_streams.h"

namespace contour {

namespace {

using textio::TTextStream;

constexpr std::string_view LayerBoundary = "BOUNDARY";
constexpr std::string_view LayerPoints = "POINTS";
constexpr std::string_view LayerNumbers = "NUMBERS";
constexpr std::string_view LayerStation = "STATION";
constexpr std::string_view LayerFindings = "FINDINGS";

struct TLayer {
    std::string_view Name;
    int Colour; // the CAD colour number
};
constexpr TLayer Layers[] = {
    {"0", 7},          {LayerBoundary, 5}, {LayerPoints, 5},
    {LayerNumbers, 7}, {LayerStation, 6},  {LayerFindings, 1},
};

// Text height: this share of the larger of the drawing's width and
// height; markers a third of it in radius. A drawing with no extent (one
// point, or all at the station) gets text a metre high.
constexpr double TextShare = 1.0 / 40.0;
constexpr double MarkerShare = 1.0 / 3.0;
constexpr double PlainTextHeight = 1.0;
// A label's width, at most this many text heights per character.
constexpr double CharacterWidth = 1.0;

struct TSizes {
    double TextHeight;
    double MarkerRadius;
};

TSizes SizesFor(const TExtent& extent) {
    const double halfSpan = std::max(extent.HalfWidth(), extent.HalfHeight());
    const double height = halfSpan > 0.0 ? halfSpan * (2.0 * TextShare) : PlainTextHeight;
    return {height, height * MarkerShare};
}

// A sum that stays a finite double at the ends of the range.
double Offset(double value, double by) {
    return std::clamp(value + by, -DBL_MAX, DBL_MAX);
}

// The few characters of a label, made by a writer of text.
struct TLabel {
    static constexpr std::size_t Capacity = 48;
    char Text[Capacity];
    std::size_t Length = 0;

    std::string_view View() const { return {Text, Length}; }
};

void AppendToLabel(void* context, const std::uint8_t* bytes, std::uint32_t count) {
    auto& label = *static_cast<TLabel*>(context);
    const std::size_t taken = std::min<std::size_t>(count, TLabel::Capacity - label.Length);
    std::copy_n(bytes, taken, label.Text + label.Length);
    label.Length += taken;
}

template <class TWrite> TLabel MakeLabel(TWrite write) {
    TLabel label;
    TTextStream text{};
    textio::OpenSinkOutput(text, AppendToLabel, &label);
    write(text);
    textio::FlushStream(text);
    return label;
}

// Every entity but the boundary, in the order they are written, for a
// sink that writes them or one that measures them. Numbers and labels
// stand up and right of their point, a finding's label further off.
template <class TSink>
void WalkEntities(const TContour& contour, const TFindings& findings, const TSizes& sizes,
                  TSink& sink) {
    const double gap = sizes.MarkerRadius;
    for (const TPlaced placed : PlacedPoints(contour)) {
        const TPlanePoint& at = placed.Point.Grid;
        sink.Point(LayerPoints, at);
        sink.Circle(LayerPoints, at, sizes.MarkerRadius);
        const TLabel number =
            MakeLabel([&placed](TTextStream& out) { PutInteger(out, placed.Number); });
        sink.Text(LayerNumbers, {Offset(at.X, gap), Offset(at.Y, gap)}, sizes.TextHeight, number);
    }
    const TPlanePoint station = contour.Placement.Station;
    sink.Point(LayerStation, station);
    sink.Circle(LayerStation, station, sizes.TextHeight * 0.5);
    for (const TFinding& finding : findings) {
        if (finding.Places == 0) continue;
        const TPlanePoint first = GridOf(finding.At[0], contour.Placement);
        if (finding.Kind == TFindingKind::SidesOverlap) {
            sink.Line(LayerFindings, first, GridOf(finding.At[1], contour.Placement));
        }
        for (int place = 0; place < finding.Places; ++place)
            sink.Circle(LayerFindings, GridOf(finding.At[place], contour.Placement), gap * 2.0);
        const TLabel label =
            MakeLabel([&finding](TTextStream& out) { WriteFindingLabel(out, finding); });
        sink.Text(LayerFindings, {Offset(first.X, gap * 2.0), Offset(first.Y, gap * 2.0)},
                  sizes.TextHeight, label);
    }
}

// Grows the extent to cover each entity.
struct TMeasure {
    TExtent& Extent;

    void Point(std::string_view, const TPlanePoint& at) { Extent.Add(at); }
    void Circle(std::string_view, const TPlanePoint& at, double radius) {
        Extent.Add({Offset(at.X, -radius), Offset(at.Y, -radius)});
        Extent.Add({Offset(at.X, radius), Offset(at.Y, radius)});
    }
    void Line(std::string_view, const TPlanePoint& from, const TPlanePoint& to) {
        Extent.Add(from);
        Extent.Add(to);
    }
    void Text(std::string_view, const TPlanePoint& at, double height, const TLabel& label) {
        const double width = static_cast<double>(label.Length) * CharacterWidth * height;
        Extent.Add(at);
        Extent.Add({Offset(at.X, width), Offset(at.Y, height)});
    }
};

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
    PutShortest(out, value);
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

// Writes each entity.
struct TWrite {
    TTextStream& Out;

    void Point(std::string_view layer, const TPlanePoint& at) {
        Entity(Out, "POINT", layer);
        Position(Out, 10, at);
    }
    void Circle(std::string_view layer, const TPlanePoint& at, double radius) {
        Entity(Out, "CIRCLE", layer);
        Position(Out, 10, at);
        GroupReal(Out, 40, radius);
    }
    void Line(std::string_view layer, const TPlanePoint& from, const TPlanePoint& to) {
        Entity(Out, "LINE", layer);
        Position(Out, 10, from);
        Position(Out, 11, to);
    }
    void Text(std::string_view layer, const TPlanePoint& at, double height, const TLabel& label) {
        Entity(Out, "TEXT", layer);
        Position(Out, 10, at);
        GroupReal(Out, 40, height);
        Group(Out, 1, label.View());
    }
};

void HeaderPoint(TTextStream& out, std::string_view name, const TPlanePoint& at, bool flat) {
    Group(out, 9, name);
    GroupReal(out, 10, at.X);
    GroupReal(out, 20, at.Y);
    if (!flat) GroupReal(out, 30, 0.0);
}

void WriteHeader(const TExtent& extent, TTextStream& out) {
    Group(out, 0, "SECTION");
    Group(out, 2, "HEADER");
    Group(out, 9, "$ACADVER");
    Group(out, 1, "AC1009");
    HeaderPoint(out, "$EXTMIN", {extent.MinX, extent.MinY}, false);
    HeaderPoint(out, "$EXTMAX", {extent.MaxX, extent.MaxY}, false);
    HeaderPoint(out, "$LIMMIN", {extent.MinX, extent.MinY}, true);
    HeaderPoint(out, "$LIMMAX", {extent.MaxX, extent.MaxY}, true);
    Group(out, 0, "ENDSEC");
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
    for (const TPlaced placed : PlacedPoints(contour)) {
        Entity(out, "VERTEX", LayerBoundary);
        Position(out, 10, placed.Point.Grid);
    }
    Entity(out, "SEQEND", LayerBoundary);
}

} // namespace

void WriteDxf(const TContour& contour, const TFindings& findings, textio::TTextStream& out) {
    TExtent extent = PlacedExtent(contour, TFrame::Grid);
    const TSizes sizes = SizesFor(extent);
    TMeasure measure{extent};
    WalkEntities(contour, findings, sizes, measure);

    WriteHeader(extent, out);
    WriteTables(out);
    Group(out, 0, "SECTION");
    Group(out, 2, "BLOCKS");
    Group(out, 0, "ENDSEC");

    Group(out, 0, "SECTION");
    Group(out, 2, "ENTITIES");
    if (contour.PointCount > 0) WriteBoundary(contour, out);
    TWrite write{out};
    WalkEntities(contour, findings, sizes, write);
    Group(out, 0, "ENDSEC");
    Group(out, 0, "EOF");
}

} // namespace contour
