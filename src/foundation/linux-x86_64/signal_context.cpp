// SPDX-License-Identifier: MIT
// The fault facts of a Linux signal context on x86-64 (glibc's layout of
// the saved registers): the trap number and page fault error code, the x87
// control and status words, and for a general protection fault the
// instruction's bytes.
#include <cstring>

#include "foundation/posix/processor_faults.h"
#include "foundation/x86_64/traps.h"

namespace foundation {

namespace {
constexpr std::uint64_t PageFaultWrite = 0x2;
} // namespace

TSignalFacts GatherFacts(int signal, const siginfo_t& info, const ucontext_t& context,
                         std::uintptr_t pageSize) {
    const greg_t* registers = context.uc_mcontext.gregs;
    TSignalFacts facts;
    facts.Signal = signal;
    facts.SignalCode = info.si_code;
    facts.SignalAddress = reinterpret_cast<std::uintptr_t>(info.si_addr);
    facts.InstructionAddress = static_cast<std::uintptr_t>(registers[REG_RIP]);
    facts.TrapNumber = static_cast<std::uint64_t>(registers[REG_TRAPNO]);
    facts.ErrorCode = static_cast<std::uint64_t>(registers[REG_ERR]);
    facts.WriteAccess = facts.TrapNumber == TrapPageFault && (facts.ErrorCode & PageFaultWrite);
    if (context.uc_mcontext.fpregs != nullptr) {
        facts.HaveX87 = true;
        facts.X87Control = context.uc_mcontext.fpregs->cwd;
        facts.X87Status = context.uc_mcontext.fpregs->swd;
    }
    // A general protection fault is raised only after the instruction was
    // fetched, so its bytes are readable; stay inside their page.
    if (signal == SIGSEGV && info.si_code == SI_KERNEL &&
        facts.TrapNumber == TrapGeneralProtection) {
        std::size_t count = pageSize - facts.InstructionAddress % pageSize;
        if (count > sizeof facts.Opcode) {
            count = sizeof facts.Opcode;
        }
        std::memcpy(facts.Opcode, reinterpret_cast<const void*>(facts.InstructionAddress), count);
    }
    return facts;
}

} // namespace foundation
