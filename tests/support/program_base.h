// SPDX-License-Identifier: MIT
// The executable's load base, found through the program headers rather than
// through the code under test (the first object dl_iterate_phdr reports is
// the program), and the machine code at an address inside it.
#pragma once

#include <link.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace testsupport {

// The page where the first loaded segment starts: the load bias of a
// position-independent program, the fixed link address of another.
inline std::uintptr_t ProgramBase() {
    std::uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            std::uintptr_t lowest = UINTPTR_MAX;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const auto& segment = info->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD && segment.p_vaddr < lowest) lowest = segment.p_vaddr;
            }
            constexpr std::uintptr_t PageMask = 4095;
            *static_cast<std::uintptr_t*>(data) = (info->dlpi_addr + lowest) & ~PageMask;
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
