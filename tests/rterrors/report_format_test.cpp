// SPDX-License-Identifier: MIT
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "rterrors/error_report.h"
#include "rterrors/program_exit.h"
#include "rterrors/text_format.h"
#include "support/program_base.h"
#include "support/report_match.h"

namespace {

using namespace rterrors;
using testsupport::Hex8;
using testsupport::ProgramBase;

struct TFormatCase {
    const char* Pattern;
    TFormatArg Arg;
    const char* Expected;
};

TEST(TextFormatTest, Directives) {
    const TFormatCase cases[] = {
        {"%p", TFormatArg::Unsigned(0), "00000000"},
        {"%p", TFormatArg::Unsigned(0x12ABCD), "0012ABCD"},
        {"%p", TFormatArg::Unsigned(0xFFFFFFFF), "FFFFFFFF"},
        // Wider addresses keep every digit.
        {"%p", TFormatArg::Unsigned(0x100000000), "100000000"},
        {"%p", TFormatArg::Unsigned(0x7FFF12345678), "7FFF12345678"},
        {"%p", TFormatArg::Unsigned(UINT64_MAX), "FFFFFFFFFFFFFFFF"},
        {"%x", TFormatArg::Unsigned(0xC000001D), "C000001D"},
        {"%x", TFormatArg::Unsigned(0), "0"},
        {"%x", TFormatArg::Unsigned(0xAB), "AB"},
        {"%d", TFormatArg::Signed(103), "103"},
        {"%d", TFormatArg::Signed(0), "0"},
        {"%d", TFormatArg::Signed(-1), "-1"},
        {"%d", TFormatArg::Signed(INT64_MIN), "-9223372036854775808"},
        {"[%s]", TFormatArg::Text("abc"), "[abc]"},
        {"[%s]", TFormatArg::Text(""), "[]"},
        {"100%% %s", TFormatArg::Text("x"), "100% x"},
        {"%s %s", TFormatArg::Text("one"),
         "one "}, // a directive without an argument writes nothing
        {"end%", TFormatArg::Text("x"), "end%"},
    };
    for (const TFormatCase& c : cases) {
        char buffer[64];
        const std::size_t length = FormatText(buffer, sizeof buffer, c.Pattern, {c.Arg});
        EXPECT_EQ(std::string(buffer, length), c.Expected) << c.Pattern;
        EXPECT_EQ(buffer[length], '\0');
    }
}

TEST(TextFormatTest, CutsToBufferAndTerminates) {
    char buffer[8];
    const std::size_t length = FormatText(buffer, sizeof buffer, "%s-%p",
                                          {TFormatArg::Text("abcd"), TFormatArg::Unsigned(1)});
    EXPECT_EQ(length, 7u);
    EXPECT_STREQ(buffer, "abcd-00");
    EXPECT_EQ(FormatText(buffer, 0, "abc", {}), 0u);
}

std::string Report(const TObject* object, TCodeAddress address) {
    char buffer[ReportBufferSize];
    const std::size_t length = FormatExceptionReport(object, address, buffer, sizeof buffer);
    EXPECT_EQ(buffer[length], '\0');
    return std::string(buffer, length);
}

struct TMessageCase {
    const char* Message;
    const char* SecondLine;
};

TEST(ExceptionReportTest, FullStopAddedOnlyWhenMissing) {
    const TMessageCase cases[] = {
        {"Invalid numeric input", "Invalid numeric input."},
        {"Already ends.", "Already ends."},
        {"", ""},
        {"a.b", "a.b."},
        {"..", ".."},
    };
    const TCodeAddress offset = 0x1ABC;
    for (const TMessageCase& c : cases) {
        const Exception object(c.Message);
        EXPECT_EQ(Report(&object, ProgramBase() + offset),
                  std::string("Exception Exception in module rterrors_tests at 00001ABC.\r\n") +
                      c.SecondLine + "\r\n");
    }
}

TEST(ExceptionReportTest, AddressIsOffsetInsideModule) {
    const EOverflow object("Floating point overflow");
    const auto address = reinterpret_cast<TCodeAddress>(&FormatExceptionReport);
    EXPECT_EQ(Report(&object, address), "Exception EOverflow in module rterrors_tests at " +
                                            Hex8(address - ProgramBase()) +
                                            ".\r\nFloating point overflow.\r\n");
}

TEST(ExceptionReportTest, AddressInSharedLibraryNamesLibrary) {
    if (dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD) == nullptr)
        GTEST_SKIP() << "a statically linked test program has no shared library loaded";
    const EConvertError object("x");
    const std::string report = Report(&object, reinterpret_cast<TCodeAddress>(&std::abort));
    EXPECT_EQ(report.rfind("Exception EConvertError in module libc.so.6 at ", 0), 0u) << report;
}

TEST(ExceptionReportTest, AddressOutsideModulesUsesProgramName) {
    const EConvertError object("x");
    void* heap = std::malloc(16);
    const auto address = reinterpret_cast<TCodeAddress>(heap);
    EXPECT_EQ(Report(&object, address), "Exception EConvertError in module rterrors_tests at " +
                                            Hex8(address - 4096) + ".\r\nx.\r\n");
    std::free(heap);
    EXPECT_EQ(Report(&object, 0),
              "Exception EConvertError in module rterrors_tests at 00000000.\r\nx.\r\n");
}

TEST(ExceptionReportTest, ObjectThatIsNoExceptionHasEmptyMessage) {
    const TObject object;
    EXPECT_EQ(Report(&object, ProgramBase() + 0x10),
              "Exception TObject in module rterrors_tests at 00000010.\r\n\r\n");
}

class TLongNamed : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return Name.c_str(); }
    std::string Name = std::string(300, 'N');
};

TEST(ExceptionReportTest, LongTextIsCut) {
    const Exception object(std::string(2000, 'm'));
    const std::string report = Report(&object, ProgramBase() + 0x10);
    EXPECT_EQ(report.size(), ReportBufferSize - 1);
    EXPECT_EQ(report.substr(report.size() - 3), "mmm");

    const TLongNamed named("m");
    EXPECT_EQ(Report(&named, ProgramBase() + 0x10),
              "Exception " + std::string(255, 'N') +
                  " in module rterrors_tests at 00000010.\r\nm.\r\n");
}

struct TRunErrorCase {
    std::int32_t Code;
    TCodeAddress Offset;
    const char* Expected;
};

class RunErrorLineTest : public testing::Test {
  protected:
    void TearDown() override {
        ProcessExitCode = 0;
        ErrorAddress = 0;
    }
};

// The address is shown as its offset in the program image, 8 digits.
TEST_F(RunErrorLineTest, CodeAndOffsetInTheirPlaces) {
    const TRunErrorCase cases[] = {
        {216, 0x1ABC, "Runtime error 216 at 00001ABC"},
        {2, 0x1ABC, "Runtime error   2 at 00001ABC"},
        {0, 0x10, "Runtime error   0 at 00000010"},
        {44, 0x2000, "Runtime error  44 at 00002000"},
        {12345, 0x10, "Runtime erro12345 at 00000010"},
    };
    for (const TRunErrorCase& c : cases) {
        ProcessExitCode = c.Code;
        ErrorAddress = ProgramBase() + c.Offset;
        FormatRunErrorLine();
        EXPECT_EQ(std::string(RunErrorLine, RunErrorLineLength), c.Expected);
        EXPECT_EQ(RunErrorLine[RunErrorLineLength], '\0');
    }
}

TEST_F(RunErrorLineTest, CodeAddressKeepsTheLineAt29Characters) {
    ProcessExitCode = 217;
    ErrorAddress = reinterpret_cast<TCodeAddress>(&FormatRunErrorLine);
    if (ErrorAddress <= 0xFFFFFFFFu) // a 64-bit address would not fit the line as it is
        GTEST_SKIP() << "the program is linked at a fixed low address, which fits the line anyway";
    FormatRunErrorLine();
    EXPECT_EQ(std::string(RunErrorLine, RunErrorLineLength),
              "Runtime error 217 at " + Hex8(ErrorAddress - ProgramBase()));
    EXPECT_EQ(RunErrorLineLength, 29u);
}

TEST_F(RunErrorLineTest, AddressOutsideModulesWidensLineInsteadOfCutting) {
    ProcessExitCode = 216;
    void* heap = std::malloc(16);
    ErrorAddress = reinterpret_cast<TCodeAddress>(heap);
    FormatRunErrorLine();
    EXPECT_EQ(std::string(RunErrorLine, RunErrorLineLength),
              "Runtime error 216 at " + Hex8(ErrorAddress - 4096));
    std::free(heap);
}

} // namespace
