// SPDX-License-Identifier: MIT
// The x86 side of a fault's kind: the x87 unit's pending conditions and the
// instruction bytes of a general protection fault.
#include <csignal>
#include <cstdint>
#include <initializer_list>

#include <gtest/gtest.h>

#include "foundation/arithmetic_policy.h"
#include "foundation/posix/signal_facts.h"
#include "foundation/x86_64/traps.h"

namespace {

using namespace foundation;
using namespace posixtest;

constexpr std::uint16_t ProgramControl = ProgramControlWord;

TSignalFacts X87(int code, std::uint16_t control, std::uint16_t status) {
    TSignalFacts facts = Signal(SIGFPE, code);
    facts.HaveX87 = true;
    facts.X87Control = control;
    facts.X87Status = status;
    return facts;
}

TSignalFacts GeneralProtection(std::initializer_list<std::uint8_t> bytes) {
    TSignalFacts facts = Signal(SIGSEGV, SI_KERNEL);
    facts.TrapNumber = TrapGeneralProtection;
    int k = 0;
    for (std::uint8_t byte : bytes) {
        facts.Opcode[k++] = byte;
    }
    return facts;
}

class X86FaultCodeTest : public testing::TestWithParam<TFaultCase> {};

TEST_P(X86FaultCodeTest, MapsSignalToFaultCode) {
    EXPECT_EQ(FaultCodeOf(GetParam().Facts), GetParam().Expected);
}

// Status words carry the exception summary bit (0x80) as the unit sets it.
INSTANTIATE_TEST_SUITE_P(
    Signals, X86FaultCodeTest,
    testing::Values(
        // The unit's pending flags decide over si_code.
        TFaultCase{"X87Overflow", X87(FPE_FLTOVF, ProgramControl, 0x88), FaultFloatOverflow},
        TFaultCase{"X87ZeroDivide", X87(FPE_FLTDIV, ProgramControl, 0x84), FaultFloatDivideByZero},
        TFaultCase{"X87Invalid", X87(FPE_FLTINV, ProgramControl, 0x81), FaultFloatInvalid},
        TFaultCase{"X87StackFault", X87(FPE_FLTINV, ProgramControl, 0xC1), FaultFloatStackCheck},
        TFaultCase{"X87Denormal", X87(FPE_FLTUND, 0x1330, 0x82), FaultFloatDenormal},
        TFaultCase{"X87Underflow", X87(FPE_FLTUND, 0x1322, 0x90), FaultFloatUnderflow},
        TFaultCase{"X87Inexact", X87(FPE_FLTRES, 0x1312, 0xA0), FaultFloatInexact},
        // Only masked flags pending (the fault came from elsewhere): si_code decides.
        TFaultCase{"MaskedFlagsOnly", X87(FPE_FLTOVF, ProgramControl, 0x30), FaultFloatOverflow},
        TFaultCase{"Halt", GeneralProtection({0xF4}), FaultPrivilegedInstruction},
        TFaultCase{"PrefixedPortInput", GeneralProtection({0x66, 0xED}),
                   FaultPrivilegedInstruction},
        TFaultCase{"MoveToControlRegister", GeneralProtection({0x0F, 0x22, 0xD8}),
                   FaultPrivilegedInstruction},
        TFaultCase{"MoveToDebugRegister", GeneralProtection({0x0F, 0x23, 0xC0}),
                   FaultPrivilegedInstruction},
        // A general protection fault of an ordinary load (non-canonical address).
        TFaultCase{"NonCanonicalLoad", GeneralProtection({0x48, 0x8B, 0x00}), FaultAccessViolation},
        TFaultCase{"PrefixesOnly",
                   GeneralProtection({0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66}),
                   FaultAccessViolation}),
    CaseName);

} // namespace
