// The executable's load base, found through the program headers rather than
// through the code under test (the first object dl_iterate_phdr reports is
// the program), and the machine code at an address inside it.
#pragma once

#include <link.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// True when the instruction ending just before address is a direct call of
// target (E8 and a 32-bit displacement).
inline bool FollowsCallOf(std::uintptr_t address, const void* target) {
    const auto* code = reinterpret_cast<const unsigned char*>(address);
    if (code[-5] != 0xE8) {
        return false;
    }
    std::int32_t displacement;
    std::memcpy(&displacement, code - 4, sizeof displacement);
    return address + displacement == reinterpret_cast<std::uintptr_t>(target);
}

} // namespace testsupport
