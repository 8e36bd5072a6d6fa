// SPDX-License-Identifier: MIT
// Standard handles that Node.js's start-up could make the program mistake.
// Node.js puts /dev/null, open for reading and writing, in the place of a
// standard descriptor that was closed; the program's host takes only such
// a descriptor for the closed handle. Each row must end as the Linux build
// ends in the same setting.
#include <string>

#include <gtest/gtest.h>

#include "e2e/transcript_case.h"

namespace {

struct TRow {
    const char* Name;
    const char* Program;
    const char* InputFile; // under the source tree
    e2e::TOutputKind Output;
    bool ErrorsClosed;
    int ExitCode;
};

// A /dev/null opened for writing only is an output like any other: the
// run ends normally. Both outputs closed: the report is lost, exit code 1.
// Standard error closed while survey-contour lists its findings there: the
// listing fails (exit code 1, not the 2 of findings written).
const TRow Rows[] = {
    {"survey >/dev/null", SURVEY_BINARY, "examples/triangle.txt", e2e::TOutputKind::NullDevice,
     false, 0},
    {"survey >&- 2>&-", SURVEY_BINARY, "examples/triangle.txt", e2e::TOutputKind::Closed, true, 1},
    {"survey-contour 2>&-", SURVEY_CONTOUR_BINARY, "examples/crossing.txt", e2e::TOutputKind::File,
     true, 1},
};

TEST(NodeHandles, EndAsTheLinuxBuildEnds) {
    for (const TRow& row : Rows) {
        e2e::TRunSetup setup;
        setup.Launcher = e2e::LauncherWords(E2E_LAUNCHER);
        setup.Input = e2e::Slurp(std::string(SURVEY_SOURCE_DIR) + "/" + row.InputFile);
        setup.OutputKind = row.Output;
        setup.ErrorsClosed = row.ErrorsClosed;
        const e2e::TRunResult result = e2e::RunProgram(row.Program, setup);
        ASSERT_FALSE(result.TimedOut) << row.Name;
        EXPECT_EQ(result.Signal, 0) << row.Name;
        EXPECT_EQ(result.ExitCode, row.ExitCode) << row.Name;
        EXPECT_EQ(result.Errors, "") << row.Name;
    }
}

} // namespace
