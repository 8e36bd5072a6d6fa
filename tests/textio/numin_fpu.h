// Test fixture running each test under the program's trapping control word
// (overflow, division by zero and invalid operation fault) and restoring the
// platform default afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/x87.h"

namespace numin {

inline constexpr std::uint16_t TrappingControlWord = 0x1332;
inline constexpr std::uint16_t PlatformControlWord = 0x037F;

class TrappingFpu : public ::testing::Test {
protected:
    void SetUp() override { foundation::LoadControlWord(TrappingControlWord); }
    void TearDown() override { foundation::LoadControlWord(PlatformControlWord); }
};

} // namespace numin
