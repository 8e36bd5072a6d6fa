// SPDX-License-Identifier: MIT
// The program started in hostile process environments: a file-size limit,
// fault signals blocked by the parent, forged or odd program names, a
// program file deleted while it runs, a pipe reader that leaves before the
// last block. Every run must end with the dialogue's normal end or one
// three-line report and exit code 1, never with a death by signal, and no
// output that left the program may be lost silently.
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/report_match.h"
#include "transcript_runner.h"

namespace {

namespace fs = std::filesystem;

constexpr int SkipExit = 77;

std::string CaseFile(const std::string& name, const char* file) {
    return testsupport::ReadFile(fs::path(E2E_CASES_DIR) / name / file);
}

// A copy of the program under a name of the test's choosing, removed
// with its folder at the end of the test.
class TProgramCopy {
  public:
    explicit TProgramCopy(const std::string& name) {
        char folder[] = "/tmp/survey-env-XXXXXX";
        Folder = mkdtemp(folder);
        Path = Folder / name;
        fs::copy_file(SURVEY_BINARY, Path);
    }
    ~TProgramCopy() {
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
    }
    fs::path Folder;
    fs::path Path;
};

// A sanitizer build's run-time writes its own notes when it starts without
// /proc; its report cannot be compared there.
#ifdef E2E_SANITIZED_PROGRAM
constexpr bool SanitizedProgram = true;
#else
constexpr bool SanitizedProgram = false;
#endif

// A mount namespace of the child's own with an empty /proc; ends the child
// with SkipExit where namespaces are not permitted or the program is a
// sanitizer build.
void HideProc() {
    if (SanitizedProgram || unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
        _exit(SkipExit);
    }
}

// Waits until the child runs the given program file, then deletes it.
void DeleteOnceRunning(pid_t child, const fs::path& program) {
    const fs::path link = "/proc/" + std::to_string(child) + "/exe";
    std::error_code error;
    testsupport::PollFor(10000, [&] { return fs::read_symlink(link, error) == program; });
    fs::remove(program);
}

constexpr std::size_t All = std::string::npos;

// count_minus_one_is_255 writes 40488 bytes: 316 full blocks and 40 more.
constexpr std::size_t LongRunFullBlocks = 316 * 128;
// triangle writes 624 bytes: four full blocks and 112 more.
constexpr std::size_t TriangleFullBlocks = 4 * 128;
// A limit inside a block, well into the dialogue: the block is written in
// part, then the write fails. Under an emulator the limit meets the
// emulator's own copy of the memory map first, which the program reads at
// start-up: about 1.7 KB for a dynamically linked ARM program.
constexpr std::size_t MidDialogueLimit = 31 * 128 + 32;

struct TEnvironmentCase {
    const char* Name;
    const char* Transcript; // the case under cases/ whose input and bytes are used
    const char* CopyAs;     // run a copy of the program under this file name
    std::function<void(e2e::TRunSetup&, const fs::path& program)> Arrange;
    std::size_t OutputBytes; // how much of the transcript's output must arrive
    // The report expected: the transcript's own (IoCode 0) or that of the
    // I/O error IoCode, naming Module (nullptr: survey), cut to ErrorBytes.
    int IoCode;
    const char* Module;
    std::size_t ErrorBytes;
    // Why the case cannot hold when the program runs under an emulator.
    const char* NotUnderEmulation = nullptr;
};

std::string ExpectedReport(const TEnvironmentCase& c) {
    std::string report = c.IoCode == 0
                             ? CaseFile(c.Transcript, "errors")
                             : testsupport::ReportOf("survey", "EInOutError",
                                                     "I/O error " + std::to_string(c.IoCode) + ".");
    if (c.Module != nullptr) {
        const std::string from = "in module survey at";
        report.replace(report.find(from), from.size(),
                       std::string("in module ") + c.Module + " at");
    }
    return report.substr(0, c.ErrorBytes);
}

const TEnvironmentCase Cases[] = {
    {"FileSizeLimitDuringTheDialogue", "count_minus_one_is_255", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { testsupport::LimitResource(RLIMIT_FSIZE, MidDialogueLimit); };
     },
     MidDialogueLimit, 112, nullptr, All},
    {"FileSizeLimitAtTheFinalWriteOut", "count_minus_one_is_255", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { testsupport::LimitResource(RLIMIT_FSIZE, LongRunFullBlocks); };
     },
     LongRunFullBlocks, 112, nullptr, All},
    {"FileSizeLimitOnStandardErrorCutsTheReport", "count_not_integer", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.OutputKind = e2e::TOutputKind::Pipe;
         s.InChild = [] { testsupport::LimitResource(RLIMIT_FSIZE, 20); };
     },
     All, 0, nullptr, 20,
     "the emulator writes the program's memory map to a file of its own when the program reads "
     "it at start-up, and that write meets the 20-byte limit first"},
    {"PipeReaderLeavesAfterTheLastFullBlock", "triangle", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InputKind = e2e::TInputKind::Pipe;
         s.OutputKind = e2e::TOutputKind::ReaderLeavesAfterFirstBlock;
         s.ReaderTakes = TriangleFullBlocks;
         s.Input.resize(s.Input.size() - 2); // the final Enter comes after the reader left
         s.InputAfterFirstBlock = "\r\n";
     },
     TriangleFullBlocks, 232, nullptr, All},
    {"FloatFaultSignalBlocked", "length_beyond_double_range", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { testsupport::BlockSignals({SIGFPE}); };
     },
     All, 0, nullptr, All},
    {"EveryFaultSignalBlocked", "length_beyond_double_range", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { testsupport::BlockSignals({SIGFPE, SIGSEGV, SIGBUS, SIGILL}); };
     },
     All, 0, nullptr, All},
    {"ProgramFileNameWithLineEnds", "count_not_integer", "a\r\nFAKE", nullptr, All, 0, "a??FAKE",
     All},
    {"ProgramFileNameWithSpace", "count_not_integer", "my survey", nullptr, All, 0, "my survey",
     All},
    {"ProgramFileDeletedWhileRunning", "count_not_integer", "survey-gone",
     [](e2e::TRunSetup& s, const fs::path& program) {
         s.InputKind = e2e::TInputKind::Pipe;
         s.AfterStart = [program](pid_t child) { DeleteOnceRunning(child, program); };
     },
     All, 0, "survey-gone", All},
    {"ForgedArgumentZeroWithoutProc", "count_not_integer", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.Argv0 = "a\r\nFAKE";
         s.InChild = HideProc;
     },
     All, 0, nullptr, All},
    {"EmptyArgumentZeroWithoutProc", "count_not_integer", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.Argv0 = "";
         s.InChild = HideProc;
     },
     All, 0, nullptr, All},
};

void PrintTo(const TEnvironmentCase& c, std::ostream* out) {
    *out << c.Name;
}

class Environment : public ::testing::TestWithParam<TEnvironmentCase> {};

TEST_P(Environment, EndsWithTheDialogueOrOneReport) {
    const TEnvironmentCase& c = GetParam();
#ifdef SURVEY_PROGRAM_EMULATOR
    if (c.NotUnderEmulation != nullptr) GTEST_SKIP() << c.NotUnderEmulation;
#endif
    std::optional<TProgramCopy> copy;
    if (c.CopyAs != nullptr) copy.emplace(c.CopyAs);
    const fs::path program = copy ? copy->Path : fs::path(SURVEY_BINARY);

    e2e::TRunSetup setup;
    setup.Input = CaseFile(c.Transcript, "input");
    if (c.Arrange) c.Arrange(setup, program);
    e2e::TRunResult result = e2e::RunProgram(program.string(), setup);
    if (result.ExitCode == SkipExit) GTEST_SKIP() << "/proc cannot be hidden from the program here";

    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Output, CaseFile(c.Transcript, "output").substr(0, c.OutputBytes));
    EXPECT_TRUE(testsupport::MatchesMasked(result.Errors, ExpectedReport(c)));
}

INSTANTIATE_TEST_SUITE_P(Hostile, Environment, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The point arrays hold the 255 points an 8-bit count reaches, so the
// program starts and runs a whole dialogue in a few megabytes of address
// space and of data. A sanitizer's run-time, and an emulator, reserve far
// more than that for themselves.
TEST(SmallMemory, WholeDialogueRunsUnderTightLimits) {
#ifdef SURVEY_PROGRAM_EMULATOR
    GTEST_SKIP() << "the emulator needs more address space than the program";
#endif
    if (SanitizedProgram) GTEST_SKIP() << "the sanitizer's run-time reserves its shadow memory";
    struct TLimit {
        int Resource;
        rlim_t Bytes;
    };
    constexpr TLimit Limits[] = {{RLIMIT_AS, 17000 * 1024}, {RLIMIT_DATA, 4 << 20}};
    for (const TLimit& limit : Limits) {
        e2e::TRunSetup setup;
        setup.Input = CaseFile("count_minus_one_is_255", "input");
        setup.InChild = [limit] { testsupport::LimitResource(limit.Resource, limit.Bytes); };
        const e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
        EXPECT_EQ(result.Signal, 0) << limit.Resource;
        EXPECT_EQ(result.ExitCode, 0) << limit.Resource;
        EXPECT_TRUE(result.Output == CaseFile("count_minus_one_is_255", "output"))
            << limit.Resource << ": " << result.Output.size() << " bytes";
    }
}

} // namespace
