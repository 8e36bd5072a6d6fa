// SPDX-License-Identifier: MIT
// Codes left pending by failing stream operations, on real descriptors.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "foundation/platform_io.h"
#include "stream_child.h"
#include "support/child_process.h"
#include "support/stream_fixture.h"
#include "textio/text_stream.h"

namespace {

using namespace textio;
using streamtest::Report;
using testsupport::TStreamRecord;

void OpenOnto(const char* path, int flags, int target) {
    const int fd = open(path, flags);
    streamtest::PutOn(fd, target);
    close(fd);
}

void WriteStatement(TTextStream& stream) {
    WriteText(stream, "Number of points: ", 0);
    WriteLineEnd(stream);
}

struct TCodeCase {
    const char* Name;
    void (*Body)();
    std::vector<std::int32_t> Reports;

    friend void PrintTo(const TCodeCase& c, std::ostream* out) { *out << c.Name; }
};

class PendingCodeTest : public ::testing::TestWithParam<TCodeCase> {};

TEST_P(PendingCodeTest, ChildReportsTheCodes) {
    EXPECT_EQ(streamtest::RunChild(GetParam().Body), GetParam().Reports);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, PendingCodeTest,
    ::testing::Values(
        // Not open: the open fails at every statement and the stream stays closed.
        TCodeCase{"ClosedStdout",
                  [] {
                      close(1);
                      WriteStatement(OutputStream);
                      Report(TakeIoResult());
                      Report(OutputStream.Mode == ModeClosed);
                      WriteStatement(OutputStream);
                      Report(TakeIoResult());
                  },
                  {105, 1, 105}},
        TCodeCase{"FullDevice",
                  [] {
                      OpenOnto("/dev/full", O_WRONLY, 1);
                      WriteStatement(OutputStream);
                      Report(TakeIoResult());
                      Report(OutputStream.Mode == ModeOutput);
                  },
                  {112, 1}},
        // A pipe holds the line until the buffer is written out.
        TCodeCase{"PipeReaderGone",
                  [] {
                      testsupport::TPipe pipe;
                      pipe.Read.Reset();
                      streamtest::PutOn(pipe.Write.Get(), 1);
                      foundation::IgnoreWriteSignals();
                      WriteStatement(OutputStream);
                      Report(TakeIoResult());
                      FlushStream(OutputStream);
                      Report(TakeIoResult());
                  },
                  {0, 232}},
        TCodeCase{"ErrorStreamWritesStandardError",
                  [] {
                      close(1);
                      OpenOnto("/dev/full", O_WRONLY, 2);
                      WriteStatement(ErrorStream);
                      Report(TakeIoResult());
                  },
                  {112}},
        // A failed read is not remembered: the next one tries again.
        TCodeCase{"ClosedStdin",
                  [] {
                      close(0);
                      for (int i = 0; i < 2; ++i) {
                          Report(NextInputChar(InputStream).AtEnd);
                          Report(TakeIoResult());
                      }
                      Report(InputStream.Mode == ModeInput);
                  },
                  {1, 6, 1, 6, 1}},
        TCodeCase{"DirectoryAsStdin",
                  [] {
                      OpenOnto("/", O_RDONLY | O_DIRECTORY, 0);
                      ReadLineEnd(InputStream);
                      Report(TakeIoResult());
                  },
                  {1}},
        // Two failures in one statement: the later code stays, and taking it
        // leaves none.
        TCodeCase{"ReadFailsThenWriteFails",
                  [] {
                      OpenOnto("/", O_RDONLY | O_DIRECTORY, 0);
                      OpenOnto("/dev/full", O_WRONLY, 1);
                      NextInputChar(InputStream);
                      WriteStatement(OutputStream);
                      Report(TakeIoResult());
                      Report(TakeIoResult());
                  },
                  {112, 0}},
        TCodeCase{"WriteFailsThenReadFails",
                  [] {
                      OpenOnto("/", O_RDONLY | O_DIRECTORY, 0);
                      OpenOnto("/dev/full", O_WRONLY, 1);
                      WriteStatement(OutputStream);
                      NextInputChar(InputStream);
                      Report(TakeIoResult());
                      Report(TakeIoResult());
                  },
                  {1, 0}},
        TCodeCase{"CloseNeverOpened",
                  [] {
                      for (TTextStream* stream : {&InputStream, &OutputStream, &ErrorStream}) {
                          Report(CloseStream(*stream));
                          Report(TakeIoResult());
                      }
                  },
                  {0, 0, 0, 103, 0, 103}},
        // Flushing a closed stream is quiet only for the two output streams.
        TCodeCase{"FlushNeverOpened",
                  [] {
                      TTextStream other{};
                      other.Mode = ModeClosed;
                      for (TTextStream* stream : {&OutputStream, &ErrorStream, &other}) {
                          Report(LineFlush(*stream));
                          Report(FlushStream(*stream));
                      }
                      Report(TakeIoResult());
                  },
                  {0, 0, 0, 0, 103, 103, 103}},
        // A stream opened anew starts with an empty buffer: input still
        // waiting in it from its earlier mode is not written out.
        TCodeCase{"ReopenedWithBytesWaiting",
                  [] {
                      const testsupport::TFd input = testsupport::TemporaryFile("abc");
                      testsupport::TPipe output;
                      streamtest::PutOn(input.Get(), 0);
                      streamtest::PutOn(output.Write.Get(), 1);
                      NextInputChar(InputStream); // "bc" stays in the buffer
                      OpenForOutput(InputStream);
                      WriteText(InputStream, "out", 0);
                      Report(FlushStream(InputStream));
                      close(1);
                      output.Write.Reset();
                      for (const char c : testsupport::ReadAll(output.Read.Get()))
                          Report(c);
                  },
                  {0, 'o', 'u', 't'}},
        TCodeCase{"OpenRecordThatIsNoStream",
                  [] {
                      TTextStream other{};
                      Report(OpenForOutput(other));
                      Report(TakeIoResult());
                      Report(other.Mode);
                  },
                  {102, 102, 0}}),
    [](const auto& info) { return std::string(info.param.Name); });

class WritePathTest : public ::testing::Test {
  protected:
    void SetUp() override { TakeIoResult(); }
    void TearDown() override { TakeIoResult(); }

    // Everything written into the pipe so far.
    std::string Drained() {
        Pipe.Write.Reset();
        return testsupport::ReadAll(Pipe.Read.Get());
    }

    testsupport::TPipe Pipe;
    const testsupport::TFd Full{open("/dev/full", O_WRONLY)};
};

TEST_F(WritePathTest, TextStandsRightAlignedInItsField) {
    struct TCase {
        std::string_view Text;
        std::int32_t Width;
        std::string Expected;
    };
    const TCase cases[] = {
        {"abc", 0, "abc"},
        {"abc", 5, "  abc"},
        {"abcdef", 3, "abcdef"},
        {"x", -7, "x"},
        {"", 3, "   "},
        {{}, 2, "  "},
        {"x", 64, std::string(63, ' ') + "x"},
        {"x", 200, std::string(199, ' ') + "x"},
    };
    std::string expected;
    TStreamRecord record(ModeOutput, Pipe.Write.Get());
    for (const TCase& c : cases) {
        TShortText shortText;
        shortText.Length = static_cast<std::uint8_t>(c.Text.size());
        c.Text.copy(shortText.Chars, c.Text.size());
        WriteText(record.Stream, c.Text, c.Width);
        WriteText(record.Stream, shortText, c.Width);
        expected += c.Expected + c.Expected;
    }
    EXPECT_EQ(FlushStream(record.Stream), 0);
    EXPECT_EQ(Drained(), expected);
    EXPECT_EQ(IoResultCode, 0);
}

// After a failed transfer the rest of the write is dropped.
TEST_F(WritePathTest, FailedTransferDropsTheRest) {
    TStreamRecord record(ModeOutput, Full.Get());
    WriteChars(record.Stream, std::string(300, 'a').data(), 300);
    EXPECT_EQ(TakeIoResult(), 112);
    EXPECT_EQ(record.Stream.BufferPos, 0u);

    WriteBlanks(record.Stream, 200);
    EXPECT_EQ(TakeIoResult(), 112);
    EXPECT_EQ(record.Stream.BufferPos, 0u) << "blanks stop at the first failure";
}

// A code already pending stops the blanks after their first block.
TEST_F(WritePathTest, PendingCodeStopsBlanksEarly) {
    TStreamRecord record(ModeOutput, Pipe.Write.Get());
    SetIoResult(106);
    WriteBlanks(record.Stream, 100);
    EXPECT_EQ(record.Stream.BufferPos, 64u);
    EXPECT_EQ(TakeIoResult(), 106);
    WriteBlanks(record.Stream, 50);
    EXPECT_EQ(record.Stream.BufferPos, 114u);
}

// Bytes of a failed write are lost; the stream goes on with the next ones.
// A close whose write-out fails returns that failure.
TEST_F(WritePathTest, FailedDrainLosesWaitingBytesOnly) {
    TStreamRecord record(ModeOutput, -1);
    WriteText(record.Stream, "lost", 0);
    EXPECT_EQ(FlushStream(record.Stream), 6);
    EXPECT_EQ(TakeIoResult(), 6);
    WriteText(record.Stream, "lost too", 0);
    EXPECT_EQ(CloseStream(record.Stream), 6);
    EXPECT_EQ(TakeIoResult(), 6);
    record.Stream.Handle = Pipe.Write.Get();
    WriteText(record.Stream, "kept", 0);
    WriteLineEnd(record.Stream);
    EXPECT_EQ(CloseStream(record.Stream), 0);
    EXPECT_EQ(record.Stream.Mode, ModeOutput) << "closing a standard stream leaves its mode";
    EXPECT_EQ(Drained(), "kept\r\n");
}

// A record without slots is handled as if they did nothing, and a named
// stream without an opener of its own is refused, not jumped through.
TEST(StreamRecord, EmptySlotsAreNotCalled) {
    TakeIoResult();
    TTextStream record{};
    record.Mode = ModeOutput;
    EXPECT_EQ(FlushStream(record), 0);
    EXPECT_EQ(LineFlush(record), 0);
    EXPECT_EQ(CloseStream(record), 0);
    record.Mode = ModeClosed;
    record.Name[0] = 'f';
    EXPECT_EQ(OpenForOutput(record), 1);
    EXPECT_EQ(record.Mode, ModeClosed);
    EXPECT_EQ(TakeIoResult(), 1);
}

} // namespace
