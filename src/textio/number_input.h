// SPDX-License-Identifier: MIT
// Reading integers and reals from a text stream, in extended precision.
// Does not allocate: tokens live in fixed stack buffers.
#pragma once

#include <cstdint>

#include "foundation/extended.h"
#include "textio/text_stream.h"

namespace textio {

inline constexpr int IntegerTokenLimit = 32;
inline constexpr int RealTokenLimit = 64;

// Error position: 0 for success, else the 1-based index of the byte at which
// conversion stopped (the terminating NUL counts as a byte).
struct TIntegerParse {
    std::int32_t Value;
    std::int32_t ErrorPos;
};

struct TRealParse {
    foundation::Extended Value;
    std::int32_t ErrorPos;
};

bool SkipToToken(TTextStream& stream);
std::int32_t ReadInteger(TTextStream& stream);
foundation::Extended ReadReal(TTextStream& stream);

TIntegerParse ParseInteger(const char* text);
TRealParse ParseReal(const char* text);

} // namespace textio
