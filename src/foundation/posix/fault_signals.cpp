// The fault signal handlers and the checkpoints they return to.
//
// A fault cannot become a C++ exception inside the signal handler: throwing
// out of a handler is not supported for code compiled without
// -fnon-call-exceptions, and almost nothing is safe to call there. So the
// handler only describes the fault in a static record and siglongjmps to
// the innermost checkpoint, whose RunWithFaultCheckpoint then returns false
// and ordinary code carries on from there. The frames jumped over are lost
// without unwinding; that is sound because the program keeps no clean-up in
// them (nothing between the checkpoint and the fault owns a resource that
// must be released). The state read after the jump is either static or
// fixed in the checkpoint's frame before sigsetjmp, so nothing there needs
// to survive in registers.
#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include "foundation/posix/signal_context.h"
#include "foundation/process_exit.h"

namespace foundation {

namespace {

constexpr int FaultSignals[] = {SIGFPE, SIGSEGV, SIGBUS, SIGILL};
constexpr int FaultSignalCount = sizeof FaultSignals / sizeof FaultSignals[0];

// The handler must run somewhere when the stack itself has run out.
constexpr std::size_t AltStackSize = 64 * 1024;
alignas(16) unsigned char AltStack[AltStackSize];

constexpr int ExitWithoutCheckpoint = 255;

struct sigaction PreviousActions[FaultSignalCount];
bool HandlersInstalled = false;
// Read once at installation: sysconf is not safe inside a handler.
std::uintptr_t PageSize = 0;
std::uintptr_t StackLow = 0;
std::uintptr_t StackHigh = 0;

sigjmp_buf* CurrentCheckpoint = nullptr;
TFaultRecord PendingFault;

void FindStackBounds() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) {
        return;
    }
    void* low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &low, &size) == 0) {
        StackLow = reinterpret_cast<std::uintptr_t>(low);
        StackHigh = StackLow + size;
    }
    pthread_attr_destroy(&attributes);
}

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
    if (info->si_code <= 0 || CurrentCheckpoint == nullptr) {
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
    PendingFault = DescribeFault(facts);
    siglongjmp(*CurrentCheckpoint, 1);
}

// Makes the enclosing checkpoint current again however the inner one is left.
struct TCheckpointScope {
    sigjmp_buf Buffer;
    sigjmp_buf* const Outer = CurrentCheckpoint;
    ~TCheckpointScope() { CurrentCheckpoint = Outer; }
};

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
    FindStackBounds();

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

bool RunWithFaultCheckpoint(void (*body)(void*), void* context, TFaultRecord& fault) {
    TCheckpointScope scope;
    // The saved signal mask (second argument) unblocks the fault signal
    // again when the handler jumps back here.
    if (sigsetjmp(scope.Buffer, 1) != 0) {
        CurrentCheckpoint = scope.Outer;
        fault = PendingFault;
        return false;
    }
    CurrentCheckpoint = &scope.Buffer;
    body(context);
    return true;
}

void RaiseFault(const TFaultRecord& fault) {
    if (CurrentCheckpoint == nullptr) {
        ExitProcess(ExitWithoutCheckpoint);
    }
    PendingFault = fault;
    siglongjmp(*CurrentCheckpoint, 1);
}

} // namespace foundation
