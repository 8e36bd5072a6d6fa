// Runs the program once with its standard handles set up as a case asks and
// collects what it wrote and how it ended.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace e2e {

enum class TInputKind { File, Pipe, Closed, Directory };
enum class TOutputKind { File, Pipe, Closed, Full, BrokenPipe, ReaderLeavesAfterFirstBlock };

struct TRunSetup {
    std::string Input;
    TInputKind InputKind = TInputKind::File;
    TOutputKind OutputKind = TOutputKind::File;
    int TimeoutSeconds = 20;
    // With ReaderLeavesAfterFirstBlock (and a pipe on standard input): the
    // runner writes Input, reads the first ReaderTakes bytes of output,
    // closes the read end, then writes InputAfterFirstBlock.
    std::string InputAfterFirstBlock;
    std::size_t ReaderTakes = 128;
    // The program's argv[0]; unset: the binary's path.
    std::optional<std::string> Argv0;
    // Runs in the child just before exec, its handles already in place.
    std::function<void()> InChild;
    // Runs in the runner once the child is started, before any input.
    std::function<void(pid_t)> AfterStart;
};

struct TRunResult {
    std::string Output;
    std::string Errors;
    int ExitCode = -1;  // -1 when the process did not exit normally
    int Signal = 0;     // the signal that ended it, if any
    bool TimedOut = false;
};

// Reads what arrives on fd until `wanted` has been seen, the descriptor
// ends, or the time is up; returns everything read.
std::string ReadUntil(int fd, const std::string& wanted, int milliseconds);

TRunResult RunProgram(const std::string& binary, const TRunSetup& setup);

// Replaces the address digits of each report line by "########"; false when
// a report line's address is not 8 or more upper-case hexadecimal digits.
bool MaskReportAddresses(std::string& errors);

} // namespace e2e
