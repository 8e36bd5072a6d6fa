// SPDX-License-Identifier: MIT
// The stream into a named file that replaces it only when complete, on
// the real file system: what each way of ending leaves in the folder.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/platform_io.h"
#include "textio/file_stream.h"
#include "textio/io_codes.h"

namespace {

namespace fs = std::filesystem;

class FileStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() /
                 ("survey-file-stream-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        textio::TakeIoResult();
    }
    void TearDown() override { fs::remove_all(Folder); }

    std::string Target() const { return (Folder / "contour.txt").string(); }

    // The names in the folder, and the target's text (empty when absent).
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
    std::string TargetText() const {
        std::ifstream in(Target(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void PutOld() const { std::ofstream(Target(), std::ios::binary) << "old"; }
    void WriteLine(const char* text) {
        textio::WriteText(Stream, text, 0);
        textio::WriteLineEnd(Stream);
    }

    fs::path Folder;
    textio::TTextStream Stream{};
};

TEST_F(FileStreamTest, ClosingPutsTheWholeTextInPlace) {
    PutOld();
    textio::OpenReplacingFile(Stream, Target().c_str());
    ASSERT_EQ(textio::TakeIoResult(), 0);
    for (int line = 0; line < 100; ++line)
        WriteLine("a line of the new text");
    EXPECT_EQ(TargetText(), "old");
    EXPECT_EQ(Names().size(), 2u); // the old file and the new one beside it
    EXPECT_EQ(textio::CloseStream(Stream), 0);
    EXPECT_EQ(TargetText().size(), 100u * 24u);
    EXPECT_THAT(Names(), ::testing::ElementsAre("contour.txt"));
}

TEST_F(FileStreamTest, DiscardingLeavesTheOldFileAlone) {
    PutOld();
    textio::OpenReplacingFile(Stream, Target().c_str());
    WriteLine("half a document");
    textio::FlushStream(Stream);
    textio::DiscardReplacingFile(Stream);
    EXPECT_EQ(TargetText(), "old");
    EXPECT_THAT(Names(), ::testing::ElementsAre("contour.txt"));
    textio::DiscardReplacingFile(Stream); // closed already: nothing more
    EXPECT_EQ(textio::TakeIoResult(), 0);
}

TEST_F(FileStreamTest, OpeningFailsWithItsCause) {
    fs::create_directory(Folder / "folder");
    const struct {
        std::string Path;
        std::vector<std::int32_t> Codes; // what the systems answer
    } rows[] = {
        {(Folder / "folder").string(), {foundation::ErrorDirectoryNotSupported}},
        // A missing folder: POSIX says the file is not found, Windows the path.
        {(Folder / "missing" / "contour.txt").string(), {textio::CodeFileNotFound, 3}},
        {std::string(textio::NameCapacity, 'n'), {textio::CodeInvalidFilename}},
    };
    for (const auto& row : rows) {
        textio::OpenReplacingFile(Stream, row.Path.c_str());
        EXPECT_THAT(row.Codes, ::testing::Contains(textio::TakeIoResult())) << row.Path;
        EXPECT_EQ(Stream.Mode, textio::ModeClosed);
    }
    EXPECT_THAT(Names(), ::testing::ElementsAre("folder"));
    EXPECT_TRUE(fs::is_empty(Folder / "folder"));
}

} // namespace
