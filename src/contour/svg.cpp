// SPDX-License-Identifier: MIT
// The contour as an SVG drawing: the station, a ray to each point, the
// closed boundary, the numbered vertices (each with its length and
// direction as a title), a scale bar, an arrow for the zero direction, the
// area as survey prints it, and the findings marked in red on the drawing
// and listed under it. However many findings there are, the first
// MaxListedFindings are marked and listed and the rest counted, so that
// the drawing stays small; standard error lists them all.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "contour/finding_text.h"
#include "contour/render.h"
#include "contour/svg_layout.h"
#include "contour/text_out.h"
#include "survey/dialogue.h"
#include "textio/memory_streams.h"

namespace contour {

namespace {

using textio::TTextStream;

constexpr std::int32_t PixelDecimals = 2;
constexpr std::int32_t LengthDecimals = 3;    // millimetres
constexpr std::int32_t DirectionDecimals = 4; // as a field book keeps them
constexpr double LabelOffset = 12.0;
constexpr double LineHeight = 18.0;
constexpr double BarTop = PlotTop + PlotSize + 30.0;
constexpr double AreaBaseline = BarTop + 36.0;
constexpr double FindingsBaseline = AreaBaseline + 34.0;
constexpr std::string_view FindingColour = "#d62728";
constexpr std::size_t MaxListedFindings = 50;

std::size_t ListedCount(const TFindings& findings) {
    return std::min(findings.size(), MaxListedFindings);
}

// The lines under the drawing: the grid values (when the contour is placed
// in a grid), then the heading, the findings listed and the count of the
// rest.
int TextLines(const TContour& contour, const TFindings& findings) {
    const int grid = contour.Placement.IsDefault() ? 0 : 1;
    if (findings.empty()) return grid;
    return grid + 1 + static_cast<int>(ListedCount(findings)) +
           (findings.size() > MaxListedFindings ? 1 : 0);
}

// An attribute with a pixel value: ` name="12.34"`.
void Attribute(TTextStream& out, std::string_view name, double pixels) {
    Put(out, " ");
    Put(out, name);
    Put(out, "=\"");
    PutFixed(out, pixels, PixelDecimals);
    Put(out, "\"");
}

void PointAttributes(TTextStream& out, std::string_view x, std::string_view y,
                     const TPlanePoint& at) {
    Attribute(out, x, at.X);
    Attribute(out, y, at.Y);
}

void Line(TTextStream& out, const TPlanePoint& from, const TPlanePoint& to, std::string_view rest) {
    Put(out, "<line");
    PointAttributes(out, "x1", "y1", from);
    PointAttributes(out, "x2", "y2", to);
    Put(out, " ");
    Put(out, rest);
    Put(out, "/>");
    EndLine(out);
}

void Circle(TTextStream& out, const TPlanePoint& at, double radius, std::string_view rest) {
    Put(out, "<circle");
    PointAttributes(out, "cx", "cy", at);
    Attribute(out, "r", radius);
    Put(out, " ");
    Put(out, rest);
    Put(out, "/>");
}

void TextAt(TTextStream& out, double x, double y, std::string_view rest) {
    Put(out, "<text");
    Attribute(out, "x", x);
    Attribute(out, "y", y);
    Put(out, " ");
    Put(out, rest);
    Put(out, ">");
}

void WriteHeader(const TContour& contour, int lines, TTextStream& out) {
    const double height = FindingsBaseline + lines * LineHeight;
    Put(out, R"(<?xml version="1.0" encoding="UTF-8"?>)");
    EndLine(out);
    Put(out, R"(<svg xmlns="http://www.w3.org/2000/svg")");
    Attribute(out, "width", PageWidth);
    Attribute(out, "height", height);
    Put(out, " viewBox=\"0 0 ");
    PutFixed(out, PageWidth, PixelDecimals);
    Put(out, " ");
    PutFixed(out, height, PixelDecimals);
    Put(out, R"(" font-family="DejaVu Sans, Verdana, sans-serif" font-size="13">)");
    EndLine(out);
    Put(out, "<title>Contour of ");
    PutInteger(out, contour.PointCount);
    Put(out, contour.PointCount == 1 ? " point</title>" : " points</title>");
    EndLine(out);
    Put(out, R"(<rect width="100%" height="100%" fill="white"/>)");
    EndLine(out);
}

void WriteZeroDirectionArrow(TTextStream& out) {
    constexpr double x = 30.0, tip = PlotTop + 20.0, tail = PlotTop + 80.0;
    Put(out, R"(<g class="zero-direction"><title>Zero direction of the instrument</title>)");
    EndLine(out);
    Line(out, {x, tail}, {x, tip + 6.0}, R"(stroke="black" stroke-width="2")");
    Put(out, "<polygon points=\"");
    PutFixed(out, x, PixelDecimals);
    Put(out, ",");
    PutFixed(out, tip, PixelDecimals);
    Put(out, " ");
    PutFixed(out, x - 6.0, PixelDecimals);
    Put(out, ",");
    PutFixed(out, tip + 14.0, PixelDecimals);
    Put(out, " ");
    PutFixed(out, x + 6.0, PixelDecimals);
    Put(out, ",");
    PutFixed(out, tip + 14.0, PixelDecimals);
    Put(out, R"(" fill="black"/>)");
    EndLine(out);
    TextAt(out, x, tip - 8.0, R"(text-anchor="middle")");
    Put(out, "0 gon</text></g>");
    EndLine(out);
}

// The boundary closes from the last point back to the first, unless the
// contour is still being entered: then its sides so far.
void WriteRaysAndBoundary(const TContour& contour, const TLayout& layout, bool closed,
                          TTextStream& out) {
    const TPlanePoint station = layout.ToPage({});
    Put(out, R"(<g class="rays" stroke="#8c9aa6" stroke-width="1" stroke-dasharray="4 3">)");
    EndLine(out);
    for (const TPlaced placed : PlacedPoints(contour))
        Line(out, station, layout.ToPage(placed.Point.At), R"(class="ray")");
    Put(out, "</g>");
    EndLine(out);
    Put(out, closed ? R"(<polygon class="boundary" fill="#cfe3f7" fill-opacity="0.7" )"
                    : R"(<polyline class="boundary-so-far" fill="none" )");
    Put(out, R"(fill-rule="evenodd" stroke="#1f4e79" stroke-width="2" points=")");
    std::string_view separator;
    for (const TPlaced placed : PlacedPoints(contour)) {
        const TPlanePoint at = layout.ToPage(placed.Point.At);
        Put(out, separator);
        separator = " ";
        PutFixed(out, at.X, PixelDecimals);
        Put(out, ",");
        PutFixed(out, at.Y, PixelDecimals);
    }
    Put(out, "\"/>");
    EndLine(out);
}

// The number sits beyond the vertex, on the far side from the station.
TPlanePoint LabelPosition(const TPlanePoint& station, const TPlanePoint& at) {
    const double dx = at.X - station.X, dy = at.Y - station.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 1.0)) return {at.X, at.Y - LabelOffset};
    return {at.X + dx / length * LabelOffset, at.Y + dy / length * LabelOffset};
}

void WriteVertices(const TContour& contour, const TLayout& layout, TTextStream& out) {
    const TPlanePoint station = layout.ToPage({});
    for (const auto [k, point] : PlacedPoints(contour)) {
        const TPlanePoint at = layout.ToPage(point.At);
        Put(out, R"(<g class="vertex"><title>Point )");
        PutInteger(out, k);
        Put(out, ": length ");
        PutFixed(out, point.Length, LengthDecimals);
        Put(out, " m, direction ");
        PutFixed(out, point.DirectionGrads, DirectionDecimals);
        Put(out, " gon</title>");
        Circle(out, at, 3.5, R"(fill="#1f4e79")");
        const TPlanePoint label = LabelPosition(station, at);
        TextAt(out, label.X, label.Y, R"(text-anchor="middle" dy="0.35em")");
        PutInteger(out, k);
        Put(out, "</text></g>");
        EndLine(out);
    }
    Put(out, R"(<g class="station"><title>Station</title><polygon points=")");
    PutFixed(out, station.X, PixelDecimals);
    Put(out, ",");
    PutFixed(out, station.Y - 8.0, PixelDecimals);
    Put(out, " ");
    PutFixed(out, station.X - 7.0, PixelDecimals);
    Put(out, ",");
    PutFixed(out, station.Y + 5.0, PixelDecimals);
    Put(out, " ");
    PutFixed(out, station.X + 7.0, PixelDecimals);
    Put(out, ",");
    PutFixed(out, station.Y + 5.0, PixelDecimals);
    Put(out, R"(" fill="white" stroke="black" stroke-width="1.5"/></g>)");
    EndLine(out);
}

void MarkSide(const TContour& contour, const TLayout& layout, const TSide& side, TTextStream& out) {
    Line(out, layout.ToPage(contour.Point(side.From).At), layout.ToPage(contour.Point(side.To).At),
         R"(stroke-width="3")");
}

void EscapeInto(void* context, const std::uint8_t* bytes, std::uint32_t count) {
    PutXmlText(*static_cast<TTextStream*>(context), {reinterpret_cast<const char*>(bytes), count});
}

// The text of a finding, as XML text.
void PutFindingText(TTextStream& out, const TContour& contour, const TFinding& finding) {
    TTextStream text{};
    textio::OpenSinkOutput(text, EscapeInto, &out);
    WriteFinding(text, contour, finding);
    textio::FlushStream(text);
}

// Each finding listed on the drawing, as a group with the finding as its
// title: the sides that cross or overlap, and a ring at each place.
void WriteFindingMarks(const TContour& contour, const TFindings& findings, const TLayout& layout,
                       TTextStream& out) {
    for (std::size_t i = 0; i < ListedCount(findings); ++i) {
        const TFinding& finding = findings[i];
        Put(out, R"(<g class="finding" fill="none" stroke=")");
        Put(out, FindingColour);
        Put(out, "\"><title>");
        PutFindingText(out, contour, finding);
        Put(out, "</title>");
        EndLine(out);
        const bool sides =
            finding.Kind == TFindingKind::SidesCross || finding.Kind == TFindingKind::SidesOverlap;
        if (sides) {
            MarkSide(contour, layout, finding.Sides[0], out);
            MarkSide(contour, layout, finding.Sides[1], out);
        }
        for (int place = 0; place < finding.Places; ++place) {
            Circle(out, layout.ToPage(finding.At[place]), sides ? 6.0 : 9.0,
                   sides ? R"(stroke-width="2")" : "");
            EndLine(out);
        }
        Put(out, "</g>");
        EndLine(out);
    }
}

void WriteScaleBar(const TLayout& layout, TTextStream& out) {
    const double left = PlotLeft, right = PlotLeft + layout.BarPixels(), y = BarTop;
    Put(out, R"(<g class="scale-bar" stroke="black" stroke-width="2">)");
    EndLine(out);
    Line(out, {left, y}, {right, y}, "");
    Line(out, {left, y - 5.0}, {left, y + 5.0}, "");
    Line(out, {right, y - 5.0}, {right, y + 5.0}, "");
    TextAt(out, right + 8.0, y, R"(stroke="none" dy="0.35em")");
    PutFixed(out, layout.BarMetres, layout.BarDecimals);
    Put(out, " m</text></g>");
    EndLine(out);
}

void WriteArea(const TContour& contour, TTextStream& out) {
    TextAt(out, PlotLeft, AreaBaseline, R"(class="area" xml:space="preserve" font-size="14")");
    survey::WriteResults(out, contour.AreaSquareMetres, contour.AreaAres, contour.AreaHectares);
    Put(out, "</text>");
    EndLine(out);
}

// The grid values the tables and the CAD drawing are placed with; the
// drawing itself stays centred on the station.
void WriteGridValues(const TContour& contour, double y, TTextStream& out) {
    const TGridPlacement& placement = contour.Placement;
    TextAt(out, PlotLeft, y, R"(class="grid")");
    Put(out, "Grid: station at E ");
    PutFixed(out, placement.Station.X, LengthDecimals);
    Put(out, " m, N ");
    PutFixed(out, placement.Station.Y, LengthDecimals);
    Put(out, " m; zero direction at ");
    PutFixed(out, placement.OrientationGrads, DirectionDecimals);
    Put(out, " gon from grid north</text>");
    EndLine(out);
}

void WriteFindingList(const TContour& contour, const TFindings& findings, double y,
                      TTextStream& out) {
    if (findings.empty()) return;
    Put(out, R"(<g class="findings" fill=")");
    Put(out, FindingColour);
    Put(out, "\">");
    EndLine(out);
    TextAt(out, PlotLeft, y, R"(font-weight="bold")");
    Put(out, "Findings:</text>");
    EndLine(out);
    for (std::size_t i = 0; i < ListedCount(findings); ++i) {
        y += LineHeight;
        TextAt(out, PlotLeft, y, R"(class="finding-text")");
        PutFindingText(out, contour, findings[i]);
        Put(out, "</text>");
        EndLine(out);
    }
    if (findings.size() > MaxListedFindings) {
        TextAt(out, PlotLeft, y + LineHeight, R"(class="more-findings")");
        Put(out, "and ");
        PutInteger(out, static_cast<std::int32_t>(findings.size() - MaxListedFindings));
        Put(out, " more</text>");
        EndLine(out);
    }
    Put(out, "</g>");
    EndLine(out);
}

} // namespace

void WriteSvg(const TContour& contour, const TFindings& findings, textio::TTextStream& out) {
    const TLayout layout = FitLayout(contour);
    WriteHeader(contour, TextLines(contour, findings), out);
    WriteZeroDirectionArrow(out);
    WriteRaysAndBoundary(contour, layout, true, out);
    WriteVertices(contour, layout, out);
    WriteFindingMarks(contour, findings, layout, out);
    WriteScaleBar(layout, out);
    WriteArea(contour, out);
    double y = FindingsBaseline;
    if (!contour.Placement.IsDefault()) {
        WriteGridValues(contour, y, out);
        y += LineHeight;
    }
    WriteFindingList(contour, findings, y, out);
    Put(out, "</svg>");
    EndLine(out);
}

void WriteSvgSoFar(const TContour& contour, textio::TTextStream& out) {
    TContour entered = contour;
    entered.PointCount = contour.EnteredCount;
    const TLayout layout = FitLayout(entered);
    WriteHeader(entered, 0, out);
    WriteZeroDirectionArrow(out);
    WriteRaysAndBoundary(entered, layout, false, out);
    WriteVertices(entered, layout, out);
    WriteScaleBar(layout, out);
    TextAt(out, PlotLeft, AreaBaseline, R"(class="entered" font-size="14")");
    Put(out, "Points entered: ");
    PutInteger(out, contour.EnteredCount);
    Put(out, " of ");
    PutInteger(out, contour.PointCount);
    Put(out, "</text>");
    EndLine(out);
    Put(out, "</svg>");
    EndLine(out);
}

} // namespace contour
