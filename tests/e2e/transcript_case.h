// SPDX-License-Identifier: MIT
// One transcript case folder run through a program and compared with the
// folder's expected files (the layout is described in e2e_test.cpp).
// Header-only: the Windows build's host runner compiles it with its own
// settings of the macros below.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/child_process.h"
#include "../support/report_match.h"
#include "transcript_runner.h"

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

namespace e2e {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& path) {
    return testsupport::ReadFile(path);
}

inline TRunSetup SetupFor(const fs::path& folder) {
    TRunSetup setup;
    if (fs::exists(folder / "input")) {
        setup.Input = Slurp(folder / "input");
    }
    if (!ApplyHandles(fs::exists(folder / "handles") ? Slurp(folder / "handles") : "", setup))
        ADD_FAILURE() << "unknown handle setting in " << folder;
    setup.Launcher = LauncherWords(E2E_LAUNCHER);
    // Under Wine a closed descriptor is taken by Wine's own start-up, so the
    // handle launcher starts the program without that handle instead.
    std::string absent;
    if (!std::string(E2E_HANDLE_LAUNCHER).empty()) {
        if (setup.InputKind == TInputKind::Closed) {
            absent += "stdin,";
            setup.InputKind = TInputKind::File;
        }
        if (setup.OutputKind == TOutputKind::Closed) {
            absent += "stdout,";
            setup.OutputKind = TOutputKind::File;
        }
    }
    if (!absent.empty()) {
        setup.Launcher.push_back(E2E_HANDLE_LAUNCHER);
        setup.Launcher.push_back(absent);
    }
    return setup;
}

// The expected reports name the Linux program; other builds name theirs.
inline std::string ForModule(std::string errors) {
    const std::string written = "in module survey at ";
    const std::string ours = std::string("in module ") + E2E_MODULE_NAME + " at ";
    for (std::size_t at = errors.find(written); at != std::string::npos;
         at = errors.find(written, at + ours.size())) {
        errors.replace(at, written.size(), ours);
    }
    return errors;
}

// Runs program with setup. Under Wine (E2E_RETRY_SILENT_START) a run that
// ends with a failing exit code before the program wrote a byte on either
// handle is Wine's own failed start, which no case expects, as every case
// writes something: it is started once more, and said so. Any other
// failure stands.
inline TRunResult RunCase(const std::string& program, const TRunSetup& setup) {
    TRunResult result = RunProgram(program, setup);
#ifdef E2E_RETRY_SILENT_START
    if (!result.TimedOut && result.ExitCode != 0 && result.Output.empty() &&
        result.Errors.empty()) {
        std::printf("Wine ended with %d before the program wrote anything; starting it again\n",
                    result.ExitCode);
        result = RunProgram(program, setup);
    }
#endif
    return result;
}

// Runs program with the folder's input and handles; its output, report and
// exit code must be the folder's.
inline void ExpectTranscript(const std::string& program, const fs::path& folder) {
    const TRunResult result = RunCase(program, SetupFor(folder));
    ASSERT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, std::stoi(Slurp(folder / "exitcode")));
    EXPECT_EQ(result.Output, Slurp(folder / "output"));
    const std::string expectedErrors =
        fs::exists(folder / "errors") ? Slurp(folder / "errors") : std::string();
    EXPECT_TRUE(testsupport::MatchesMasked(result.Errors, ForModule(expectedErrors)));
}

} // namespace e2e
