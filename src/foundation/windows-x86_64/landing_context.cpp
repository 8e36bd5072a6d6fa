// SPDX-License-Identifier: MIT
// The landing on x86-64: the stack and instruction pointers of the context,
// and its x87 state.
#include "foundation/windows/landing_context.h"

namespace foundation {

namespace {

// Below the top: the return slot and the caller's 32-byte spill area that
// a routine entered by a call may use.
constexpr std::uintptr_t LandingFrameReserve = 48;

// The x87 state the landing continues with: the control word as it was,
// every register empty, no exception flag pending. A pending unmasked flag
// would fault again at the next x87 instruction that waits.
void ClearX87Exceptions(CONTEXT& context) {
    context.FltSave.StatusWord = 0;
    context.FltSave.TagWord = 0; // abridged tag word: every register empty
}

} // namespace

void RedirectToLanding(CONTEXT& context, std::uintptr_t stackTop, void (*landing)()) {
    ClearX87Exceptions(context);
    context.Rsp = stackTop - LandingFrameReserve - sizeof(void*);
    context.Rip = reinterpret_cast<DWORD64>(landing);
}

} // namespace foundation
