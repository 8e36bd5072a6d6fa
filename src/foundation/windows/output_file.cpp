// SPDX-License-Identifier: MIT
// Files written beside their target and renamed over it, with the system's
// own calls; GetLastError keeps the system's code of a failure.
#include "foundation/output_file.h"
#include "foundation/beside_suffix.h"

#include <cstring>

#include <windows.h>

namespace foundation {

namespace {

// The longest path whose new file is named here; longer ones fail.
constexpr std::size_t PathCapacity = MAX_PATH + BesideSuffixCapacity;

THandle Failed(DWORD code) {
    ::SetLastError(code);
    return InvalidHandle;
}

// A device (NUL, CON) or a pipe already open at path: written to directly.
HANDLE OpenDevice(const char* path) {
    const HANDLE handle = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return handle;
    if (::GetFileType(handle) != FILE_TYPE_DISK) return handle;
    ::CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
}

} // namespace

THandle CreateFileBeside(const char* path, char (&suffix)[BesideSuffixCapacity]) {
    suffix[0] = '\0';
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Failed(ErrorDirectoryNotSupported);
    }
    const HANDLE device = OpenDevice(path);
    if (device != INVALID_HANDLE_VALUE) return reinterpret_cast<THandle>(device);

    const std::size_t length = std::strlen(path);
    if (length + BesideSuffixCapacity > PathCapacity) return Failed(ERROR_FILENAME_EXCED_RANGE);
    char beside[PathCapacity];
    std::memcpy(beside, path, length + 1);
    for (unsigned attempt = 0; attempt < BesideSuffixAttempts; ++attempt) {
        MakeBesideSuffix(static_cast<unsigned>(::GetCurrentProcessId()), attempt, suffix);
        std::memcpy(beside + length, suffix, BesideSuffixCapacity);
        const HANDLE handle = ::CreateFileA(beside, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return reinterpret_cast<THandle>(handle);
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    suffix[0] = '\0';
    return InvalidHandle;
}

bool RenameOver(const char* from, const char* to) {
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const char* path) {
    return ::DeleteFileA(path) != FALSE;
}

} // namespace foundation
