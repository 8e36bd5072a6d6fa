// Standard handles and file transfers in the shape the text streams expect,
// over POSIX descriptors. Failures leave a system error code for
// GetLastError, translated from errno by one table (last_error.cpp).
#pragma once

#include <cstdint>

namespace foundation {

using THandle = std::int32_t;

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
inline constexpr std::uint32_t ErrorIoDevice = 1117;

enum class TTransfer { Read, Write };

// errno of a failed call to the system error code; the direction matters
// only for EPIPE (end of input on a read, a closed pipe on a write).
std::uint32_t TranslateErrno(int error, TTransfer direction);

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

THandle GetStdHandle(std::int32_t which);
std::uint32_t GetFileType(THandle handle);
// One read(2) or write(2), retried on EINTR. Return true on success.
bool ReadFile(THandle handle, void* buffer, std::uint32_t count, std::uint32_t& done);
bool WriteFile(THandle handle, const void* buffer, std::uint32_t count, std::uint32_t& done);
bool CloseHandle(THandle handle);

// Writing into a pipe whose reader has gone must fail with EPIPE, not kill us.
void IgnoreBrokenPipeSignal();

} // namespace foundation
