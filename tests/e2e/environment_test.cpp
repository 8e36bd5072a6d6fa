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

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "transcript_runner.h"

namespace {

namespace fs = std::filesystem;

constexpr int SkipExit = 77;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path CaseFile(const std::string& name, const char* file) {
    return fs::path(E2E_CASES_DIR) / name / file;
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

void LimitFileSize(rlim_t bytes) {
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void BlockSignals(std::initializer_list<int> signals) {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : signals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

// A mount namespace of the child's own with an empty /proc; ends the child
// with SkipExit where namespaces are not permitted.
void HideProc() {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
        _exit(SkipExit);
    }
}

// Waits until the child runs the given program file, then deletes it.
void DeleteOnceRunning(pid_t child, const fs::path& program) {
    const fs::path link = "/proc/" + std::to_string(child) + "/exe";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::error_code error;
    while (fs::read_symlink(link, error) != program && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    fs::remove(program);
}

constexpr std::size_t All = std::string::npos;

// count_minus_one_is_255 writes 40488 bytes: 316 full blocks and 40 more.
constexpr std::size_t LongRunFullBlocks = 316 * 128;
// triangle writes 624 bytes: four full blocks and 112 more.
constexpr std::size_t TriangleFullBlocks = 4 * 128;

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
};

std::string ExpectedReport(const TEnvironmentCase& c) {
    std::string report = c.IoCode == 0 ? Slurp(CaseFile(c.Transcript, "errors"))
                                       : "Exception EInOutError in module survey at ########.\r\n"
                                         "I/O error " + std::to_string(c.IoCode) + ".\r\n\r\n";
    if (c.Module != nullptr) {
        const std::string from = "in module survey at";
        report.replace(report.find(from), from.size(), std::string("in module ") + c.Module + " at");
    }
    return report.substr(0, c.ErrorBytes);
}

const TEnvironmentCase Cases[] = {
    {"FileSizeLimitDuringTheDialogue", "count_minus_one_is_255", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) { s.InChild = [] { LimitFileSize(1000); }; }, 1000,
     112, nullptr, All},
    {"FileSizeLimitAtTheFinalWriteOut", "count_minus_one_is_255", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { LimitFileSize(LongRunFullBlocks); };
     },
     LongRunFullBlocks, 112, nullptr, All},
    {"FileSizeLimitOnStandardErrorCutsTheReport", "count_not_integer", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.OutputKind = e2e::TOutputKind::Pipe;
         s.InChild = [] { LimitFileSize(20); };
     },
     All, 0, nullptr, 20},
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
     [](e2e::TRunSetup& s, const fs::path&) { s.InChild = [] { BlockSignals({SIGFPE}); }; }, All,
     0, nullptr, All},
    {"EveryFaultSignalBlocked", "length_beyond_double_range", nullptr,
     [](e2e::TRunSetup& s, const fs::path&) {
         s.InChild = [] { BlockSignals({SIGFPE, SIGSEGV, SIGBUS, SIGILL}); };
     },
     All, 0, nullptr, All},
    {"ProgramFileNameWithLineEnds", "count_not_integer", "a\r\nFAKE", nullptr, All, 0, "a??FAKE",
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

void PrintTo(const TEnvironmentCase& c, std::ostream* out) { *out << c.Name; }

class Environment : public ::testing::TestWithParam<TEnvironmentCase> {};

TEST_P(Environment, EndsWithTheDialogueOrOneReport) {
    const TEnvironmentCase& c = GetParam();
    std::optional<TProgramCopy> copy;
    if (c.CopyAs != nullptr) copy.emplace(c.CopyAs);
    const fs::path program = copy ? copy->Path : fs::path(SURVEY_BINARY);

    e2e::TRunSetup setup;
    setup.Input = Slurp(CaseFile(c.Transcript, "input"));
    if (c.Arrange) c.Arrange(setup, program);
    e2e::TRunResult result = e2e::RunProgram(program.string(), setup);
    if (result.ExitCode == SkipExit) GTEST_SKIP() << "mount namespaces are not permitted here";

    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Output, Slurp(CaseFile(c.Transcript, "output")).substr(0, c.OutputBytes));
    EXPECT_TRUE(e2e::MaskReportAddresses(result.Errors)) << result.Errors;
    EXPECT_EQ(result.Errors, ExpectedReport(c));
}


INSTANTIATE_TEST_SUITE_P(Hostile, Environment, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
