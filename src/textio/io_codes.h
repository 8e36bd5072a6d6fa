// SPDX-License-Identifier: MIT
// The I/O result codes IoResultCode holds besides the system's own error
// codes, which pass through unchanged: those of the stream layer and the
// number readers, and the codes the error messages know by name.
#pragma once

#include <cstdint>

namespace textio {

inline constexpr std::int32_t CodeFileNotFound = 2;
inline constexpr std::int32_t CodeInvalidFilename = 3;
inline constexpr std::int32_t CodeTooManyOpenFiles = 4;
inline constexpr std::int32_t CodeAccessDenied = 5;
inline constexpr std::int32_t CodeReadBeyondEnd = 100;
inline constexpr std::int32_t CodeDiskFull = 101;
inline constexpr std::int32_t CodeNotAStream = 102;          // the Mode field holds no mode value
inline constexpr std::int32_t CodeNotOpen = 103;             // closing or flushing a closed stream
inline constexpr std::int32_t CodeNotOpenForInput = 104;     // a first-use open for reading failed
inline constexpr std::int32_t CodeNotOpenForOutput = 105;    // a first-use open for writing failed
inline constexpr std::int32_t CodeInvalidNumericInput = 106; // a token that is no number

} // namespace textio
