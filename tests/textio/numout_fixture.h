// Helpers for the number-output tests: text and extended-value builders, and
// an output stream that collects what is written.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/extended_bits.h"
#include "textio/text_stream.h"

namespace numout {

inline std::string Text(const textio::TShortText& text) { return std::string(text.View()); }

inline long double Extended(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    return foundation::ExtendedBits::Make(negative, exponent, significand).Value();
}

// An open output stream whose transfer slot appends the buffer to Written.
class CollectingStream {
public:
    CollectingStream() {
        Written().clear();
        stream_ = textio::TTextStream{};
        stream_.Mode = textio::ModeOutput;
        stream_.BufferSize = textio::StandardBufferSize;
        stream_.BufferPtr = stream_.Buffer;
        stream_.TransferOp = &Drain;
        stream_.FlushOp = &Drain;
    }

    textio::TTextStream& Stream() { return stream_; }

    // Everything written so far, with what still waits in the buffer.
    std::string Contents() {
        Drain(stream_);
        return Written();
    }

private:
    static std::string& Written() {
        static std::string written;
        return written;
    }

    static std::int32_t Drain(textio::TTextStream& stream) {
        Written().append(reinterpret_cast<const char*>(stream.BufferPtr), stream.BufferPos);
        stream.BufferPos = 0;
        return 0;
    }

    textio::TTextStream stream_;
};

} // namespace numout
