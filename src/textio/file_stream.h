// SPDX-License-Identifier: MIT
// A text stream into a named file that takes the place of the file only
// once it is complete: the text goes into a new file beside it, which
// closing renames over it. Until then, and after any failure, the file at
// the name stays as it was, and no new file is left behind.
#pragma once

#include "textio/text_stream.h"

namespace textio {

// Opens stream for output into a new file beside path; a failure leaves
// its code for CheckIo (a name longer than a stream record holds fails as
// an invalid file name). CloseStream then writes out the rest, closes the
// new file and renames it over path; where either fails, the new file is
// removed and the code left.
void OpenReplacingFile(TTextStream& stream, const char* path);

// Closes a stream that OpenReplacingFile opened and CloseStream has not
// closed, and removes its new file: for a run that ends on a failure.
void DiscardReplacingFile(TTextStream& stream);

} // namespace textio
