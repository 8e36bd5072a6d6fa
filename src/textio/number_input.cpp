// SPDX-License-Identifier: MIT
// Reading one number token from a text stream: skip blanks, collect the
// token into a fixed buffer, convert it. Failures only store a code.
#include "textio/number_input.h"

#include "textio/io_codes.h"

namespace textio {
namespace {

// Bytes 0 to 32 separate tokens; the end-of-file byte 26 is one of them.
constexpr std::uint8_t LastBlank = 32;

bool IsBlank(std::uint8_t c) {
    return c <= LastBlank;
}

// Takes at most limit token bytes into token and terminates it with NUL.
// A blank delimiter is given back; at end of file nothing is.
void CollectToken(TTextStream& stream, char* token, int limit) {
    int length = 0;
    while (length < limit) {
        const TInputChar next = NextInputChar(stream);
        if (IsBlank(next.Char)) {
            if (!next.AtEnd) {
                GiveBackChar(stream);
            }
            break;
        }
        token[length++] = static_cast<char>(next.Char);
    }
    token[length] = '\0';
}

} // namespace

bool SkipToToken(TTextStream& stream) {
    for (;;) {
        const TInputChar next = NextInputChar(stream);
        if (next.AtEnd) {
            return true;
        }
        if (!IsBlank(next.Char)) {
            GiveBackChar(stream);
            return false;
        }
    }
}

std::int32_t ReadInteger(TTextStream& stream) {
    if (SkipToToken(stream)) {
        return 0;
    }
    char token[IntegerTokenLimit + 1];
    CollectToken(stream, token, IntegerTokenLimit);
    const TIntegerParse parsed = ParseInteger(token);
    if (parsed.ErrorPos != 0) {
        SetIoResult(CodeInvalidNumericInput);
    }
    return parsed.Value;
}

foundation::Extended ReadReal(TTextStream& stream) {
    if (SkipToToken(stream)) {
        return foundation::Extended(0.0);
    }
    char token[RealTokenLimit + 1];
    CollectToken(stream, token, RealTokenLimit);
    const TRealParse parsed = ParseReal(token);
    if (parsed.ErrorPos != 0) {
        SetIoResult(CodeInvalidNumericInput);
    }
    return parsed.Value;
}

} // namespace textio
