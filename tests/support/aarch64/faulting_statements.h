// SPDX-License-Identifier: MIT
// The faulting statements of the 64-bit ARM processor, in assembly.
#pragma once

#include <cstdint>

namespace testsupport {

inline void ReadAt(std::uintptr_t address) {
    asm volatile("ldr w9, [%0]" : : "r"(address) : "w9", "memory");
}

inline void WriteAt(std::uintptr_t address) {
    asm volatile("mov w9, #1\n\tstr w9, [%0]" : : "r"(address) : "w9", "memory");
}

// A store pair, whose load/store encoding differs from a single store's.
inline void WritePairAt(std::uintptr_t address) {
    asm volatile("mov w9, #1\n\tstp w9, w9, [%0]" : : "r"(address) : "w9", "memory");
}

// A permanently undefined instruction; its address is stored in `at` first.
inline void IllegalInstructionAt(std::uintptr_t& at) {
    asm volatile("adr x9, 1f\n\tstr x9, %0\n1:\tudf #0" : "=m"(at) : : "x9");
}

// An integer division by zero gives 0 here; nothing traps.
inline constexpr bool IntegerDivisionTraps = false;
inline void DivideByZero() {
    asm volatile("mov w9, #1\n\tsdiv w9, w9, wzr" : : : "w9");
}

// A system register of a higher level reads as an undefined instruction,
// not as a privileged one.
inline constexpr bool HasPrivilegedInstruction = false;
inline void PrivilegedInstruction() {}

} // namespace testsupport
