// SPDX-License-Identifier: MIT
// How the program ends: the shutdown sequence, the exit code and the
// fallback "Runtime error" line for errors that no hook turns into an
// exception.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rterrors/exceptions.h"

namespace rterrors {

extern bool ConsoleProgram; // set first thing at start: the report is text on standard error
extern std::int32_t ProcessExitCode; // 0 unless set
extern TCodeAddress ErrorAddress;    // not 0 at shutdown: the fallback line is due

// "Runtime error     at 00000000": the code ends at position 16, the
// address digits at position 28. An offset that needs more than 8 digits
// widens the line instead of being cut.
inline constexpr std::size_t RunErrorLineCapacity = 40;
extern char RunErrorLine[RunErrorLineCapacity];
extern std::size_t RunErrorLineLength;

// Fills RunErrorLine from ProcessExitCode and ErrorAddress. The address is
// shown as its offset inside its module, as in the exception report, so an
// address of a 64-bit process keeps to the line's 8 digits.
void FormatRunErrorLine();
// Writes out pending standard output, then RunErrorLine and CR LF.
void WriteRunErrorLine();

// The shutdown sequence: the fallback line if due, the layers finalised,
// the fault handlers removed, the process ended with ProcessExitCode.
[[noreturn]] void EndProgram(std::int32_t code);
[[noreturn]] void StopWithRunError(std::int32_t code, TCodeAddress address);

} // namespace rterrors
