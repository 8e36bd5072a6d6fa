// SPDX-License-Identifier: MIT
// Standard handles and transfers: the system's own calls, and the system's
// own error codes through GetLastError.
#include "foundation/platform_io.h"

#include <windows.h>

namespace foundation {

namespace {

HANDLE Native(THandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

std::uint32_t GetLastError() {
    return ::GetLastError();
}

void SetLastError(std::uint32_t code) {
    ::SetLastError(code);
}

THandle GetStdHandle(std::int32_t which) {
    return reinterpret_cast<THandle>(::GetStdHandle(static_cast<DWORD>(which)));
}

std::uint32_t GetFileType(THandle handle) {
    return ::GetFileType(Native(handle));
}

bool ReadFile(THandle handle, void* buffer, std::uint32_t count, std::uint32_t& done) {
    DWORD got = 0;
    const bool ok = ::ReadFile(Native(handle), buffer, count, &got, nullptr) != FALSE;
    done = got;
    return ok;
}

// A write into a pipe whose reader has gone is "the pipe is being closed"
// (232) on Windows. Wine reports the same event, from the host's EPIPE, as
// "no process is on the other end of the pipe" (233); the program reports
// the system's code, so that one is given.
bool WriteFile(THandle handle, const void* buffer, std::uint32_t count, std::uint32_t& done) {
    DWORD put = 0;
    const bool ok = ::WriteFile(Native(handle), buffer, count, &put, nullptr) != FALSE;
    done = put;
    if (!ok && ::GetLastError() == ERROR_PIPE_NOT_CONNECTED) {
        ::SetLastError(ErrorNoData);
    }
    return ok;
}

bool CloseHandle(THandle handle) {
    return ::CloseHandle(Native(handle)) != FALSE;
}

// Windows has no signal for a write into a closed pipe: the write fails.
void IgnoreWriteSignals() {}

void ConvertToConsoleCodePage(char* text, std::size_t length) {
    CharToOemBuffA(text, text, static_cast<DWORD>(length));
}

} // namespace foundation
