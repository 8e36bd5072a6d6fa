// SPDX-License-Identifier: MIT
// Runs each test under the program's control word (overflow, division by
// zero and invalid operation trapping) and restores the unit afterwards. A
// death test's child inherits the unit's state, so it traps as well. The
// software arithmetic has no unit: it always works, and faults, as the x87
// does under that control word.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/arithmetic_policy.h"
#include "foundation/extended.h"
#include "foundation/faults.h"

namespace testsupport {

inline constexpr std::uint16_t PlatformDefaultControlWord = 0x037F;

// Base is the fixture to extend, e.g. ::testing::TestWithParam<T> for a
// parameterised suite.
template <class Base = ::testing::Test> class TrappingFpu : public Base {
  protected:
    void SetUp() override { foundation::ResetArithmetic(foundation::ProgramControlWord); }
    void TearDown() override { foundation::ResetArithmetic(PlatformDefaultControlWord); }
};

using TrappingFpuTest = TrappingFpu<>;

// Bits of a double, for exact comparisons.
inline std::uint64_t DoubleBits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Keeps the compiler from working out an operation on the value at compile
// time, so that it runs, and faults, where the test has it.
inline foundation::Extended OpaqueExtended(foundation::Extended value) {
    const foundation::ExtendedBits bits = foundation::BitsOf(value);
    const volatile std::uint64_t significand = bits.Significand;
    const volatile std::uint16_t signExponent = bits.SignExponent;
    return foundation::ExtendedFromBits({significand, signExponent});
}

// Exit code of a death test's child whose statement faulted in ExitWithFault.
inline constexpr int FaultedExitCode = 3;

// What ExitWithFault writes on standard error for the fault code.
inline std::string FaultText(std::uint32_t code) {
    char text[24];
    std::snprintf(text, sizeof text, "fault %08X", static_cast<unsigned>(code));
    return text;
}

// For death tests of arithmetic faults: runs statement at a fault
// checkpoint, as the program runs its body, and ends the process with
// FaultedExitCode and FaultText of the caught fault on standard error, or
// with 0 when statement came back. A trap of the x87 and a fault raised by
// the software arithmetic reach the checkpoint alike.
template <class TStatement> [[noreturn]] void ExitWithFault(TStatement statement) {
    foundation::InstallFaultHandlers();
    foundation::TFaultRecord fault;
    const bool cameBack = foundation::RunWithFaultCheckpoint(
        [](void* context) {
            (*static_cast<TStatement*>(context))();
            foundation::RaisePendingFaults(); // an exception the x87 still holds traps here
        },
        &statement, fault);
    if (cameBack) {
        std::_Exit(0);
    }
    std::fprintf(stderr, "%s\n", FaultText(fault.Code).c_str());
    std::fflush(stderr);
    std::_Exit(FaultedExitCode);
}

} // namespace testsupport
