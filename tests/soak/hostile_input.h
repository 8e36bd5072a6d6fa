// SPDX-License-Identifier: MIT
// A seeded generator of hostile standard inputs for the whole program.
#pragma once

#include <cstdint>
#include <string>

namespace soak {

struct THostileInput {
    std::string Kind; // which family the input comes from, for messages
    std::string Bytes;
};

// The same seed and index always give the same input.
THostileInput MakeHostileInput(std::uint64_t seed, int index);

inline constexpr int HostileFamilies = 10;

} // namespace soak
