// SPDX-License-Identifier: MIT
// The platform layer on real descriptors: handle numbers, file types,
// error codes of failed transfers, and transfers that must wait or resume.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include "foundation/platform_io.h"
#include "foundation/posix/last_error.h"

namespace {

using namespace foundation;
using namespace std::chrono_literals;

TEST(PlatformHandles, StandardHandleNumbers) {
    EXPECT_EQ(GetStdHandle(StdInputHandle), 0);
    EXPECT_EQ(GetStdHandle(StdOutputHandle), 1);
    EXPECT_EQ(GetStdHandle(StdErrorHandle), 2);
    for (std::int32_t which : {0, -9, -13, 1}) {
        SetLastError(0);
        EXPECT_EQ(GetStdHandle(which), InvalidHandle) << which;
        EXPECT_EQ(GetLastError(), ErrorInvalidHandle) << which;
    }
}

// Descriptors opened for one case and closed after it.
struct TDescriptors {
    int Fds[2] = {-1, -1};
    ~TDescriptors() {
        for (int fd : Fds) {
            if (fd >= 0) close(fd);
        }
    }
};

TEST(PlatformHandles, FileTypes) {
    struct TCase {
        const char* Name;
        std::function<int(TDescriptors&)> Open;
        std::uint32_t Type;
    };
    const TCase cases[] = {
        {"pipe", [](TDescriptors& d) { return pipe(d.Fds) == 0 ? d.Fds[0] : -1; }, FileTypePipe},
        {"socket",
         [](TDescriptors& d) {
             return socketpair(AF_UNIX, SOCK_STREAM, 0, d.Fds) == 0 ? d.Fds[1] : -1;
         },
         FileTypePipe},
        {"directory", [](TDescriptors& d) { return d.Fds[0] = open("/", O_RDONLY | O_DIRECTORY); },
         FileTypePipe},
        {"regular file",
         [](TDescriptors& d) { return d.Fds[0] = open("/proc/self/exe", O_RDONLY); }, FileTypeDisk},
        {"null device", [](TDescriptors& d) { return d.Fds[0] = open("/dev/null", O_WRONLY); },
         FileTypeChar},
        {"terminal",
         [](TDescriptors& d) {
             return openpty(&d.Fds[0], &d.Fds[1], nullptr, nullptr, nullptr) == 0 ? d.Fds[1] : -1;
         },
         FileTypeChar},
        {"closed descriptor",
         [](TDescriptors& d) {
             d.Fds[0] = open("/dev/null", O_RDONLY);
             close(d.Fds[0]);
             return std::exchange(d.Fds[0], -1);
         },
         FileTypeUnknown},
    };
    for (const TCase& c : cases) {
        TDescriptors descriptors;
        const int fd = c.Open(descriptors);
        ASSERT_GE(fd, 0) << c.Name;
        EXPECT_EQ(GetFileType(fd), c.Type) << c.Name;
    }
}

TEST(PlatformErrors, FailedTransfersLeaveTheirCode) {
    struct TCase {
        const char* Name;
        std::function<int(TDescriptors&)> Open;
        TTransfer Direction;
        std::uint32_t Code;
    };
    const TCase cases[] = {
        {"read closed", [](TDescriptors&) { return 1000; }, TTransfer::Read, ErrorInvalidHandle},
        {"read write-only", [](TDescriptors& d) { return d.Fds[0] = open("/dev/null", O_WRONLY); },
         TTransfer::Read, ErrorInvalidHandle},
        {"write full device",
         [](TDescriptors& d) { return d.Fds[0] = open("/dev/full", O_WRONLY); }, TTransfer::Write,
         ErrorDiskFull},
        {"write read-only", [](TDescriptors& d) { return d.Fds[0] = open("/dev/null", O_RDONLY); },
         TTransfer::Write, ErrorInvalidHandle},
    };
    for (const TCase& c : cases) {
        TDescriptors descriptors;
        const int fd = c.Open(descriptors);
        char buffer[16] = "data";
        std::uint32_t done = 99;
        SetLastError(0);
        const bool ok = c.Direction == TTransfer::Read ? ReadFile(fd, buffer, sizeof buffer, done)
                                                       : WriteFile(fd, buffer, 4, done);
        EXPECT_FALSE(ok) << c.Name;
        EXPECT_EQ(done, 0u) << c.Name;
        EXPECT_EQ(GetLastError(), c.Code) << c.Name;
    }
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(1000));
    EXPECT_EQ(GetLastError(), ErrorInvalidHandle);
}

// Every errno the table names, and one it does not. A quota or a file-size
// limit is a full disk for this file, as ENOSPC is.
TEST(PlatformErrors, ErrnoTable) {
    struct TRow {
        int Errno;
        TTransfer Direction;
        std::uint32_t Code;
    };
    constexpr TRow Rows[] = {
        {EBADF, TTransfer::Read, ErrorInvalidHandle},
        {ENOENT, TTransfer::Read, ErrorFileNotFound},
        {EACCES, TTransfer::Write, ErrorAccessDenied},
        {EPERM, TTransfer::Write, ErrorAccessDenied},
        {EPIPE, TTransfer::Read, ErrorBrokenPipe},
        {EPIPE, TTransfer::Write, ErrorNoData},
        {ENOSPC, TTransfer::Write, ErrorDiskFull},
        {EDQUOT, TTransfer::Write, ErrorDiskFull},
        {EFBIG, TTransfer::Write, ErrorDiskFull},
        {EIO, TTransfer::Read, ErrorIoDevice},
        {EISDIR, TTransfer::Read, ErrorInvalidFunction},
        {EINVAL, TTransfer::Write, ErrorInvalidParameter},
        {ENOMEM, TTransfer::Read, ErrorGenFailure},
    };
    for (const TRow& row : Rows) {
        EXPECT_EQ(TranslateErrno(row.Errno, row.Direction), row.Code) << row.Errno;
    }
}

// A non-blocking descriptor with nothing to read yet is waited on.
TEST(PlatformTransfers, NonBlockingReadWaits) {
    TDescriptors d;
    ASSERT_EQ(pipe2(d.Fds, O_NONBLOCK), 0);
    std::thread writer([&] {
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(write(d.Fds[1], "late", 4), 4);
    });
    char buffer[128];
    std::uint32_t done = 0;
    EXPECT_TRUE(ReadFile(d.Fds[0], buffer, sizeof buffer, done));
    writer.join();
    EXPECT_EQ(std::string(buffer, done), "late");
}

// A write the pipe takes only in part, then refuses with EAGAIN, is carried
// on until every byte is out.
TEST(PlatformTransfers, ShortAndRefusedWritesAreResumed) {
    TDescriptors d;
    ASSERT_EQ(pipe2(d.Fds, O_NONBLOCK), 0);
    ASSERT_GE(fcntl(d.Fds[1], F_SETPIPE_SZ, 4096), 4096);
    std::string sent(20000, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>('a' + i % 26);
    std::string received;
    std::thread reader([&] {
        std::this_thread::sleep_for(50ms);
        char buffer[1000];
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (received.size() < sent.size() && std::chrono::steady_clock::now() < deadline) {
            const ssize_t got = read(d.Fds[0], buffer, sizeof buffer);
            if (got > 0) received.append(buffer, got);
            std::this_thread::sleep_for(1ms);
        }
    });
    std::uint32_t done = 0;
    EXPECT_TRUE(WriteFile(d.Fds[1], sent.data(), static_cast<std::uint32_t>(sent.size()), done));
    reader.join();
    EXPECT_EQ(done, sent.size());
    EXPECT_EQ(received, sent);
}

std::atomic<int> Interruptions{0};
void CountInterruption(int) {
    ++Interruptions;
}

// A signal that interrupts a blocked read does not end it.
TEST(PlatformTransfers, InterruptedReadIsRetried) {
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = CountInterruption; // no SA_RESTART: read(2) fails with EINTR
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    TDescriptors d;
    ASSERT_EQ(pipe(d.Fds), 0);
    const pthread_t blocked = pthread_self();
    Interruptions = 0;
    std::thread other([&] {
        std::this_thread::sleep_for(50ms);
        pthread_kill(blocked, SIGUSR1);
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(write(d.Fds[1], "x", 1), 1);
    });
    char buffer[8];
    std::uint32_t done = 0;
    EXPECT_TRUE(ReadFile(d.Fds[0], buffer, sizeof buffer, done));
    other.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(Interruptions, 1);
}

} // namespace
