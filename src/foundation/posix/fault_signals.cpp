// SPDX-License-Identifier: MIT
// The fault signal handlers.
//
// A fault cannot become a C++ exception inside the signal handler: throwing
// out of a handler is not supported for code compiled without
// -fnon-call-exceptions, and almost nothing is safe to call there. So the
// handler only describes the fault and raises it at the innermost checkpoint
// (fault_checkpoint.cpp), whose RunWithFaultCheckpoint then returns false
// and ordinary code carries on from there.
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include "foundation/fault_checkpoint.h"
#include "foundation/posix/processor_faults.h"
#include "foundation/posix/stack_bounds.h"

namespace foundation {

namespace {

constexpr int FaultSignals[] = {SIGFPE, SIGSEGV, SIGBUS, SIGILL};
constexpr int FaultSignalCount = sizeof FaultSignals / sizeof FaultSignals[0];

// The handler must run somewhere when the stack itself has run out.
constexpr std::size_t AltStackSize = 64 * 1024;
alignas(16) unsigned char AltStack[AltStackSize];

struct sigaction PreviousActions[FaultSignalCount];
bool HandlersInstalled = false;
// Read once at installation: sysconf is not safe inside a handler.
std::uintptr_t PageSize = 0;
std::uintptr_t StackLow = 0;
std::uintptr_t StackHigh = 0;

TFaultRecord DescribeFault(const TSignalFacts& facts) {
    TFaultRecord record;
    record.Code = FaultCodeOf(facts);
    record.Address = facts.InstructionAddress;
    if (facts.Signal == SIGSEGV || facts.Signal == SIGBUS) {
        record.AccessedAddress = facts.SignalAddress;
        record.AccessKind = facts.WriteAccess ? AccessWrite : AccessRead;
    }
    return record;
}

void FaultHandler(int signal, siginfo_t* info, void* rawContext) {
    // A fault signal sent by another process, or a fault with no checkpoint
    // to go to, takes the default action: the disposition is reset and the
    // signal comes again (raised here, or by the faulting instruction).
    if (info->si_code <= 0 || !HaveFaultCheckpoint()) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(signal, &fallback, nullptr);
        if (info->si_code <= 0) {
            raise(signal);
        }
        return;
    }
    TSignalFacts facts =
        GatherFacts(signal, *info, *static_cast<const ucontext_t*>(rawContext), PageSize);
    facts.StackLow = StackLow;
    facts.StackHigh = StackHigh;
    RaiseFault(DescribeFault(facts));
}

} // namespace

void InstallFaultHandlers() {
    if (HandlersInstalled) {
        return;
    }
    PageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    stack_t altStack{};
    altStack.ss_sp = AltStack;
    altStack.ss_size = AltStackSize;
    sigaltstack(&altStack, nullptr);
    FindMainStackBounds(StackLow, StackHigh);

    struct sigaction action {};
    action.sa_sigaction = FaultHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigfillset(&action.sa_mask);
    // A fault signal blocked by whoever started us would not reach the
    // handler: the kernel kills the process at the fault instead.
    sigset_t faultSignals;
    sigemptyset(&faultSignals);
    for (int k = 0; k < FaultSignalCount; ++k) {
        sigaction(FaultSignals[k], &action, &PreviousActions[k]);
        sigaddset(&faultSignals, FaultSignals[k]);
    }
    sigprocmask(SIG_UNBLOCK, &faultSignals, nullptr);
    HandlersInstalled = true;
}

void RemoveFaultHandlers() {
    if (!HandlersInstalled) {
        return;
    }
    for (int k = 0; k < FaultSignalCount; ++k) {
        sigaction(FaultSignals[k], &PreviousActions[k], nullptr);
    }
    HandlersInstalled = false;
}

} // namespace foundation
