#include "contour/output_file.h"

#include <cstring>

#include "foundation/output_file.h"
#include "textio/io_codes.h"

namespace contour {

using namespace textio;

namespace {

std::int32_t CreateFileOp(TTextStream& stream) {
    stream.BufferSize = StandardBufferSize;
    stream.BufferPtr = stream.Buffer;
    stream.BufferPos = 0;
    stream.BufferEnd = 0;
    stream.TransferOp = DrainBuffer;
    stream.FlushOp = NoOp;
    stream.CloseOp = CloseHandleOp;
    stream.Handle = foundation::CreateOutputFile(stream.Name);
    if (stream.Handle != foundation::InvalidHandle) return 0;
    stream.Mode = ModeClosed;
    return static_cast<std::int32_t>(foundation::GetLastError());
}

} // namespace

void OpenOutputFile(TTextStream& stream, const char* path) {
    stream.Mode = ModeClosed;
    stream.Flags = CrLfFlag;
    const std::size_t length = std::strlen(path);
    if (length == 0 || length >= NameCapacity) {
        SetIoResult(CodeInvalidFilename);
        return;
    }
    std::memcpy(stream.Name, path, length + 1);
    stream.OpenOp = CreateFileOp;
    OpenForOutput(stream);
}

} // namespace contour
