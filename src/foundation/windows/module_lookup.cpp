// SPDX-License-Identifier: MIT
// Module lookup by memory region: the region holding an address belongs to
// an allocation whose base is a module's load address exactly when the
// system knows a file name for that base.
#include "foundation/module_lookup.h"
#include "foundation/module_name.h"

#include <windows.h>

namespace foundation {

namespace {

// A module's whole path must fit, or its last component would be a piece
// of a directory. The system's longest path has 32767 UTF-16 units, and
// each takes at most three bytes in the ANSI code page (UTF-8 among them).
// The buffers are static: a report after a stack overflow or with the heap
// exhausted needs neither, and one thread makes the reports.
constexpr DWORD LongestPath = 32767;
constexpr DWORD PathCapacity = 3 * LongestPath + 1;

char ModulePath[PathCapacity];

// The module's whole file name in path; false when the system knows none.
bool FindModulePath(HMODULE module, char (&path)[PathCapacity]) {
    const DWORD length = GetModuleFileNameA(module, path, PathCapacity);
    if (length == 0) {
        return false;
    }
    // A path cut at the capacity, which the system's limit rules out, at
    // least ends here.
    path[length < PathCapacity ? length : PathCapacity - 1] = '\0';
    return true;
}

// The file name after the last backslash or drive colon, extension kept.
const char* WithoutDirectory(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == ':') {
            name = at + 1;
        }
    }
    return name;
}

} // namespace

const char* ProgramFileName() {
    static char path[PathCapacity];
    static const char* name = nullptr;
    if (name == nullptr) {
        name = FindModulePath(nullptr, path) ? WithoutDirectory(path) : "";
    }
    return name;
}

bool FindModule(std::uintptr_t address, TModuleInfo& module) {
    MEMORY_BASIC_INFORMATION region{};
    if (address == 0 ||
        VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) == 0 ||
        region.State != MEM_COMMIT ||
        !FindModulePath(static_cast<HMODULE>(region.AllocationBase), ModulePath)) {
        return false;
    }
    module.Base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
    CopyModuleName(module.Name, WithoutDirectory(ModulePath));
    return true;
}

} // namespace foundation
