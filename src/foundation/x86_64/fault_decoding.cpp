// SPDX-License-Identifier: MIT
// The x86 side of deciding a fault's kind: the x87 unit's pending
// conditions for a SIGFPE, and the instruction bytes of a general
// protection fault, which is a privileged instruction or a bad access.
#include <csignal>

#include "foundation/arithmetic_policy.h"
#include "foundation/posix/processor_faults.h"
#include "foundation/x86_64/traps.h"

namespace foundation {

namespace {

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

// True for the opcodes that fault only because they are privileged.
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

} // namespace

std::uint32_t ProcessorFloatFault(const TSignalFacts& facts) {
    return facts.HaveX87 ? FloatFaultFromX87(facts.X87Control, facts.X87Status) : 0;
}

bool IsPrivilegedInstructionFault(const TSignalFacts& facts) {
    return facts.SignalCode == SI_KERNEL && facts.TrapNumber == TrapGeneralProtection &&
           IsPrivilegedOpcode(facts.Opcode, sizeof facts.Opcode);
}

} // namespace foundation
