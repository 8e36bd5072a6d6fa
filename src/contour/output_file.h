// The stream of the document when -o names a file: a text stream record
// whose opener creates the file, written out in 128-byte blocks and closed
// at the end. Part of the program, not of the library.
#pragma once

#include "textio/text_stream.h"

namespace contour {

// Creates or empties the file and opens stream for output into it; a
// failure leaves its code for CheckIo (a name longer than a stream record
// holds fails as an invalid file name).
void OpenOutputFile(textio::TTextStream& stream, const char* path);

} // namespace contour
