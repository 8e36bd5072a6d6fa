// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contour/findings.h"
#include "contour/render.h"
#include "contour/text_out.h"
#include "contour_fixture.h"
#include "foundation/extended.h"
#include "textio/number_input.h"

namespace {

using ::testing::HasSubstr;

constexpr const char* Triangle = "3\n100\n0\n100\n50\n50\n100\n";
constexpr const char* Crossing =
    "5\n52.40\n18.6\n61.85\n97.2\n57.10\n236.0\n48.75\n215.3\n63.20\n322.4\n";
const contour::TGridPlacement Office{{1000, 2000}, 100};

class ContourOutputTest : public contourtest::ContourFixture<> {
  protected:
    std::string Document(contour::TDocument document) {
        return contourtest::Written([&](auto& out) {
            contour::RenderContour(document, Contour, contour::FindFindings(Contour), out);
        });
    }
};

// The lines of a document, their CR LF taken off.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// The double a text reads back as, through the program's own number input.
double ReadBack(const std::string& text) {
    const textio::TRealParse parsed = textio::ParseReal(text.c_str());
    EXPECT_EQ(parsed.ErrorPos, 0) << text;
    return foundation::StoreDouble(parsed.Value);
}

TEST_F(ContourOutputTest, ShortestDecimalInPlainNotation) {
    const std::pair<double, std::string> rows[] = {
        {70.71067811865476, "70.71067811865476"},
        {-3.06287113727155003E-0015, "-0.00000000000000306287113727155"},
        {100, "100"},
        {0.1, "0.1"},
        {123456789012345678.0, "123456789012345680"},
        {1e300, "1" + std::string(300, '0')},
        {0x1p-1074, "0." + std::string(323, '0') + "5"},
        {-0.0, "-0"},
        {INFINITY, "+Inf"},
    };
    for (const auto& row : rows) {
        const auto& [value, text] = row;
        EXPECT_EQ(contourtest::Written([&row](auto& out) { contour::PutShortest(out, row.first); }),
                  text);
        if (std::isfinite(value) && text.size() < textio::RealTokenLimit) {
            EXPECT_EQ(testsupport::DoubleBits(ReadBack(text)), testsupport::DoubleBits(value));
        }
    }
}

// The grid coordinates of the triangle, from a station at E 1000, N 2000
// whose zero direction points east (100 gon): point 1, 100 m at 0 gon,
// lies 100 m east; point 3, 50 m at 100 gon, 50 m south.
TEST_F(ContourOutputTest, CsvHoldsGridCoordinates) {
    Read(Triangle);
    EXPECT_THAT(Lines(Document(contour::TDocument::Csv)),
                ::testing::ElementsAre("point,length,direction,x,y", "1,100,0,0,100",
                                       "2,100,50,70.71067811865476,70.71067811865476",
                                       "3,50,100,50,0.00000000000000306287113727155",
                                       "area,2803.300858899106,28.03300858899106,"
                                       "0.2803300858899106"));
    Read(Triangle, Office);
    EXPECT_THAT(Lines(Document(contour::TDocument::Csv)),
                ::testing::ElementsAre("point,length,direction,x,y", "1,100,0,1100,2000",
                                       "2,100,50,1070.7106781186546,1929.2893218813454",
                                       "3,50,100,1000,1950", ::testing::StartsWith("area,")));
}

TEST_F(ContourOutputTest, SvgShowsTheAreaAsSurveyPrintsIt) {
    Read(Triangle);
    const std::string svg = Document(contour::TDocument::Svg);
    EXPECT_THAT(svg, HasSubstr(">The area of a contour: 2803.30m^2 =  28.0330a =  0.28033ha<"));
    EXPECT_THAT(svg, HasSubstr("<title>Point 2: length 100.000 m, direction 50.0000 gon</title>"));
    EXPECT_THAT(svg, ::testing::Not(HasSubstr("Grid:")));
    Read(Triangle, Office);
    EXPECT_THAT(Document(contour::TDocument::Svg),
                HasSubstr(">Grid: station at E 1000.000 m, N 2000.000 m; zero direction at "
                          "100.0000 gon from grid north<"));
}

TEST_F(ContourOutputTest, XmlTextEscapesMarkup) {
    EXPECT_EQ(contourtest::Written([](auto& out) { contour::PutXmlText(out, "a<b & \"c\">d's"); }),
              "a&lt;b &amp; &quot;c&quot;&gt;d's");
}

// A star of 255 points whose every side crosses all but its neighbours:
// 32130 findings, of which the drawing lists the first 50.
TEST_F(ContourOutputTest, SvgListsAtMostFiftyFindings) {
    std::string input = "255\n";
    for (int k = 0; k < 255; ++k)
        input += "100\n" + std::to_string(k * 127 % 255 * 400.0 / 255) + "\n";
    Read(input);
    ASSERT_EQ(contour::FindFindings(Contour).size(), 32130u);
    const std::string svg = Document(contour::TDocument::Svg);
    EXPECT_LT(svg.size(), 1u << 20);
    std::size_t listed = 0;
    for (std::size_t at = svg.find("finding-text"); at != std::string::npos;
         at = svg.find("finding-text", at + 1))
        ++listed;
    EXPECT_EQ(listed, 50u);
    EXPECT_THAT(svg, HasSubstr(">and 32080 more</text>"));
}

struct TDxfEntity {
    std::string Type, Layer, Text;
    std::vector<contour::TPlanePoint> At;
    double Size = 0; // a circle's radius, a text's height
};

// The DXF read back: the header's points by name, and the entities.
struct TDxf {
    std::map<std::string, contour::TPlanePoint> Header;
    std::vector<TDxfEntity> Entities;
};

TDxf ReadDxf(const std::string& dxf) {
    const std::vector<std::string> lines = Lines(dxf);
    TDxf read;
    std::string variable;
    bool entities = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const int code = std::stoi(lines[i]);
        const std::string& value = lines[i + 1];
        if (code == 2 && value == "ENTITIES") entities = true;
        if (code == 9) variable = value;
        if (!entities) {
            if (code == 10) read.Header[variable].X = ReadBack(value);
            if (code == 20) read.Header[variable].Y = ReadBack(value);
            continue;
        }
        if (code == 0 && value == "ENDSEC") break;
        if (code == 0) read.Entities.push_back({.Type = value, .Layer = "", .Text = "", .At = {}});
        // The section's own name comes before its first entity.
        if (read.Entities.empty()) continue;
        TDxfEntity& entity = read.Entities.back();
        if (code == 8) entity.Layer = value;
        if (code == 1) entity.Text = value;
        if (code == 40) entity.Size = ReadBack(value);
        if (code == 10 || code == 11) entity.At.push_back({ReadBack(value), 0});
        if (code == 20 || code == 21) entity.At.back().Y = ReadBack(value);
    }
    return read;
}

// The header's extents and limits hold every entity, a text as wide as
// one text height per character; the layers hold what they should, sized
// from the extent.
TEST_F(ContourOutputTest, DxfHoldsEveryEntityWithinItsExtents) {
    Read(Crossing, Office);
    const TDxf dxf = ReadDxf(Document(contour::TDocument::Dxf));
    const contour::TPlanePoint low = dxf.Header.at("$EXTMIN"), high = dxf.Header.at("$EXTMAX");
    EXPECT_EQ(testsupport::DoubleBits(dxf.Header.at("$LIMMIN").X), testsupport::DoubleBits(low.X));
    EXPECT_EQ(testsupport::DoubleBits(dxf.Header.at("$LIMMAX").Y), testsupport::DoubleBits(high.Y));
    const auto inside = [&](contour::TPlanePoint at, double right, double up) {
        return low.X <= at.X && at.X + right <= high.X && low.Y <= at.Y && at.Y + up <= high.Y;
    };

    std::map<std::string, int> counts;
    std::vector<std::string> texts;
    for (const TDxfEntity& entity : dxf.Entities) {
        counts[entity.Type + " " + entity.Layer] += 1;
        if (entity.Type == "POLYLINE" || entity.Type == "SEQEND") continue;
        for (const contour::TPlanePoint& at : entity.At) {
            if (entity.Type == "CIRCLE") {
                EXPECT_TRUE(inside({at.X - entity.Size, at.Y - entity.Size}, 2 * entity.Size,
                                   2 * entity.Size));
            } else if (entity.Type == "TEXT") {
                EXPECT_TRUE(inside(at, entity.Text.size() * entity.Size, entity.Size))
                    << entity.Text;
                texts.push_back(entity.Text);
            } else {
                EXPECT_TRUE(inside(at, 0, 0)) << entity.Type;
            }
        }
    }
    using ::testing::Pair;
    EXPECT_THAT(counts,
                ::testing::ElementsAre(Pair("CIRCLE FINDINGS", 1), Pair("CIRCLE POINTS", 5),
                                       Pair("CIRCLE STATION", 1), Pair("POINT POINTS", 5),
                                       Pair("POINT STATION", 1), Pair("POLYLINE BOUNDARY", 1),
                                       Pair("SEQEND BOUNDARY", 1), Pair("TEXT FINDINGS", 1),
                                       Pair("TEXT NUMBERS", 5), Pair("VERTEX BOUNDARY", 5)));
    EXPECT_THAT(texts, ::testing::ElementsAre("1", "2", "3", "4", "5", "2-3 crosses 4-5"));
}

// The triangle spans 70.7 m by 100 m with its station: text a fortieth of
// 100 m high, markers a third of that, a number up and right of its point.
TEST_F(ContourOutputTest, DxfSizesTextFromTheLargerSide) {
    Read(Triangle);
    const std::string dxf = Document(contour::TDocument::Dxf);
    EXPECT_THAT(dxf, HasSubstr("  0\r\nCIRCLE\r\n  8\r\nPOINTS\r\n 10\r\n0\r\n 20\r\n100\r\n"
                               " 30\r\n0\r\n 40\r\n0.8333333333333333\r\n"));
    EXPECT_THAT(dxf, HasSubstr("  0\r\nTEXT\r\n  8\r\nNUMBERS\r\n 10\r\n0.8333333333333333\r\n"
                               " 20\r\n100.83333333333333\r\n 30\r\n0\r\n 40\r\n2.5\r\n"
                               "  1\r\n1\r\n"));
}

TEST_F(ContourOutputTest, PageWritesEachDocumentOrGivesSurveysReport) {
    struct TRow {
        const char* Input;
        contour::TPageDocument Document;
        int Status;
        const char* Shows; // the document's end, or the report's exception class and message
    };
    const TRow rows[] = {
        {Triangle, contour::TPageDocument::Svg, contour::PageDrawn, "</svg>\r\n"},
        {Triangle, contour::TPageDocument::Csv, contour::PageDrawn, ",0.2803300858899106\r\n"},
        {Crossing, contour::TPageDocument::Dxf, contour::PageDrawnWithFindings, "EOF\r\n"},
        {"3\nabc\n", contour::TPageDocument::Svg, contour::PageInputFails,
         "EInOutError*Invalid numeric input."},
        {"1\n1e400\n", contour::TPageDocument::Csv, contour::PageInputFails,
         "EOverflow*Floating point overflow."},
        {"2\n1\n1e5120\n1\n0\n", contour::TPageDocument::Dxf, contour::PageInputFails,
         "EInvalidOp*Invalid floating point operation."},
    };
    for (const TRow& row : rows) {
        std::string document;
        const contour::TPageResult result = contour::DrawContourPage(
            contourtest::Bytes(row.Input), row.Document, contourtest::AppendTo, &document);
        EXPECT_EQ(result.Status, row.Status) << row.Input;
        if (row.Status != contour::PageInputFails) {
            EXPECT_THAT(document, ::testing::EndsWith(row.Shows)) << row.Input;
            continue;
        }
        const std::string shows = row.Shows;
        const std::size_t star = shows.find('*');
        EXPECT_THAT(result.Report, ::testing::StartsWith("Exception " + shows.substr(0, star)));
        EXPECT_THAT(result.Report, HasSubstr(".\r\n" + shows.substr(star + 1) + "\r\n"));
        EXPECT_EQ(document, "");
    }
}

// Drawn again after each line typed: the points typed in full so far, and
// only once the last is in, the closed boundary and the area.
TEST_F(ContourOutputTest, PageDrawsThePointsTypedSoFar) {
    const std::pair<const char*, const char*> rows[] = {
        {"3\r\n", "Points entered: 0 of 3"},
        {"3\r\n100\r\n", "Points entered: 0 of 3"},
        {"3\r\n100\r\n0\r\n", "Points entered: 1 of 3"},
        {"3\r\n100\r\n0\r\n100\r\n50\r\n50\r\n", "Points entered: 2 of 3"},
        {"3\r\n100\r\n0\r\n100\r\n50\r\n50\r\n100\r\n", "2803.30m^2"},
    };
    std::size_t expected = 0;
    for (const auto& [typed, shows] : rows) {
        std::string svg;
        const contour::TPageResult result = contour::DrawContourPage(
            contourtest::Bytes(typed), contour::TPageDocument::Svg, contourtest::AppendTo, &svg);
        EXPECT_EQ(result.Status, contour::PageDrawn) << typed;
        EXPECT_THAT(svg, HasSubstr(shows)) << typed;
        std::size_t vertices = 0;
        for (std::size_t at = svg.find("class=\"vertex\""); at != std::string::npos;
             at = svg.find("class=\"vertex\"", at + 1))
            ++vertices;
        expected = std::string(shows).starts_with("Points") ? shows[16] - '0' : 3;
        EXPECT_EQ(vertices, expected) << typed;
    }
}

} // namespace
