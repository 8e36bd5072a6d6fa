// SPDX-License-Identifier: MIT
// Standard handles and transfers through the JavaScript host
// (host_library.js): under Node.js the process's real descriptors 0, 1 and
// 2, in the page its console. The host answers a failure with a
// negative errno, which the one errno table turns into the system error
// code the rest of the program reports.
#include "foundation/platform_io.h"
#include "foundation/posix/last_error.h"

extern "C" {
// Each returns the count transferred, or a negative errno.
int survey_host_read(int handle, void* buffer, unsigned count);
int survey_host_write(int handle, const void* buffer, unsigned count);
// One of the FileType values; FileTypeUnknown for a handle that is closed.
unsigned survey_host_file_type(int handle);
// 0, or a negative errno.
int survey_host_close(int handle);
}

namespace foundation {

namespace {

constexpr int StdInput = 0;
constexpr int StdOutput = 1;
constexpr int StdError = 2;

int Descriptor(THandle handle) {
    return static_cast<int>(handle);
}

bool Fail(int result, TTransfer direction) {
    SetLastError(TranslateErrno(-result, direction));
    return false;
}

} // namespace

THandle GetStdHandle(std::int32_t which) {
    switch (which) {
    case StdInputHandle: return StdInput;
    case StdOutputHandle: return StdOutput;
    case StdErrorHandle: return StdError;
    default: SetLastError(ErrorInvalidHandle); return InvalidHandle;
    }
}

std::uint32_t GetFileType(THandle handle) {
    return survey_host_file_type(Descriptor(handle));
}

bool ReadFile(THandle handle, void* buffer, std::uint32_t count, std::uint32_t& done) {
    const int got = survey_host_read(Descriptor(handle), buffer, count);
    done = got > 0 ? static_cast<std::uint32_t>(got) : 0;
    return got >= 0 || Fail(got, TTransfer::Read);
}

// The host hands over the whole block or fails.
bool WriteFile(THandle handle, const void* buffer, std::uint32_t count, std::uint32_t& done) {
    const int put = survey_host_write(Descriptor(handle), buffer, count);
    done = put > 0 ? static_cast<std::uint32_t>(put) : 0;
    return put >= 0 || Fail(put, TTransfer::Write);
}

bool CloseHandle(THandle handle) {
    const int result = survey_host_close(Descriptor(handle));
    return result == 0 || Fail(result, TTransfer::Write);
}

// The host has no signals: a write into a pipe without a reader fails.
void IgnoreWriteSignals() {}

// One character set for the host's handles: nothing to convert.
void ConvertToConsoleCodePage(char*, std::size_t) {}

} // namespace foundation
