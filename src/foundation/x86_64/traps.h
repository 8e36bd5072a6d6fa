// SPDX-License-Identifier: MIT
// x86 processor exception vectors, as a signal context reports them.
#pragma once

#include <cstdint>

namespace foundation {

inline constexpr std::uint64_t TrapGeneralProtection = 13;
inline constexpr std::uint64_t TrapPageFault = 14;

} // namespace foundation
