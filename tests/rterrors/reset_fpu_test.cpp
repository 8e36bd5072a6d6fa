// SPDX-License-Identifier: MIT
// ResetFpu on the x87 unit: its control and status words read back. The
// software arithmetic has no unit, so ResetFpu does nothing there and this
// file is left out with it.
#if !SURVEY_SOFT_EXTENDED

#include <gtest/gtest.h>

#include "foundation/x87/x87.h"
#include "rterrors/fpu_control.h"
#include "support/fpu_fixture.h"

namespace {

// Invalid operation, division by zero and overflow trap; 64-bit precision,
// rounding to nearest.
static_assert(foundation::ProgramControlWord == 0x1332);

TEST(X87ResetFpuTest, LoadsTheTrappingControlWordAndClearsFlags) {
    foundation::ResetArithmetic(testsupport::PlatformDefaultControlWord);
    volatile long double third = 1.0L;
    third = third / 3.0L; // sets the (masked) precision flag
    ASSERT_NE(foundation::ReadStatusWord() & 0x20, 0);

    // No override applies here: the unit runs with the program's own word.
    rterrors::ResetFpu();
    EXPECT_EQ(rterrors::DefaultFpuControlWord, 0x1332);
    EXPECT_EQ(foundation::ReadControlWord() & ~foundation::ControlWordReservedBits, 0x1332);
    EXPECT_EQ(foundation::ReadStatusWord() & 0x3F, 0);
    foundation::ResetArithmetic(testsupport::PlatformDefaultControlWord);
}

} // namespace

#endif
