// Each folder under cases/ holds one transcript:
//   input     the bytes on standard input (absent: none)
//   output    the exact bytes expected on standard output
//   errors    the exact bytes expected on standard error, report addresses
//             written as ######## (absent: nothing)
//   exitcode  the expected exit code
//   handles   optional: "stdin=file|pipe|closed|directory" and
//             "stdout=file|pipe|closed|full|broken-pipe", one per line
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "transcript_runner.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

e2e::TRunSetup SetupFor(const fs::path& folder) {
    e2e::TRunSetup setup;
    if (fs::exists(folder / "input")) {
        setup.Input = Slurp(folder / "input");
    }
    std::istringstream handles(fs::exists(folder / "handles") ? Slurp(folder / "handles") : "");
    std::string line;
    while (std::getline(handles, line)) {
        if (line == "stdin=pipe") setup.InputKind = e2e::TInputKind::Pipe;
        else if (line == "stdin=closed") setup.InputKind = e2e::TInputKind::Closed;
        else if (line == "stdin=directory") setup.InputKind = e2e::TInputKind::Directory;
        else if (line == "stdout=pipe") setup.OutputKind = e2e::TOutputKind::Pipe;
        else if (line == "stdout=closed") setup.OutputKind = e2e::TOutputKind::Closed;
        else if (line == "stdout=full") setup.OutputKind = e2e::TOutputKind::Full;
        else if (line == "stdout=broken-pipe") setup.OutputKind = e2e::TOutputKind::BrokenPipe;
        else if (!line.empty() && line != "stdin=file" && line != "stdout=file")
            ADD_FAILURE() << "unknown handle setting: " << line;
    }
    return setup;
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(E2E_CASES_DIR)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Transcript : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcript, MatchesExpectedBytes) {
    const fs::path folder = fs::path(E2E_CASES_DIR) / GetParam();
    e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, SetupFor(folder));
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, std::stoi(Slurp(folder / "exitcode")));
    EXPECT_EQ(result.Output, Slurp(folder / "output"));
    EXPECT_TRUE(e2e::MaskReportAddresses(result.Errors)) << result.Errors;
    const std::string expectedErrors =
        fs::exists(folder / "errors") ? Slurp(folder / "errors") : std::string();
    EXPECT_EQ(result.Errors, expectedErrors);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(ReportMasking, AcceptsOnlyUpperCaseHexAddressesOfEightOrMoreDigits) {
    struct Case { std::string text; bool ok; std::string masked; };
    const Case cases[] = {
        {"Exception EOverflow in module survey at 0001A2B3.\r\nFloating point overflow.\r\n\r\n",
         true, "Exception EOverflow in module survey at ########.\r\nFloating point overflow.\r\n\r\n"},
        {"Exception EOverflow in module survey at 1A2B3.\r\n", false,
         "Exception EOverflow in module survey at ########.\r\n"},
        {"Exception EOverflow in module survey at 0001a2b3.\r\n", false,
         "Exception EOverflow in module survey at ########.\r\n"},
        {"no report\r\n", true, "no report\r\n"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(e2e::MaskReportAddresses(text), c.ok) << c.text;
        EXPECT_EQ(text, c.masked);
    }
}

} // namespace
