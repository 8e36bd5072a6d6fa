// SPDX-License-Identifier: MIT
// A stream record opened by hand in a mode, as OpenStandardHandle would open
// it, over a descriptor of the test's own or over memory. The record's
// BufferPtr points into the record itself, so it is built in place and
// never copied or moved.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "textio/text_stream.h"

namespace testsupport {

// A piece of input for one or more refills; a FailCode makes its refill
// fail with that code instead.
struct TChunk {
    std::string Bytes;
    std::int32_t FailCode = 0;
};

class TStreamRecord {
  public:
    // Over a descriptor, with the stream layer's own transfer slots.
    TStreamRecord(std::uint16_t mode, foundation::THandle handle,
                  std::uint16_t flags = textio::CrLfFlag) {
        Open(mode, flags, mode == textio::ModeInput ? textio::FillBuffer : textio::DrainBuffer);
        Stream.Handle = handle;
    }
    // Over memory: an output record collects what it writes out; an input
    // record's refills take at most BufferSize bytes of the current chunk.
    explicit TStreamRecord(std::uint16_t mode, std::vector<TChunk> chunks = {},
                           std::uint16_t flags = textio::CrLfFlag)
        : Chunks(std::move(chunks)) {
        Open(mode, flags, mode == textio::ModeInput ? Refill : Collect);
        const auto self = reinterpret_cast<std::uintptr_t>(this);
        std::memcpy(Stream.ClientData, &self, sizeof self);
    }
    TStreamRecord(std::uint16_t mode, std::string input, std::uint16_t flags = textio::CrLfFlag)
        : TStreamRecord(mode, {TChunk{std::move(input)}}, flags) {}
    TStreamRecord(const TStreamRecord&) = delete;
    TStreamRecord& operator=(const TStreamRecord&) = delete;

    // Output over memory: all written so far, with what waits in the buffer.
    std::string Contents() {
        Collect(Stream);
        return Written;
    }

    // Input: every character up to the end of file, within `limit` of them.
    std::string Rest(std::size_t limit = 100000) {
        std::string rest;
        for (textio::TInputChar next = textio::NextInputChar(Stream);
             !next.AtEnd && rest.size() <= limit; next = textio::NextInputChar(Stream))
            rest += static_cast<char>(next.Char);
        return rest;
    }

    textio::TTextStream Stream{};

  private:
    void Open(std::uint16_t mode, std::uint16_t flags, textio::TStreamOp transfer) {
        Stream.Mode = mode;
        Stream.Flags = flags;
        Stream.BufferSize = textio::StandardBufferSize;
        Stream.BufferPtr = Stream.Buffer;
        Stream.TransferOp = transfer;
        Stream.FlushOp = Stream.CloseOp = textio::NoOp;
    }

    static TStreamRecord& Of(textio::TTextStream& stream) {
        std::uintptr_t self = 0;
        std::memcpy(&self, stream.ClientData, sizeof self);
        return *reinterpret_cast<TStreamRecord*>(self);
    }

    static std::int32_t Collect(textio::TTextStream& stream) {
        Of(stream).Written.append(reinterpret_cast<const char*>(stream.BufferPtr),
                                  stream.BufferPos);
        stream.BufferPos = 0;
        return 0;
    }

    static std::int32_t Refill(textio::TTextStream& stream) {
        TStreamRecord& self = Of(stream);
        stream.BufferPos = stream.BufferEnd = 0;
        if (self.Next == self.Chunks.size()) return 0; // end of input
        const TChunk& chunk = self.Chunks[self.Next];
        const std::size_t count =
            std::min<std::size_t>(stream.BufferSize, chunk.Bytes.size() - self.Offset);
        std::memcpy(stream.BufferPtr, chunk.Bytes.data() + self.Offset, count);
        stream.BufferEnd = chunk.FailCode != 0 ? 0 : static_cast<std::uint32_t>(count);
        self.Offset += count;
        if (self.Offset == chunk.Bytes.size()) {
            ++self.Next;
            self.Offset = 0;
        }
        return chunk.FailCode;
    }

    std::vector<TChunk> Chunks;
    std::size_t Next = 0;
    std::size_t Offset = 0;
    std::string Written;
};

} // namespace testsupport
