// SPDX-License-Identifier: MIT
// The main thread's stack, for telling a stack overflow from another bad
// access. The system's own call: linux/stack_bounds.cpp.
#pragma once

#include <cstdint>

namespace foundation {

// Sets low and high to the lowest and the top address of the calling
// thread's stack; leaves them alone when the system does not say.
void FindMainStackBounds(std::uintptr_t& low, std::uintptr_t& high);

} // namespace foundation
