// SPDX-License-Identifier: MIT
// Runs the program once with its standard handles set up as a case asks and
// collects what it wrote and how it ended.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

enum class TInputKind { File, Pipe, Closed, Directory };
enum class TOutputKind {
    File,
    Pipe,
    Closed,
    Full,
    BrokenPipe,
    ReaderLeavesAfterFirstBlock,
    ReadOnlyFile,
    NullDevice // /dev/null opened for writing only
};

struct TRunSetup {
    std::string Input;
    TInputKind InputKind = TInputKind::File;
    TOutputKind OutputKind = TOutputKind::File;
    bool ErrorsClosed = false; // else standard error goes to a file
    int TimeoutSeconds = 20;
    // With ReaderLeavesAfterFirstBlock (and a pipe on standard input): the
    // runner writes Input, reads the first ReaderTakes bytes of output,
    // closes the read end, then writes InputAfterFirstBlock.
    std::string InputAfterFirstBlock;
    std::size_t ReaderTakes = 128;
    // The program's argv[0]; unset: the binary's path.
    std::optional<std::string> Argv0;
    // Words run ahead of the binary, the first being a program (an emulator
    // and its settings, a launcher); the binary's path follows them. Empty:
    // the binary itself is run.
    std::vector<std::string> Launcher;
    // Arguments after the binary's path.
    std::vector<std::string> Arguments;
    // The binary is a program of this machine rather than of the build (a
    // reference build beside one that runs under an emulator).
    bool HostProgram = false;
    // Runs in the child just before exec, its handles already in place.
    std::function<void()> InChild;
    // Runs in the runner once the child is started, before any input.
    std::function<void(pid_t)> AfterStart;
};

struct TRunResult {
    std::string Output; // a ReadOnlyFile: what the file holds afterwards
    std::string Errors;
    int ExitCode = -1; // -1 when the process did not exit normally
    int Signal = 0;    // the signal that ended it, if any
    bool TimedOut = false;
};

TRunResult RunProgram(const std::string& binary, const TRunSetup& setup);

// The words of a launcher given as one text with "|" between them, as a
// build passes them on a command line.
std::vector<std::string> LauncherWords(const std::string& text);

// Sets the handle kinds from a case's "handles" text: lines
// "stdin=file|pipe|closed|directory" and "stdout=file|pipe|closed|full|broken-pipe".
// False for a line it does not know.
bool ApplyHandles(const std::string& handles, TRunSetup& setup);

} // namespace e2e
