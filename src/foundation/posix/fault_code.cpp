// The choice of fault code from what a fault signal tells us. Kept apart
// from the handler so that every row can be tested with plain numbers.
#include <csignal>

#include "foundation/arithmetic_policy.h"
#include "foundation/posix/fault_code.h"

namespace foundation {

namespace {

// Space below the stack's lowest address in which a fault still counts as
// running off the stack: the system keeps a gap of this size under it.
constexpr std::uintptr_t StackGuardZone = 1024 * 1024;

// Set in the status word with the invalid-operation flag when the register
// stack over- or underflowed.
constexpr std::uint16_t X87StackFault = 0x40;

// The unit's own record says which unmasked condition is pending; it is
// finer than si_code (stack faults and denormal operands have no si_code).
std::uint32_t FloatFaultFromX87(std::uint16_t control, std::uint16_t status) {
    const std::uint16_t pending = status & FaultingConditions(control);
    if (pending & ConditionInvalid) {
        return (status & X87StackFault) ? FaultFloatStackCheck : FaultFloatInvalid;
    }
    if (pending & ConditionZeroDivide) return FaultFloatDivideByZero;
    if (pending & ConditionOverflow) return FaultFloatOverflow;
    if (pending & ConditionDenormal) return FaultFloatDenormal;
    if (pending & ConditionUnderflow) return FaultFloatUnderflow;
    if (pending & ConditionInexact) return FaultFloatInexact;
    return 0;
}

std::uint32_t ArithmeticFault(const TSignalFacts& facts) {
    switch (facts.SignalCode) {
    case FPE_INTDIV: return FaultIntegerDivideByZero;
    case FPE_INTOVF: return FaultIntegerOverflow;
    default: break;
    }
    if (facts.HaveX87) {
        if (const std::uint32_t code = FloatFaultFromX87(facts.X87Control, facts.X87Status)) {
            return code;
        }
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

bool IsLegacyPrefix(std::uint8_t byte) {
    switch (byte) {
    case 0x26:
    case 0x2E:
    case 0x36:
    case 0x3E:
    case 0x64:
    case 0x65:
    case 0x66:
    case 0x67:
    case 0xF0:
    case 0xF2:
    case 0xF3: return true;
    default: return (byte & 0xF0) == 0x40; // REX
    }
}

} // namespace

bool IsPrivilegedOpcode(const std::uint8_t* bytes, int count) {
    int at = 0;
    while (at < count && IsLegacyPrefix(bytes[at])) {
        ++at;
    }
    if (at >= count) {
        return false;
    }
    const std::uint8_t op = bytes[at];
    switch (op) {
    case 0xF4: // hlt
    case 0xFA:
    case 0xFB: // cli, sti
    case 0x6C:
    case 0x6D:
    case 0x6E:
    case 0x6F: // ins, outs
    case 0xE4:
    case 0xE5:
    case 0xE6:
    case 0xE7: // in, out with an immediate port
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF: // in, out through dx
        return true;
    case 0x0F: break;
    default: return false;
    }
    if (at + 1 >= count) {
        return false;
    }
    const std::uint8_t second = bytes[at + 1];
    return second == 0x01                        // descriptor tables, machine status
           || second == 0x06                     // clts
           || second == 0x08 || second == 0x09   // invd, wbinvd
           || (second >= 0x20 && second <= 0x23) // moves to and from control and debug registers
           || second == 0x30 || second == 0x32;  // wrmsr, rdmsr
}

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
        if (facts.SignalCode == SI_KERNEL && facts.TrapNumber == TrapGeneralProtection &&
            IsPrivilegedOpcode(facts.Opcode, sizeof facts.Opcode)) {
            return FaultPrivilegedInstruction;
        }
        return InStackGuard(facts) ? FaultStackOverflow : FaultAccessViolation;
    case SIGBUS: return FaultAccessViolation;
    default: return 0;
    }
}

} // namespace foundation
