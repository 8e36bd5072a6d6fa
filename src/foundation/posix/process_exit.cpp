// SPDX-License-Identifier: MIT
#include <unistd.h>

#include "foundation/process_exit.h"

namespace foundation {

void ExitProcess(std::uint32_t code) {
    _exit(static_cast<int>(code & 0xFF));
}

} // namespace foundation
