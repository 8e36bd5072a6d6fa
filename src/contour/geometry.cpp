// The findings, with Boost.Geometry's predicates: equality of points,
// intersections of sides and the validity check of the ring. The library
// works in doubles; so that no product of coordinates can overflow, the
// points are first scaled by a power of two (exactly) into the unit square.
#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/equals.hpp>
#include <boost/geometry/algorithms/intersection.hpp>
#include <boost/geometry/algorithms/is_valid.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/ring.hpp>
#include <boost/geometry/geometries/segment.hpp>
#include <cmath>
#include <vector>

#include "contour/findings.h"

namespace contour {

namespace bg = boost::geometry;

namespace {

using TPoint = bg::model::d2::point_xy<double>;
using TSegment = bg::model::segment<TPoint>;
template <bool Clockwise> using TRing = bg::model::ring<TPoint, Clockwise, false>;

// Successive points that are alike form one vertex of the ring.
struct TVertex {
    TPoint At;
    int FirstPoint; // in the order of the boundary
    int LastPoint;
    int Lowest; // the lowest point number in the run
};

struct TScaled {
    std::vector<TPoint> Points; // Points[k - 1] is point k
    int Exponent = 0;           // the points were multiplied by 2^-Exponent
};

TScaled ScaleToUnit(const TContour& contour) {
    double largest = 0.0;
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TPlanePoint& at = contour.Point(k).At;
        largest = std::fmax(largest, std::fmax(std::fabs(at.X), std::fabs(at.Y)));
    }
    TScaled scaled;
    if (largest != 0.0) std::frexp(largest, &scaled.Exponent);
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TPlanePoint& at = contour.Point(k).At;
        scaled.Points.emplace_back(std::ldexp(at.X, -scaled.Exponent),
                                   std::ldexp(at.Y, -scaled.Exponent));
    }
    return scaled;
}

TPlanePoint Unscaled(const TPoint& point, int exponent) {
    return {std::ldexp(point.x(), exponent), std::ldexp(point.y(), exponent)};
}

void FindZeroLengthSides(const std::vector<TPoint>& points, TFindings& findings) {
    const int n = static_cast<int>(points.size());
    // Two points have one side between them, however it is walked.
    const int sides = n == 2 ? 1 : n;
    for (int k = 1; n >= 2 && k <= sides; ++k) {
        const int j = k % n + 1;
        if (bg::equals(points[k - 1], points[j - 1])) {
            findings.push_back({.Kind = TFindingKind::ZeroLengthSide, .First = k, .Second = j});
        }
    }
}

// Runs of successive alike points, the run through the last point joined
// with the first run when they are alike too.
std::vector<TVertex> Vertices(const std::vector<TPoint>& points) {
    std::vector<TVertex> vertices;
    const int n = static_cast<int>(points.size());
    for (int k = 1; k <= n; ++k) {
        if (!vertices.empty() && bg::equals(vertices.back().At, points[k - 1])) {
            vertices.back().LastPoint = k;
        } else {
            vertices.push_back({points[k - 1], k, k, k});
        }
    }
    if (vertices.size() > 1 && bg::equals(vertices.back().At, vertices.front().At)) {
        vertices.front().FirstPoint = vertices.back().FirstPoint;
        vertices.pop_back();
    }
    return vertices;
}

// A vertex that repeats an earlier one is reported once, with the first
// it repeats. Returns the number of distinct points.
int FindRepeatedPoints(const std::vector<TVertex>& vertices, TFindings& findings) {
    int distinct = 0;
    for (std::size_t r = 0; r < vertices.size(); ++r) {
        bool repeats = false;
        for (std::size_t q = 0; q < r && !repeats; ++q) {
            if (bg::equals(vertices[q].At, vertices[r].At)) {
                findings.push_back({.Kind = TFindingKind::RepeatedPoint,
                                    .First = vertices[q].Lowest,
                                    .Second = vertices[r].Lowest});
                repeats = true;
            }
        }
        if (!repeats) ++distinct;
    }
    return distinct;
}

bool IsEndOf(const TPoint& point, const TSegment& segment) {
    return bg::equals(point, segment.first) || bg::equals(point, segment.second);
}

// Sides i and j of the ring; a meeting at a vertex both sides end at is
// no crossing (neighbouring sides meet there, and a repeated point is a
// finding of its own).
void CheckSidePair(const std::vector<TVertex>& vertices, std::size_t i, std::size_t j, int exponent,
                   TFindings& findings) {
    const std::size_t m = vertices.size();
    const TSegment a{vertices[i].At, vertices[(i + 1) % m].At};
    const TSegment b{vertices[j].At, vertices[(j + 1) % m].At};
    std::vector<TPoint> meetings;
    bg::intersection(a, b, meetings);
    TFinding finding{.Kind = meetings.size() == 2 ? TFindingKind::SidesOverlap
                                                  : TFindingKind::SidesCross};
    bool besidesEnds = false;
    for (const TPoint& meeting : meetings) {
        if (!(IsEndOf(meeting, a) && IsEndOf(meeting, b))) besidesEnds = true;
    }
    if (!besidesEnds) return;
    for (const TPoint& meeting : meetings) {
        if (finding.Count < 2) finding.At[finding.Count++] = Unscaled(meeting, exponent);
    }
    finding.Sides[0] = {vertices[i].LastPoint, vertices[(i + 1) % m].FirstPoint};
    finding.Sides[1] = {vertices[j].LastPoint, vertices[(j + 1) % m].FirstPoint};
    findings.push_back(finding);
}

const char* ReasonText(bg::validity_failure_type failure) {
    switch (failure) {
    case bg::failure_few_points: return "too few points";
    case bg::failure_wrong_topological_dimension: return "the points lie on one line";
    case bg::failure_spikes: return "a spike";
    case bg::failure_self_intersections: return "self-intersections";
    case bg::failure_wrong_orientation: return "wrong orientation";
    default: return "not a valid polygon";
    }
}

// The validity check of the ring, walked in the sense its area has.
template <bool Clockwise>
bool IsValidRing(const std::vector<TVertex>& vertices, bg::validity_failure_type& failure) {
    TRing<Clockwise> ring;
    for (const TVertex& vertex : vertices)
        ring.push_back(vertex.At);
    return bg::is_valid(ring, failure);
}

void CheckValidity(const std::vector<TVertex>& vertices, TFindings& findings) {
    TRing<true> clockwise;
    for (const TVertex& vertex : vertices)
        clockwise.push_back(vertex.At);
    bg::validity_failure_type failure = bg::no_failure;
    const bool valid = bg::area(clockwise) >= 0.0 ? IsValidRing<true>(vertices, failure)
                                                  : IsValidRing<false>(vertices, failure);
    if (!valid) {
        findings.push_back({.Kind = TFindingKind::InvalidShape, .Reason = ReasonText(failure)});
    }
}

} // namespace

TFindings FindFindings(const TContour& contour) {
    TFindings findings;
    for (int k = 1; k <= contour.PointCount; ++k) {
        if (!contour.Point(k).Placed) {
            findings.push_back({.Kind = TFindingKind::NotPlaced, .First = k});
        }
    }
    // Without every point in its place there is no shape to check.
    if (!findings.empty()) return findings;

    const TScaled scaled = ScaleToUnit(contour);
    FindZeroLengthSides(scaled.Points, findings);
    const std::vector<TVertex> vertices = Vertices(scaled.Points);
    const int distinct = FindRepeatedPoints(vertices, findings);
    if (distinct < 3) {
        findings.push_back({.Kind = TFindingKind::TooFewPoints, .Count = distinct});
        return findings;
    }
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        for (std::size_t j = i + 1; j < vertices.size(); ++j) {
            CheckSidePair(vertices, i, j, scaled.Exponent, findings);
        }
    }
    // The validity check has the last word on a boundary that shows none of
    // the faults above.
    if (findings.empty()) CheckValidity(vertices, findings);
    return findings;
}

} // namespace contour
