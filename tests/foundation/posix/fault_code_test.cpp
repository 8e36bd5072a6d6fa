#include <csignal>
#include <cstdint>
#include <initializer_list>

#include <gtest/gtest.h>

#include "foundation/posix/fault_code.h"
#include "rterrors/fpu_control.h"

namespace {

using namespace foundation;

constexpr std::uint16_t ProgramControl = rterrors::DefaultFpuControlWord;
constexpr std::uintptr_t StackLow = 0x7FFF00000000;
constexpr std::uintptr_t StackHigh = 0x7FFF00800000;

struct TFaultCase {
    const char* Name;
    TSignalFacts Facts;
    std::uint32_t Expected;
};

TSignalFacts Signal(int signal, int code, std::uintptr_t address = 0) {
    TSignalFacts facts;
    facts.Signal = signal;
    facts.SignalCode = code;
    facts.SignalAddress = address;
    facts.StackLow = StackLow;
    facts.StackHigh = StackHigh;
    return facts;
}

TSignalFacts X87(int code, std::uint16_t control, std::uint16_t status) {
    TSignalFacts facts = Signal(SIGFPE, code);
    facts.HaveX87 = true;
    facts.X87Control = control;
    facts.X87Status = status;
    return facts;
}

TSignalFacts GeneralProtection(std::initializer_list<std::uint8_t> bytes) {
    TSignalFacts facts = Signal(SIGSEGV, SI_KERNEL);
    facts.TrapNumber = 13;
    int k = 0;
    for (std::uint8_t byte : bytes) {
        facts.Opcode[k++] = byte;
    }
    return facts;
}

class FaultCodeTest : public testing::TestWithParam<TFaultCase> {};

TEST_P(FaultCodeTest, MapsSignalToFaultCode) {
    EXPECT_EQ(FaultCodeOf(GetParam().Facts), GetParam().Expected);
}

// Status words carry the exception summary bit (0x80) as the unit sets it.
INSTANTIATE_TEST_SUITE_P(
    Signals, FaultCodeTest,
    testing::Values(
        TFaultCase{"IntegerDivide", Signal(SIGFPE, FPE_INTDIV), FaultIntegerDivideByZero},
        TFaultCase{"IntegerOverflow", Signal(SIGFPE, FPE_INTOVF), FaultIntegerOverflow},
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
        TFaultCase{"NoX87Divide", Signal(SIGFPE, FPE_FLTDIV), FaultFloatDivideByZero},
        TFaultCase{"NoX87Invalid", Signal(SIGFPE, FPE_FLTINV), FaultFloatInvalid},
        TFaultCase{"Subscript", Signal(SIGFPE, FPE_FLTSUB), FaultArrayBounds},
        TFaultCase{"IllegalOpcode", Signal(SIGILL, ILL_ILLOPN), FaultIllegalInstruction},
        TFaultCase{"PrivilegedOpcode", Signal(SIGILL, ILL_PRVOPC), FaultPrivilegedInstruction},
        TFaultCase{"PrivilegedRegister", Signal(SIGILL, ILL_PRVREG), FaultPrivilegedInstruction},
        TFaultCase{"NullRead", Signal(SIGSEGV, SEGV_MAPERR, 0), FaultAccessViolation},
        TFaultCase{"ReadOnlyWrite", Signal(SIGSEGV, SEGV_ACCERR, 0x601000), FaultAccessViolation},
        TFaultCase{"BusError", Signal(SIGBUS, BUS_ADRERR, 0x601000), FaultAccessViolation},
        TFaultCase{"JustBelowStack", Signal(SIGSEGV, SEGV_MAPERR, StackLow - 8),
                   FaultStackOverflow},
        // The system's guard gap below the stack is 1 MiB.
        TFaultCase{"AtGuardZoneFloor", Signal(SIGSEGV, SEGV_MAPERR, StackLow - 0x100000),
                   FaultStackOverflow},
        TFaultCase{"BelowGuardZoneFloor", Signal(SIGSEGV, SEGV_MAPERR, StackLow - 0x100001),
                   FaultAccessViolation},
        TFaultCase{"FarBelowStack", Signal(SIGSEGV, SEGV_MAPERR, StackLow - 0x200000),
                   FaultAccessViolation},
        TFaultCase{"AboveStack", Signal(SIGSEGV, SEGV_MAPERR, StackHigh), FaultAccessViolation},
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
                   FaultAccessViolation},
        TFaultCase{"NotAFault", Signal(SIGTERM, 0), 0u}),
    [](const testing::TestParamInfo<TFaultCase>& info) { return std::string(info.param.Name); });

} // namespace
