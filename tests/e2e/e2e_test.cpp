// Each folder under cases/ holds one transcript:
//   input     the bytes on standard input (absent: none)
//   output    the exact bytes expected on standard output
//   errors    the exact bytes expected on standard error, report addresses
//             written as ######## (absent: nothing)
//   exitcode  the expected exit code
//   handles   optional: "stdin=file|pipe|closed|directory" and
//             "stdout=file|pipe|closed|full|broken-pipe", one per line
//   program   optional: "faulting" runs the test build that faults on purpose
//   unsupported  optional: lines "<processor> <reason>" naming a processor on
//             which the case has no meaning, with the reason
// The cases are those under E2E_CASES_DIR and, if set, E2E_PROGRAM_CASES_DIR.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "../support/child_process.h"
#include "../support/report_match.h"
#include "transcript_runner.h"

namespace {

namespace fs = std::filesystem;

// How the program is started and what its reports call it. The host runner
// of the Windows and the WebAssembly builds sets these: Wine with its
// settings ahead of survey.exe, or Node.js ahead of survey.js, and under
// Wine a launcher that starts it without the handles a case closes ("|"
// between words).
#ifndef E2E_LAUNCHER
#define E2E_LAUNCHER ""
#endif
#ifndef E2E_HANDLE_LAUNCHER
#define E2E_HANDLE_LAUNCHER ""
#endif
#ifndef E2E_MODULE_NAME
#define E2E_MODULE_NAME "survey"
#endif
#ifndef E2E_PROGRAM_CASES_DIR
#define E2E_PROGRAM_CASES_DIR ""
#endif

std::string Slurp(const fs::path& path) {
    return testsupport::ReadFile(path);
}

e2e::TRunSetup SetupFor(const fs::path& folder) {
    e2e::TRunSetup setup;
    if (fs::exists(folder / "input")) {
        setup.Input = Slurp(folder / "input");
    }
    if (!e2e::ApplyHandles(fs::exists(folder / "handles") ? Slurp(folder / "handles") : "", setup))
        ADD_FAILURE() << "unknown handle setting in " << folder;
    setup.Launcher = e2e::LauncherWords(E2E_LAUNCHER);
    // Under Wine a closed descriptor is taken by Wine's own start-up, so the
    // handle launcher starts the program without that handle instead.
    std::string absent;
    if (!std::string(E2E_HANDLE_LAUNCHER).empty()) {
        if (setup.InputKind == e2e::TInputKind::Closed) {
            absent += "stdin,";
            setup.InputKind = e2e::TInputKind::File;
        }
        if (setup.OutputKind == e2e::TOutputKind::Closed) {
            absent += "stdout,";
            setup.OutputKind = e2e::TOutputKind::File;
        }
    }
    if (!absent.empty()) {
        setup.Launcher.push_back(E2E_HANDLE_LAUNCHER);
        setup.Launcher.push_back(absent);
    }
    return setup;
}

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

// The expected reports name the Linux program; other builds name theirs.
std::string ForModule(std::string errors) {
    const std::string written = "in module survey at ";
    const std::string ours = std::string("in module ") + E2E_MODULE_NAME + " at ";
    for (std::size_t at = errors.find(written); at != std::string::npos;
         at = errors.find(written, at + ours.size())) {
        errors.replace(at, written.size(), ours);
    }
    return errors;
}

// The processor the build is for, by its folder name in the platform layer.
constexpr std::string_view Processor = SURVEY_PROCESSOR;

// The reason the case has no meaning on this processor; empty when it has.
std::string UnsupportedHere(const fs::path& folder) {
    std::istringstream lines(fs::exists(folder / "unsupported") ? Slurp(folder / "unsupported")
                                                                : "");
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, Processor.size(), Processor) == 0 && line[Processor.size()] == ' ')
            return line.substr(Processor.size() + 1);
    }
    return {};
}

class Transcript : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcript, MatchesExpectedBytes) {
    const fs::path folder = GetParam();
    if (const std::string reason = UnsupportedHere(folder); !reason.empty()) GTEST_SKIP() << reason;
    e2e::TRunResult result = e2e::RunProgram(ProgramFor(folder), SetupFor(folder));
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, std::stoi(Slurp(folder / "exitcode")));
    EXPECT_EQ(result.Output, Slurp(folder / "output"));
    const std::string expectedErrors =
        fs::exists(folder / "errors") ? Slurp(folder / "errors") : std::string();
    EXPECT_TRUE(testsupport::MatchesMasked(result.Errors, ForModule(expectedErrors)));
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
