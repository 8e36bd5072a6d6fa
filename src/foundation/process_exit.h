// SPDX-License-Identifier: MIT
// Ending the process.
#pragma once

#include <cstdint>

namespace foundation {

// Ends the process at once with the low 8 bits of code as its exit status.
// No static destructors and no atexit handlers run: the caller has already
// closed the streams, and nothing may touch them afterwards.
[[noreturn]] void ExitProcess(std::uint32_t code);

} // namespace foundation
