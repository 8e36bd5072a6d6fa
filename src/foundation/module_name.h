// SPDX-License-Identifier: MIT
// The module name as the report shows it, the same on every platform.
#pragma once

#include <cstring>

#include "foundation/module_lookup.h"

namespace foundation {

// A control character in a file name must not add lines to the report.
inline void ReplaceControlCharacters(char* name) {
    for (; *name != '\0'; ++name) {
        if (static_cast<unsigned char>(*name) < ' ') {
            *name = '?';
        }
    }
}

// Copies name into target, cut to the report's capacity.
inline void CopyModuleName(char (&target)[ModuleNameCapacity], const char* name) {
    std::size_t length = std::strlen(name);
    if (length > ModuleNameCapacity - 1) {
        length = ModuleNameCapacity - 1;
    }
    std::memcpy(target, name, length);
    target[length] = '\0';
    ReplaceControlCharacters(target);
}

} // namespace foundation
