#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contour/finding_text.h"
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

// The lines survey-contour lists on standard error, byte for byte.
TEST_F(ContourReadTest, FindingsReadAsListed) {
    const struct {
        const char* Input;
        const char* Lines;
    } rows[] = {
        {"4\n10\n0\n10\n200\n10\n100\n10\n300\n",
         "Sides 1-2 and 3-4 cross at (0.000, 0.000): the area is not the parcel's.\n"},
        {"4\n10\n50\n10\n250\n10\n150\n10\n350\n",
         "Sides 1-2 and 3-4 cross at (0.000, 0.000): the area is not the parcel's.\n"},
        {"5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n",
         "Sides 2-3 and 4-5 cross at (-16.408, -40.390): the area is not the parcel's.\n"},
        {"3\n10\n0\n20\n0\n30\n0\n",
         "Sides 1-2 and 3-1 overlap from (0.000, 10.000) to (0.000, 20.000): the area is not "
         "the parcel's.\nSides 2-3 and 3-1 overlap from (0.000, 20.000) to (0.000, 30.000): the "
         "area is not the parcel's.\n"},
        {"3\n10\n", "Side 2-3 has zero length: points 2 and 3 are alike.\n"
                    "Only 2 distinct points: fewer than three, the boundary encloses no area.\n"},
        {"257\n10\n0\n",
         "Only 1 distinct point: fewer than three, the boundary encloses no area.\n"},
        {"6\n10\n0\n20\n40\n10\n100\n10\n0\n10\n300\n20\n360\n", "Point 4 repeats point 1.\n"},
        {"3\n1e5120\n50\n10\n100\n10\n0\n",
         "Point 1 has an infinite length and cannot be drawn.\n"},
    };
    for (const auto& row : rows) {
        const contour::TFindings findings = contour::FindFindings(Read(row.Input));
        std::string lines;
        for (const TFinding& finding : findings) {
            lines += contourtest::Written([&](auto& out) { contour::WriteFinding(out, finding); });
            lines += "\n";
        }
        EXPECT_EQ(lines, row.Lines) << row.Input;
    }
}

} // namespace
