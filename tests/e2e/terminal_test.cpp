// SPDX-License-Identifier: MIT
// When the program's output reaches the operator: on a terminal each prompt
// is there before the program waits for its answer; on a pipe the text goes
// out in 128-byte blocks and at the end. Silence is checked once the
// program sleeps in its next read: all it writes before that read is
// written by then.
#include <fcntl.h>

#include <string>

#include <gtest/gtest.h>

#include "support/child_process.h"

namespace {

using testsupport::ReadAvailable;
using testsupport::ReadUntil;

const std::string CountPrompt = "Enter the number of the points in the collapse of a contour:\r\n";
const std::string ExitPrompt = "*Press Enter to exit*\r\n";
const std::string ZeroResults = "The area of a contour:    0.00m^2 =   0.0000a =  0.00000ha\r\n";
const std::string ZeroTail = "\r\n\r\n\r\n" + ZeroResults + "\r\n\r\n\r\n\r\n" + ExitPrompt;

int DevNull() {
    static const testsupport::TFd null(open("/dev/null", O_WRONLY));
    return null.Get();
}

// The program on the given standard input and output; standard error goes
// to /dev/null.
class TRunningProgram : public testsupport::TChild {
  public:
    TRunningProgram(int input, int output)
        : TChild({input, output, DevNull()}, testsupport::Exec(SURVEY_BINARY)) {}

    // True once the program waits in its next read of standard input.
    bool WaitsForInput() { return WaitUntilBlockedInRead(0); }
    int ExitCode() { return Wait().ExitCode(); }
};

void Send(const testsupport::TFd& fd, const std::string& text) {
    ASSERT_TRUE(testsupport::WriteAll(fd.Get(), text));
}

class TerminalTest : public ::testing::Test {
  protected:
    testsupport::TTerminal Terminal;
};

TEST_F(TerminalTest, EachPromptArrivesBeforeTheProgramWaits) {
    TRunningProgram program(Terminal.Slave.Get(), Terminal.Slave.Get());
    Terminal.Slave.Reset();
    const int master = Terminal.Master.Get();

    EXPECT_EQ(ReadUntil(master, CountPrompt), CountPrompt);
    ASSERT_TRUE(program.WaitsForInput()); // for the count
    EXPECT_EQ(ReadAvailable(master), "");

    Send(Terminal.Master, "1\r\n");
    const std::string lengthPrompt =
        "\r\n\r\nEnter the measured length of the point 1 in the collapse of a contour: \r\n";
    EXPECT_EQ(ReadUntil(master, lengthPrompt), lengthPrompt);
    Send(Terminal.Master, "12.5\r\n");
    const std::string directionPrompt =
        "\r\nEnter the measured direction of the point 1 in the collapse of a contour: \r\n";
    EXPECT_EQ(ReadUntil(master, directionPrompt), directionPrompt);
    Send(Terminal.Master, "40\r\n");
    EXPECT_EQ(ReadUntil(master, ExitPrompt), ZeroTail);
    ASSERT_TRUE(program.WaitsForInput()); // for Enter
    EXPECT_EQ(ReadAvailable(master), "");

    Send(Terminal.Master, "\r\n");
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST_F(TerminalTest, EndOfInputTypedAtTheFirstPromptRunsToTheEnd) {
    TRunningProgram program(Terminal.Slave.Get(), Terminal.Slave.Get());
    Terminal.Slave.Reset();

    EXPECT_EQ(ReadUntil(Terminal.Master.Get(), CountPrompt), CountPrompt);
    Send(Terminal.Master, "\x1a"); // Ctrl-Z
    EXPECT_EQ(ReadUntil(Terminal.Master.Get(), ExitPrompt), ZeroTail);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(PipeTest, OutputLeavesInBlocksOf128BytesAndAtTheEnd) {
    testsupport::TPipe input;
    testsupport::TPipe output;
    TRunningProgram program(input.Read.Get(), output.Write.Get());
    input.Read.Reset();
    output.Write.Reset();

    // The first prompt stays in the buffer while the program waits.
    ASSERT_TRUE(program.WaitsForInput());
    EXPECT_EQ(ReadAvailable(output.Read.Get()), "");

    Send(input.Write, "0\r\n");
    const std::string whole = CountPrompt + ZeroTail;
    // One full block goes out; the rest waits for the end of the run.
    EXPECT_EQ(ReadUntil(output.Read.Get(), whole.substr(0, 128)), whole.substr(0, 128));
    ASSERT_TRUE(program.WaitsForInput()); // for Enter
    EXPECT_EQ(ReadAvailable(output.Read.Get()), "");

    Send(input.Write, "\r\n");
    input.Write.Reset();
    EXPECT_EQ(ReadUntil(output.Read.Get(), ExitPrompt), whole.substr(128));
    EXPECT_EQ(program.ExitCode(), 0);
}

} // namespace
