// SPDX-License-Identifier: MIT
// Fault signal facts for the tables of fault codes, here and per processor.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "foundation/posix/fault_code.h"

namespace posixtest {

using foundation::TSignalFacts;

inline constexpr std::uintptr_t StackLow = 0x7FFF00000000;
inline constexpr std::uintptr_t StackHigh = 0x7FFF00800000;

struct TFaultCase {
    const char* Name;
    TSignalFacts Facts;
    std::uint32_t Expected;
};

inline TSignalFacts Signal(int signal, int code, std::uintptr_t address = 0) {
    TSignalFacts facts;
    facts.Signal = signal;
    facts.SignalCode = code;
    facts.SignalAddress = address;
    facts.StackLow = StackLow;
    facts.StackHigh = StackHigh;
    return facts;
}

inline std::string CaseName(const testing::TestParamInfo<TFaultCase>& info) {
    return info.param.Name;
}

} // namespace posixtest
