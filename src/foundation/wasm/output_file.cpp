// SPDX-License-Identifier: MIT
// Files written beside their target and renamed over it, through the
// JavaScript host: under Node.js the host's file system; a page has none.
#include <cerrno>
#include <cstring>

#include "foundation/beside_suffix.h"
#include "foundation/output_file.h"
#include "foundation/posix/last_error.h"

extern "C" {
// 0 nothing there (or nothing that can be told), 1 a file, 2 a folder,
// 3 anything else.
int survey_host_path_kind(const char* path);
// A descriptor, or a negative errno.
int survey_host_create(const char* path, int exclusive, const char* like);
// 0, or a negative errno.
int survey_host_rename(const char* from, const char* to);
int survey_host_remove(const char* path);
unsigned survey_host_process();
}

namespace foundation {

namespace {

enum THostPathKind { KindNothing = 0, KindFile = 1, KindFolder = 2 };

// The longest path whose new file is named here; longer ones fail.
constexpr std::size_t PathCapacity = 4096;

THandle Failed(std::uint32_t code) {
    SetLastError(code);
    return InvalidHandle;
}

bool Succeeded(int result) {
    if (result >= 0) return true;
    SetLastError(TranslateErrno(-result, TTransfer::Write));
    return false;
}

} // namespace

THandle CreateFileBeside(const char* path, char (&suffix)[BesideSuffixCapacity]) {
    suffix[0] = '\0';
    const int kind = survey_host_path_kind(path);
    if (kind == KindFolder) return Failed(ErrorDirectoryNotSupported);
    if (kind != KindNothing && kind != KindFile) {
        const int descriptor = survey_host_create(path, 0, nullptr);
        return Succeeded(descriptor) ? descriptor : InvalidHandle;
    }
    const std::size_t length = std::strlen(path);
    if (length + BesideSuffixCapacity > PathCapacity) return Failed(ErrorInvalidParameter);
    char beside[PathCapacity];
    std::memcpy(beside, path, length + 1);
    int descriptor = -EEXIST;
    for (unsigned attempt = 0; attempt < BesideSuffixAttempts && descriptor == -EEXIST; ++attempt) {
        MakeBesideSuffix(survey_host_process(), attempt, suffix);
        std::memcpy(beside + length, suffix, BesideSuffixCapacity);
        descriptor = survey_host_create(beside, 1, kind == KindFile ? path : nullptr);
    }
    if (Succeeded(descriptor)) return descriptor;
    suffix[0] = '\0';
    return InvalidHandle;
}

bool RenameOver(const char* from, const char* to) {
    return Succeeded(survey_host_rename(from, to));
}

bool RemoveFile(const char* path) {
    return Succeeded(survey_host_remove(path));
}

} // namespace foundation
