// SPDX-License-Identifier: MIT
#include "rterrors/program_exit.h"

#include <cstring>

#include "foundation/faults.h"
#include "foundation/platform_io.h"
#include "foundation/process_exit.h"
#include "rterrors/error_report.h"
#include "rterrors/layers.h"
#include "rterrors/run_errors.h"
#include "rterrors/text_format.h"
#include "textio/text_stream.h"

namespace rterrors {

bool ConsoleProgram = false;
std::int32_t ProcessExitCode = 0;
TCodeAddress ErrorAddress = 0;

char RunErrorLine[RunErrorLineCapacity];
std::size_t RunErrorLineLength = 0;

namespace {

constexpr char RunErrorTemplate[] = "Runtime error     at 00000000";
constexpr std::size_t CodeLastPosition = 16;
constexpr std::size_t AddressFirstPosition = 21;
constexpr char LineEnd[] = "\r\n";

} // namespace

void FormatRunErrorLine() {
    std::memcpy(RunErrorLine, RunErrorTemplate, sizeof RunErrorTemplate);
    RunErrorLineLength = sizeof RunErrorTemplate - 1;

    auto code = static_cast<std::uint32_t>(ProcessExitCode);
    std::size_t position = CodeLastPosition;
    do {
        RunErrorLine[position--] = static_cast<char>('0' + code % 10);
        code /= 10;
    } while (code != 0);

    // The address digits replace the template's eight zeros; an offset that
    // needs more digits widens the line.
    foundation::TModuleInfo module;
    const TCodeAddress offset = LocateCodeAddress(ErrorAddress, module);
    RunErrorLineLength =
        AddressFirstPosition + FormatText(RunErrorLine + AddressFirstPosition,
                                          RunErrorLineCapacity - AddressFirstPosition, "%p",
                                          {TFormatArg::Unsigned(offset)});
}

void WriteRunErrorLine() {
    // Pending output first; like the line's own writes, its result is not
    // looked at.
    textio::FlushStream(textio::OutputStream);
    const foundation::THandle handle = foundation::GetStdHandle(foundation::StdOutputHandle);
    std::uint32_t written = 0;
    foundation::WriteFile(handle, RunErrorLine, static_cast<std::uint32_t>(RunErrorLineLength),
                          written);
    foundation::WriteFile(handle, LineEnd, sizeof LineEnd - 1, written);
}

// On a file or a pipe the last lines of the dialogue, the results among
// them, leave the buffer only now. If that write fails they are lost, so
// the run must not end as a success: the failure is checked like that of
// any write statement and ends the run with its report.
void WriteOutFinalOutput() {
    textio::FlushStream(textio::OutputStream);
    CheckIo();
}

void EndProgram(std::int32_t code) {
    if (code == 0 && ErrorAddress == 0) {
        WriteOutFinalOutput();
    }
    ProcessExitCode = code;
    if (ErrorAddress != 0) {
        FormatRunErrorLine();
        WriteRunErrorLine();
        ErrorAddress = 0;
    }
    FinalizeLayers();
    foundation::RemoveFaultHandlers();
    foundation::ExitProcess(static_cast<std::uint32_t>(ProcessExitCode));
}

void StopWithRunError(std::int32_t code, TCodeAddress address) {
    ErrorAddress = address;
    EndProgram(code);
}

} // namespace rterrors
