// Runs each test under the program's control word (overflow, division by
// zero and invalid operation trapping) and restores the unit afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "foundation/x87.h"

namespace testsupport {

inline constexpr std::uint16_t ProgramControlWord = 0x1332;
inline constexpr std::uint16_t PlatformDefaultControlWord = 0x037F;

class TrappingFpuTest : public ::testing::Test {
protected:
    void SetUp() override { foundation::LoadControlWord(ProgramControlWord); }
    void TearDown() override { foundation::LoadControlWord(PlatformDefaultControlWord); }
};

// Bits of a double, for exact comparisons.
inline std::uint64_t DoubleBits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace testsupport
