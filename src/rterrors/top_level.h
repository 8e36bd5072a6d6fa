// The outermost handler: every exception and every fault that nothing else
// takes ends here, in the report or in the fallback line.
#pragma once

#include "foundation/faults.h"
#include "rterrors/exceptions.h"

namespace rterrors {

// Installs the fault handlers and runs body under the outermost catch and
// the outermost fault checkpoint. Ends the process; body is expected to end
// with EndProgram, and if it returns the program ends with ProcessExitCode.
[[noreturn]] void RunUnderTopLevelHandler(void (*body)());

// An exception object nobody handled: ExceptionHook, else run-time error 217.
[[noreturn]] void TopLevelHandler(TObject* object, TCodeAddress address);
// A fault nobody handled: its exception through FaultObjectHook and on as
// above; without the hook, its run-time error code.
[[noreturn]] void TopLevelHandler(const foundation::TFaultRecord& record);

} // namespace rterrors
