// Creating an output file through the JavaScript host: under Node.js a
// file of the host's file system; a page has none to give.
#include "foundation/output_file.h"
#include "foundation/posix/last_error.h"

extern "C" {
// A descriptor for the file, or a negative errno.
int survey_host_create(const char* path);
}

namespace foundation {

THandle CreateOutputFile(const char* path) {
    const int descriptor = survey_host_create(path);
    if (descriptor >= 0) return descriptor;
    SetLastError(TranslateErrno(-descriptor, TTransfer::Write));
    return InvalidHandle;
}

} // namespace foundation
