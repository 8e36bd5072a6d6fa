// SPDX-License-Identifier: MIT
// The numbered message texts (identifiers 65488 to 65535), one constant
// table looked up by identifier.
#pragma once

#include <cstdint>
#include <string_view>

namespace rterrors {

using TMessageId = std::uint16_t;

inline constexpr TMessageId MessageVariantTypeCast = 65488;
inline constexpr TMessageId MessageVariantOperation = 65489;
inline constexpr TMessageId MessageInvalidArgument = 65490;
inline constexpr TMessageId MessageExternalException = 65491;
inline constexpr TMessageId MessageAssertionFailed = 65492;
inline constexpr TMessageId MessageInterfaceNotSupported = 65493;
inline constexpr TMessageId MessageSafecallException = 65494;
inline constexpr TMessageId MessageInvalidPointer = 65504;
inline constexpr TMessageId MessageInvalidCast = 65505;
inline constexpr TMessageId MessageAccessViolationInModule = 65506;
inline constexpr TMessageId MessageAccessViolation = 65507;
inline constexpr TMessageId MessageStackOverflow = 65508;
inline constexpr TMessageId MessageControlC = 65509;
inline constexpr TMessageId MessagePrivilege = 65510;
inline constexpr TMessageId MessageReportTemplate = 65511;
inline constexpr TMessageId MessageAccessViolationAt = 65514;
inline constexpr TMessageId MessageVariantMethodCall = 65515;
inline constexpr TMessageId MessageRead = 65516;
inline constexpr TMessageId MessageWrite = 65517;
inline constexpr TMessageId MessageVariantCreate = 65518;
inline constexpr TMessageId MessageVariantIndex = 65519;
inline constexpr TMessageId MessageOutOfMemory = 65520;
inline constexpr TMessageId MessageInOutError = 65521;
inline constexpr TMessageId MessageFileNotFound = 65522;
inline constexpr TMessageId MessageInvalidFilename = 65523;
inline constexpr TMessageId MessageTooManyOpenFiles = 65524;
inline constexpr TMessageId MessageAccessDenied = 65525;
inline constexpr TMessageId MessageEndOfFile = 65526;
inline constexpr TMessageId MessageDiskFull = 65527;
inline constexpr TMessageId MessageInvalidInput = 65528;
inline constexpr TMessageId MessageDivByZero = 65529;
inline constexpr TMessageId MessageRangeError = 65530;
inline constexpr TMessageId MessageIntOverflow = 65531;
inline constexpr TMessageId MessageInvalidOp = 65532;
inline constexpr TMessageId MessageZeroDivide = 65533;
inline constexpr TMessageId MessageOverflow = 65534;
inline constexpr TMessageId MessageUnderflow = 65535;

// The text for an identifier; empty for an identifier with no text.
std::string_view LoadMessage(TMessageId id);

} // namespace rterrors
