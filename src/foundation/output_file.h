// SPDX-License-Identifier: MIT
// Writing a file that replaces another only once it is complete: the new
// file is created beside its target, written, and renamed over the target;
// on a failure it is removed, and the target stays as it was.
#pragma once

#include <cstddef>

#include "foundation/platform_io.h"

namespace foundation {

// What the new file's name adds to its target's, with the closing NUL.
inline constexpr std::size_t BesideSuffixCapacity = 16;

// Creates a new file named path followed by a suffix that no file there has
// yet, opened for writing (with the permissions of the file at path, where
// there is one) and stores the suffix. Where path names something that is
// neither a file nor a folder (a terminal, a pipe, the null device), opens
// path itself and leaves the suffix empty: there is nothing to rename.
// Returns InvalidHandle on failure, with the system error code for
// GetLastError; a path that names a folder fails with
// ErrorDirectoryNotSupported. The handle is closed with CloseHandle.
THandle CreateFileBeside(const char* path, char (&suffix)[BesideSuffixCapacity]);

// Renames the file from over the file to, which it replaces in one step.
// False on failure, with the system error code.
bool RenameOver(const char* from, const char* to);

// Removes the file at path. False on failure, with the system error code.
bool RemoveFile(const char* path);

} // namespace foundation
