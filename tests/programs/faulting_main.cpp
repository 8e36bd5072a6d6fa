// SPDX-License-Identifier: MIT
// A test build of the program's entry that raises a processor fault on
// purpose, for the faults that the dialogue itself never causes. It starts
// as the program does, reads one number naming the fault from standard
// input and raises it; the report and the exit code are the top-level
// handler's, as for the program.
#include <cstdint>

#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"
#include "support/faulting.h"
#include "textio/number_input.h"
#include "textio/text_stream.h"

namespace {

enum TFault : std::int32_t {
    IllegalInstruction = 1,
    IntegerDivisionByZero = 2,
    StackOverflow = 3,
    NullRead = 4,
    ReadBeyondMemory = 5,
};

// Read through volatile objects, so that no compiler can see the fault
// coming and replace it by something else.
volatile std::int32_t Zero = 0;
volatile std::uintptr_t NullAddress = 0;
// Far above the data of a 32-bit address space.
volatile std::uintptr_t HighAddress = 0xFFFFFFF0;
volatile int DepthLimit = -1;

[[gnu::noinline]] int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth == DepthLimit) {
        return frame[0];
    }
    return Recurse(depth + 1) + frame[0];
}

// The faults are the point: a sanitizer must not stop them first.
__attribute__((no_sanitize("undefined"))) void RaiseFault(std::int32_t fault) {
    switch (fault) {
    case IllegalInstruction: testsupport::IllegalInstruction(); break;
    case IntegerDivisionByZero: Zero = 100 / Zero; break;
    case StackOverflow: Recurse(0); break;
    case NullRead: Zero = *reinterpret_cast<volatile std::int32_t*>(NullAddress); break;
    case ReadBeyondMemory: Zero = *reinterpret_cast<volatile std::int32_t*>(HighAddress); break;
    default: break;
    }
}

} // namespace

int main() {
    rterrors::ConsoleProgram = true;
    rterrors::RunUnderTopLevelHandler([] {
        rterrors::InitializeLayers();
        const std::int32_t fault = textio::ReadInteger(textio::InputStream);
        textio::ReadLineEnd(textio::InputStream);
        rterrors::CheckIo();
        RaiseFault(fault);
        rterrors::EndProgram(0);
    });
}
