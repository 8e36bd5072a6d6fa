// SPDX-License-Identifier: MIT
// Helpers shared by the stream operation files.
#pragma once

#include "foundation/platform_io.h"
#include "textio/io_codes.h"
#include "textio/text_stream.h"

namespace textio {

inline constexpr std::uint8_t CharLf = 10;
inline constexpr std::uint8_t CharCr = 13;

// An empty slot does nothing and succeeds, so a record that was never
// given its slots cannot jump through a null pointer.
inline std::int32_t CallSlot(TStreamOp op, TTextStream& stream) {
    return op != nullptr ? op(stream) : 0;
}

// The system's code for the call that just failed, as a stream status.
inline std::int32_t LastSystemError() {
    return static_cast<std::int32_t>(foundation::GetLastError());
}

inline bool IsOpenForOutput(const TTextStream& stream) {
    return stream.Mode == ModeOutput || stream.Mode == ModeInOut;
}

} // namespace textio
