// SPDX-License-Identifier: MIT
#include "foundation/process_exit.h"

#include <windows.h>

namespace foundation {

void ExitProcess(std::uint32_t code) {
    ::ExitProcess(code & 0xFF);
}

} // namespace foundation
