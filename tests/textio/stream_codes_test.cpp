// Codes left pending by failing stream operations, on real descriptors.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "foundation/platform_io.h"
#include "stream_child.h"
#include "textio/text_stream.h"

namespace {

using namespace textio;
using streamtest::Report;

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
                      int fds[2];
                      if (pipe(fds) != 0) _exit(93);
                      close(fds[0]);
                      streamtest::PutOn(fds[1], 1);
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
        TCodeCase{"OpenRecordThatIsNoStream",
                  [] {
                      TTextStream other{};
                      Report(OpenForOutput(other));
                      Report(TakeIoResult());
                      Report(other.Mode);
                  },
                  {102, 102, 0}}),
    [](const auto& info) { return std::string(info.param.Name); });

// An output stream record over a descriptor of the test's own.
struct TOutputRecord {
    explicit TOutputRecord(int fd) {
        Stream.Handle = fd;
        Stream.Mode = ModeOutput;
        Stream.Flags = CrLfFlag;
        Stream.BufferSize = StandardBufferSize;
        Stream.BufferPtr = Stream.Buffer;
        Stream.TransferOp = DrainBuffer;
        Stream.FlushOp = NoOp;
        Stream.CloseOp = NoOp;
    }
    TTextStream Stream{};
};

class WritePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        TakeIoResult();
        ASSERT_EQ(pipe(Pipe), 0);
        ASSERT_GE(Full = open("/dev/full", O_WRONLY), 0);
    }
    void TearDown() override {
        close(Pipe[0]);
        close(Pipe[1]);
        close(Full);
        TakeIoResult();
    }

    // Everything written into the pipe so far.
    std::string Drained() {
        close(Pipe[1]);
        Pipe[1] = -1;
        std::string bytes;
        char buffer[512];
        for (ssize_t got; (got = read(Pipe[0], buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
        return bytes;
    }

    int Pipe[2] = {-1, -1};
    int Full = -1;
};

TEST_F(WritePathTest, TextStandsRightAlignedInItsField) {
    struct TCase {
        std::string_view Text;
        std::int32_t Width;
        std::string Expected;
    };
    const TCase cases[] = {
        {"abc", 0, "abc"},     {"abc", 5, "  abc"},   {"abcdef", 3, "abcdef"},
        {"x", -7, "x"},        {"", 3, "   "},        {{}, 2, "  "},
        {"x", 64, std::string(63, ' ') + "x"},        {"x", 200, std::string(199, ' ') + "x"},
    };
    std::string expected;
    TOutputRecord record(Pipe[1]);
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
    TOutputRecord record(Full);
    WriteChars(record.Stream, std::string(300, 'a').data(), 300);
    EXPECT_EQ(TakeIoResult(), 112);
    EXPECT_EQ(record.Stream.BufferPos, 0u);

    WriteBlanks(record.Stream, 200);
    EXPECT_EQ(TakeIoResult(), 112);
    EXPECT_EQ(record.Stream.BufferPos, 0u) << "blanks stop at the first failure";
}

// A code already pending stops the blanks after their first block.
TEST_F(WritePathTest, PendingCodeStopsBlanksEarly) {
    TOutputRecord record(Pipe[1]);
    SetIoResult(106);
    WriteBlanks(record.Stream, 100);
    EXPECT_EQ(record.Stream.BufferPos, 64u);
    EXPECT_EQ(TakeIoResult(), 106);
    WriteBlanks(record.Stream, 50);
    EXPECT_EQ(record.Stream.BufferPos, 114u);
}

// Bytes of a failed write are lost; the stream goes on with the next ones.
TEST_F(WritePathTest, FailedDrainLosesWaitingBytesOnly) {
    TOutputRecord record(-1);
    WriteText(record.Stream, "lost", 0);
    EXPECT_EQ(FlushStream(record.Stream), 6);
    EXPECT_EQ(TakeIoResult(), 6);
    record.Stream.Handle = Pipe[1];
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
