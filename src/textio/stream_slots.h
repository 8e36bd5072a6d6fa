// SPDX-License-Identifier: MIT
// Helpers shared by the stream operation files.
#pragma once

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

inline bool IsOpenForOutput(const TTextStream& stream) {
    return stream.Mode == ModeOutput || stream.Mode == ModeInOut;
}

} // namespace textio
