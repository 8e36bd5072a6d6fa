// SPDX-License-Identifier: MIT
// The checkpoints' jump on POSIX: sigsetjmp keeps the signal mask, so a
// fault signal, blocked while its handler runs, is unblocked again when the
// handler jumps back to a checkpoint.
#pragma once

#include <setjmp.h>

#include "foundation/faults.h"

namespace foundation {

using TJumpBuffer = sigjmp_buf;

// sigsetjmp returns twice, so it cannot be wrapped in a function.
#define SURVEY_SET_JUMP(buffer) sigsetjmp(buffer, 1)

[[noreturn]] inline void LongJump(TJumpBuffer& buffer) {
    siglongjmp(buffer, 1);
}

inline void AfterFaultLanding(const TFaultRecord&) {}

} // namespace foundation
