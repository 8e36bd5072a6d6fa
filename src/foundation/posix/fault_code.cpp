// SPDX-License-Identifier: MIT
// The choice of fault code from what a fault signal tells us. Kept apart
// from the handler so that every row can be tested with plain numbers.
#include <csignal>

#include "foundation/posix/fault_code.h"
#include "foundation/posix/processor_faults.h"

namespace foundation {

namespace {

// Space below the stack's lowest address in which a fault still counts as
// running off the stack: the system keeps a gap of this size under it.
constexpr std::uintptr_t StackGuardZone = 1024 * 1024;

std::uint32_t ArithmeticFault(const TSignalFacts& facts) {
    switch (facts.SignalCode) {
    case FPE_INTDIV: return FaultIntegerDivideByZero;
    case FPE_INTOVF: return FaultIntegerOverflow;
    default: break;
    }
    if (const std::uint32_t code = ProcessorFloatFault(facts)) {
        return code;
    }
    switch (facts.SignalCode) {
    case FPE_FLTDIV: return FaultFloatDivideByZero;
    case FPE_FLTOVF: return FaultFloatOverflow;
    case FPE_FLTUND: return FaultFloatUnderflow;
    case FPE_FLTRES: return FaultFloatInexact;
    case FPE_FLTSUB: return FaultArrayBounds;
    default: return FaultFloatInvalid;
    }
}

bool InStackGuard(const TSignalFacts& facts) {
    if (facts.StackHigh == 0 || facts.SignalAddress >= facts.StackHigh) {
        return false;
    }
    const std::uintptr_t floor =
        facts.StackLow > StackGuardZone ? facts.StackLow - StackGuardZone : 0;
    return facts.SignalAddress >= floor;
}

} // namespace

std::uint32_t FaultCodeOf(const TSignalFacts& facts) {
    switch (facts.Signal) {
    case SIGFPE: return ArithmeticFault(facts);
    case SIGILL:
        return (facts.SignalCode == ILL_PRVOPC || facts.SignalCode == ILL_PRVREG)
                   ? FaultPrivilegedInstruction
                   : FaultIllegalInstruction;
    case SIGSEGV:
        // A privileged instruction in user mode is a general protection
        // fault, which arrives as SIGSEGV sent by the kernel.
        if (IsPrivilegedInstructionFault(facts)) {
            return FaultPrivilegedInstruction;
        }
        return InStackGuard(facts) ? FaultStackOverflow : FaultAccessViolation;
    case SIGBUS: return FaultAccessViolation;
    default: return 0;
    }
}

} // namespace foundation
