// Standard handles that fail while the dialogue runs: each run must end with
// exactly one report naming the I/O error, exit code 1, and no more output
// than had already left the program.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "transcript_runner.h"

namespace {

const std::string CrLf = "\r\n";
const std::string CountPrompt = "Enter the number of the points in the collapse of a contour:\r\n";

std::string PointLines(int k) {
    return "Enter the measured length of the point " + std::to_string(k) +
           " in the collapse of a contour: \r\n\r\n" + "Enter the measured direction of the point " +
           std::to_string(k) + " in the collapse of a contour: \r\n\r\n\r\n";
}

std::string IoReport(int code) {
    return "Exception EInOutError in module survey at ########.\r\nI/O error " +
           std::to_string(code) + ".\r\n\r\n";
}

// The first 128 bytes reach the reader; the next block meets a pipe without
// a reader (232) in the second point's prompt, and nothing more is read.
TEST(HandleFaults, OutputPipeWhoseReaderLeavesAfterTheFirstBlock) {
    e2e::TRunSetup setup;
    setup.InputKind = e2e::TInputKind::Pipe;
    setup.OutputKind = e2e::TOutputKind::ReaderLeavesAfterFirstBlock;
    setup.Input = "3\r\n";
    setup.InputAfterFirstBlock = "10\r\n0\r\n10\r\n100\r\n10\r\n200\r\n\r\n";
    e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 1);
    const std::string dialogue = CountPrompt + CrLf + CrLf + PointLines(1) + PointLines(2);
    EXPECT_EQ(result.Output, dialogue.substr(0, 128));
    EXPECT_TRUE(e2e::MaskReportAddresses(result.Errors));
    EXPECT_EQ(result.Errors, IoReport(232));
}

// Runs the program on the given descriptors (-1: closed) and returns its
// wait status; standard error is captured in `errors` unless closed.
struct TSpawned {
    int Status = -1;
    bool TimedOut = false;
    std::string Errors;
};

TSpawned Spawn(int input, int output, bool errorClosed, int hangUpMaster = -1) {
    char name[] = "/tmp/survey-faults-XXXXXX";
    const int errors = mkstemp(name);
    unlink(name);
    const pid_t child = fork();
    if (child == 0) {
        const int fds[3] = {input, output, errorClosed ? -1 : errors};
        for (int target = 0; target < 3; ++target) {
            if (fds[target] < 0) close(target);
            else dup2(fds[target], target);
        }
        for (int fd = 3; fd < 64; ++fd) close(fd);
        signal(SIGPIPE, SIG_DFL);
        execl(SURVEY_BINARY, SURVEY_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    TSpawned spawned;
    if (hangUpMaster >= 0) {
        // Wait for the first prompt on the terminal, then hang it up.
        e2e::ReadUntil(hangUpMaster, CountPrompt, 10000);
        close(hangUpMaster);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(child, &spawned.Status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &spawned.Status, 0);
            spawned.TimedOut = true;
            break;
        }
        poll(nullptr, 0, 2);
    }
    char chunk[1024];
    lseek(errors, 0, SEEK_SET);
    for (ssize_t n; (n = read(errors, chunk, sizeof chunk)) > 0;) {
        spawned.Errors.append(chunk, static_cast<std::size_t>(n));
    }
    close(errors);
    return spawned;
}

int InputFile(const std::string& text) {
    char name[] = "/tmp/survey-faults-XXXXXX";
    const int fd = mkstemp(name);
    unlink(name);
    EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    lseek(fd, 0, SEEK_SET);
    return fd;
}

int ExitCodeOf(const TSpawned& run) {
    return WIFEXITED(run.Status) ? WEXITSTATUS(run.Status) : -1;
}

// Standard output open for reading only: the first block written (the
// results line fills it exactly) fails with an invalid handle (6).
TEST(HandleFaults, OutputOpenOnlyForReading) {
    const int input = InputFile("0\r\n\r\n");
    char name[] = "/tmp/survey-faults-XXXXXX";
    const int target = mkstemp(name);
    const int readOnly = open(name, O_RDONLY);
    unlink(name);
    TSpawned run = Spawn(input, readOnly, false);
    ASSERT_FALSE(run.TimedOut);
    EXPECT_EQ(ExitCodeOf(run), 1);
    EXPECT_TRUE(e2e::MaskReportAddresses(run.Errors));
    EXPECT_EQ(run.Errors, IoReport(6));
    EXPECT_EQ(lseek(target, 0, SEEK_END), 0);
    close(input);
    close(readOnly);
    close(target);
}

// With standard output and standard error both closed the report is lost,
// but the run still ends with exit code 1 and no signal.
TEST(HandleFaults, OutputAndErrorBothClosed) {
    const int input = InputFile("2\r\n");
    TSpawned run = Spawn(input, -1, true);
    ASSERT_FALSE(run.TimedOut);
    EXPECT_FALSE(WIFSIGNALED(run.Status));
    EXPECT_EQ(ExitCodeOf(run), 1);
    close(input);
}

// A terminal hung up after the first prompt: the next transfer on it fails
// with a device error (1117), whether the count read or the next line end
// meets it first.
TEST(HandleFaults, TerminalHungUpAfterTheFirstPrompt) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios settings{};
    tcgetattr(slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
    TSpawned run = Spawn(slave, slave, false, master);
    close(slave);
    ASSERT_FALSE(run.TimedOut);
    EXPECT_EQ(ExitCodeOf(run), 1);
    EXPECT_TRUE(e2e::MaskReportAddresses(run.Errors));
    EXPECT_EQ(run.Errors, IoReport(1117));
}

} // namespace
