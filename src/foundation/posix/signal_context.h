// Reading a fault signal's processor context: one implementation per
// processor (signal_context_x86_64.cpp, signal_context_aarch64.cpp).
#pragma once

#include <signal.h>
#include <ucontext.h>

#include <cstdint>

#include "foundation/posix/fault_code.h"

namespace foundation {

// The facts of a fault signal from its siginfo and interrupted context,
// all but the stack bounds. Safe inside the signal handler.
TSignalFacts GatherFacts(int signal, const siginfo_t& info, const ucontext_t& context,
                         std::uintptr_t pageSize);

} // namespace foundation
