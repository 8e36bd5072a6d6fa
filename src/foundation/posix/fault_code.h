// SPDX-License-Identifier: MIT
// The choice of fault code from what a fault signal tells us, in plain
// numbers, so that every row can be tested without raising signals.
#pragma once

#include <cstdint>

#include "foundation/faults.h"

namespace foundation {

// What the signal handler knows about a fault. The processor's own fields
// are filled where the processor has them (processor_faults.h).
struct TSignalFacts {
    int Signal = 0;
    int SignalCode = 0;               // si_code
    std::uintptr_t SignalAddress = 0; // si_addr
    std::uint64_t TrapNumber = 0;     // processor exception vector
    std::uint64_t ErrorCode = 0;      // page-fault error code; bit 1 is a write
    std::uint16_t X87Control = 0;
    std::uint16_t X87Status = 0;
    bool HaveX87 = false;
    std::uint8_t Opcode[8] = {};  // instruction bytes at the fault, for general protection faults
    std::uintptr_t StackLow = 0;  // lowest address the main stack may reach
    std::uintptr_t StackHigh = 0; // its top
    std::uintptr_t InstructionAddress = 0; // the faulting instruction
    bool WriteAccess = false;              // an access fault that was a write
};

// The fault code for a fault signal; 0 for a signal that is not a fault.
std::uint32_t FaultCodeOf(const TSignalFacts& facts);

} // namespace foundation
