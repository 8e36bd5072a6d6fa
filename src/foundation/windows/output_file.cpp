// Creating an output file with the system's own call; GetLastError keeps
// the system's code of a failure.
#include "foundation/output_file.h"

#include <windows.h>

namespace foundation {

THandle CreateOutputFile(const char* path) {
    const HANDLE handle = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? InvalidHandle : reinterpret_cast<THandle>(handle);
}

} // namespace foundation
