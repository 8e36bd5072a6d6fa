// SPDX-License-Identifier: MIT
// Whether an aarch64 load/store instruction writes memory, from its
// encoding alone: plain numbers, testable on any processor.
#pragma once

#include <cstdint>

namespace foundation {

bool IsStoreInstruction(std::uint32_t word);

} // namespace foundation
