// SPDX-License-Identifier: MIT
#include "textio/number_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "foundation/extended.h"
#include "support/fpu_fixture.h"
#include "support/stream_fixture.h"
#include "textio/numin_exact.h"

namespace {

using namespace std::string_literals;
using foundation::BitsOf;
using foundation::Extended;
using foundation::ExtendedBits;
using testsupport::TStreamRecord;
using textio::ModeInput;

constexpr std::int32_t InvalidNumber = 106;
constexpr std::int32_t ReadFault = 5; // an operating-system code from a failed refill

const std::string Zeros32(32, '0');
const std::string Long70 = "1" + std::string(70, '0');

struct IntegerReadCase {
    std::string Input;
    std::int32_t Value; // checked only when Code is 0
    std::int32_t Code;
    std::string Rest; // what the read leaves in the stream

    friend void PrintTo(const IntegerReadCase& c, std::ostream* os) {
        *os << ::testing::PrintToString(c.Input);
    }
};

class ReadIntegerTest : public ::testing::TestWithParam<IntegerReadCase> {
  protected:
    void SetUp() override { textio::IoResultCode = 0; }
};

TEST_P(ReadIntegerTest, ValueCodeAndWhatStaysInTheStream) {
    const IntegerReadCase& c = GetParam();
    TStreamRecord input(ModeInput, c.Input);
    const std::int32_t value = textio::ReadInteger(input.Stream);
    EXPECT_EQ(textio::TakeIoResult(), c.Code);
    if (c.Code == 0) {
        EXPECT_EQ(value, c.Value);
    }
    EXPECT_EQ(input.Rest(), c.Rest);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadIntegerTest,
    ::testing::Values(
        IntegerReadCase{"12 34\r\n", 12, 0, " 34\r\n"},
        IntegerReadCase{"12abc\r\n", 0, InvalidNumber, "\r\n"},
        IntegerReadCase{"\t-7\r\n", -7, 0, "\r\n"},
        IntegerReadCase{"   -7\t9\r\n", -7, 0, "\t9\r\n"},
        IntegerReadCase{"\r\n\r\n \r\n42\r\n", 42, 0, "\r\n"},
        IntegerReadCase{"12\0"s
                        "34\r\n",
                        12, 0,
                        "\0"s
                        "34\r\n"},
        IntegerReadCase{"\0\0"s
                        "8\r\n",
                        8, 0, "\r\n"},
        IntegerReadCase{"3.5\r\n", 0, InvalidNumber, "\r\n"},
        IntegerReadCase{"1e3\r\n", 0, InvalidNumber, "\r\n"},
        IntegerReadCase{"0X1f\r\n", 31, 0, "\r\n"}, IntegerReadCase{"-$10\r\n", -16, 0, "\r\n"},
        IntegerReadCase{"2147483648\r\n", 0, InvalidNumber, "\r\n"},
        IntegerReadCase{"-2147483648\r\n", std::numeric_limits<std::int32_t>::min(), 0, "\r\n"},
        IntegerReadCase{"$100000000\r\n", 0, InvalidNumber, "\r\n"},
        // Only 32 bytes are taken; the rest of the token stays for ReadLineEnd.
        IntegerReadCase{Zeros32 + "7\r\n", 0, 0, "7\r\n"},
        IntegerReadCase{"123456789012345678901234567890123\r\n", 0, InvalidNumber, "3\r\n"},
        IntegerReadCase{Zeros32 + " 5\r\n", 0, 0, " 5\r\n"},
        IntegerReadCase{"1\xB0\xFF 2\r\n", 0, InvalidNumber, " 2\r\n"},
        IntegerReadCase{"\x80\r\n", 0, InvalidNumber, "\r\n"},
        // A token that straddles two refills of the 128-byte buffer.
        IntegerReadCase{std::string(125, ' ') + "98765 \r\n", 98765, 0, " \r\n"},
        // End of file: nothing is given back, nothing is stored, and the
        // Ctrl-Z byte stops every later read.
        IntegerReadCase{"", 0, 0, ""}, IntegerReadCase{"\r\n \r\n", 0, 0, ""},
        IntegerReadCase{"\x1a", 0, 0, ""},
        IntegerReadCase{"\r\n\x1a"
                        "5\r\n",
                        0, 0, ""},
        IntegerReadCase{"12", 12, 0, ""},
        IntegerReadCase{"12\x1a"
                        "3\r\n",
                        12, 0, ""}));

// A real read is checked against the stepwise model of digits * 10^Scale.
struct RealReadCase {
    std::string Input;
    std::string Digits;
    int Scale;
    bool Negative;
    std::int32_t Code;
    std::string Rest;
    friend void PrintTo(const RealReadCase& c, std::ostream* os) {
        *os << ::testing::PrintToString(c.Input);
    }
};

class ReadRealTest : public testsupport::TrappingFpuTest,
                     public ::testing::WithParamInterface<RealReadCase> {
  protected:
    void SetUp() override {
        testsupport::TrappingFpuTest::SetUp();
        textio::IoResultCode = 0;
    }
};

TEST_P(ReadRealTest, ExactBitsCodeAndWhatStaysInTheStream) {
    const RealReadCase& c = GetParam();
    TStreamRecord input(ModeInput, c.Input);
    const Extended value = textio::ReadReal(input.Stream);
    EXPECT_EQ(textio::TakeIoResult(), c.Code);
    if (c.Code == 0) {
        EXPECT_EQ(BitsOf(value), numin::DecimalModel(c.Digits, c.Scale, c.Negative).Bits());
    }
    EXPECT_EQ(input.Rest(), c.Rest);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadRealTest,
    ::testing::Values(RealReadCase{"1.5\r\n", "15", -1, false, 0, "\r\n"},
                      RealReadCase{"1.5E3\r\n", "15", 2, false, 0, "\r\n"},
                      RealReadCase{"2e-3\r\n", "2", -3, false, 0, "\r\n"},
                      RealReadCase{"-0\r\n", "0", 0, true, 0, "\r\n"},
                      RealReadCase{"\t 123.456 7\r\n", "123456", -3, false, 0, " 7\r\n"},
                      RealReadCase{"\r\n\r\n399.9999\r\n", "3999999", -4, false, 0, "\r\n"},
                      RealReadCase{".\r\n", "", 0, false, 0, "\r\n"},
                      RealReadCase{"E5\r\n", "", 0, false, 0, "\r\n"},
                      // Only the first 64 bytes: 1 and 63 zeros.
                      RealReadCase{Long70 + "\r\n", Long70.substr(0, 64), 0, false, 0,
                                   "0000000\r\n"},
                      RealReadCase{"-1e-5120\r\n", "0", 0, true, 0, "\r\n"},
                      RealReadCase{"", "", 0, false, 0, ""},
                      RealReadCase{"\r\n\x1a", "", 0, false, 0, ""},
                      RealReadCase{"-\r\n", "", 0, false, InvalidNumber, "\r\n"},
                      RealReadCase{"1e\r\n", "", 0, false, InvalidNumber, "\r\n"},
                      RealReadCase{"1.2.3\r\n", "", 0, false, InvalidNumber, "\r\n"},
                      RealReadCase{"1e5x\r\n", "", 0, false, InvalidNumber, "\r\n"},
                      RealReadCase{"2.5\xE2\x80\xB0\r\n", "", 0, false, InvalidNumber, "\r\n"}));

using ReadRealSaturation = testsupport::TrappingFpuTest;

TEST_F(ReadRealSaturation, InfinityReachesTheCaller) {
    TStreamRecord input(ModeInput, "-1e5120\r\n0e5120\r\n");
    const Extended negative = textio::ReadReal(input.Stream);
    textio::ReadLineEnd(input.Stream);
    const Extended positive = textio::ReadReal(input.Stream);
    EXPECT_EQ(BitsOf(negative), ExtendedBits::Make(true, 0x7FFF, ExtendedBits::IntegerBit));
    EXPECT_EQ(BitsOf(positive), ExtendedBits::Make(false, 0x7FFF, ExtendedBits::IntegerBit));
    EXPECT_EQ(textio::TakeIoResult(), 0);
}

TEST(ReadNumberSequence, InvalidLineThenValidLineAsTheDialogueReadsThem) {
    textio::IoResultCode = 0;
    TStreamRecord input(ModeInput, "12abc 99\r\n\r\n7\r\n");
    textio::ReadInteger(input.Stream);
    textio::ReadLineEnd(input.Stream);
    EXPECT_EQ(textio::TakeIoResult(), InvalidNumber);
    EXPECT_EQ(textio::ReadInteger(input.Stream), 7);
    textio::ReadLineEnd(input.Stream);
    EXPECT_EQ(textio::TakeIoResult(), 0);
    // After the end of input every number reads as 0 without a code.
    EXPECT_EQ(textio::ReadInteger(input.Stream), 0);
    EXPECT_EQ(BitsOf(textio::ReadReal(input.Stream)), BitsOf(Extended(0.0)));
    EXPECT_EQ(textio::TakeIoResult(), 0);
}

TEST(ReadNumberWithoutCrLf, ByteTwentySixIsAnOrdinaryBlank) {
    textio::IoResultCode = 0;
    TStreamRecord input(ModeInput,
                        "\x1a"
                        "5\x1a"
                        "6",
                        0);
    EXPECT_EQ(textio::ReadInteger(input.Stream), 5);
    EXPECT_EQ(input.Rest(), "\x1a"
                            "6");
    EXPECT_EQ(textio::TakeIoResult(), 0);
}

TEST(ReadNumberReadError, EndsTheTokenAndTheCollectedBytesAreConverted) {
    textio::IoResultCode = 0;
    TStreamRecord valid(ModeInput, {{"12"}, {"", ReadFault}, {"34\r\n"}});
    EXPECT_EQ(textio::ReadInteger(valid.Stream), 12);
    EXPECT_EQ(textio::TakeIoResult(), ReadFault);
    EXPECT_EQ(valid.Rest(), "34\r\n"); // a read error is not permanent

    TStreamRecord rejected(ModeInput, {{"1e"}, {"", ReadFault}, {"5\r\n"}});
    textio::ReadReal(rejected.Stream);
    EXPECT_EQ(textio::TakeIoResult(), InvalidNumber);
}

TEST(ReadNumberReadError, EndsTheSkipLikeEndOfFile) {
    textio::IoResultCode = 0;
    TStreamRecord input(ModeInput, {{" \r\n"}, {"", ReadFault}, {"7\r\n"}});
    EXPECT_EQ(textio::ReadInteger(input.Stream), 0);
    EXPECT_EQ(textio::TakeIoResult(), ReadFault);
    EXPECT_EQ(textio::ReadInteger(input.Stream), 7);
}

TEST(SkipToToken, StopsBeforeTheFirstTokenByteOrAtEnd) {
    TStreamRecord token(ModeInput, "\r\n \t\0"s
                                   "\x7f\r\n");
    EXPECT_FALSE(textio::SkipToToken(token.Stream));
    EXPECT_EQ(token.Rest(), "\x7f\r\n");

    TStreamRecord blanks(ModeInput, "\r\n \t\0"s
                                    "\x1f");
    EXPECT_TRUE(textio::SkipToToken(blanks.Stream));
    EXPECT_TRUE(textio::SkipToToken(blanks.Stream));
}

using ReadRealDeathTest = testsupport::TrappingFpuTest;

TEST_F(ReadRealDeathTest, ValueBeyondTheExtendedRangeNeverReachesTheCaller) {
    EXPECT_EXIT(testsupport::ExitWithFault([] {
                    TStreamRecord input(ModeInput, "1e4999\r\n");
                    (void)textio::ReadReal(input.Stream);
                }),
                ::testing::ExitedWithCode(testsupport::FaultedExitCode),
                testsupport::FaultText(foundation::FaultFloatOverflow));
}

} // namespace
