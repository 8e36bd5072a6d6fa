// SPDX-License-Identifier: MIT
// Code addresses for error reports.
#pragma once

#include <cstdint>

namespace foundation {

// The address the current function returns to: the instruction just after
// its call in the caller. Always inlined, so that it names the return
// address of the function it is written in; that function must not be
// inlined itself.
[[gnu::always_inline]] inline std::uintptr_t ReturnAddress() {
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

} // namespace foundation
