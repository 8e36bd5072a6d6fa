#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "foundation/module_lookup.h"

namespace foundation {

namespace {

constexpr std::size_t PathCapacity = 4096;

const char* WithoutDirectory(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void CopyName(char (&target)[ModuleNameCapacity], const char* name) {
    std::size_t length = std::strlen(name);
    if (length > ModuleNameCapacity - 1) {
        length = ModuleNameCapacity - 1;
    }
    std::memcpy(target, name, length);
    target[length] = '\0';
}

} // namespace

const char* ProgramFileName() {
    static char path[PathCapacity];
    static const char* name = nullptr;
    if (name == nullptr) {
        const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
        if (length > 0) {
            path[length] = '\0';
            name = WithoutDirectory(path);
        } else {
            name = program_invocation_short_name;
        }
    }
    return name;
}

bool FindModule(std::uintptr_t address, TModuleInfo& module) {
    Dl_info info{};
    link_map* map = nullptr;
    if (address == 0 ||
        dladdr1(reinterpret_cast<const void*>(address), &info,
                reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) {
        return false;
    }
    module.Base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    // The executable's own entry carries an empty name; dladdr would give
    // argv[0] for it, which need not be the file's name at all.
    const bool isProgram = map != nullptr && map->l_name[0] == '\0';
    const char* name = isProgram || info.dli_fname == nullptr ? ProgramFileName()
                                                              : WithoutDirectory(info.dli_fname);
    CopyName(module.Name, name);
    return true;
}

} // namespace foundation
