// SPDX-License-Identifier: MIT
// The two questions behind the start-up override of the floating-point
// exception masks: what keyboard the machine has, and the mask value in the
// registry. Windows asks the system (windows/keyboard_type.cpp,
// windows/mask_value.cpp); a system with neither a keyboard query nor a
// registry answers "no such keyboard" and "no value" (posix/).
#pragma once

#include <cstdint>

namespace foundation {

struct TKeyboardType {
    std::int32_t Type = 0;    // 7: a Japanese keyboard; 0: unknown
    std::int32_t Subtype = 0; // the maker's subtype
};

// GetKeyboardType(0) and GetKeyboardType(1).
TKeyboardType QueryKeyboardType();

// Reads the value FPUMaskValue of the key HKEY_LOCAL_MACHINE\SOFTWARE\survey
// into value's four bytes, whatever the value's type; a shorter value
// replaces only its own bytes. The key is opened for querying values only
// and closed again whether or not the read succeeded. True when the value
// was read; false, with value unchanged, when the key or the value is
// missing or the value does not fit in four bytes.
bool ReadFpuMaskValue(std::uint32_t& value);

} // namespace foundation
