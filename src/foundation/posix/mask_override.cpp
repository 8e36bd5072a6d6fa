// SPDX-License-Identifier: MIT
// No keyboard query and no registry here: the floating-point masks are
// never overridden.
#include "foundation/mask_override.h"

namespace foundation {

TKeyboardType QueryKeyboardType() {
    return TKeyboardType{};
}

bool ReadFpuMaskValue(std::uint32_t&) {
    return false;
}

} // namespace foundation
