// Module lookup by memory region: the region holding an address belongs to
// an allocation whose base is a module's load address exactly when the
// system knows a file name for that base.
#include "foundation/module_lookup.h"
#include "foundation/module_name.h"

#include <windows.h>

namespace foundation {

namespace {

constexpr DWORD PathCapacity = MAX_PATH + 1; // 261, the report's limit

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
        const DWORD length = GetModuleFileNameA(nullptr, path, PathCapacity);
        path[length < PathCapacity ? length : PathCapacity - 1] = '\0';
        name = WithoutDirectory(path);
    }
    return name;
}

bool FindModule(std::uintptr_t address, TModuleInfo& module) {
    MEMORY_BASIC_INFORMATION region{};
    if (address == 0 ||
        VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) == 0 ||
        region.State != MEM_COMMIT) {
        return false;
    }
    char path[PathCapacity];
    const DWORD length =
        GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), path, PathCapacity);
    if (length == 0) {
        return false;
    }
    path[length < PathCapacity ? length : PathCapacity - 1] = '\0';
    module.Base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
    CopyModuleName(module.Name, WithoutDirectory(path));
    return true;
}

} // namespace foundation
