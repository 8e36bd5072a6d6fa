// SPDX-License-Identifier: MIT
// Linked into a test build of the program in place of the system's keyboard
// query: the machine has a Japanese keyboard of subtype 0x0D00, on which the
// program takes its floating-point masks from the registry value.
#include "foundation/mask_override.h"

namespace foundation {

TKeyboardType QueryKeyboardType() {
    return TKeyboardType{7, 0x0D00};
}

} // namespace foundation
