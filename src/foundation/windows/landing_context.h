// SPDX-License-Identifier: MIT
// The processor's side of the landing after a fault: a faulting thread's
// context rewritten so that, once the system restores it, the thread calls
// the landing routine on a stack of its own. One implementation per
// processor (windows-x86_64/).
#pragma once

#include <windows.h>

#include <cstdint>

namespace foundation {

// context continues in landing, entered as by a call, on the stack that
// ends at stackTop, with no floating-point exception pending.
void RedirectToLanding(CONTEXT& context, std::uintptr_t stackTop, void (*landing)());

} // namespace foundation
