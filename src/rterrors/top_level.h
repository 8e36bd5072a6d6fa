// SPDX-License-Identifier: MIT
// The outermost handler: every exception and every fault that nothing else
// takes ends here, in the report or in the fallback line.
#pragma once

#include <cstddef>

#include "foundation/faults.h"
#include "rterrors/exceptions.h"

namespace rterrors {

// Installs the fault handlers and runs body under the outermost catch and
// the outermost fault checkpoint. Ends the process; body is expected to end
// with EndProgram, and if it returns the program ends with ProcessExitCode.
[[noreturn]] void RunUnderTopLevelHandler(void (*body)());

// For a host that runs the program's code again and again in one process
// (a page): the fault handlers and the run-time layers, once.
void StartRepeatedRuns();

// Runs body(context) under the catches and the fault checkpoint of the
// outermost handler, for a host that goes on afterwards: where the program
// would end with its report (or its fallback line), that text goes into
// report instead (at most size - 1 bytes and a NUL), and false comes back.
// True when body came back.
bool RunReportingFailure(void (*body)(void*), void* context, char* report, std::size_t size);

// An exception object nobody handled: ExceptionHook, else run-time error 217.
[[noreturn]] void TopLevelHandler(TObject* object, TCodeAddress address);
// A fault nobody handled: its exception through FaultObjectHook and on as
// above; without the hook, its run-time error code.
[[noreturn]] void TopLevelHandler(const foundation::TFaultRecord& record);

} // namespace rterrors
