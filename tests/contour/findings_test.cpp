#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contour/findings.h"
#include "contour_fixture.h"

namespace {

using contour::TFinding;
using contour::TFindingKind;

std::string Side(const contour::TSide& side) {
    return std::to_string(side.From) + "-" + std::to_string(side.To);
}

// A finding in a few words: "cross 1-2 3-4", "zero 2-3", "repeat 4 of 1".
std::string Brief(const TFinding& finding) {
    switch (finding.Kind) {
    case TFindingKind::SidesCross:
        return "cross " + Side(finding.Sides[0]) + " " + Side(finding.Sides[1]);
    case TFindingKind::SidesOverlap:
        return "overlap " + Side(finding.Sides[0]) + " " + Side(finding.Sides[1]);
    case TFindingKind::ZeroLengthSide:
        return "zero " + std::to_string(finding.First) + "-" + std::to_string(finding.Second);
    case TFindingKind::RepeatedPoint:
        return "repeat " + std::to_string(finding.Second) + " of " + std::to_string(finding.First);
    case TFindingKind::TooFewPoints: return "few " + std::to_string(finding.Count);
    case TFindingKind::NotPlaced: return "unplaced " + std::to_string(finding.First);
    case TFindingKind::InvalidShape: return std::string("invalid ") + finding.Reason;
    }
    return "?";
}

struct TContourCase {
    const char* Name;
    const char* Input; // count, then length and direction of each point
    std::vector<std::string> Findings;
};

// Lengths in metres, directions in grads, one number per line.
const TContourCase Cases[] = {
    {"Square", "4\n10\n0\n10\n100\n10\n200\n10\n300\n", {}},
    {"SquareReversed", "4\n10\n300\n10\n200\n10\n100\n10\n0\n", {}},
    {"Triangle", "3\n100\n0\n100\n50\n50\n100\n", {}},
    {"StationOutside", "4\n100\n10\n120\n10\n120\n30\n100\n30\n", {}},
    {"BowTie", "4\n10\n0\n10\n200\n10\n100\n10\n300\n", {"cross 1-2 3-4"}},
    {"DirectionTransposed",
     "5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n",
     {"cross 2-3 4-5"}},
    {"ZeroLengthSide", "4\n10\n0\n10\n100\n10\n100\n10\n200\n", {"zero 2-3"}},
    {"ZeroLengthClosingSide", "4\n10\n0\n10\n100\n10\n200\n10\n400\n", {"zero 4-1"}},
    {"RepeatedPoint", "6\n10\n0\n20\n40\n10\n100\n10\n0\n10\n300\n20\n360\n", {"repeat 4 of 1"}},
    {"TwoPoints", "2\n10\n0\n20\n100\n", {"few 2"}},
    {"NoPoints", "0\n", {"few 0"}},
    {"MissingNumbersAreZero", "3\n10\n", {"zero 2-3", "few 2"}},
    {"CountModulo256", "257\n10\n0\n", {"few 1"}},
    {"PointsOnOneLine", "3\n10\n0\n20\n0\n30\n0\n", {"overlap 1-2 3-1", "overlap 2-3 3-1"}},
    {"SpikeBack",
     "5\n10\n0\n10\n100\n20\n100\n15\n100\n10\n200\n",
     {"overlap 2-3 3-4", "cross 2-3 4-5"}},
    {"VertexOnSide",
     "5\n0\n0\n20\n0\n10\n100\n10\n0\n10\n300\n",
     {"cross 1-2 3-4", "cross 1-2 4-5"}},
    {"InfiniteLength", "3\n1e5120\n50\n10\n100\n10\n0\n", {"unplaced 1"}},
};

void PrintTo(const TContourCase& row, std::ostream* out) {
    *out << row.Name;
}

class ContourTable : public contourtest::ContourFixture<::testing::TestWithParam<TContourCase>> {};

TEST_P(ContourTable, HasExpectedFindings) {
    const contour::TContour contour = Read(GetParam().Input);
    std::vector<std::string> briefs;
    for (const TFinding& finding : contour::FindFindings(contour))
        briefs.push_back(Brief(finding));
    EXPECT_THAT(briefs, ::testing::ElementsAreArray(GetParam().Findings));
}

INSTANTIATE_TEST_SUITE_P(Contours, ContourTable, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

class ContourReadTest : public contourtest::ContourFixture<> {};

// The bow-tie's sides cross at the station; the transposed direction's
// crossing lies where both sides' lines meet.
TEST_F(ContourReadTest, CrossingPointLiesOnBothSides) {
    const contour::TContour contour =
        Read("5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n");
    const contour::TFindings findings = contour::FindFindings(contour);
    ASSERT_EQ(findings.size(), 1u);
    ASSERT_EQ(findings[0].Count, 1);
    const contour::TPlanePoint at = findings[0].At[0];
    for (const contour::TSide& side : findings[0].Sides) {
        const contour::TPlanePoint a = contour.Point(side.From).At, b = contour.Point(side.To).At;
        const double cross = (b.X - a.X) * (at.Y - a.Y) - (b.Y - a.Y) * (at.X - a.X);
        EXPECT_NEAR(cross, 0.0, 1e-9);
    }
    EXPECT_NEAR(at.X, -16.408, 5e-4);
    EXPECT_NEAR(at.Y, -40.390, 5e-4);
}

} // namespace
