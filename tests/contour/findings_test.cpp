// SPDX-License-Identifier: MIT
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contour/finding_text.h"
#include "contour/findings.h"
#include "contour/predicates.h"
#include "contour_fixture.h"

namespace {

using contour::TFinding;
using contour::TFindingKind;
using contour::TPlanePoint;

struct TContourCase {
    const char* Name;
    const char* Input;              // count, then length and direction of each point
    std::vector<std::string> Lines; // as listed on standard error
};

constexpr const char* NotTheParcels = ": the area is not the parcel's.";

std::string Cross(const char* sides, const char* at) {
    return std::string("Sides ") + sides + " cross at " + at + NotTheParcels;
}

std::string Overlap(const char* sides, const char* from, const char* to) {
    return std::string("Sides ") + sides + " overlap from " + from + " to " + to + NotTheParcels;
}

std::string Few(const char* count_and_places) {
    return std::string("Only ") + count_and_places +
           ": fewer than three, the boundary encloses no area.";
}

// Lengths in metres, directions in grads, one number per line. A row for
// every kind of finding, and the three inputs that a tolerance got
// wrong: theta and theta + 400 are distinct points, and neither the
// sliver nor the four points with one 2.4 micrometres off a side share a
// point between sides.
const TContourCase Cases[] = {
    {"Square", "4\n10\n0\n10\n100\n10\n200\n10\n300\n", {}},
    {"StationOutside", "4\n100\n10\n120\n10\n120\n30\n100\n30\n", {}},
    {"ThetaAndThetaPlus400", "3\n10\n50\n10\n450\n10\n150\n", {}},
    {"Sliver", "3\n33.962\n240.3203\n22.720\n240.3203\n27.755\n240.3203\n", {}},
    {"PointOffASide",
     "4\n85.402\n225.6521\n126.652\n299.1534\n84.021\n229.6161\n81.912\n243.2684\n",
     {}},
    {"FullCircleIsNoRepeat", "4\n10\n0\n10\n100\n10\n200\n10\n400\n", {}},
    {"BowTie", "4\n10\n0\n10\n200\n10\n100\n10\n300\n", {Cross("1-2 and 3-4", "(0.000, 0.000)")}},
    {"DirectionTransposed",
     "5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n",
     {Cross("2-3 and 4-5", "(-16.408, -40.390)")}},
    {"VertexOnSide",
     "5\n0\n0\n20\n0\n10\n100\n10\n0\n10\n300\n",
     {Cross("1-2 and 3-4", "(0.000, 10.000)"), Cross("1-2 and 4-5", "(0.000, 10.000)")}},
    {"PointsOnOneLine",
     "3\n10\n0\n20\n0\n30\n0\n",
     {Overlap("1-2 and 3-1", "(0.000, 10.000)", "(0.000, 20.000)"),
      Overlap("2-3 and 3-1", "(0.000, 20.000)", "(0.000, 30.000)")}},
    {"SpikeBack",
     "5\n10\n0\n10\n100\n20\n100\n15\n100\n10\n200\n",
     {Overlap("2-3 and 3-4", "(15.000, 0.000)", "(20.000, 0.000)"),
      Cross("2-3 and 4-5", "(15.000, 0.000)")}},
    {"ZeroLengthSide",
     "4\n10\n0\n10\n100\n10\n100\n10\n200\n",
     {"Side 2-3 has zero length: points 2 and 3 are alike, at (10.000, 0.000)."}},
    {"ZeroLengthClosingSide",
     "4\n10\n0\n10\n100\n10\n200\n10\n0\n",
     {"Side 4-1 has zero length: points 4 and 1 are alike, at (0.000, 10.000)."}},
    {"RepeatedPoint",
     "6\n10\n0\n20\n40\n10\n100\n10\n0\n10\n300\n20\n360\n",
     {"Point 4 repeats point 1, at (0.000, 10.000)."}},
    {"TwoPoints",
     "2\n10\n0\n20\n100\n",
     {Few("2 distinct points, 1 at (0.000, 10.000) and 2 at (20.000, 0.000)")}},
    {"NoPoints", "0\n", {Few("0 distinct points")}},
    {"MissingNumbersAreZero",
     "3\n10\n",
     {"Side 2-3 has zero length: points 2 and 3 are alike, at (0.000, 0.000).",
      Few("2 distinct points, 1 at (0.000, 10.000) and 2 at (0.000, 0.000)")}},
    {"CountModulo256", "257\n10\n0\n", {Few("1 distinct point, 1 at (0.000, 10.000)")}},
    {"InfiniteLength",
     "3\n1e5120\n50\n10\n100\n10\n0\n",
     {"Point 1 has an infinite length and cannot be drawn."}},
};

void PrintTo(const TContourCase& row, std::ostream* out) {
    *out << row.Name;
}

bool Within(double value, double a, double b) {
    return std::fmin(a, b) <= value && value <= std::fmax(a, b);
}

class FindingsTable : public contourtest::ContourFixture<::testing::TestWithParam<TContourCase>> {};

// The lines byte for byte; and every place exact: a point's place is its
// coordinates, bit for bit, an overlap runs between two points, and a
// crossing lies in the box of both its sides.
TEST_P(FindingsTable, ListsEachFindingWithItsPlace) {
    const contour::TContour& contour = Read(GetParam().Input);
    const contour::TFindings findings = contour::FindFindings(contour);
    std::vector<std::string> lines;
    for (const TFinding& finding : findings) {
        lines.push_back(
            contourtest::Written([&](auto& out) { contour::WriteFinding(out, contour, finding); }));
    }
    EXPECT_THAT(lines, ::testing::ElementsAreArray(GetParam().Lines));

    const auto isPoint = [&](const TPlanePoint& at) {
        for (int k = 1; k <= contour.PointCount; ++k) {
            const TPlanePoint& point = contour.Point(k).At;
            if (testsupport::DoubleBits(point.X) == testsupport::DoubleBits(at.X) &&
                testsupport::DoubleBits(point.Y) == testsupport::DoubleBits(at.Y)) {
                return true;
            }
        }
        return false;
    };
    for (const TFinding& finding : findings) {
        if (finding.Kind != TFindingKind::SidesCross) {
            for (int i = 0; i < finding.Places; ++i)
                EXPECT_TRUE(isPoint(finding.At[i])) << lines.front();
            continue;
        }
        for (const contour::TSide& side : finding.Sides) {
            const TPlanePoint a = contour.Point(side.From).At, b = contour.Point(side.To).At;
            EXPECT_TRUE(Within(finding.At[0].X, a.X, b.X) && Within(finding.At[0].Y, a.Y, b.Y));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Contours, FindingsTable, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TTurnCase {
    const char* Name;
    TPlanePoint A, B, C;
    int Turn;
};

constexpr double Largest = 0x1.fffffffffffffp1023;
constexpr double Least = 0x1p-1074; // the smallest denormal

// Exact signs, worked out in rationals. The first two lie within 2^-50 of
// the line, where doubles round the turn to zero; the rest need products
// far beyond the double range, or below its denormals.
const TTurnCase Turns[] = {
    {"JustLeft", {12, 12}, {24, 24}, {0x1.0000000000025p-1, 0x1.0000000000030p-1}, 1},
    {"JustRight", {12, 12}, {24, 24}, {0x1.0000000000020p-1, 0x1.000000000001ep-1}, -1},
    {"OnTheLine", {0, 0}, {1, 1}, {2, 2}, 0},
    {"LeastBesideHuge", {1e300, 0}, {-1e300, 0}, {0, Least}, -1},
    {"Denormals", {Least, 0}, {0, Least}, {-Least, 3 * Least}, -1},
    {"HugeNearlyOnALine", {1e300, 1e300}, {-1e300, -1e300}, {1e299, 0x1.31cfd3999f7b1p+993}, -1},
    {"HugeSpanOnALine", {-1e300, -1e300}, {Least, Least}, {1e300, 1e300}, 0},
    {"HugeSpanOffALine", {-1e300, -1e300}, {Least, 2 * Least}, {1e300, 1e300}, -1},
    {"Largest", {Largest, -Largest}, {-Largest, Largest}, {Least, 0}, -1},
};

void PrintTo(const TTurnCase& row, std::ostream* out) {
    *out << row.Name;
}

class TurnTable : public ::testing::TestWithParam<TTurnCase> {};

// The same sign whichever point the turn starts from, and the opposite one
// the other way round.
TEST_P(TurnTable, HasTheExactSign) {
    const TTurnCase& row = GetParam();
    EXPECT_EQ(contour::Orientation(row.A, row.B, row.C), row.Turn);
    EXPECT_EQ(contour::Orientation(row.B, row.C, row.A), row.Turn);
    EXPECT_EQ(contour::Orientation(row.C, row.B, row.A), -row.Turn);
}

INSTANTIATE_TEST_SUITE_P(Extremes, TurnTable, ::testing::ValuesIn(Turns),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
