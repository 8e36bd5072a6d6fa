// SPDX-License-Identifier: MIT
// The one table from errno to the system error codes the rest of the
// program reports.
#include <cerrno>

#include "foundation/platform_io.h"
#include "foundation/posix/last_error.h"

namespace foundation {

namespace {
thread_local std::uint32_t LastError = 0;
}

std::uint32_t TranslateErrno(int error, TTransfer direction) {
    switch (error) {
    case EBADF: return ErrorInvalidHandle;
    case ENOENT: return ErrorFileNotFound;
    case EACCES:
    case EPERM: return ErrorAccessDenied;
    case EPIPE: return direction == TTransfer::Read ? ErrorBrokenPipe : ErrorNoData;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ErrorDiskFull; // no room left for this file
    case EIO: return ErrorIoDevice;
    case EISDIR: return ErrorInvalidFunction;
    case EINVAL: return ErrorInvalidParameter;
    default: return ErrorGenFailure;
    }
}

std::uint32_t GetLastError() {
    return LastError;
}

void SetLastError(std::uint32_t code) {
    LastError = code;
}

} // namespace foundation
