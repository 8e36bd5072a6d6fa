// SPDX-License-Identifier: MIT
// The checkpoints' jump in WebAssembly: setjmp and longjmp, which the
// toolchain builds from the host's exception handling. No processor fault
// ever needs it; the software arithmetic's faults do.
#pragma once

#include <setjmp.h>

#include "foundation/faults.h"

namespace foundation {

using TJumpBuffer = jmp_buf;

// setjmp returns twice, so it cannot be wrapped in a function.
#define SURVEY_SET_JUMP(buffer) setjmp(buffer)

[[noreturn]] inline void LongJump(TJumpBuffer& buffer) {
    longjmp(buffer, 1);
}

inline void AfterFaultLanding(const TFaultRecord&) {}

} // namespace foundation
