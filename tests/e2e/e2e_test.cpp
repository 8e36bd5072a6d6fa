// SPDX-License-Identifier: MIT
// Each folder under cases/ holds one transcript:
//   input     the bytes on standard input (absent: none)
//   output    the exact bytes expected on standard output
//   errors    the exact bytes expected on standard error, report addresses
//             written as ######## (absent: nothing)
//   exitcode  the expected exit code
//   handles   optional: "stdin=file|pipe|closed|directory" and
//             "stdout=file|pipe|closed|full|broken-pipe", one per line
//   program   optional: "faulting" runs the test build that faults on purpose
//   needs     optional: the features the case needs, one per line; a build
//             without one of them skips the case. The features, each given
//             by the build (tests/support/<processor>/features.cmake):
//               illegal-instruction     an undefined instruction faults, and
//                                       the program reports it
//               integer-division-fault  so does an integer division by zero
//               stack-overflow-fault    so does running out of stack
//               wasm-trap               a fault is a WebAssembly trap, which
//                                       ends the run with the host's words
// The cases are those under E2E_CASES_DIR and, if set, E2E_PROGRAM_CASES_DIR.
#include <filesystem>
#include <sstream>
#include <string_view>

#include <gtest/gtest.h>

#include "../support/report_match.h"
#include "transcript_case.h"

#ifndef E2E_PROGRAM_CASES_DIR
#define E2E_PROGRAM_CASES_DIR ""
#endif
#ifndef E2E_FAULTING_BINARY
#define E2E_FAULTING_BINARY ""
#endif

namespace {

namespace fs = std::filesystem;

using e2e::Slurp;

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const std::string dir : {E2E_CASES_DIR, E2E_PROGRAM_CASES_DIR}) {
        if (dir.empty()) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_directory()) names.push_back(entry.path().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ProgramFor(const fs::path& folder) {
    if (!fs::exists(folder / "program")) return SURVEY_BINARY;
    const std::string program = Slurp(folder / "program");
    if (program == "faulting\n") return E2E_FAULTING_BINARY;
    ADD_FAILURE() << "unknown program: " << program;
    return SURVEY_BINARY;
}

// The features this build has, separated by commas.
constexpr std::string_view Features = SURVEY_TEST_FEATURES;

bool HaveFeature(std::string_view feature) {
    for (std::string_view rest = Features; !rest.empty();) {
        const std::size_t comma = rest.find(',');
        if (rest.substr(0, comma) == feature) return true;
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    return false;
}

// The first feature the case needs that this build has not; empty when it
// has them all.
std::string MissingFeature(const fs::path& folder) {
    std::istringstream lines(fs::exists(folder / "needs") ? Slurp(folder / "needs") : "");
    for (std::string feature; std::getline(lines, feature);) {
        if (!feature.empty() && !HaveFeature(feature)) return feature;
    }
    return {};
}

class Transcript : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcript, MatchesExpectedBytes) {
    const fs::path folder = GetParam();
    if (const std::string missing = MissingFeature(folder); !missing.empty())
        GTEST_SKIP() << "this build has no " << missing;
    e2e::ExpectTranscript(ProgramFor(folder), folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, ::testing::ValuesIn(CaseNames()), [](const auto& info) {
    std::string name = fs::path(info.param).filename().string();
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// The transcripts' ######## stands for the address digits of a report line.
TEST(ReportMasking, AcceptsOnlyUpperCaseHexAddressesOfEightOrMoreDigits) {
    const std::string line = "Exception EOverflow in module survey at ########.\r\n";
    struct Case {
        std::string actual;
        std::string expected;
        bool matches;
    };
    const Case cases[] = {
        {"Exception EOverflow in module survey at 0001A2B3.\r\nFloating point overflow.\r\n\r\n",
         line + "Floating point overflow.\r\n\r\n", true},
        {"Exception EOverflow in module survey at 1A2B3.\r\n", line, false},
        {"Exception EOverflow in module survey at 0001a2b3.\r\n", line, false},
        {"no report\r\n", "no report\r\n", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<bool>(testsupport::MatchesMasked(c.actual, c.expected)), c.matches)
            << c.actual;
    }
}

} // namespace
