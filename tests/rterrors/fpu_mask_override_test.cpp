// The start-up override of the exception masks, with the platform's two
// answers played by the test.
#include <gtest/gtest.h>

#include <cstdint>
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
    {"OtherKeyboard", {4, 0x0D00}, 4, 0x3F, 0x1332},
};

class FpuMaskOverrideTest : public testing::TestWithParam<TMaskCase> {};

TEST_P(FpuMaskOverrideTest, GivesTheWord) {
    Answers = GetParam();
    Reads = 0;
    const rterrors::TFpuMaskQueries fake{[] { return Answers.Keyboard; },
                                         [](std::uint32_t& value) {
                                             ++Reads;
                                             if (Answers.ValueBytes >= 0) {
                                                 std::memcpy(&value, &Answers.Value,
                                                             Answers.ValueBytes);
                                             }
                                             return Answers.ValueBytes >= 0;
                                         }};
    EXPECT_EQ(rterrors::OverriddenFpuControlWord(Answers.Word, fake), Answers.Expected);
    // The registry is read only for the keyboards that ask for it.
    EXPECT_EQ(Reads, rterrors::NeedsFpuMaskOverride(Answers.Keyboard) ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, FpuMaskOverrideTest, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
