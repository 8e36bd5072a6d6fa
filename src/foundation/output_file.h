// Creating a file to write into, for a program that writes a document
// into a named file instead of standard output.
#pragma once

#include "foundation/platform_io.h"

namespace foundation {

// Creates the file, or empties it if it exists, and opens it for writing.
// Returns InvalidHandle on failure, with the system error code for
// GetLastError. The handle is closed with CloseHandle.
THandle CreateOutputFile(const char* path);

} // namespace foundation
