// SPDX-License-Identifier: MIT
// The faulting statements of the x86-64 processor, in assembly.
#pragma once

#include <cstdint>

namespace testsupport {

inline void ReadAt(std::uintptr_t address) {
    asm volatile("movl (%0), %%eax" : : "r"(address) : "eax", "memory");
}

inline void WriteAt(std::uintptr_t address) {
    asm volatile("movl $1, (%0)" : : "r"(address) : "memory");
}

// An undefined instruction; its address is stored in `at` first.
inline void IllegalInstructionAt(std::uintptr_t& at) {
    asm volatile("lea 1f(%%rip), %%rax\n\tmov %%rax, %0\n1:\tud2" : "=m"(at) : : "rax");
}

// An integer division by zero, which traps here.
inline constexpr bool IntegerDivisionTraps = true;
inline void DivideByZero() {
    int zero = 0;
    asm volatile("mov $1, %%eax\n\tcltd\n\tidivl %0" : : "r"(zero) : "eax", "edx");
}

// An instruction that only the kernel may run: hlt.
inline constexpr bool HasPrivilegedInstruction = true;
inline void PrivilegedInstruction() {
    asm volatile("hlt");
}

} // namespace testsupport
