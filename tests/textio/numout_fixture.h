// Runs number-output tests under the program's control word, so that an
// invalid operation or overflow in the formatting would fault the test,
// and gives them an output stream that collects what is written.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/extended_bits.h"
#include "foundation/x87.h"
#include "textio/text_stream.h"

namespace numout {

inline constexpr std::uint16_t ProgramControlWord = 0x1332;
inline constexpr std::uint16_t PlatformControlWord = 0x037F;

template <class Base = ::testing::Test>
class TrappingFpu : public Base {
protected:
    void SetUp() override { foundation::LoadControlWord(ProgramControlWord); }
    void TearDown() override { foundation::LoadControlWord(PlatformControlWord); }
};

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
