// SPDX-License-Identifier: MIT
// The vectored exception handler.
//
// A processor fault reaches the vectored handler before any frame-based
// handler, the C++ run-time's among them. The handler only describes the
// fault in a static record; it does not leave the system's dispatch itself.
// It rewrites the faulting thread's context so that, once it answers
// EXCEPTION_CONTINUE_EXECUTION and the system has restored that context,
// the thread runs LandAtCheckpoint on a small stack of its own, and that
// routine raises the fault at the innermost checkpoint (fault_checkpoint.cpp).
//
// - Continuing, not jumping out of the handler: the system finishes its
//   dispatch and restores registers and floating-point state in full.
// - A stack of its own: after a stack overflow the faulting stack has no
//   room left for anything.
#include <windows.h>

#include "foundation/fault_checkpoint.h"
#include "foundation/windows/fault_jump.h"
#include "foundation/windows/fault_record.h"
#include "foundation/windows/landing_context.h"

namespace foundation {

namespace {

// Room the system keeps for the handler when the stack overflows.
constexpr ULONG StackGuarantee = 16 * 1024;

// The fault the landing raises.
TFaultRecord LandingFault;
PVOID HandlerEntry = nullptr;

constexpr std::size_t LandingStackSize = 4096;
alignas(16) unsigned char LandingStack[LandingStackSize];

[[noreturn]] void LandAtCheckpoint() {
    RaiseFault(LandingFault);
}

LONG CALLBACK FaultHandler(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    // Not a fault, or no checkpoint to go to: the frames' handlers and,
    // after them, the system decide, as if this handler were not there.
    if (!IsProcessorFault(record.ExceptionCode) || !HaveFaultCheckpoint()) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    LandingFault = DescribeFault(record);
    RedirectToLanding(*pointers->ContextRecord,
                      reinterpret_cast<std::uintptr_t>(LandingStack + LandingStackSize),
                      &LandAtCheckpoint);
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

// After an overflow the system has spent the stack's guard page, and a
// second overflow would end the process without a word. A guard page goes
// back just below the page in use, as long as that leaves the two lowest
// pages and the guaranteed room below it; from there the system moves it
// down as the stack grows, up to the next overflow.
void RestoreStackGuard() {
    MEMORY_BASIC_INFORMATION stack{};
    if (VirtualQuery(&stack, &stack, sizeof stack) == 0) {
        return;
    }
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t page = system.dwPageSize;
    ULONG guarantee = 0; // 0 asks for the current guarantee
    SetThreadStackGuarantee(&guarantee);
    const std::uintptr_t guard = (reinterpret_cast<std::uintptr_t>(&stack) & ~(page - 1)) - page;
    const std::uintptr_t floor =
        reinterpret_cast<std::uintptr_t>(stack.AllocationBase) + 2 * page + guarantee;
    if (guard < floor) {
        return;
    }
    void* const at = reinterpret_cast<void*>(guard);
    DWORD previous = 0;
    if (VirtualAlloc(at, page, MEM_COMMIT, PAGE_READWRITE) != nullptr) {
        VirtualProtect(at, page, PAGE_READWRITE | PAGE_GUARD, &previous);
    }
}

void InstallFaultHandlers() {
    if (HandlerEntry != nullptr) {
        return;
    }
    ULONG guarantee = StackGuarantee;
    SetThreadStackGuarantee(&guarantee);
    HandlerEntry = AddVectoredExceptionHandler(1, FaultHandler);
}

void RemoveFaultHandlers() {
    if (HandlerEntry == nullptr) {
        return;
    }
    RemoveVectoredExceptionHandler(HandlerEntry);
    HandlerEntry = nullptr;
}

} // namespace foundation
