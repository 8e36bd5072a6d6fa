// SPDX-License-Identifier: MIT
// Writing: bytes into the buffer, blanks for field widths, line ends, and
// the drain that hands a full buffer to the system.
#include <array>
#include <cstring>

#include "foundation/platform_io.h"
#include "textio/stream_slots.h"

namespace textio {

namespace {

constexpr std::int32_t BlankBlockSize = 64;

constexpr auto BlankBlock = [] {
    std::array<char, BlankBlockSize> block{};
    block.fill(' ');
    return block;
}();

void CopyIn(TTextStream& stream, const char* bytes, std::uint32_t count) {
    if (count == 0) return;
    std::memcpy(stream.BufferPtr + stream.BufferPos, bytes, count);
    stream.BufferPos += count;
}

// Blanks ahead of a text of `length` characters in a field of `width`.
void PadTo(TTextStream& stream, std::int32_t width, std::size_t length) {
    if (static_cast<std::int64_t>(width) > static_cast<std::int64_t>(length)) {
        WriteBlanks(stream, width - static_cast<std::int32_t>(length));
    }
}

} // namespace

TTextStream& WriteChars(TTextStream& stream, const char* bytes, std::uint32_t count) {
    if (stream.Mode != ModeOutput && !EnsureOutputOpen(stream)) return stream;
    for (;;) {
        const std::uint32_t space =
            stream.BufferPos < stream.BufferSize ? stream.BufferSize - stream.BufferPos : 0;
        if (space > count) {
            CopyIn(stream, bytes, count);
            return stream;
        }
        // The buffer goes out the moment it is full, also when filled exactly.
        CopyIn(stream, bytes, space);
        stream.BufferPos = stream.BufferSize;
        bytes += space;
        count -= space;
        const std::int32_t status = CallSlot(stream.TransferOp, stream);
        if (status != 0) {
            SetIoResult(status);
            return stream;
        }
    }
}

TTextStream& WriteBlanks(TTextStream& stream, std::int32_t count) {
    while (count > BlankBlockSize) {
        WriteChars(stream, BlankBlock.data(), BlankBlockSize);
        count -= BlankBlockSize;
        if (IoResultCode != 0) return stream;
    }
    if (count > 0) WriteChars(stream, BlankBlock.data(), static_cast<std::uint32_t>(count));
    return stream;
}

TTextStream& WriteText(TTextStream& stream, std::string_view text, std::int32_t width) {
    PadTo(stream, width, text.size());
    return WriteChars(stream, text.data(), static_cast<std::uint32_t>(text.size()));
}

TTextStream& WriteText(TTextStream& stream, const TShortText& text, std::int32_t width) {
    return WriteText(stream, text.View(), width);
}

TTextStream& WriteLineEnd(TTextStream& stream) {
    static constexpr char CrLf[] = {static_cast<char>(CharCr), static_cast<char>(CharLf)};
    if ((stream.Flags & CrLfFlag) != 0) {
        WriteChars(stream, CrLf, 2);
    } else {
        WriteChars(stream, CrLf + 1, 1);
    }
    LineFlush(stream);
    return stream;
}

// The waiting bytes are given up whether or not the write succeeds.
std::int32_t DrainBuffer(TTextStream& stream) {
    if (stream.BufferPos == 0) return 0;
    std::uint32_t written = 0;
    const bool ok =
        foundation::WriteFile(stream.Handle, stream.BufferPtr, stream.BufferPos, written);
    stream.BufferPos = 0;
    return ok ? 0 : LastSystemError();
}

} // namespace textio
