#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contour/render.h"
#include "contour_fixture.h"
#include "foundation/extended.h"
#include "textio/number_input.h"

namespace {

using ::testing::HasSubstr;

class ContourOutputTest : public contourtest::ContourFixture<> {};

// The fields of each CSV line, the CR LF line ends taken off.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        std::vector<std::string> fields;
        const std::string line = text.substr(start, end - start);
        std::size_t from = 0;
        for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos;
             from = comma + 1) {
            fields.push_back(line.substr(from, comma - from));
        }
        fields.push_back(line.substr(from));
        rows.push_back(fields);
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return rows;
}

// The double a field reads back as, through the program's own number input.
double ReadBack(const std::string& field) {
    const textio::TRealParse parsed = textio::ParseReal(field.c_str());
    EXPECT_EQ(parsed.ErrorPos, 0) << field;
    return foundation::StoreDouble(parsed.Value);
}

TEST_F(ContourOutputTest, CsvReadsBackTheSameDoubles) {
    const contour::TContour contour =
        Read("5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n");
    const auto rows =
        CsvRows(contourtest::Written([&](auto& out) { contour::WriteCsv(contour, out); }));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_THAT(rows[0], ::testing::ElementsAre("point", "length", "direction", "x", "y"));
    for (int k = 1; k <= 5; ++k) {
        const auto& row = rows[k];
        const contour::TContourPoint& point = contour.Point(k);
        ASSERT_EQ(row.size(), 5u);
        EXPECT_EQ(row[0], std::to_string(k));
        EXPECT_EQ(testsupport::DoubleBits(ReadBack(row[1])), testsupport::DoubleBits(point.Length));
        EXPECT_EQ(testsupport::DoubleBits(ReadBack(row[2])),
                  testsupport::DoubleBits(point.DirectionGrads));
        EXPECT_EQ(testsupport::DoubleBits(ReadBack(row[3])), testsupport::DoubleBits(point.At.X));
        EXPECT_EQ(testsupport::DoubleBits(ReadBack(row[4])), testsupport::DoubleBits(point.At.Y));
    }
    ASSERT_EQ(rows[6].size(), 4u);
    EXPECT_EQ(rows[6][0], "area");
    EXPECT_EQ(testsupport::DoubleBits(ReadBack(rows[6][1])),
              testsupport::DoubleBits(contour.AreaSquareMetres));
    EXPECT_EQ(testsupport::DoubleBits(ReadBack(rows[6][3])),
              testsupport::DoubleBits(contour.AreaHectares));
}

TEST_F(ContourOutputTest, CoordinatesRunClockwiseFromUp) {
    // 50 grads is half a right angle: north-east, x and y alike.
    const contour::TContour contour = Read("4\n10\n0\n10\n100\n10\n200\n10\n50\n");
    EXPECT_EQ(contour.Point(1).At.X, 0.0);
    EXPECT_EQ(contour.Point(1).At.Y, 10.0);
    EXPECT_DOUBLE_EQ(contour.Point(2).At.X, 10.0);
    EXPECT_NEAR(contour.Point(2).At.Y, 0.0, 1e-14);
    EXPECT_NEAR(contour.Point(3).At.X, 0.0, 1e-14);
    EXPECT_DOUBLE_EQ(contour.Point(3).At.Y, -10.0);
    EXPECT_DOUBLE_EQ(contour.Point(4).At.X, contour.Point(4).At.Y);
    EXPECT_NEAR(contour.Point(4).At.X, 7.0710678118654752, 1e-14);
}

// The drawing shows the area on survey's own results line.
TEST_F(ContourOutputTest, SvgShowsTheAreaAsSurveyPrintsIt) {
    const contour::TContour contour = Read("3\n100\n0\n100\n50\n50\n100\n");
    const std::string svg = contourtest::Written(
        [&](auto& out) { contour::WriteSvg(contour, contour::FindFindings(contour), out); });
    EXPECT_THAT(svg, HasSubstr(">The area of a contour: 2803.30m^2 =  28.0330a =  0.28033ha<"));
    EXPECT_THAT(svg, HasSubstr("<title>Point 2: length 100.000 m, direction 50.0000 gon</title>"));
}

TEST_F(ContourOutputTest, PageDrawsOrGivesSurveysReport) {
    struct TRow {
        const char* Input;
        int Status;
        const char* Class;
        const char* Message;
    };
    const TRow rows[] = {
        {"3\n100\n0\n100\n50\n50\n100\n", contour::PageDrawn, "", ""},
        {"4\n10\n0\n10\n200\n10\n100\n10\n300\n", contour::PageDrawnWithFindings, "", ""},
        {"3\nabc\n", contour::PageInputFails, "EInOutError", "Invalid numeric input."},
        {"1\n1e400\n", contour::PageInputFails, "EOverflow", "Floating point overflow."},
        {"2\n1\n1e5120\n1\n0\n", contour::PageInputFails, "EInvalidOp",
         "Invalid floating point operation."},
        {"2\n1e155\n0\n1e155\n100\n", contour::PageInputFails, "EOverflow",
         "Floating point overflow."},
    };
    for (const TRow& row : rows) {
        std::string svg;
        const contour::TPageResult result =
            contour::DrawContourPage(contourtest::Bytes(row.Input), contour::TPageDocument::Svg,
                                     contourtest::AppendTo, &svg);
        EXPECT_EQ(result.Status, row.Status) << row.Input;
        if (row.Status == contour::PageInputFails) {
            EXPECT_THAT(result.Report,
                        HasSubstr(std::string("Exception ") + row.Class + " in module"));
            EXPECT_THAT(result.Report, HasSubstr(std::string(".\r\n") + row.Message));
            EXPECT_EQ(svg, "");
        } else {
            EXPECT_THAT(svg, HasSubstr("</svg>\r\n"));
            EXPECT_EQ(result.FindingCount, row.Status == contour::PageDrawn ? 0u : 1u);
        }
    }
}

// Redrawn after each line typed: the points typed in full so far, and only
// once the last is in, the closed boundary and the area.
TEST_F(ContourOutputTest, PageDrawsThePointsTypedSoFar) {
    struct TRow {
        const char* Typed;
        const char* Shows;
        std::size_t Vertices;
    };
    const TRow rows[] = {
        {"3\r\n", "Points entered: 0 of 3", 0},
        {"3\r\n100\r\n", "Points entered: 0 of 3", 0},
        {"3\r\n100\r\n0\r\n", "Points entered: 1 of 3", 1},
        {"3\r\n100\r\n0\r\n100\r\n50\r\n50\r\n", "Points entered: 2 of 3", 2},
        {"3\r\n100\r\n0\r\n100\r\n50\r\n50\r\n100\r\n", "2803.30m^2", 3},
    };
    for (const TRow& row : rows) {
        std::string svg;
        const contour::TPageResult result =
            contour::DrawContourPage(contourtest::Bytes(row.Typed), contour::TPageDocument::Svg,
                                     contourtest::AppendTo, &svg);
        EXPECT_EQ(result.Status, contour::PageDrawn) << row.Typed;
        EXPECT_THAT(svg, HasSubstr(row.Shows)) << row.Typed;
        std::size_t vertices = 0;
        for (std::size_t at = svg.find("class=\"vertex\""); at != std::string::npos;
             at = svg.find("class=\"vertex\"", at + 1))
            ++vertices;
        EXPECT_EQ(vertices, row.Vertices) << row.Typed;
    }
}

// The page's downloads: each document the one the program's writer makes
// of the same contour, as survey-contour writes it.
TEST_F(ContourOutputTest, PageDocumentsAreTheWritersDocuments) {
    const char* input = "4\n10\n0\n10\n200\n10\n100\n10\n300\n";
    const contour::TContour contour = Read(input);
    const contour::TFindings findings = contour::FindFindings(contour);
    struct TRow {
        contour::TPageDocument Document;
        contour::TFormat Format;
    };
    const TRow rows[] = {{contour::TPageDocument::Svg, contour::TFormat::Svg},
                         {contour::TPageDocument::Csv, contour::TFormat::Csv},
                         {contour::TPageDocument::Dxf, contour::TFormat::Dxf}};
    for (const TRow& row : rows) {
        std::string page;
        contour::DrawContourPage(contourtest::Bytes(input), row.Document, contourtest::AppendTo,
                                 &page);
        EXPECT_EQ(page, contourtest::Written([&](auto& out) {
                      contour::RenderContour(row.Format, contour, findings, out);
                  }));
    }
}

} // namespace
