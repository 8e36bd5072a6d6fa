// SPDX-License-Identifier: MIT
// One operation of the software arithmetic and the same on the real x87,
// on the same operands: the flags each raised among those that trap under
// the program's control word, and the result's bits. Shared by the
// differential test and the fuzz target.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "foundation/extended_bits.h"
#include "foundation/soft/soft_arith.h"
#include "foundation/soft/x87_reference.h"

namespace softtest {

enum class TOp {
    Add,
    Subtract,
    Multiply,
    Divide,
    ToDouble,
    ToInt64,
    FromDouble,
    FromFloat,
    FromInt64,
    Compare
};
inline constexpr TOp AllOps[] = {TOp::Add,       TOp::Subtract, TOp::Multiply,   TOp::Divide,
                                 TOp::ToDouble,  TOp::ToInt64,  TOp::FromDouble, TOp::FromFloat,
                                 TOp::FromInt64, TOp::Compare};
inline const char* const OpNames[] = {"Add",     "Subtract",   "Multiply",  "Divide",    "ToDouble",
                                      "ToInt64", "FromDouble", "FromFloat", "FromInt64", "Compare"};

// One operation on its operands; Raw is the pattern the loads read.
struct TCase {
    TOp Op;
    ExtendedBits A;
    ExtendedBits B;
    std::uint64_t Raw;
};

// Flags, and the result's bits (a double, an integer or an ordering goes
// into Significand).
struct TOutcome {
    unsigned Flags;
    ExtendedBits Bits;
};

inline ExtendedBits Packed(std::uint64_t low) {
    return ExtendedBits::Make(false, 0, low);
}

inline std::uint64_t DoublePattern(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline int OrderingCode(foundation::soft::TOrdering order) {
    switch (order) {
    case foundation::soft::TOrdering::Less: return -1;
    case foundation::soft::TOrdering::Equal: return 0;
    case foundation::soft::TOrdering::Greater: return 1;
    case foundation::soft::TOrdering::Unordered: break;
    }
    return 2;
}

inline TOutcome RunX87(const TCase& c) {
    unsigned flags = 0;
    TX87Result result{};
    switch (c.Op) {
    case TOp::Add:
    case TOp::Subtract:
    case TOp::Multiply:
    case TOp::Divide:
        result = X87Binary(static_cast<TBinaryOp>(c.Op), c.A, c.B);
        return {result.Flags, result.Bits};
    case TOp::ToDouble: {
        const double stored = X87ToDouble(c.A, flags);
        return {flags, Packed(DoublePattern(stored))};
    }
    case TOp::ToInt64: {
        const std::int64_t stored = X87ToInt64(c.A, flags);
        return {flags, Packed(static_cast<std::uint64_t>(stored))};
    }
    case TOp::FromDouble:
    case TOp::FromFloat:
    case TOp::FromInt64: {
        const int kind = static_cast<int>(c.Op) - static_cast<int>(TOp::FromDouble);
        result = X87Load(static_cast<TLoadKind>(kind), c.Raw);
        return {result.Flags, result.Bits};
    }
    case TOp::Compare: {
        const int order = X87Compare(c.A, c.B, flags);
        return {flags, Packed(static_cast<std::uint64_t>(order))};
    }
    }
    return {};
}

inline TOutcome RunSoft(const TCase& c) {
    unsigned flags = 0;
    ExtendedBits bits;
    switch (c.Op) {
    case TOp::Add: bits = foundation::soft::Add(c.A, c.B, flags); break;
    case TOp::Subtract: bits = foundation::soft::Subtract(c.A, c.B, flags); break;
    case TOp::Multiply: bits = foundation::soft::Multiply(c.A, c.B, flags); break;
    case TOp::Divide: bits = foundation::soft::Divide(c.A, c.B, flags); break;
    case TOp::ToDouble: bits = Packed(DoublePattern(foundation::soft::ToDouble(c.A, flags))); break;
    case TOp::ToInt64:
        bits = Packed(static_cast<std::uint64_t>(foundation::soft::ToInt64(c.A, flags)));
        break;
    case TOp::FromDouble: {
        double value;
        std::memcpy(&value, &c.Raw, sizeof value);
        bits = foundation::soft::FromDouble(value, flags);
        break;
    }
    case TOp::FromFloat: {
        float value;
        const auto narrow = static_cast<std::uint32_t>(c.Raw);
        std::memcpy(&value, &narrow, sizeof value);
        bits = foundation::soft::FromFloat(value, flags);
        break;
    }
    case TOp::FromInt64:
        bits = foundation::soft::FromInt64(static_cast<std::int64_t>(c.Raw));
        break;
    case TOp::Compare:
        bits = Packed(
            static_cast<std::uint64_t>(OrderingCode(foundation::soft::Compare(c.A, c.B, flags))));
        break;
    }
    return {flags, bits};
}

// With a trapping flag the program faults, so only the flags must agree.
inline bool Agree(const TOutcome& x87, const TOutcome& software) {
    return x87.Flags == software.Flags && (x87.Flags != 0 || x87.Bits == software.Bits);
}

inline void PrintBits(const char* label, ExtendedBits bits) {
    std::printf(" %s=%04X:%016llX", label, bits.SignExponent,
                static_cast<unsigned long long>(bits.Significand));
}

inline void PrintDisagreement(const char* name, const TCase& c, const TOutcome& x87,
                              const TOutcome& software) {
    std::printf("%s (%s):", name, OpNames[static_cast<int>(c.Op)]);
    PrintBits("a", c.A);
    PrintBits("b", c.B);
    std::printf(" raw=%016llX x87 flags %X", static_cast<unsigned long long>(c.Raw), x87.Flags);
    PrintBits("bits", x87.Bits);
    std::printf(", soft flags %X", software.Flags);
    PrintBits("bits", software.Bits);
    std::printf("\n");
}

} // namespace softtest
