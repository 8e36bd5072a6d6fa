// Statements that fault on purpose, for the tests of the fault paths. The
// accesses are written in assembly: in C++ they would be undefined
// behaviour, which a sanitizer build reports before the processor faults.
#pragma once

#include <cstdint>

#include "foundation/faults.h"

namespace testsupport {

// What a fault checkpoint gave back for a body run at it.
struct TCaught {
    bool CameBack = true;
    foundation::TFaultRecord Record;
};

// Runs body at a fault checkpoint of its own.
inline TCaught Catch(void (*body)()) {
    TCaught caught;
    caught.CameBack = foundation::RunWithFaultCheckpoint(
        [](void* context) { reinterpret_cast<void (*)()>(context)(); },
        reinterpret_cast<void*>(body), caught.Record);
    return caught;
}

#if defined(__x86_64__)

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

#elif defined(__aarch64__)

inline void ReadAt(std::uintptr_t address) {
    asm volatile("ldr w9, [%0]" : : "r"(address) : "w9", "memory");
}

inline void WriteAt(std::uintptr_t address) {
    asm volatile("mov w9, #1\n\tstr w9, [%0]" : : "r"(address) : "w9", "memory");
}

// A permanently undefined instruction; its address is stored in `at` first.
inline void IllegalInstructionAt(std::uintptr_t& at) {
    asm volatile("adr x9, 1f\n\tstr x9, %0\n1:\tudf #0" : "=m"(at) : : "x9");
}

#endif

inline void IllegalInstruction() {
    std::uintptr_t at = 0;
    IllegalInstructionAt(at);
}

// Recurses until the stack runs out.
[[gnu::noinline]] inline int Recurse(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (depth == -1) {
        return 0;
    }
    return Recurse(depth + 1) + pad[0];
}

} // namespace testsupport
