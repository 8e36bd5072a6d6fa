// SPDX-License-Identifier: MIT
// The fault facts of a Linux signal context on aarch64: the program
// counter, and for an access fault whether it was a write, from the
// exception syndrome the kernel saves among the context's records or, where
// none is saved (as under user-mode emulation), from the faulting
// instruction itself.
#include "foundation/aarch64/store_decoding.h"
#include "foundation/posix/processor_faults.h"

namespace foundation {

namespace {

// Exception classes of data aborts (from a lower level and the same one),
// and the syndrome's write-not-read bit.
constexpr std::uint64_t SyndromeClassShift = 26;
constexpr std::uint64_t DataAbortLower = 0x24;
constexpr std::uint64_t DataAbortSame = 0x25;
constexpr std::uint64_t SyndromeWriteBit = 1ULL << 6;

// The exception syndrome record, if the kernel saved one: the records in
// the context's reserved area end with a record of magic 0.
bool FindSyndrome(const mcontext_t& machine, std::uint64_t& syndrome) {
    const auto* at = reinterpret_cast<const unsigned char*>(machine.__reserved);
    const unsigned char* end = at + sizeof machine.__reserved;
    while (at + sizeof(_aarch64_ctx) <= end) {
        const auto* header = reinterpret_cast<const _aarch64_ctx*>(at);
        if (header->magic == 0 || header->size < sizeof(_aarch64_ctx)) {
            return false;
        }
        if (header->magic == ESR_MAGIC) {
            syndrome = reinterpret_cast<const esr_context*>(at)->esr;
            return true;
        }
        at += header->size;
    }
    return false;
}

} // namespace

TSignalFacts GatherFacts(int signal, const siginfo_t& info, const ucontext_t& context,
                         std::uintptr_t) {
    TSignalFacts facts;
    facts.Signal = signal;
    facts.SignalCode = info.si_code;
    facts.SignalAddress = reinterpret_cast<std::uintptr_t>(info.si_addr);
    facts.InstructionAddress = static_cast<std::uintptr_t>(context.uc_mcontext.pc);
    if (signal != SIGSEGV && signal != SIGBUS) {
        return facts;
    }
    std::uint64_t syndrome = 0;
    if (FindSyndrome(context.uc_mcontext, syndrome)) {
        const std::uint64_t kind = syndrome >> SyndromeClassShift;
        facts.WriteAccess =
            (kind == DataAbortLower || kind == DataAbortSame) && (syndrome & SyndromeWriteBit) != 0;
    } else if (facts.SignalAddress != facts.InstructionAddress) {
        // The instruction was fetched before its access faulted, so its
        // word is readable (unless the fault was the fetch itself).
        facts.WriteAccess =
            IsStoreInstruction(*reinterpret_cast<const std::uint32_t*>(facts.InstructionAddress));
    }
    return facts;
}

} // namespace foundation
