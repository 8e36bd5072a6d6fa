// SPDX-License-Identifier: MIT
#include "textio/file_stream.h"

#include <cstring>

#include "foundation/output_file.h"
#include "textio/client_data.h"
#include "textio/io_codes.h"
#include "textio/stream_slots.h"

namespace textio {

namespace {

// What the new file's name adds to Name, kept in ClientData; empty when
// the stream writes into Name itself (a device).
struct TBesideSuffix {
    char Text[foundation::BesideSuffixCapacity];
};

struct TBesidePath {
    char Text[NameCapacity + foundation::BesideSuffixCapacity];
};

TBesidePath BesidePath(const TTextStream& stream, const TBesideSuffix& suffix) {
    TBesidePath path;
    const std::size_t length = std::strlen(stream.Name);
    std::memcpy(path.Text, stream.Name, length);
    std::memcpy(path.Text + length, suffix.Text, sizeof suffix.Text);
    return path;
}

// Removes the new file, if the stream writes into one.
void RemoveNewFile(const TTextStream& stream) {
    const auto suffix = LoadClientData<TBesideSuffix>(stream);
    if (suffix.Text[0] != '\0') foundation::RemoveFile(BesidePath(stream, suffix).Text);
}

std::int32_t RenameOverOp(TTextStream& stream) {
    std::int32_t status = CloseHandleOp(stream);
    if (status == 0) {
        const auto suffix = LoadClientData<TBesideSuffix>(stream);
        if (suffix.Text[0] == '\0') return 0;
        if (foundation::RenameOver(BesidePath(stream, suffix).Text, stream.Name)) return 0;
        status = LastSystemError();
    }
    RemoveNewFile(stream);
    return status;
}

std::int32_t CreateBesideOp(TTextStream& stream) {
    UseBuiltInBuffer(stream, DrainBuffer, RenameOverOp);
    TBesideSuffix suffix;
    stream.Handle = foundation::CreateFileBeside(stream.Name, suffix.Text);
    StoreClientData(stream, suffix);
    if (stream.Handle != foundation::InvalidHandle) return 0;
    stream.Mode = ModeClosed;
    return LastSystemError();
}

} // namespace

void OpenReplacingFile(TTextStream& stream, const char* path) {
    stream.Mode = ModeClosed;
    stream.Flags = CrLfFlag;
    const std::size_t length = std::strlen(path);
    if (length == 0 || length >= NameCapacity) {
        SetIoResult(CodeInvalidFilename);
        return;
    }
    std::memcpy(stream.Name, path, length + 1);
    stream.OpenOp = CreateBesideOp;
    OpenForOutput(stream);
}

void DiscardReplacingFile(TTextStream& stream) {
    if (stream.OpenOp != CreateBesideOp || !IsOpenForOutput(stream)) return;
    stream.Mode = ModeClosed;
    foundation::CloseHandle(stream.Handle);
    RemoveNewFile(stream);
}

} // namespace textio
