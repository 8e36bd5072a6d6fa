// SPDX-License-Identifier: MIT
// Standard handles and file transfers in the shape the text streams expect.
// On Windows these are the system's own calls; on POSIX they work over file
// descriptors, and a failure leaves the system error code that errno maps
// to (posix/last_error.cpp) for GetLastError.
#pragma once

#include <cstddef>
#include <cstdint>

namespace foundation {

// Wide enough for a descriptor and for a Windows handle (a pointer).
using THandle = std::intptr_t;

inline constexpr THandle InvalidHandle = -1; // all bits set
inline constexpr std::int32_t StdInputHandle = -10;
inline constexpr std::int32_t StdOutputHandle = -11;
inline constexpr std::int32_t StdErrorHandle = -12;

inline constexpr std::uint32_t FileTypeUnknown = 0; // not open
inline constexpr std::uint32_t FileTypeDisk = 1;
inline constexpr std::uint32_t FileTypeChar = 2; // terminal, /dev/null
inline constexpr std::uint32_t FileTypePipe = 3; // pipe, socket, anything else

// System error codes the streams and the message table know by value.
inline constexpr std::uint32_t ErrorInvalidFunction = 1;
inline constexpr std::uint32_t ErrorFileNotFound = 2;
inline constexpr std::uint32_t ErrorAccessDenied = 5;
inline constexpr std::uint32_t ErrorInvalidHandle = 6;
inline constexpr std::uint32_t ErrorGenFailure = 31;
inline constexpr std::uint32_t ErrorInvalidParameter = 87;
inline constexpr std::uint32_t ErrorBrokenPipe = 109;
inline constexpr std::uint32_t ErrorDiskFull = 112;
inline constexpr std::uint32_t ErrorNoData = 232;
inline constexpr std::uint32_t ErrorDirectoryNotSupported = 336; // a folder where a file is meant
inline constexpr std::uint32_t ErrorIoDevice = 1117;

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

THandle GetStdHandle(std::int32_t which);
std::uint32_t GetFileType(THandle handle);
// One transfer each; a write hands over the whole block unless it fails.
// Return true on success.
bool ReadFile(THandle handle, void* buffer, std::uint32_t count, std::uint32_t& done);
bool WriteFile(THandle handle, const void* buffer, std::uint32_t count, std::uint32_t& done);
bool CloseHandle(THandle handle);

// Writing into a pipe whose reader has gone, or past a file-size limit,
// must fail like any other write, not end the process.
void IgnoreWriteSignals();

// Converts text in place from the system's ANSI code page to the console's
// OEM code page; nothing to do where the two are the same.
void ConvertToConsoleCodePage(char* text, std::size_t length);

} // namespace foundation
