// SPDX-License-Identifier: MIT
// The findings, from exact comparisons of the coordinates and the exact
// predicates: successive alike points make one vertex of the ring, and
// every pair of the ring's sides is checked for the points it shares.
#include "contour/findings.h"

#include "contour/predicates.h"

namespace contour {

namespace {

// Successive alike points form one vertex of the ring.
struct TVertex {
    TPlanePoint At;
    int FirstPoint; // in the order of the boundary
    int LastPoint;
    int Lowest; // the lowest point number in the run
};

void FindZeroLengthSides(const TContour& contour, TFindings& findings) {
    const int n = contour.PointCount;
    // Two points have one side between them, however it is walked.
    const int sides = n == 2 ? 1 : n;
    for (int k = 1; n >= 2 && k <= sides; ++k) {
        const int j = k % n + 1;
        const TPlanePoint& at = contour.Point(k).At;
        if (SamePoint(at, contour.Point(j).At)) {
            findings.push_back({.Kind = TFindingKind::ZeroLengthSide,
                                .First = k,
                                .Second = j,
                                .Places = 1,
                                .At = {at}});
        }
    }
}

// Runs of successive alike points, the run through the last point joined
// with the first run when they are alike too.
std::vector<TVertex> Vertices(const TContour& contour) {
    std::vector<TVertex> vertices;
    for (int k = 1; k <= contour.PointCount; ++k) {
        const TPlanePoint& at = contour.Point(k).At;
        if (!vertices.empty() && SamePoint(vertices.back().At, at)) {
            vertices.back().LastPoint = k;
        } else {
            vertices.push_back({at, k, k, k});
        }
    }
    if (vertices.size() > 1 && SamePoint(vertices.back().At, vertices.front().At)) {
        vertices.front().FirstPoint = vertices.back().FirstPoint;
        vertices.pop_back();
    }
    return vertices;
}

// A vertex that repeats an earlier one is reported once, with the first
// it repeats. Fewer than three distinct points are a finding of their own.
void FindRepeatedPoints(const std::vector<TVertex>& vertices, TFindings& findings) {
    TFinding few{.Kind = TFindingKind::TooFewPoints};
    for (std::size_t r = 0; r < vertices.size(); ++r) {
        bool repeats = false;
        for (std::size_t q = 0; q < r && !repeats; ++q) {
            if (SamePoint(vertices[q].At, vertices[r].At)) {
                findings.push_back({.Kind = TFindingKind::RepeatedPoint,
                                    .First = vertices[q].Lowest,
                                    .Second = vertices[r].Lowest,
                                    .Places = 1,
                                    .At = {vertices[r].At}});
                repeats = true;
            }
        }
        if (repeats) continue;
        if (few.Distinct < 2) {
            (few.Distinct == 0 ? few.First : few.Second) = vertices[r].Lowest;
            few.At[few.Places++] = vertices[r].At;
        }
        ++few.Distinct;
    }
    if (few.Distinct < 3) findings.push_back(few);
}

bool IsEndOf(const TPlanePoint& point, const TPlanePoint& from, const TPlanePoint& to) {
    return SamePoint(point, from) || SamePoint(point, to);
}

// Sides i and j of the ring. A single point that is an end of both is no
// finding: neighbouring sides meet there, and a repeated point is a
// finding of its own.
void CheckSidePair(const std::vector<TVertex>& vertices, std::size_t i, std::size_t j,
                   TFindings& findings) {
    const std::size_t m = vertices.size();
    const TPlanePoint &a = vertices[i].At, &b = vertices[(i + 1) % m].At;
    const TPlanePoint &c = vertices[j].At, &d = vertices[(j + 1) % m].At;
    const TShared shared = SharedPoints(a, b, c, d);
    if (shared.Count == 0) return;
    if (shared.Count == 1 && IsEndOf(shared.At[0], a, b) && IsEndOf(shared.At[0], c, d)) return;
    findings.push_back(
        {.Kind = shared.Count == 2 ? TFindingKind::SidesOverlap : TFindingKind::SidesCross,
         .Sides = {{vertices[i].LastPoint, vertices[(i + 1) % m].FirstPoint},
                   {vertices[j].LastPoint, vertices[(j + 1) % m].FirstPoint}},
         .Places = shared.Count,
         .At = {shared.At[0], shared.At[1]}});
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

    FindZeroLengthSides(contour, findings);
    const std::vector<TVertex> vertices = Vertices(contour);
    FindRepeatedPoints(vertices, findings);
    if (!findings.empty() && findings.back().Kind == TFindingKind::TooFewPoints) return findings;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        for (std::size_t j = i + 1; j < vertices.size(); ++j) {
            CheckSidePair(vertices, i, j, findings);
        }
    }
    return findings;
}

} // namespace contour
