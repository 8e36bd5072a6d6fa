// SPDX-License-Identifier: MIT
// Buffered text streams over the standard handles. The layer never raises:
// a failed operation stores its code with SetIoResult and carries on; the
// error layer above turns a pending code into an exception.
// Nothing here allocates: every buffer is part of its stream record.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/platform_io.h"

namespace textio {

struct TTextStream;

// An operation slot: takes the stream, returns 0 or an error code.
using TStreamOp = std::int32_t (*)(TTextStream&);

inline constexpr std::uint16_t ModeClosed = 0xD7B0;
inline constexpr std::uint16_t ModeInput = 0xD7B1;
inline constexpr std::uint16_t ModeOutput = 0xD7B2;
inline constexpr std::uint16_t ModeInOut = 0xD7B3;

inline constexpr std::uint16_t CrLfFlag = 0x0001;

inline constexpr std::uint32_t StandardBufferSize = 128;
inline constexpr std::uint32_t NameCapacity = 260;

// The record of one stream; fields in this order.
struct TTextStream {
    foundation::THandle Handle;
    std::uint16_t Mode;
    std::uint16_t Flags;
    std::uint32_t BufferSize;
    std::uint32_t BufferPos;
    std::uint32_t BufferEnd;
    std::uint8_t* BufferPtr;
    TStreamOp OpenOp;
    TStreamOp TransferOp;
    TStreamOp FlushOp;
    TStreamOp CloseOp;
    std::uint8_t ClientData[32];
    char Name[NameCapacity];
    std::uint8_t Buffer[StandardBufferSize];
};

// The line-end style copied into a standard stream's Flags when it opens.
extern std::uint8_t DefaultLineEndStyle;

extern TTextStream InputStream;
extern TTextStream OutputStream;
extern TTextStream ErrorStream;

// Pending I/O result code of this thread; 0 when none.
extern thread_local std::int32_t IoResultCode;

void SetIoResult(std::int32_t code);
std::int32_t TakeIoResult();

// A text with an 8-bit length prefix, as the number formatting builds it.
struct TShortText {
    std::uint8_t Length = 0;
    char Chars[255];

    std::string_view View() const { return {Chars, Length}; }
};

// One character from NextInputChar: at end of file AtEnd is set and Char is 26.
struct TInputChar {
    std::uint8_t Char;
    bool AtEnd;
};

inline constexpr std::uint8_t EndOfFileChar = 26;

std::int32_t OpenStream(TTextStream& stream, std::uint16_t mode);
std::int32_t OpenForInput(TTextStream& stream);
std::int32_t OpenForOutput(TTextStream& stream);
std::int32_t OpenStandardHandle(TTextStream& stream);
bool EnsureInputOpen(TTextStream& stream);
bool EnsureOutputOpen(TTextStream& stream);

TInputChar NextInputChar(TTextStream& stream);
// Gives back the character NextInputChar just delivered (never an end of file).
inline void GiveBackChar(TTextStream& stream) {
    --stream.BufferPos;
}
void ReadLineEnd(TTextStream& stream);

TTextStream& WriteChars(TTextStream& stream, const char* bytes, std::uint32_t count);
TTextStream& WriteBlanks(TTextStream& stream, std::int32_t count);
// The literal-text form (32-bit length; a missing text is empty) and the
// short-text form (8-bit length) of WriteText.
TTextStream& WriteText(TTextStream& stream, std::string_view text, std::int32_t width);
TTextStream& WriteText(TTextStream& stream, const TShortText& text, std::int32_t width);
TTextStream& WriteLineEnd(TTextStream& stream);

std::int32_t LineFlush(TTextStream& stream);
std::int32_t FlushStream(TTextStream& stream);
std::int32_t CloseStream(TTextStream& stream);

// Gives a record that is not a standard stream its built-in buffer, empty,
// and its slots: transfer and close as given, no flush at line ends.
void UseBuiltInBuffer(TTextStream& stream, TStreamOp transfer, TStreamOp close);

std::int32_t FillBuffer(TTextStream& stream);
std::int32_t DrainBuffer(TTextStream& stream);
std::int32_t CloseHandleOp(TTextStream& stream);
std::int32_t NoOp(TTextStream& stream);

} // namespace textio
