// An input stream record whose refill operation delivers in-memory chunks,
// so reads go through the real NextInputChar, give-back and end-of-file
// handling. Each refill takes at most BufferSize bytes of the current chunk;
// a chunk with a FailCode makes that refill fail with the code instead.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "textio/text_stream.h"

namespace numin {

struct Chunk {
    std::string Bytes;
    std::int32_t FailCode = 0;
};

class MemoryInput {
public:
    explicit MemoryInput(std::vector<Chunk> chunks, bool crLf = true) : chunks_(std::move(chunks)) {
        Stream.Mode = textio::ModeInput;
        Stream.Flags = crLf ? textio::CrLfFlag : 0;
        Stream.BufferSize = textio::StandardBufferSize;
        Stream.BufferPtr = Stream.Buffer;
        Stream.TransferOp = &Refill;
        MemoryInput* self = this;
        std::memcpy(Stream.ClientData, &self, sizeof self);
    }
    explicit MemoryInput(std::string bytes, bool crLf = true)
        : MemoryInput(std::vector<Chunk>{Chunk{std::move(bytes)}}, crLf) {}
    MemoryInput(const MemoryInput&) = delete;
    MemoryInput& operator=(const MemoryInput&) = delete;

    // Everything still to be read, up to the end of file.
    std::string Rest() {
        std::string rest;
        for (textio::TInputChar next = textio::NextInputChar(Stream); !next.AtEnd;
             next = textio::NextInputChar(Stream)) {
            rest += static_cast<char>(next.Char);
        }
        return rest;
    }

    textio::TTextStream Stream{};

private:
    static std::int32_t Refill(textio::TTextStream& stream) {
        MemoryInput* self;
        std::memcpy(&self, stream.ClientData, sizeof self);
        stream.BufferPos = 0;
        stream.BufferEnd = 0;
        if (self->index_ == self->chunks_.size()) {
            return 0; // end of input
        }
        const Chunk& chunk = self->chunks_[self->index_];
        if (chunk.FailCode != 0) {
            ++self->index_;
            return chunk.FailCode;
        }
        const std::size_t count =
            std::min<std::size_t>(stream.BufferSize, chunk.Bytes.size() - self->offset_);
        std::memcpy(stream.BufferPtr, chunk.Bytes.data() + self->offset_, count);
        self->offset_ += count;
        if (self->offset_ == chunk.Bytes.size()) {
            ++self->index_;
            self->offset_ = 0;
        }
        stream.BufferEnd = static_cast<std::uint32_t>(count);
        return 0;
    }

    std::vector<Chunk> chunks_;
    std::size_t index_ = 0;
    std::size_t offset_ = 0;
};

} // namespace numin
