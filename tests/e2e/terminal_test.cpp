// When the program's output reaches the operator: on a terminal each prompt
// is there before the program waits for its answer; on a pipe the text goes
// out in 128-byte blocks and at the end.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "transcript_runner.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string CountPrompt =
    "Enter the number of the points in the collapse of a contour:\r\n";
const std::string ExitPrompt = "*Press Enter to exit*\r\n";
const std::string ZeroResults =
    "The area of a contour:    0.00m^2 =   0.0000a =  0.00000ha\r\n";

// The program running with its standard input and output on given
// descriptors; standard error goes to /dev/null.
class RunningProgram {
public:
    RunningProgram(int input, int output) {
        Child = fork();
        if (Child == 0) {
            dup2(input, 0);
            dup2(output, 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            for (int fd = 3; fd < 64; ++fd) close(fd);
            execl(SURVEY_BINARY, SURVEY_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~RunningProgram() {
        if (Child > 0 && !Ended) {
            kill(Child, SIGKILL);
            waitpid(Child, nullptr, 0);
        }
    }
    bool HasExited() {
        int status = 0;
        if (waitpid(Child, &status, WNOHANG) == Child) {
            Ended = true;
            ExitStatus = status;
        }
        return Ended;
    }
    int WaitForExitCode() {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!HasExited() && Clock::now() < deadline) {
            poll(nullptr, 0, 5);
        }
        return Ended && WIFEXITED(ExitStatus) ? WEXITSTATUS(ExitStatus) : -1;
    }

private:
    pid_t Child = -1;
    bool Ended = false;
    int ExitStatus = 0;
};

using e2e::ReadUntil;

// Everything that arrives within the given time.
std::string ReadFor(int fd, int milliseconds) { return ReadUntil(fd, "\x01never\x01", milliseconds); }

void Send(int fd, const std::string& text) {
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(openpty(&Master, &Slave, nullptr, nullptr, nullptr), 0);
        // Raw mode: the bytes pass unchanged both ways, with no echo.
        termios settings{};
        tcgetattr(Slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(Slave, TCSANOW, &settings);
    }
    void TearDown() override {
        close(Master);
        if (Slave >= 0) close(Slave);
    }
    int Master = -1;
    int Slave = -1;
};

TEST_F(TerminalTest, EachPromptArrivesBeforeTheProgramWaits) {
    RunningProgram program(Slave, Slave);
    close(Slave);
    Slave = -1;

    EXPECT_EQ(ReadUntil(Master, CountPrompt, 5000), CountPrompt);
    EXPECT_EQ(ReadFor(Master, 200), ""); // waiting for the count
    EXPECT_FALSE(program.HasExited());

    Send(Master, "1\r\n");
    const std::string lengthPrompt =
        "\r\n\r\nEnter the measured length of the point 1 in the collapse of a contour: \r\n";
    EXPECT_EQ(ReadUntil(Master, lengthPrompt, 5000), lengthPrompt);
    Send(Master, "12.5\r\n");
    const std::string directionPrompt =
        "\r\nEnter the measured direction of the point 1 in the collapse of a contour: \r\n";
    EXPECT_EQ(ReadUntil(Master, directionPrompt, 5000), directionPrompt);
    Send(Master, "40\r\n");
    const std::string rest = "\r\n\r\n\r\n" + ZeroResults + "\r\n\r\n\r\n\r\n" + ExitPrompt;
    EXPECT_EQ(ReadUntil(Master, ExitPrompt, 5000), rest);
    EXPECT_EQ(ReadFor(Master, 200), "");
    EXPECT_FALSE(program.HasExited()); // waiting for Enter

    Send(Master, "\r\n");
    EXPECT_EQ(program.WaitForExitCode(), 0);
}

TEST_F(TerminalTest, EndOfInputTypedAtTheFirstPromptRunsToTheEnd) {
    RunningProgram program(Slave, Slave);
    close(Slave);
    Slave = -1;

    EXPECT_EQ(ReadUntil(Master, CountPrompt, 5000), CountPrompt);
    Send(Master, "\x1a"); // Ctrl-Z
    const std::string rest = "\r\n\r\n\r\n" + ZeroResults + "\r\n\r\n\r\n\r\n" + ExitPrompt;
    EXPECT_EQ(ReadUntil(Master, ExitPrompt, 5000), rest);
    EXPECT_EQ(program.WaitForExitCode(), 0);
}

TEST(PipeTest, OutputLeavesInBlocksOf128BytesAndAtTheEnd) {
    int input[2];
    int output[2];
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe(output), 0);
    RunningProgram program(input[0], output[1]);
    close(input[0]);
    close(output[1]);

    // The first prompt stays in the buffer while the program waits.
    EXPECT_EQ(ReadFor(output[0], 300), "");
    EXPECT_FALSE(program.HasExited());

    Send(input[1], "0\r\n");
    const std::string whole = CountPrompt + "\r\n\r\n\r\n" + ZeroResults + "\r\n\r\n\r\n\r\n" +
                              ExitPrompt;
    // One full block goes out; the rest waits for the end of the run.
    EXPECT_EQ(ReadFor(output[0], 300), whole.substr(0, 128));
    EXPECT_FALSE(program.HasExited());

    Send(input[1], "\r\n");
    close(input[1]);
    EXPECT_EQ(ReadUntil(output[0], ExitPrompt, 5000), whole.substr(128));
    EXPECT_EQ(program.WaitForExitCode(), 0);
    close(output[0]);
}

} // namespace
