#include "rterrors/program_exit.h"

#include <cstring>

#include "foundation/faults.h"
#include "foundation/platform_io.h"
#include "foundation/process_exit.h"
#include "rterrors/error_report.h"
#include "rterrors/layers.h"
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
constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr char LineEnd[] = "\r\n";

int HexDigitCount(TCodeAddress value) {
    int count = 1;
    while (value >>= 4) {
        ++count;
    }
    return count;
}

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

    foundation::TModuleInfo module;
    TCodeAddress offset = LocateCodeAddress(ErrorAddress, module);
    const int digits = HexDigitCount(offset) > 8 ? HexDigitCount(offset) : 8;
    RunErrorLineLength = AddressFirstPosition + digits;
    for (std::size_t k = RunErrorLineLength; k > AddressFirstPosition; offset >>= 4) {
        RunErrorLine[--k] = HexDigits[offset & 0xF];
    }
    RunErrorLine[RunErrorLineLength] = '\0';
}

void WriteRunErrorLine() {
    textio::TTextStream& output = textio::OutputStream;
    if ((output.Mode == textio::ModeOutput || output.Mode == textio::ModeInOut) &&
        output.BufferPos > 0 && output.TransferOp != nullptr) {
        output.TransferOp(output);
    }
    const foundation::THandle handle = foundation::GetStdHandle(foundation::StdOutputHandle);
    std::uint32_t written = 0;
    foundation::WriteFile(handle, RunErrorLine, static_cast<std::uint32_t>(RunErrorLineLength),
                          written);
    foundation::WriteFile(handle, LineEnd, sizeof LineEnd - 1, written);
}

void EndProgram(std::int32_t code) {
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

[[gnu::noinline]] void StopWithRunErrorHere(std::int32_t code) {
    StopWithRunError(code, reinterpret_cast<TCodeAddress>(__builtin_return_address(0)));
}

} // namespace rterrors
