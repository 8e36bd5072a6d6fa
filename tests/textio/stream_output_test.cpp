// SPDX-License-Identifier: MIT
// When written output reaches the standard output descriptor: at each line
// end on a terminal, in whole 128-byte blocks on pipes, sockets and files,
// and the rest at close.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "stream_child.h"
#include "stream_sink.h"
#include "textio/text_stream.h"

namespace {

using namespace textio;
using streamtest::TSinkKind;

const std::string FirstLine(62, 'a');
const std::string SecondLine(62, 'b');
const std::string ShortLine(30, 'c');
const std::string Block(300, 'd');

// Five statements, the child pausing after each: three lines, one long
// write without a line end, and the close at program end.
void WriteDialogue() {
    WriteText(OutputStream, FirstLine, 0);
    WriteLineEnd(OutputStream);
    streamtest::Pause();
    WriteText(OutputStream, SecondLine, 0);
    WriteLineEnd(OutputStream);
    streamtest::Pause();
    WriteText(OutputStream, ShortLine, 0);
    WriteLineEnd(OutputStream);
    streamtest::Pause();
    WriteChars(OutputStream, Block.data(), static_cast<std::uint32_t>(Block.size()));
    streamtest::Pause();
    CloseStream(OutputStream);
    streamtest::Report(TakeIoResult());
}

struct TFlushCase {
    const char* Name;
    TSinkKind Kind;
    std::vector<std::size_t> Totals; // bytes arrived after each statement
    // Sizes of the single writes per statement; checked where writes keep
    // their boundaries (packets).
    std::vector<std::vector<std::size_t>> Pieces;

    friend void PrintTo(const TFlushCase& c, std::ostream* out) { *out << c.Name; }
};

class OutputFlushTest : public ::testing::TestWithParam<TFlushCase> {};

TEST_P(OutputFlushTest, BytesArriveAtTheExpectedStatements) {
    const TFlushCase& param = GetParam();
    streamtest::TSink sink(param.Kind);
    streamtest::TStreamChild child([&sink] {
        sink.GiveTo(1);
        WriteDialogue();
    });
    sink.ChildEnd.Reset();

    std::string arrived;
    for (std::size_t step = 0; step < param.Totals.size(); ++step) {
        const std::vector<std::int32_t> reports = child.Collect();
        if (step + 1 == param.Totals.size()) {
            EXPECT_EQ(reports, std::vector<std::int32_t>{0}) << "code after close";
        }
        const std::vector<std::string> pieces = sink.Take();
        for (const std::string& piece : pieces)
            arrived += piece;
        EXPECT_EQ(arrived.size(), param.Totals[step]) << "after statement " << step + 1;
        if (!param.Pieces.empty()) {
            std::vector<std::size_t> sizes;
            sizes.reserve(pieces.size());
            for (const std::string& piece : pieces)
                sizes.push_back(piece.size());
            EXPECT_EQ(sizes, param.Pieces[step]) << "after statement " << step + 1;
        }
        if (step + 1 < param.Totals.size()) child.Resume();
    }
    const int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(arrived, FirstLine + "\r\n" + SecondLine + "\r\n" + ShortLine + "\r\n" + Block);
}

const std::vector<std::size_t> BlockTotals{0, 128, 128, 384, 460};

INSTANTIATE_TEST_SUITE_P(
    Devices, OutputFlushTest,
    ::testing::Values(
        TFlushCase{"Terminal", TSinkKind::Terminal, {64, 128, 160, 416, 460}, {}},
        TFlushCase{"Pipe", TSinkKind::Pipe, BlockTotals, {}},
        TFlushCase{"File", TSinkKind::File, BlockTotals, {}},
        TFlushCase{"Packets", TSinkKind::Packets, BlockTotals, {{}, {128}, {}, {128, 128}, {76}}}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
