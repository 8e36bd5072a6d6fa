// SPDX-License-Identifier: MIT
// The fault checkpoints, the same on every platform: a stack of jump
// buffers in the frames of RunWithFaultCheckpoint, innermost first, and the
// record of the fault on its way to the innermost one. The jump is the
// platform's own (fault_jump.h in the system's folder): it restores only
// the stack and frame pointers and the resume address, and the frames
// jumped over are dropped without unwinding. That is sound because nothing
// between a checkpoint and a fault owns a resource that must be released.
// What RunWithFaultCheckpoint reads after the jump is static or lives in
// its frame, fixed before the jump buffer was filled.
#include "fault_jump.h"

#include "foundation/fault_checkpoint.h"
#include "foundation/faults.h"
#include "foundation/process_exit.h"

namespace foundation {

namespace {

constexpr int ExitWithoutCheckpoint = 255;

struct TCheckpoint {
    TJumpBuffer Buffer;
    TCheckpoint* Outer = nullptr;
};

TCheckpoint* CurrentCheckpoint = nullptr;
TFaultRecord PendingFault;

// Makes the enclosing checkpoint current again however the inner one is left.
struct TCheckpointScope {
    TCheckpoint Checkpoint;
    TCheckpointScope() { Checkpoint.Outer = CurrentCheckpoint; }
    ~TCheckpointScope() { CurrentCheckpoint = Checkpoint.Outer; }
};

} // namespace

bool HaveFaultCheckpoint() {
    return CurrentCheckpoint != nullptr;
}

bool RunWithFaultCheckpoint(void (*body)(void*), void* context, TFaultRecord& fault) {
    TCheckpointScope scope;
    if (SURVEY_SET_JUMP(scope.Checkpoint.Buffer) != 0) {
        CurrentCheckpoint = scope.Checkpoint.Outer;
        fault = PendingFault;
        AfterFaultLanding(fault);
        return false;
    }
    // The scope's destructor puts the outer checkpoint back, so the global
    // never outlives the checkpoint it points to.
    // cppcheck-suppress danglingLifetime
    CurrentCheckpoint = &scope.Checkpoint;
    body(context);
    return true;
}

void RaiseFault(const TFaultRecord& fault) {
    if (CurrentCheckpoint == nullptr) {
        ExitProcess(ExitWithoutCheckpoint);
    }
    PendingFault = fault;
    LongJump(CurrentCheckpoint->Buffer);
}

} // namespace foundation
