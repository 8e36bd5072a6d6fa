// SPDX-License-Identifier: MIT
// The one table from errno to the system error codes of platform_io.h.
#pragma once

#include <cstdint>

namespace foundation {

enum class TTransfer { Read, Write };

// errno of a failed call to the system error code; the direction matters
// only for EPIPE (end of input on a read, a closed pipe on a write).
std::uint32_t TranslateErrno(int error, TTransfer direction);

} // namespace foundation
