// SPDX-License-Identifier: MIT
// Reading: the one place input bytes come from, refills and line ends.
#include "foundation/platform_io.h"
#include "textio/stream_slots.h"

namespace textio {

namespace {
constexpr TInputChar EndOfFile{EndOfFileChar, true};
}

TInputChar NextInputChar(TTextStream& stream) {
    if (stream.Mode != ModeInput && !EnsureInputOpen(stream)) return EndOfFile;
    const bool crLf = (stream.Flags & CrLfFlag) != 0;
    for (;;) {
        if (stream.BufferPos < stream.BufferEnd) {
            const std::uint8_t byte = stream.BufferPtr[stream.BufferPos];
            // The end-of-file byte stays where it is, so every later call
            // stops at it again without reading the handle.
            if (crLf && byte == EndOfFileChar) return EndOfFile;
            ++stream.BufferPos;
            return {byte, false};
        }
        const std::int32_t status = CallSlot(stream.TransferOp, stream);
        if (status != 0) {
            SetIoResult(status);
            return EndOfFile;
        }
        if (stream.BufferPos < stream.BufferEnd) continue;
        // End of input: leave an end-of-file byte behind to make it permanent.
        if (crLf && stream.BufferPos < stream.BufferSize) {
            stream.BufferPtr[stream.BufferPos] = EndOfFileChar;
            stream.BufferEnd = stream.BufferPos + 1;
        }
        return EndOfFile;
    }
}

std::int32_t FillBuffer(TTextStream& stream) {
    stream.BufferEnd = 0;
    stream.BufferPos = 0;
    std::uint32_t count = 0;
    if (foundation::ReadFile(stream.Handle, stream.BufferPtr, stream.BufferSize, count)) {
        stream.BufferEnd = count;
        return 0;
    }
    const std::uint32_t code = foundation::GetLastError();
    // A writer that went away is the end of the input, not a failure.
    return code == foundation::ErrorBrokenPipe ? 0 : static_cast<std::int32_t>(code);
}

// A CR ends the line only together with the LF right after it.
void ReadLineEnd(TTextStream& stream) {
    for (;;) {
        TInputChar next = NextInputChar(stream);
        if (next.AtEnd || next.Char == CharLf) return;
        if (next.Char != CharCr) continue;
        next = NextInputChar(stream);
        if (next.AtEnd || next.Char == CharLf) return;
        GiveBackChar(stream);
    }
}

} // namespace textio
