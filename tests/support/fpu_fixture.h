// Runs each test under the program's control word (overflow, division by
// zero and invalid operation trapping) and restores the unit afterwards. A
// death test's child inherits the unit's state, so it traps as well.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "foundation/x87/x87.h"
#include "rterrors/fpu_control.h"

namespace testsupport {

inline constexpr std::uint16_t PlatformDefaultControlWord = 0x037F;

// Base is the fixture to extend, e.g. ::testing::TestWithParam<T> for a
// parameterised suite.
template <class Base = ::testing::Test> class TrappingFpu : public Base {
  protected:
    void SetUp() override { foundation::LoadControlWord(rterrors::DefaultFpuControlWord); }
    void TearDown() override { foundation::LoadControlWord(PlatformDefaultControlWord); }
};

using TrappingFpuTest = TrappingFpu<>;

// Bits of a double, for exact comparisons.
inline std::uint64_t DoubleBits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace testsupport
