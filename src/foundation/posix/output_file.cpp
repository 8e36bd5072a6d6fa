// Creating an output file over open(2); a failure leaves its system error
// code through the one errno table.
#include <cerrno>

#include <fcntl.h>

#include "foundation/output_file.h"
#include "foundation/posix/last_error.h"

namespace foundation {

namespace {
// Read and write for everyone, less the umask, as files are created.
constexpr mode_t NewFileMode = 0666;
} // namespace

THandle CreateOutputFile(const char* path) {
    for (;;) {
        const int descriptor = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, NewFileMode);
        if (descriptor >= 0) return descriptor;
        if (errno == EINTR) continue;
        SetLastError(TranslateErrno(errno, TTransfer::Write));
        return InvalidHandle;
    }
}

} // namespace foundation
