// SPDX-License-Identifier: MIT
// The aarch64 side of deciding a fault signal's kind. There is no x87:
// floating-point faults come from the software arithmetic, never as
// signals, and a privileged instruction is an undefined one (SIGILL).
#include "foundation/posix/processor_faults.h"

namespace foundation {

std::uint32_t ProcessorFloatFault(const TSignalFacts&) {
    return 0;
}

bool IsPrivilegedInstructionFault(const TSignalFacts&) {
    return false;
}

} // namespace foundation
