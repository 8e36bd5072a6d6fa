// SPDX-License-Identifier: MIT
// The fixture of the software backend's tests, which keeps the x87's state,
// and a seeded source of operand bits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "foundation/soft/x87_reference.h"

namespace softtest {

// Runs every test with the exceptions masked and puts the unit's control
// word back afterwards.
class MaskedFpuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        asm volatile("fnstcw %0" : "=m"(SavedControlWord));
        asm volatile("fnclex\n\tfldcw %0" : : "m"(MaskedControlWord));
    }
    void TearDown() override { asm volatile("fnclex\n\tfldcw %0" : : "m"(SavedControlWord)); }

  private:
    std::uint16_t SavedControlWord = 0;
};

// Seeded random bits, with the shapes the operand drawers build on.
class TRandomBits {
  public:
    explicit TRandomBits(std::uint64_t seed) : Engine(seed) {}

    std::uint64_t Next() { return Engine(); }
    bool Coin() { return (Engine() & 1) != 0; }
    // Uniform in [low, high].
    int Range(int low, int high) {
        return low + static_cast<int>(Engine() % static_cast<std::uint64_t>(high - low + 1));
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Engine() >> 11) * 0x1p-53; }
    // A normalised significand whose lowest set bit is at a random place, or
    // with just one or two more bits than the integer bit, so that sums,
    // products and narrowings land on or right beside rounding boundaries
    // often, with the sticky bits all that tells them apart.
    std::uint64_t Significand() {
        if (Range(0, 3) == 0) {
            return ExtendedBits::IntegerBit | 1ULL << Range(0, 62) |
                   (Coin() ? 1ULL << Range(0, 62) : 0);
        }
        const int lowest = Range(0, 63);
        return ((Next() | ExtendedBits::IntegerBit) >> lowest << lowest) | (1ULL << lowest);
    }

  private:
    std::mt19937_64 Engine;
};

} // namespace softtest
