#include <cmath>
#include <csignal>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "foundation/extended_bits.h"
#include "support/exact_rounding.h"
#include "support/fpu_fixture.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/top_level.h"
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

TEST_F(AreaTest, GradsToRadiansHasItsTenBytes) {
    const std::array<std::uint8_t, 10> expected = {0x36, 0xCE, 0x38, 0xB9, 0x90,
                                                   0xFC, 0xAD, 0x80, 0xF9, 0x3F};
    EXPECT_EQ(foundation::ExtendedToBytes(survey::GradsToRadians), expected);
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
    for (const SquareCase& square : {SquareCase{{0, 100, 200, 300}, 1.0},
                                     SquareCase{{300, 200, 100, 0}, -1.0}}) {
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

// Directions are rounded to 64 bits and then to 53: for some inputs that
// differs from one rounding of the exact product, and the stored value
// must be the twice-rounded one.
TEST_F(AreaTest, DirectionConversionRoundsThroughExtended) {
    const testsupport::TExact constant = {0x80ADFC90B938CE36u, -6 - 63};
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> grads(0.0, 400.0);
    int differing = 0;
    for (int i = 0; i < 20000; ++i) {
        survey::DirectionInput = grads(random);
        survey::StorePoint(1);
        const auto exact =
            testsupport::Multiply(constant, testsupport::DecomposeDouble(survey::DirectionInput));
        const double twice = testsupport::RoundTwice(exact);
        ASSERT_EQ(DoubleBits(survey::Directions[1]), DoubleBits(twice)) << survey::DirectionInput;
        differing += twice != testsupport::RoundOnce(exact);
    }
    EXPECT_GT(differing, 0);
}

TEST_F(AreaTest, LengthProductRoundsThroughExtended) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> metres(1.0, 1000.0);
    int differing = 0;
    survey::PointCount = 1;
    survey::DirectionInput = 0.0;
    for (int i = 0; i < 20000; ++i) {
        survey::LengthInput = metres(random);
        survey::StorePoint(1);
        survey::ComputeArea();
        const auto x = testsupport::DecomposeDouble(survey::LengthInput);
        const auto exact = testsupport::Multiply(x, x);
        const double twice = testsupport::RoundTwice(exact);
        ASSERT_EQ(DoubleBits(survey::PairProduct), DoubleBits(twice)) << survey::LengthInput;
        differing += twice != testsupport::RoundOnce(exact);
    }
    EXPECT_GT(differing, 0);
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

const char* ReportPattern(const char* className, const char* message) {
    static std::string pattern;
    pattern = std::string("^Exception ") + className + " in module [^ ]+ at [0-9A-F]{8,}\\.\r\n" +
              message + "\\.\r\n\r\n$";
    return pattern.c_str();
}

TEST_F(AreaDeathTest, LengthProductBeyondDoubleRangeIsReported) {
    EnterPoints({{1e155, 0}, {1e155, 100}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(1),
                ReportPattern("EOverflow", "Floating point overflow"));
}

TEST_F(AreaDeathTest, InfiniteDirectionIsReportedAsInvalidOperation) {
    EnterPoints({{10, 0}, {10, INFINITY}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(1),
                ReportPattern("EInvalidOp", "Invalid floating point operation"));
}

TEST_F(AreaDeathTest, FiniteAreaEndsNormally) {
    EnterPoints({{10, 0}, {10, 100}, {10, 200}, {10, 300}});
    EXPECT_EXIT(ComputeUnderTheErrorLayer(), ::testing::ExitedWithCode(0), "^$");
}

} // namespace
