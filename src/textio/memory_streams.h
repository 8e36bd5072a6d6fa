// SPDX-License-Identifier: MIT
// Text streams over memory, for a caller that holds the input as bytes
// (the text typed so far, say) or wants the output as bytes. The records
// behave as the standard streams do, with CR LF line ends and the
// end-of-file byte 26, and refill or write out 128 bytes at a time.
// Nothing here allocates: the sink decides what to do with the bytes.
#pragma once

#include <cstdint>
#include <span>

#include "textio/text_stream.h"

namespace textio {

// Receives each block the output stream writes out.
using TByteSink = void (*)(void* context, const std::uint8_t* bytes, std::uint32_t count);

// Opens stream for reading bytes, which must outlive every read.
void OpenBytesInput(TTextStream& stream, std::span<const std::uint8_t> bytes);

// Whether an input record opened over bytes has any left to read.
bool BytesInputLeft(const TTextStream& stream);

// Opens stream for writing into sink.
void OpenSinkOutput(TTextStream& stream, TByteSink sink, void* context);

} // namespace textio
