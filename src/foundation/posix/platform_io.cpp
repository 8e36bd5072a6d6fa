// SPDX-License-Identifier: MIT
// Standard handles and transfers over POSIX descriptors. Every failure
// leaves its system error code through the one errno table.
#include <cerrno>
#include <csignal>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/platform_io.h"
#include "foundation/posix/last_error.h"

namespace foundation {

namespace {

int Descriptor(THandle handle) {
    return static_cast<int>(handle);
}

bool Fail(TTransfer direction) {
    SetLastError(TranslateErrno(errno, direction));
    return false;
}

// A descriptor inherited in non-blocking mode answers EAGAIN when it is not
// ready; wait until it is, as a blocking one would have.
bool WaitReady(THandle handle, short events) {
    pollfd entry{Descriptor(handle), events, 0};
    for (;;) {
        if (poll(&entry, 1, -1) >= 0) return true;
        if (errno != EINTR) return false;
    }
}

} // namespace

THandle GetStdHandle(std::int32_t which) {
    switch (which) {
    case StdInputHandle: return STDIN_FILENO;
    case StdOutputHandle: return STDOUT_FILENO;
    case StdErrorHandle: return STDERR_FILENO;
    default: SetLastError(ErrorInvalidHandle); return InvalidHandle;
    }
}

std::uint32_t GetFileType(THandle handle) {
    struct stat info;
    if (fstat(Descriptor(handle), &info) != 0) return FileTypeUnknown;
    if (S_ISCHR(info.st_mode)) return FileTypeChar;
    if (S_ISREG(info.st_mode)) return FileTypeDisk;
    return FileTypePipe;
}

bool ReadFile(THandle handle, void* buffer, std::uint32_t count, std::uint32_t& done) {
    done = 0;
    for (;;) {
        const ssize_t got = read(Descriptor(handle), buffer, count);
        if (got >= 0) {
            done = static_cast<std::uint32_t>(got);
            return true;
        }
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(handle, POLLIN)) continue;
        return Fail(TTransfer::Read);
    }
}

// A write that the kernel takes only in part (a signal, a full pipe in
// non-blocking mode, a terminal) goes on with the rest: the streams hand
// over a block and do not look at the count, so a short write would
// otherwise lose bytes silently.
bool WriteFile(THandle handle, const void* buffer, std::uint32_t count, std::uint32_t& done) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    done = 0;
    do {
        const ssize_t put = write(Descriptor(handle), bytes + done, count - done);
        if (put > 0) {
            done += static_cast<std::uint32_t>(put);
            continue;
        }
        if (put == 0) break; // nothing taken and no error: do not spin
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(handle, POLLOUT)) continue;
        return Fail(TTransfer::Write);
    } while (done < count);
    return true;
}

// Never retried: after EINTR the descriptor is already released on Linux.
bool CloseHandle(THandle handle) {
    if (close(Descriptor(handle)) == 0 || errno == EINTR) return true;
    return Fail(TTransfer::Write);
}

// A write into a pipe without a reader then fails with EPIPE, and one past
// the file-size limit with EFBIG, both reported like any failed write.
void IgnoreWriteSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

// One character set for files and terminals: nothing to convert.
void ConvertToConsoleCodePage(char*, std::size_t) {}

} // namespace foundation
