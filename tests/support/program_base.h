// The executable's load base, found through the program headers rather than
// through the code under test: the first object dl_iterate_phdr reports is
// the program.
#pragma once

#include <link.h>

#include <cstddef>
#include <cstdint>

namespace testsupport {

inline std::uintptr_t ProgramBase() {
    std::uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            *static_cast<std::uintptr_t*>(data) = info->dlpi_addr;
            return 1;
        },
        &base);
    return base;
}

} // namespace testsupport
