// SPDX-License-Identifier: MIT
// Files written beside their target and renamed over it, over open(2),
// rename(2) and unlink(2); a failure leaves its system error code through
// the one errno table.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/beside_suffix.h"
#include "foundation/output_file.h"
#include "foundation/posix/last_error.h"

namespace foundation {

namespace {

// Read and write for everyone, less the umask, as files are created.
constexpr mode_t NewFileMode = 0666;
constexpr mode_t PermissionBits = 07777;
// The longest path whose new file is named here; longer ones fail.
constexpr std::size_t PathCapacity = 4096;

THandle Failed(std::uint32_t code) {
    SetLastError(code);
    return InvalidHandle;
}

THandle FailedWithErrno() {
    return Failed(TranslateErrno(errno, TTransfer::Write));
}

int OpenRetrying(const char* path, int flags, mode_t mode) {
    for (;;) {
        const int descriptor = open(path, flags | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EINTR) return descriptor;
    }
}

} // namespace

THandle CreateFileBeside(const char* path, char (&suffix)[BesideSuffixCapacity]) {
    suffix[0] = '\0';
    struct stat target;
    const bool exists = stat(path, &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) return Failed(ErrorDirectoryNotSupported);
    if (exists && !S_ISREG(target.st_mode)) {
        const int descriptor = OpenRetrying(path, O_WRONLY | O_TRUNC, NewFileMode);
        return descriptor >= 0 ? descriptor : FailedWithErrno();
    }
    const std::size_t length = std::strlen(path);
    if (length + BesideSuffixCapacity > PathCapacity) return Failed(ErrorInvalidParameter);
    char beside[PathCapacity];
    std::memcpy(beside, path, length + 1);
    for (unsigned attempt = 0; attempt < BesideSuffixAttempts; ++attempt) {
        MakeBesideSuffix(static_cast<unsigned>(getpid()), attempt, suffix);
        std::memcpy(beside + length, suffix, BesideSuffixCapacity);
        const int descriptor = OpenRetrying(beside, O_WRONLY | O_CREAT | O_EXCL, NewFileMode);
        if (descriptor >= 0) {
            // The replacement keeps the permissions of the file it replaces.
            if (exists) (void)fchmod(descriptor, target.st_mode & PermissionBits);
            return descriptor;
        }
        if (errno != EEXIST) break;
    }
    suffix[0] = '\0';
    return FailedWithErrno();
}

bool RenameOver(const char* from, const char* to) {
    if (std::rename(from, to) == 0) return true;
    SetLastError(TranslateErrno(errno, TTransfer::Write));
    return false;
}

bool RemoveFile(const char* path) {
    if (unlink(path) == 0) return true;
    SetLastError(TranslateErrno(errno, TTransfer::Write));
    return false;
}

} // namespace foundation
