// SPDX-License-Identifier: MIT
// Standard handles that fail while the dialogue runs: each run must end with
// exactly one report naming the I/O error, exit code 1, and no more output
// than had already left the program.
#include <string>

#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/report_match.h"
#include "transcript_runner.h"

namespace {

using testsupport::MatchesMasked;

const std::string CrLf = "\r\n";
const std::string CountPrompt = "Enter the number of the points in the collapse of a contour:\r\n";

std::string PointLines(int k) {
    return "Enter the measured length of the point " + std::to_string(k) +
           " in the collapse of a contour: \r\n\r\n" +
           "Enter the measured direction of the point " + std::to_string(k) +
           " in the collapse of a contour: \r\n\r\n\r\n";
}

std::string IoReport(int code) {
    return testsupport::ReportOf("survey", "EInOutError",
                                 "I/O error " + std::to_string(code) + ".");
}

// The first 128 bytes reach the reader; the next block meets a pipe without
// a reader (232) in the second point's prompt, and nothing more is read.
TEST(HandleFaults, OutputPipeWhoseReaderLeavesAfterTheFirstBlock) {
    e2e::TRunSetup setup;
    setup.InputKind = e2e::TInputKind::Pipe;
    setup.OutputKind = e2e::TOutputKind::ReaderLeavesAfterFirstBlock;
    setup.Input = "3\r\n";
    setup.InputAfterFirstBlock = "10\r\n0\r\n10\r\n100\r\n10\r\n200\r\n\r\n";
    const e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 1);
    const std::string dialogue = CountPrompt + CrLf + CrLf + PointLines(1) + PointLines(2);
    EXPECT_EQ(result.Output, dialogue.substr(0, 128));
    EXPECT_TRUE(MatchesMasked(result.Errors, IoReport(232)));
}

// Standard output open for reading only: the first block written (the
// results line fills it exactly) fails with an invalid handle (6), and
// nothing reaches the file.
TEST(HandleFaults, OutputOpenOnlyForReading) {
    e2e::TRunSetup setup;
    setup.Input = "0\r\n\r\n";
    setup.OutputKind = e2e::TOutputKind::ReadOnlyFile;
    const e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_TRUE(MatchesMasked(result.Errors, IoReport(6)));
    EXPECT_EQ(result.Output, "");
}

// With standard output and standard error both closed the report is lost,
// but the run still ends with exit code 1 and no signal.
TEST(HandleFaults, OutputAndErrorBothClosed) {
    e2e::TRunSetup setup;
    setup.Input = "2\r\n";
    setup.OutputKind = e2e::TOutputKind::Closed;
    setup.ErrorsClosed = true;
    const e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 1);
}

// A terminal hung up after the first prompt: the next transfer on it fails
// with a device error (1117), whether the count read or the next line end
// meets it first.
TEST(HandleFaults, TerminalHungUpAfterTheFirstPrompt) {
    testsupport::TTerminal terminal;
    const testsupport::TFd errors = testsupport::TemporaryFile();
    testsupport::TChild program({terminal.Slave.Get(), terminal.Slave.Get(), errors.Get()},
                                testsupport::Exec(SURVEY_BINARY));
    terminal.Slave.Reset();
    testsupport::ReadUntil(terminal.Master.Get(), CountPrompt);
    terminal.Master.Reset();
    const testsupport::TExit exit = program.Wait();
    ASSERT_FALSE(exit.TimedOut);
    EXPECT_EQ(exit.ExitCode(), 1);
    EXPECT_TRUE(MatchesMasked(testsupport::ReadAll(errors.Get()), IoReport(1117)));
}

} // namespace
