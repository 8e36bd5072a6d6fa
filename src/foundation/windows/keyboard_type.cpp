// SPDX-License-Identifier: MIT
// The keyboard's type, alone in its file: a test build that plays a machine
// with another keyboard links its own QueryKeyboardType instead.
#include "foundation/mask_override.h"

#include <windows.h>

namespace foundation {

TKeyboardType QueryKeyboardType() {
    return TKeyboardType{GetKeyboardType(0), GetKeyboardType(1)};
}

} // namespace foundation
