// SPDX-License-Identifier: MIT
#include "textio/memory_streams.h"

#include <cstring>

#include "textio/client_data.h"

namespace textio {

namespace {

// Where the refills of an input record stand, kept in its ClientData.
struct TBytesSource {
    const std::uint8_t* Next;
    std::size_t Left;
};

struct TSinkTarget {
    TByteSink Sink;
    void* Context;
};

// As FillBuffer from a handle: up to a buffer's worth, none at the end.
std::int32_t RefillFromBytes(TTextStream& stream) {
    auto source = LoadClientData<TBytesSource>(stream);
    const std::size_t count = source.Left < stream.BufferSize ? source.Left : stream.BufferSize;
    if (count != 0) std::memcpy(stream.BufferPtr, source.Next, count);
    stream.BufferPos = 0;
    stream.BufferEnd = static_cast<std::uint32_t>(count);
    source.Next += count;
    source.Left -= count;
    StoreClientData(stream, source);
    return 0;
}

std::int32_t DrainToSink(TTextStream& stream) {
    if (stream.BufferPos == 0) return 0;
    const auto target = LoadClientData<TSinkTarget>(stream);
    target.Sink(target.Context, stream.BufferPtr, stream.BufferPos);
    stream.BufferPos = 0;
    return 0;
}

// A record with no handle and no name, open from the start.
void OpenRecord(TTextStream& stream, std::uint16_t mode, TStreamOp transfer) {
    stream.Handle = foundation::InvalidHandle;
    stream.Mode = mode;
    stream.Flags = CrLfFlag;
    stream.OpenOp = nullptr;
    stream.Name[0] = '\0';
    UseBuiltInBuffer(stream, transfer, NoOp);
}

} // namespace

void OpenBytesInput(TTextStream& stream, std::span<const std::uint8_t> bytes) {
    OpenRecord(stream, ModeInput, RefillFromBytes);
    StoreClientData(stream, TBytesSource{bytes.data(), bytes.size()});
}

bool BytesInputLeft(const TTextStream& stream) {
    return stream.BufferPos < stream.BufferEnd || LoadClientData<TBytesSource>(stream).Left != 0;
}

void OpenSinkOutput(TTextStream& stream, TByteSink sink, void* context) {
    OpenRecord(stream, ModeOutput, DrainToSink);
    StoreClientData(stream, TSinkTarget{sink, context});
}

} // namespace textio
