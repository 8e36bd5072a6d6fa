// SPDX-License-Identifier: MIT
// Which loaded module holds a code address, for the error report.
#pragma once

#include <cstdint>

namespace foundation {

inline constexpr int ModuleNameCapacity = 261; // 260 characters and a zero

struct TModuleInfo {
    std::uintptr_t Base = 0;            // load base of the module
    char Name[ModuleNameCapacity] = {}; // its file name without directory
};

// Fills module for the module whose image holds address; false when no
// loaded module holds it (a null address, the heap, the stack, ...).
// The program itself is named by its executable's file name.
bool FindModule(std::uintptr_t address, TModuleInfo& module);

// The executable's own file name without directory.
const char* ProgramFileName();

} // namespace foundation
