// SPDX-License-Identifier: MIT
// Processor faults as exceptions and as run-time error codes.
#pragma once

#include <cstdint>

#include "foundation/faults.h"
#include "rterrors/exceptions.h"

namespace rterrors {

// The run-time error reason of a fault code; 22 for a code with no row.
std::uint8_t FaultReason(std::uint32_t code);

// A new exception for a fault, its FaultRecord pointing at record (which
// must outlive it). The FaultObjectHook of the error layer.
TObject* FaultToException(const foundation::TFaultRecord& record);

// EAccessViolation with the faulting and the accessed address.
Exception* MakeAccessViolation(const foundation::TFaultRecord& record);

// The run-time error code a fault stops the program with when the error
// layer's hooks are not in place; 255 for a code with no row.
std::uint8_t FaultToRunErrorCode(const foundation::TFaultRecord& record);

} // namespace rterrors
