// SPDX-License-Identifier: MIT
// The checkpoints' jump on Windows: __builtin_setjmp and __builtin_longjmp,
// not longjmp. mingw's longjmp unwinds the frames in between through the
// system's unwinder, which cannot walk from the landing stack of the fault
// handler and would run clean-up in frames the fault left half done;
// __builtin_longjmp restores only the frame pointer, the stack pointer and
// the resume address, as siglongjmp does on POSIX.
#pragma once

#include "foundation/faults.h"

namespace foundation {

// The frame pointer, the resume address and the stack pointer, and two
// words for the target's own use.
using TJumpBuffer = void* [5];

// __builtin_setjmp returns twice, so it cannot be wrapped in a function.
#define SURVEY_SET_JUMP(buffer) __builtin_setjmp(buffer)

[[noreturn]] inline void LongJump(TJumpBuffer& buffer) {
    __builtin_longjmp(buffer, 1);
}

// After a stack overflow, a guard page for the next one (fault_handlers.cpp).
void RestoreStackGuard();

inline void AfterFaultLanding(const TFaultRecord& fault) {
    if (fault.Code == FaultStackOverflow) {
        RestoreStackGuard();
    }
}

} // namespace foundation
