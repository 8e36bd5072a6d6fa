// SPDX-License-Identifier: MIT
// Run-time errors: reasons, their codes and exceptions, the I/O error
// messages, the hooks of the error layer and the ways an error is raised.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "foundation/faults.h"
#include "rterrors/exceptions.h"
#include "rterrors/messages.h"

namespace rterrors {

// Every entry point keeps only the low 7 bits of the reason it is given.
inline constexpr unsigned ReasonMask = 0x7F;
inline constexpr std::uint8_t ReasonInOut = 0;
inline constexpr std::uint8_t ReasonOutOfMemory = 1;
inline constexpr std::uint8_t ReasonInvalidPointer = 2;
inline constexpr std::uint8_t FirstTableReason = 3;
inline constexpr std::uint8_t ReasonDivByZero = 3;
inline constexpr std::uint8_t ReasonRangeError = 4;
inline constexpr std::uint8_t ReasonIntOverflow = 5;
inline constexpr std::uint8_t ReasonInvalidOp = 6;
inline constexpr std::uint8_t ReasonZeroDivide = 7;
inline constexpr std::uint8_t ReasonOverflow = 8;
inline constexpr std::uint8_t ReasonUnderflow = 9;
inline constexpr std::uint8_t ReasonAccessViolation = 11;
inline constexpr std::uint8_t ReasonPrivilege = 12;
inline constexpr std::uint8_t ReasonControlC = 13;
inline constexpr std::uint8_t ReasonStackOverflow = 14;
inline constexpr std::uint8_t ReasonAssertionFailed = 21;
inline constexpr std::uint8_t ReasonExternalException = 22;
inline constexpr std::uint8_t LastReason = 24;

// Run-time error code of each reason (index = reason; index 0 unused).
extern const std::array<std::uint8_t, LastReason + 1> ReasonCodes;

// Run-time error codes of the stops that no reason stands for.
inline constexpr std::uint8_t RunErrorNullRaise = 216;          // a null exception raised
inline constexpr std::uint8_t RunErrorUnhandledException = 217; // no ExceptionHook to take it
inline constexpr std::uint8_t RunErrorUnknownFault = 255;       // a fault code with no row

struct TExceptRec {
    TExceptClass ExceptClass;
    TMessageId Message;
};
// Class and message of reasons 3 to 24, in that order.
extern const std::array<TExceptRec, LastReason - FirstTableReason + 1> ReasonExceptions;

struct TErrorRec {
    std::int32_t Code;
    TMessageId Message;
};
extern const std::array<TErrorRec, 7> InOutErrorMessages;

// How a raised exception object travels: as a C++ exception carrying the
// object and the address at which it was raised. The handler that finishes
// with it releases the object.
struct TRaisedException {
    TObject* Object;
    TCodeAddress Address;
};

using TErrorHook = void (*)(unsigned reason, TCodeAddress address);
using TExceptionHook = void (*)(TObject* object, TCodeAddress address);
using TFaultObjectHook = TObject* (*)(const foundation::TFaultRecord& record);

// Empty until InstallErrorLayer and again after RemoveErrorLayer.
extern TErrorHook ErrorHook;
extern TExceptionHook ExceptionHook;
extern TFaultObjectHook FaultObjectHook;

extern EOutOfMemory* OutOfMemoryInstance;
extern EInvalidPointer* InvalidPointerInstance;

// Signals a run-time error at the return address of this call.
[[noreturn]] void RaiseRunError(unsigned reason);
// Through ErrorHook when it is set, else stops with the reason's code.
[[noreturn]] void RaiseRunErrorAt(unsigned reason, TCodeAddress address);
// The run-time error code a reason stops the program with when no hook is
// set; for reason 0 the low 8 bits of the pending I/O result code.
std::uint8_t RunErrorCodeOf(unsigned reason);

// The ErrorHook of the error layer: raises the reason's exception.
[[noreturn]] void RunErrorToException(unsigned reason, TCodeAddress address);
// A new object of the row's class with the row's message (reasons 3 to 24).
Exception* CreateReasonException(unsigned reason);
// A new EInOutError for the pending I/O result code, which it resets.
EInOutError* MakeInOutError();
// Raises object as if at address. A null object stops the program with
// run-time error 216 at the return address of this call.
[[noreturn]] void RaiseAt(TObject* object, TCodeAddress address);

// Raises the EInOutError of the pending I/O result code, its message
// followed by detail, at the return address of this call: for a failure
// whose cause its caller can say better (a file that cannot be created).
[[noreturn]] void RaiseInOutError(std::string_view detail);

// The check after every read or write statement: raises a pending I/O
// result code at the address just after the statement's call of CheckIo.
void CheckIo();

void InstallErrorLayer();
void RemoveErrorLayer();

} // namespace rterrors
