// SPDX-License-Identifier: MIT
// The standard streams, opening on first use, flushing and closing.
#include "foundation/platform_io.h"
#include "textio/stream_slots.h"

namespace textio {

std::uint8_t DefaultLineEndStyle = CrLfFlag;

TTextStream InputStream{};
TTextStream OutputStream{};
TTextStream ErrorStream{};

namespace {

bool IsStandardOutput(const TTextStream& stream) {
    return &stream == &OutputStream || &stream == &ErrorStream;
}

bool HoldsModeValue(const TTextStream& stream) {
    return stream.Mode >= ModeClosed && stream.Mode <= ModeInOut;
}

// LineFlush and FlushStream differ only in the slot they call.
std::int32_t FlushThrough(TTextStream& stream, TStreamOp slot) {
    if (stream.Mode == ModeInput) return 0;
    std::int32_t status;
    if (IsOpenForOutput(stream)) {
        status = CallSlot(slot, stream);
    } else {
        status = IsStandardOutput(stream) ? 0 : CodeNotOpen;
    }
    if (status != 0) SetIoResult(status);
    return status;
}

} // namespace

std::int32_t OpenStream(TTextStream& stream, std::uint16_t mode) {
    if (!HoldsModeValue(stream)) {
        SetIoResult(CodeNotAStream);
        return CodeNotAStream;
    }
    if (stream.Mode != ModeClosed) CloseStream(stream);
    stream.Mode = mode;
    if (stream.Name[0] == '\0' && stream.OpenOp == nullptr) stream.OpenOp = OpenStandardHandle;

    std::int32_t status;
    if (stream.OpenOp != nullptr) {
        status = stream.OpenOp(stream);
    } else {
        // A named stream needs an opener of its own; without one it stays shut.
        stream.Mode = ModeClosed;
        status = static_cast<std::int32_t>(foundation::ErrorInvalidFunction);
    }
    if (status != 0) SetIoResult(status);
    return status;
}

std::int32_t OpenForInput(TTextStream& stream) {
    return OpenStream(stream, ModeInput);
}

std::int32_t OpenForOutput(TTextStream& stream) {
    return OpenStream(stream, ModeOutput);
}

std::int32_t OpenStandardHandle(TTextStream& stream) {
    stream.BufferPos = 0;
    stream.BufferEnd = 0;
    stream.TransferOp = stream.Mode == ModeInput ? FillBuffer : DrainBuffer;
    stream.CloseOp = CloseHandleOp;
    stream.FlushOp = NoOp;

    if (stream.Name[0] != '\0') {
        // Named files are not opened by this layer.
        stream.Mode = ModeClosed;
        return static_cast<std::int32_t>(foundation::ErrorInvalidFunction);
    }
    stream.BufferSize = StandardBufferSize;
    stream.CloseOp = NoOp;
    stream.BufferPtr = stream.Buffer;
    std::int32_t which = foundation::StdInputHandle;
    if (stream.Mode == ModeOutput) {
        which = &stream == &ErrorStream ? foundation::StdErrorHandle : foundation::StdOutputHandle;
    }
    stream.Handle = foundation::GetStdHandle(which);
    if (stream.Handle == foundation::InvalidHandle) {
        stream.Mode = ModeClosed;
        return LastSystemError();
    }
    if (stream.Mode == ModeInput) return 0;

    switch (foundation::GetFileType(stream.Handle)) {
    case foundation::FileTypeUnknown:
        foundation::CloseHandle(stream.Handle);
        stream.Mode = ModeClosed;
        return CodeNotOpenForOutput;
    case foundation::FileTypeChar:
        // A console shows each line the moment its line end is written.
        stream.FlushOp = DrainBuffer;
        return 0;
    default: return 0;
    }
}

bool EnsureInputOpen(TTextStream& stream) {
    if (&stream == &InputStream) {
        stream.Flags = DefaultLineEndStyle;
        OpenForInput(stream);
    }
    if (stream.Mode == ModeInput) return true;
    SetIoResult(CodeNotOpenForInput);
    return false;
}

bool EnsureOutputOpen(TTextStream& stream) {
    if (IsStandardOutput(stream)) {
        stream.Flags = DefaultLineEndStyle;
        OpenForOutput(stream);
    }
    if (stream.Mode == ModeOutput) return true;
    SetIoResult(CodeNotOpenForOutput);
    return false;
}

std::int32_t LineFlush(TTextStream& stream) {
    return FlushThrough(stream, stream.FlushOp);
}

std::int32_t FlushStream(TTextStream& stream) {
    return FlushThrough(stream, stream.TransferOp);
}

std::int32_t CloseStream(TTextStream& stream) {
    if (stream.Mode != ModeInput && !IsOpenForOutput(stream)) {
        if (&stream != &InputStream) SetIoResult(CodeNotOpen);
        return 0;
    }
    std::int32_t status = 0;
    if (IsOpenForOutput(stream)) status = CallSlot(stream.TransferOp, stream);
    if (status == 0) status = CallSlot(stream.CloseOp, stream);
    if (status != 0) SetIoResult(status);
    return status;
}

void UseBuiltInBuffer(TTextStream& stream, TStreamOp transfer, TStreamOp close) {
    stream.BufferSize = StandardBufferSize;
    stream.BufferPtr = stream.Buffer;
    stream.BufferPos = 0;
    stream.BufferEnd = 0;
    stream.TransferOp = transfer;
    stream.FlushOp = NoOp;
    stream.CloseOp = close;
}

std::int32_t CloseHandleOp(TTextStream& stream) {
    stream.Mode = ModeClosed;
    return foundation::CloseHandle(stream.Handle) ? 0 : LastSystemError();
}

std::int32_t NoOp(TTextStream&) {
    return 0;
}

} // namespace textio
