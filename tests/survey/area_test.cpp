// SPDX-License-Identifier: MIT
#include <array>
#include <cmath>
#include <csignal>
#include <random>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/extended.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/top_level.h"
#include "support/exact_rounding.h"
#include "support/fpu_fixture.h"
#include "support/report_match.h"
#include "survey/area.h"

namespace {

using testsupport::DoubleBits;

struct TPoint {
    double Length;
    double DirectionGrads;
};

void EnterPoints(std::initializer_list<TPoint> points) {
    survey::PointCount = static_cast<std::uint8_t>(points.size());
    std::uint8_t k = 1;
    for (const TPoint& point : points) {
        survey::LengthInput = point.Length;
        survey::DirectionInput = point.DirectionGrads;
        survey::StorePoint(k++);
    }
}

class AreaTest : public testsupport::TrappingFpuTest {};

TEST_F(AreaTest, GradsToRadiansIsPiOver200RoundedToExtended) {
    const testsupport::TExact expected = testsupport::GradsToRadiansExact();
    EXPECT_EQ(foundation::BitsOf(survey::GradsToRadians),
              foundation::ExtendedBits::Make(
                  false,
                  static_cast<std::uint16_t>(expected.Exponent + 63 +
                                             foundation::ExtendedBits::ExponentBias),
                  expected.Magnitude.BitsFrom(0)));
}

TEST_F(AreaTest, DegenerateBoundariesHaveNoArea) {
    EnterPoints({});
    survey::ComputeArea();
    EXPECT_EQ(DoubleBits(survey::Sum), 0u); // +0.0
    EXPECT_EQ(survey::AreaSquareMetres, 0.0);
    EXPECT_EQ(survey::AreaAres, 0.0);
    EXPECT_EQ(survey::AreaHectares, 0.0);

    EnterPoints({{12.5, 37.0}});
    survey::ComputeArea();
    EXPECT_EQ(DoubleBits(survey::AngleDifference), 0u);
    EXPECT_EQ(DoubleBits(survey::Sum), 0u);

    // Two points: the summands cancel exactly.
    for (TPoint second : {TPoint{7.25, 123.456}, TPoint{1e100, 399.9}, TPoint{-3.0, 1e6}}) {
        survey::PointCount = 2;
        survey::LengthInput = 31.5;
        survey::DirectionInput = 10.0;
        survey::StorePoint(1);
        survey::LengthInput = second.Length;
        survey::DirectionInput = second.DirectionGrads;
        survey::StorePoint(2);
        survey::ComputeArea();
        EXPECT_EQ(survey::Sum, 0.0) << second.Length;
        EXPECT_EQ(survey::AreaSquareMetres, 0.0);
    }
}

struct SquareCase {
    std::array<double, 4> directions;
    double sign;
};

TEST_F(AreaTest, SquareAroundTheStationBothWays) {
    for (const SquareCase& square :
         {SquareCase{{0, 100, 200, 300}, 1.0}, SquareCase{{300, 200, 100, 0}, -1.0}}) {
        const auto& d = square.directions;
        EnterPoints({{10, d[0]}, {10, d[1]}, {10, d[2]}, {10, d[3]}});
        survey::ComputeArea();
        EXPECT_EQ(survey::Sum, 400.0 * square.sign);
        EXPECT_EQ(survey::AreaSquareMetres, 200.0 * square.sign);
        EXPECT_EQ(survey::AreaAres, 2.0 * square.sign);
        EXPECT_EQ(survey::AreaHectares, 0.02 * square.sign);
    }
}

TEST_F(AreaTest, TriangleWithTheStationOutside) {
    EnterPoints({{100, 0}, {100, 50}, {50, 100}});
    survey::ComputeArea();
    // The exact area sum is 5606.6017177982128660..., whose nearest double
    // lies one unit above; the roundings of the summands give the one below.
    EXPECT_EQ(survey::Sum, 5606.601717798212);
    EXPECT_EQ(DoubleBits(survey::Sum), 0x40B5E69A0A2D78BEu);
    EXPECT_EQ(survey::AreaSquareMetres, 2803.300858899106);
    EXPECT_EQ(survey::AreaAres, 28.03300858899106);
    EXPECT_EQ(survey::AreaHectares, 0.2803300858899106);
}

TEST_F(AreaTest, OutOfRangeAngleDifferencesContributeNothing) {
    EnterPoints({{10, 0}, {10, 100}, {10, 6e20}});
    survey::ComputeArea();
    EXPECT_EQ(survey::Sum, 100.0);
    EXPECT_EQ(survey::AreaSquareMetres, 50.0);
    EXPECT_EQ(survey::AreaAres, 0.5);
    EXPECT_EQ(survey::AreaHectares, 0.005);
}

TEST_F(AreaTest, InfiniteLengthsGiveInfiniteArea) {
    // Every sine here is positive, so every infinite summand is +infinity
    // and no invalid operation arises.
    EnterPoints({{INFINITY, 0}, {10, 100}, {10, 200}, {10, 300}});
    survey::ComputeArea();
    EXPECT_TRUE(std::isinf(survey::AreaSquareMetres));
}

// The stored value of an exact one: rounded to 64 bits, then to 53. Counts
// where a single rounding to 53 bits would have given another value.
double Stored(const testsupport::TExact& exact, int& onceDiffers) {
    const double twice = testsupport::RoundTwice(exact);
    onceDiffers += twice != testsupport::RoundOnce(exact);
    return twice;
}

// Every value ComputeArea stores, from the stored points: PairProduct,
// AngleDifference, Term and Sum of the last pass, then the three areas. The
// sine of each stored angle difference is ExtendedSine's own: the sine has
// tests of its own, this one checks the roundings around it.
std::array<double, 7> ReferenceArea(std::array<int, 8>& onceDiffers) {
    using namespace testsupport;
    double product = 0, angle = 0, term = 0, sum = 0;
    for (int k = 1, n = survey::PointCount; k <= n; ++k) {
        const int j = k < n ? k + 1 : 1;
        product = Stored(
            Multiply(DecomposeDouble(survey::Lengths[j]), DecomposeDouble(survey::Lengths[k])),
            onceDiffers[0]);
        angle = Stored(
            Add(DecomposeDouble(survey::Directions[j]), DecomposeDouble(-survey::Directions[k])),
            onceDiffers[1]);
        const TExact sine = DecomposeExtended(
            foundation::BitsOf(foundation::ExtendedSine(foundation::Extended(angle))));
        term = Stored(Multiply(sine, DecomposeDouble(product)), onceDiffers[2]);
        sum = Stored(Add(DecomposeDouble(sum), DecomposeDouble(term)), onceDiffers[3]);
    }
    const double metres =
        Stored(Multiply(DecomposeDouble(0.5), DecomposeDouble(sum)), onceDiffers[4]);
    return {product,
            angle,
            term,
            sum,
            metres,
            Stored(Divide(DecomposeDouble(metres), 100), onceDiffers[5]),
            Stored(Divide(DecomposeDouble(metres), 10000), onceDiffers[6])};
}

// Survey-sized polygons, and polygons with very long lengths: each stored
// direction and each stored value of the area computation, bit for bit. The
// inputs reach directions and length products that one rounding would get
// wrong.
TEST_F(AreaTest, EveryStoredValueRoundsThroughExtended) {
    const testsupport::TExact gradsToRadians = testsupport::GradsToRadiansExact();
    std::array<int, 8> onceDiffers{}; // per stored value, the directions last
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> count(3, 12);
    std::uniform_real_distribution<double> grads(0.0, 400.0);
    for (const double longest : {1000.0, 1e9}) {
        std::uniform_real_distribution<double> metres(1.0, longest);
        for (int polygon = 0; polygon < 1500; ++polygon) {
            survey::PointCount = static_cast<std::uint8_t>(count(random));
            for (std::uint8_t k = 1; k <= survey::PointCount; ++k) {
                survey::LengthInput = metres(random);
                survey::DirectionInput = grads(random);
                survey::StorePoint(k);
                const double direction = Stored(
                    testsupport::Multiply(gradsToRadians,
                                          testsupport::DecomposeDouble(survey::DirectionInput)),
                    onceDiffers[7]);
                ASSERT_EQ(DoubleBits(survey::Directions[k]), DoubleBits(direction))
                    << survey::DirectionInput;
            }
            survey::ComputeArea();
            const std::array<double, 7> stored = {
                survey::PairProduct,      survey::AngleDifference, survey::Term,        survey::Sum,
                survey::AreaSquareMetres, survey::AreaAres,        survey::AreaHectares};
            const std::array<double, 7> expected = ReferenceArea(onceDiffers);
            for (int v = 0; v < 7; ++v) {
                ASSERT_EQ(DoubleBits(stored[v]), DoubleBits(expected[v]))
                    << "value " << v << " of polygon " << polygon << " up to " << longest;
            }
        }
    }
    EXPECT_GT(onceDiffers[0], 0);
    EXPECT_GT(onceDiffers[7], 0);
}

using AreaDeathTest = AreaTest;

// Runs ComputeArea as the program does: under the top-level handler, after
// the layers' start-up, ending normally with EndProgram.
void ComputeUnderTheErrorLayer() {
    rterrors::ConsoleProgram = true;
    rterrors::RunUnderTopLevelHandler([] {
        rterrors::InitializeLayers();
        survey::ComputeArea();
        rterrors::EndProgram(0);
    });
}

// Standard error holds exactly the report of that class and message.
auto Reports(const char* className, const char* message) {
    const std::string expected = testsupport::ReportOf("survey_tests", className, message);
    return ::testing::Truly([expected](const std::string& errors) {
        return static_cast<bool>(testsupport::MatchesMasked(errors, expected));
    });
}

TEST_F(AreaDeathTest, LengthProductBeyondDoubleRangeIsReported) {
    EnterPoints({{1e155, 0}, {1e155, 100}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(1),
                Reports("EOverflow", "Floating point overflow."));
}

TEST_F(AreaDeathTest, InfiniteDirectionIsReportedAsInvalidOperation) {
    EnterPoints({{10, 0}, {10, INFINITY}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(1),
                Reports("EInvalidOp", "Invalid floating point operation."));
}

TEST_F(AreaDeathTest, FiniteAreaEndsNormally) {
    EnterPoints({{10, 0}, {10, 100}, {10, 200}, {10, 300}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(0), ::testing::IsEmpty());
}

} // namespace
