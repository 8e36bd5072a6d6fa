// SPDX-License-Identifier: MIT
// What only the processor can tell about a fault signal. GatherFacts reads
// the system's layout of the interrupted context, so it lives in the folder
// of the system and processor together (linux-x86_64/, linux-aarch64/); the
// other two decide from the facts alone, in the processor's folder
// (x86_64/, aarch64/).
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

// The floating-point fault the processor's own record names for a SIGFPE;
// 0 when it names none, and si_code decides.
std::uint32_t ProcessorFloatFault(const TSignalFacts& facts);

// True when a SIGSEGV was raised by an instruction that is only forbidden
// in user mode, rather than by a memory access.
bool IsPrivilegedInstructionFault(const TSignalFacts& facts);

} // namespace foundation
