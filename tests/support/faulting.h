// Statements that fault on purpose, for the tests of the fault paths. The
// accesses are written in assembly: in C++ they would be undefined
// behaviour, which a sanitizer build reports before the processor faults.
#pragma once

#include <cstdint>

namespace testsupport {

// Keeps the compiler from folding an operation on the value at compile time.
inline long double Opaque(long double value) {
    volatile long double held = value;
    return held;
}

inline void ReadAt(std::uintptr_t address) {
    asm volatile("movl (%0), %%eax" : : "r"(address) : "eax", "memory");
}

inline void WriteAt(std::uintptr_t address) {
    asm volatile("movl $1, (%0)" : : "r"(address) : "memory");
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
