// SPDX-License-Identifier: MIT
// Counts the heap allocations this process makes while counting is armed.
// The counters live in a shared anonymous mapping, so a test can read what
// a forked child counted up to the moment it ended, however it ended.
#pragma once

#include <cstdint>

namespace alloctest {

struct TAllocationCounters {
    std::int64_t Allocations;      // malloc, calloc, realloc, aligned forms, operator new
    std::int64_t DialogueFinished; // set once the dialogue returned
    std::int64_t AtDialogueEnd;    // Allocations when the dialogue returned
};

// Counting in this process on or off; off at start, and a forked child
// inherits the state at the fork.
void Arm(bool armed);

// The shared counters, mapped on first use (before any fork).
TAllocationCounters& Counters();

} // namespace alloctest
