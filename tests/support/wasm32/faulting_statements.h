// SPDX-License-Identifier: MIT
// The faulting statements of WebAssembly. There are no processor faults to
// catch: an access outside the linear memory, an unreachable instruction
// and an integer division by zero are traps that end the module's run.
// Address 0 lies inside the linear memory and reads without a fault.
#pragma once

#include <cstdint>

namespace testsupport {

inline void ReadAt(std::uintptr_t address) {
    (void)*reinterpret_cast<volatile std::int32_t*>(address);
}

inline void WriteAt(std::uintptr_t address) {
    *reinterpret_cast<volatile std::int32_t*>(address) = 1;
}

// An unreachable instruction; `at` is left 0, as code has no data address.
inline void IllegalInstructionAt(std::uintptr_t& at) {
    at = 0;
    __builtin_trap();
}

// A division by zero is a trap here, which no checkpoint takes.
inline constexpr bool IntegerDivisionTraps = false;
inline void DivideByZero() {}

inline constexpr bool HasPrivilegedInstruction = false;
inline void PrivilegedInstruction() {}

} // namespace testsupport
