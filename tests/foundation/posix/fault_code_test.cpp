// SPDX-License-Identifier: MIT
#include <csignal>

#include <gtest/gtest.h>

#include "foundation/posix/signal_facts.h"

namespace {

using namespace foundation;
using namespace posixtest;

class FaultCodeTest : public testing::TestWithParam<TFaultCase> {};

TEST_P(FaultCodeTest, MapsSignalToFaultCode) {
    EXPECT_EQ(FaultCodeOf(GetParam().Facts), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, FaultCodeTest,
    testing::Values(
        TFaultCase{"IntegerDivide", Signal(SIGFPE, FPE_INTDIV), FaultIntegerDivideByZero},
        TFaultCase{"IntegerOverflow", Signal(SIGFPE, FPE_INTOVF), FaultIntegerOverflow},
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
        TFaultCase{"NotAFault", Signal(SIGTERM, 0), 0u}),
    CaseName);

} // namespace
