// SPDX-License-Identifier: MIT
#include <unistd.h>

#include "foundation/process_exit.h"

namespace foundation {

// The host ends the run with the code: Node.js exits with it, the page
// shows it. No destructors and no exit handlers of the program run.
void ExitProcess(std::uint32_t code) {
    _exit(static_cast<int>(code & 0xFF));
}

} // namespace foundation
