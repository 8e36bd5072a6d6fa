// SPDX-License-Identifier: MIT
// Which structured exceptions are processor faults, and the fault record
// for one, in plain values so that every case can be tested without
// raising it.
#pragma once

#include <windows.h>

#include "foundation/faults.h"

namespace foundation {

// True for the exception codes the processor raises (access violations,
// illegal and privileged instructions, arithmetic faults, stack overflow);
// false for exceptions raised by software, among them the C++ exceptions
// of the run-time libraries, and for debugger events.
bool IsProcessorFault(DWORD code);

// The fault record of a processor fault's exception record.
TFaultRecord DescribeFault(const EXCEPTION_RECORD& record);

} // namespace foundation
