// Helpers shared by the stream operation files.
#pragma once

#include "textio/text_stream.h"

namespace textio {

// Codes the stream layer stores besides the system's own.
inline constexpr std::int32_t CodeNotAStream = 102;
inline constexpr std::int32_t CodeNotOpen = 103;
inline constexpr std::int32_t CodeNotOpenForInput = 104;
inline constexpr std::int32_t CodeNotOpenForOutput = 105;

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
