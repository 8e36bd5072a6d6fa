// SPDX-License-Identifier: MIT
// The start-up override of the exception masks, with the platform's two
// answers played by the test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rterrors/fpu_control.h"

namespace {

struct TMaskCase {
    const char* Name;
    foundation::TKeyboardType Keyboard;
    int ValueBytes; // what the registry read gives; -1: it fails
    std::uint32_t Value;
    std::uint16_t Expected;
    std::uint16_t Word = foundation::ProgramControlWord;
    friend void PrintTo(const TMaskCase& c, std::ostream* out) { *out << c.Name; }
};

TMaskCase Answers;
int Reads = 0;

constexpr foundation::TKeyboardType Japanese{7, 0x0D00};

const TMaskCase Cases[] = {
    {"AllMasked", Japanese, 4, 0x3F, 0x133F},
    {"NoneMasked", Japanese, 4, 0x00, 0x1300},
    {"OnlyTheValuesMaskBits", Japanese, 4, 0x12345678, 0x1338},
    {"OtherBitsOfTheWordKept", Japanese, 4, 0x3F, 0x0F7F, 0x0F40},
    {"EmptyValueKeepsTheWord", Japanese, 0, 0x00, 0x1332},
    {"ReadFails", Japanese, -1, 0x3F, 0x1332},
    {"Subtype0400", {7, 0x0400}, 4, 0x3F, 0x133F},
    {"OnlyBits8To15OfTheSubtype", {7, 0x10D7F}, 4, 0x3F, 0x133F},
    {"OtherSubtype", {7, 0x0C00}, 4, 0x3F, 0x1332},
    {"AllOfBits8To15OfTheSubtype", {7, 0x1D00}, 4, 0x3F, 0x1332},
    {"OtherKeyboard", {4, 0x0D00}, 4, 0x3F, 0x1332},
};

class FpuMaskOverrideTest : public testing::TestWithParam<TMaskCase> {};

// The platform's answers, as Answers gives them.
const rterrors::TFpuMaskQueries Fake{[] { return Answers.Keyboard; },
                                     [](std::uint32_t& value) {
                                         ++Reads;
                                         if (Answers.ValueBytes >= 0) {
                                             std::memcpy(&value, &Answers.Value,
                                                         Answers.ValueBytes);
                                         }
                                         return Answers.ValueBytes >= 0;
                                     }};

TEST_P(FpuMaskOverrideTest, GivesTheWord) {
    Answers = GetParam();
    Reads = 0;
    EXPECT_EQ(rterrors::OverriddenFpuControlWord(Answers.Word, Fake), Answers.Expected);
    // The registry is read only for the keyboards that ask for it.
    EXPECT_EQ(Reads, rterrors::NeedsFpuMaskOverride(Answers.Keyboard) ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, FpuMaskOverrideTest, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Start-up itself, in a child of its own, since the override is applied
// once per process: DefaultFpuControlWord from the first answers, and a
// second call, with answers that would change it, leaves it as it is.
struct TStartUpCase {
    const char* Name;
    TMaskCase First;
    TMaskCase Second;
    const char* Word; // DefaultFpuControlWord afterwards, in hexadecimal
    friend void PrintTo(const TStartUpCase& c, std::ostream* out) { *out << c.Name; }
};

const TStartUpCase StartUpCases[] = {
    {"JapaneseKeyboardTakesTheValue",
     {"", Japanese, 4, 0x3F, 0},
     {"", Japanese, 4, 0x00, 0},
     "133F"},
    {"NoOverrideKeepsTheProgramWord",
     {"", {4, 0x0D00}, 4, 0x3F, 0},
     {"", Japanese, 4, 0x3F, 0},
     "1332"},
};

class FpuMaskOverrideDeathTest : public testing::TestWithParam<TStartUpCase> {};

TEST_P(FpuMaskOverrideDeathTest, StartUpSettlesTheWordOnce) {
    const TStartUpCase& c = GetParam();
    EXPECT_EXIT(
        {
            Answers = c.First;
            rterrors::ApplyFpuMaskOverride(Fake);
            Answers = c.Second;
            rterrors::ApplyFpuMaskOverride(Fake);
            std::fprintf(stderr, "%04X", static_cast<unsigned>(rterrors::DefaultFpuControlWord));
            std::exit(0);
        },
        testing::ExitedWithCode(0), testing::StrEq(c.Word));
}

INSTANTIATE_TEST_SUITE_P(Rows, FpuMaskOverrideDeathTest, testing::ValuesIn(StartUpCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
