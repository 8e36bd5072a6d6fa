// SPDX-License-Identifier: MIT
// The platform layer over real Windows handles: file types of files, pipes
// and devices, transfers, and the error codes of failed transfers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "foundation/platform_io.h"

namespace {

namespace io = foundation;
using namespace foundation;

THandle Wide(HANDLE handle) {
    return reinterpret_cast<THandle>(handle);
}

// A pipe, both ends closed when the case ends unless closed before.
struct TPipe {
    HANDLE Reader = nullptr;
    HANDLE Writer = nullptr;
    TPipe() { EXPECT_TRUE(CreatePipe(&Reader, &Writer, nullptr, 0)); }
    ~TPipe() {
        CloseReader();
        CloseWriter();
    }
    void CloseReader() {
        if (Reader != nullptr) ::CloseHandle(Reader);
        Reader = nullptr;
    }
    void CloseWriter() {
        if (Writer != nullptr) ::CloseHandle(Writer);
        Writer = nullptr;
    }
};

// A temporary file, deleted when its last handle closes.
HANDLE TemporaryFile(DWORD access = GENERIC_READ | GENERIC_WRITE) {
    char directory[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    GetTempFileNameA(directory, "svy", 0, path);
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

TEST(WindowsHandles, StandardHandlesAreTheSystemOnes) {
    const struct {
        std::int32_t Which;
        DWORD System;
    } cases[] = {{StdInputHandle, STD_INPUT_HANDLE},
                 {StdOutputHandle, STD_OUTPUT_HANDLE},
                 {StdErrorHandle, STD_ERROR_HANDLE}};
    for (const auto& c : cases) {
        EXPECT_EQ(io::GetStdHandle(c.Which), Wide(::GetStdHandle(c.System))) << c.Which;
    }
    io::SetLastError(0);
    EXPECT_EQ(io::GetStdHandle(-13), InvalidHandle);
    EXPECT_EQ(io::GetLastError(), ErrorInvalidHandle);
}

TEST(WindowsHandles, FileTypes) {
    const HANDLE file = TemporaryFile();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(io::GetFileType(Wide(file)), FileTypeDisk);
    ::CloseHandle(file);

    TPipe pipe;
    EXPECT_EQ(io::GetFileType(Wide(pipe.Reader)), FileTypePipe);
    EXPECT_EQ(io::GetFileType(Wide(pipe.Writer)), FileTypePipe);

    const HANDLE device = CreateFileA("NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(io::GetFileType(Wide(device)), FileTypeChar);
    ::CloseHandle(device);

    // No handle at all: what a program started without a standard handle has.
    EXPECT_EQ(io::GetFileType(0), FileTypeUnknown);
}

TEST(WindowsTransfers, FileRoundTrip) {
    const HANDLE file = TemporaryFile();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string text = "3\r\n100\r\n0\r\n";
    std::uint32_t done = 0;
    ASSERT_TRUE(
        io::WriteFile(Wide(file), text.data(), static_cast<std::uint32_t>(text.size()), done));
    EXPECT_EQ(done, text.size());
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[128];
    ASSERT_TRUE(io::ReadFile(Wide(file), buffer, sizeof buffer, done));
    EXPECT_EQ(std::string(buffer, done), text);
    // At the end of a file a read succeeds with nothing.
    ASSERT_TRUE(io::ReadFile(Wide(file), buffer, sizeof buffer, done));
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(io::CloseHandle(Wide(file)));
}

TEST(WindowsTransfers, PipeDeliversWhatWasWrittenThenEnds) {
    TPipe pipe;
    std::uint32_t done = 0;
    ASSERT_TRUE(io::WriteFile(Wide(pipe.Writer), "12\r\n", 4, done));
    pipe.CloseWriter();
    char buffer[128];
    ASSERT_TRUE(io::ReadFile(Wide(pipe.Reader), buffer, sizeof buffer, done));
    EXPECT_EQ(std::string(buffer, done), "12\r\n");
    // The writer has gone: the text streams take this code as end of input.
    EXPECT_FALSE(io::ReadFile(Wide(pipe.Reader), buffer, sizeof buffer, done));
    EXPECT_EQ(io::GetLastError(), ErrorBrokenPipe);
    EXPECT_EQ(done, 0u);
}

TEST(WindowsTransfers, FailureCodes) {
    char buffer[16] = {};
    std::uint32_t done = 0;

    // Writing into a pipe whose reader has gone: "the pipe is being closed".
    TPipe pipe;
    pipe.CloseReader();
    EXPECT_FALSE(io::WriteFile(Wide(pipe.Writer), "x", 1, done));
    EXPECT_EQ(io::GetLastError(), ErrorNoData);

    // No handle, and a handle that was closed.
    EXPECT_FALSE(io::ReadFile(0, buffer, sizeof buffer, done));
    EXPECT_EQ(io::GetLastError(), ErrorInvalidHandle);
    EXPECT_FALSE(io::WriteFile(0, "x", 1, done));
    EXPECT_EQ(io::GetLastError(), ErrorInvalidHandle);
    EXPECT_FALSE(io::CloseHandle(0));
    EXPECT_EQ(io::GetLastError(), ErrorInvalidHandle);

    // A handle opened for reading only refuses a write.
    const HANDLE readOnly = TemporaryFile(GENERIC_READ);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(io::WriteFile(Wide(readOnly), "x", 1, done));
    EXPECT_EQ(io::GetLastError(), ErrorAccessDenied);
    ::CloseHandle(readOnly);
}

TEST(WindowsCodePage, ReportTextConvertedToTheConsoleCodePage) {
    char ascii[] = "Exception EInOutError in module survey.exe at 000015E3.\r\n";
    const std::string before = ascii;
    io::ConvertToConsoleCodePage(ascii, sizeof ascii - 1);
    EXPECT_EQ(std::string(ascii), before);

    // An accented letter moves: e acute is 0xE9 in code page 1252 and 0x82
    // in the console code pages 437 and 850.
    if (GetACP() != 1252 || (GetOEMCP() != 437 && GetOEMCP() != 850)) {
        GTEST_SKIP() << "code pages " << GetACP() << " and " << GetOEMCP();
    }
    char accented[] = "caf\xE9 \xE9";
    io::ConvertToConsoleCodePage(accented, 4); // the length decides, not the zero
    EXPECT_EQ(std::string(accented), "caf\x82 \xE9");
}

} // namespace
