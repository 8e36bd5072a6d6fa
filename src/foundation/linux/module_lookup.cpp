// SPDX-License-Identifier: MIT
// Module lookup from the loaded images' program headers, and the
// program's own file name from the executable itself.
#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "foundation/module_lookup.h"
#include "foundation/module_name.h"

namespace foundation {

namespace {

constexpr std::size_t PathCapacity = 4096;

const char* WithoutDirectory(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// The kernel marks the link of a program whose file was deleted or
// replaced while it runs; the name is what it was before.
void DropDeletedMark(char* path, std::size_t length) {
    constexpr char Mark[] = " (deleted)";
    constexpr std::size_t MarkLength = sizeof Mark - 1;
    if (length > MarkLength && std::strcmp(path + length - MarkLength, Mark) == 0 &&
        access(path, F_OK) != 0) {
        path[length - MarkLength] = '\0';
    }
}

// The executable's path, from the executable itself: /proc/self/exe, or
// without /proc the name the kernel recorded at exec. Never argv[0], which
// the caller sets freely.
void FindExecutablePath(char (&path)[PathCapacity]) {
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        path[length] = '\0';
        DropDeletedMark(path, static_cast<std::size_t>(length));
        return;
    }
    const auto* recorded = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    const std::size_t kept = recorded != nullptr ? strnlen(recorded, sizeof path - 1) : 0;
    std::memcpy(path, recorded != nullptr ? recorded : "", kept);
    path[kept] = '\0';
}

// The loaded image whose segments hold Address, found from the program
// headers. dladdr knows no image in a statically linked program; the
// headers are there in every program.
struct TImageSearch {
    std::uintptr_t Address = 0;
    std::uintptr_t Base = 0;
    const char* Name = nullptr;
};

int MatchImage(dl_phdr_info* info, std::size_t, void* data) {
    TImageSearch& search = *static_cast<TImageSearch*>(data);
    std::uintptr_t lowest = UINTPTR_MAX;
    bool holds = false;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) {
            continue;
        }
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        lowest = start < lowest ? start : lowest;
        holds = holds || (search.Address >= start && search.Address - start < segment.p_memsz);
    }
    if (!holds) {
        return 0;
    }
    // The image's base is where its first page is mapped, as dladdr gives it.
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    search.Base = lowest & ~(pageSize - 1);
    search.Name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    return 1;
}

bool FindImage(std::uintptr_t address, TModuleInfo& module) {
    TImageSearch search;
    search.Address = address;
    if (dl_iterate_phdr(MatchImage, &search) == 0) {
        return false;
    }
    module.Base = search.Base;
    CopyModuleName(module.Name,
                   search.Name[0] == '\0' ? ProgramFileName() : WithoutDirectory(search.Name));
    return true;
}

} // namespace

const char* ProgramFileName() {
    static char path[PathCapacity];
    static const char* name = nullptr;
    if (name == nullptr) {
        FindExecutablePath(path);
        ReplaceControlCharacters(path);
        name = WithoutDirectory(path);
    }
    return name;
}

bool FindModule(std::uintptr_t address, TModuleInfo& module) {
    Dl_info info{};
    link_map* map = nullptr;
    if (address == 0) {
        return false;
    }
    if (dladdr1(reinterpret_cast<const void*>(address), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0) {
        return FindImage(address, module);
    }
    module.Base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    // The executable's own entry carries an empty name; dladdr would give
    // argv[0] for it, which need not be the file's name at all.
    const bool isProgram = map != nullptr && map->l_name[0] == '\0';
    const char* name = isProgram || info.dli_fname == nullptr ? ProgramFileName()
                                                              : WithoutDirectory(info.dli_fname);
    CopyModuleName(module.Name, name);
    return true;
}

} // namespace foundation
