#include <gtest/gtest.h>

#include "foundation/x87/x87.h"
#include "rterrors/fpu_control.h"

namespace {

TEST(ResetFpuTest, LoadsTheTrappingControlWordAndClearsFlags) {
    foundation::LoadControlWord(0x037F);
    volatile long double third = 1.0L;
    third = third / 3.0L; // sets the (masked) precision flag
    ASSERT_NE(foundation::ReadStatusWord() & 0x20, 0);

    rterrors::ResetFpu();
    EXPECT_EQ(foundation::ReadControlWord() & ~foundation::ControlWordReservedBits, 0x1332);
    EXPECT_EQ(foundation::ReadStatusWord() & 0x3F, 0);
    foundation::LoadControlWord(0x037F);
}

} // namespace
