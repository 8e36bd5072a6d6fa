// SPDX-License-Identifier: MIT
// Statements that fault on purpose, for the tests of the fault paths. The
// accesses are written in assembly, per processor: in C++ they would be
// undefined behaviour, which a sanitizer build reports before the processor
// faults.
#pragma once

#include <cstdint>

#include "faulting_statements.h" // the processor's own, from support/<processor>/
#include "foundation/faults.h"

namespace testsupport {

// What a fault checkpoint gave back for a body run at it.
struct TCaught {
    bool CameBack = true;
    foundation::TFaultRecord Record;
};

// Runs body at a fault checkpoint of its own.
inline TCaught Catch(void (*body)()) {
    TCaught caught;
    caught.CameBack = foundation::RunWithFaultCheckpoint(
        [](void* context) { reinterpret_cast<void (*)()>(context)(); },
        reinterpret_cast<void*>(body), caught.Record);
    return caught;
}

inline void IllegalInstruction() {
    std::uintptr_t at = 0;
    IllegalInstructionAt(at);
}

// Recurses until the stack runs out.
[[gnu::noinline]] inline int Recurse(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (depth == -1) {
        return 0;
    }
    return Recurse(depth + 1) + pad[0];
}

} // namespace testsupport
