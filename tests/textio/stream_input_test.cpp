// SPDX-License-Identifier: MIT
// Reading: line ends, the permanent end of file, and how often the handle
// is read.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "stream_child.h"
#include "stream_sink.h"
#include "support/child_process.h"
#include "support/stream_fixture.h"
#include "textio/text_stream.h"

namespace {

using namespace textio;
using streamtest::TSinkKind;

// An input stream record over a file that holds the whole input.
struct TFileInput {
    explicit TFileInput(const std::string& input, std::uint16_t flags = CrLfFlag)
        : File(testsupport::TemporaryFile(input)), Record(ModeInput, File.Get(), flags) {}

    testsupport::TFd File;
    testsupport::TStreamRecord Record;
};

struct TLineEndCase {
    const char* Name;
    std::string Input;
    std::string Rest; // what remains after one ReadLineEnd

    friend void PrintTo(const TLineEndCase& c, std::ostream* out) { *out << c.Name; }
};

class ReadLineEndTest : public ::testing::TestWithParam<TLineEndCase> {};

TEST_P(ReadLineEndTest, DiscardsThroughTheFirstLf) {
    TFileInput input(GetParam().Input);
    ReadLineEnd(input.Record.Stream);
    EXPECT_EQ(input.Record.Rest(), GetParam().Rest);
    EXPECT_EQ(TakeIoResult(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadLineEndTest,
    ::testing::Values(TLineEndCase{"LoneCrDoesNotEndTheLine", "1 2\r3 4\nX", "X"},
                      TLineEndCase{"CrLf", "abc\r\nX\r\n", "X\r\n"},
                      TLineEndCase{"LfAlone", "\nX", "X"},
                      TLineEndCase{"CrBeforeCrLf", "\r\r\nX", "X"},
                      TLineEndCase{"LongerThanOneRefill", std::string(300, 'a') + "\nX", "X"},
                      TLineEndCase{"CrLfSplitByRefill", std::string(127, 'a') + "\r\nX", "X"},
                      TLineEndCase{"CharAfterCrGivenBackAcrossRefill",
                                   std::string(127, 'a') + "\rb\nY", "Y"},
                      TLineEndCase{"EndOfInput", "abc", ""}, TLineEndCase{"EmptyInput", "", ""},
                      TLineEndCase{"CrAtEndOfInput", "ab\r", ""},
                      TLineEndCase{"EndOfFileByteEndsLineForGood", "a\x1a\nX", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// Without the line-end flag, byte 26 is an ordinary character and the end
// of input is not remembered.
TEST(NextInputChar, WithoutCrLfFlagByte26IsAChar) {
    TFileInput input("a\x1a"
                     "b",
                     0);
    EXPECT_EQ(input.Record.Rest(), "a\x1a"
                                   "b");
    EXPECT_EQ(input.Record.Stream.BufferEnd, 0u);
}

// Refills of the standard input counted through its transfer slot.
int Refills = 0;
std::int32_t CountedFill(TTextStream& stream) {
    ++Refills;
    return FillBuffer(stream);
}

struct TEndCase {
    const char* Name;
    TSinkKind Kind;
    std::string Input;
    bool KeepOpen;         // the writer stays, so a further read would block
    std::string Delivered; // characters before the end of file
    int Refills;           // reads of the handle, then never again
    int Unread;            // bytes the reader left behind, -1 unchecked

    friend void PrintTo(const TEndCase& c, std::ostream* out) { *out << c.Name; }
};

class PermanentEndTest : public ::testing::TestWithParam<TEndCase> {};

TEST_P(PermanentEndTest, NoReadAfterTheEndOfFile) {
    const TEndCase& param = GetParam();
    streamtest::TSink source(param.Kind, true);
    if (param.Kind == TSinkKind::Terminal) {
        termios mode{};
        ASSERT_EQ(tcgetattr(source.ChildEnd.Get(), &mode), 0);
        mode.c_lflag = ICANON; // line by line, Ctrl-D ends the input, no echo
        mode.c_cc[VEOF] = 4;
        ASSERT_EQ(tcsetattr(source.ChildEnd.Get(), TCSANOW, &mode), 0);
    }
    source.Send(param.Input);
    streamtest::TStreamChild child([&source] {
        source.GiveTo(0);
        EnsureInputOpen(InputStream);
        InputStream.TransferOp = CountedFill;
        TInputChar next = NextInputChar(InputStream);
        for (int i = 0; !next.AtEnd && i < 300; ++i, next = NextInputChar(InputStream)) {
            streamtest::Report(next.Char);
        }
        streamtest::Pause();
        for (int i = 0; i < 3; ++i)
            streamtest::Report(NextInputChar(InputStream).AtEnd);
        ReadLineEnd(InputStream);
        streamtest::Report(Refills);
        streamtest::Report(TakeIoResult());
        int unread = -1;
        ioctl(0, FIONREAD, &unread);
        streamtest::Report(unread);
    });
    source.ChildEnd.Reset();
    if (!param.KeepOpen) source.OurEnd.Reset();

    std::vector<std::int32_t> delivered;
    for (char c : param.Delivered)
        delivered.push_back(static_cast<unsigned char>(c));
    EXPECT_EQ(child.Collect(), delivered);
    child.Resume();
    const std::vector<std::int32_t> after = child.Collect();
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(after[0] + after[1] + after[2], 3) << "every later call is the end of file";
    EXPECT_EQ(after[3], param.Refills);
    EXPECT_EQ(after[4], 0);
    if (param.Unread >= 0) {
        EXPECT_EQ(after[5], param.Unread) << "bytes left unread";
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, PermanentEndTest,
                         ::testing::Values(TEndCase{"Byte26InPipe", TSinkKind::Pipe,
                                                    "ab\x1a"
                                                    "cd" +
                                                        std::string(200, 'x'),
                                                    true, "ab", 1, 77},
                                           TEndCase{"EndOfPipe", TSinkKind::Pipe, "7\r\n", false,
                                                    "7\r\n", 2, 0},
                                           TEndCase{"CtrlDOnTerminal", TSinkKind::Terminal,
                                                    "5\n\x04"
                                                    "7\n",
                                                    true, "5\n", 2, 2},
                                           TEndCase{"Byte26OnTerminal", TSinkKind::Terminal,
                                                    "5\x1a"
                                                    "6\n7\n",
                                                    true, "5", 1, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
