// SPDX-License-Identifier: MIT
#include "rterrors/run_errors.h"

#include "foundation/code_address.h"
#include "rterrors/error_report.h"
#include "rterrors/faults.h"
#include "rterrors/program_exit.h"
#include "rterrors/text_format.h"
#include "textio/io_codes.h"
#include "textio/text_stream.h"

namespace rterrors {

const std::array<std::uint8_t, LastReason + 1> ReasonCodes = {
    0,   203, 204, 200, 201, 215, 207, 200, 205, 206, 219, 216, 218,
    217, 202, 220, 221, 222, 223, 224, 225, 227, 0,   228, 229,
};

const std::array<TExceptRec, LastReason - FirstTableReason + 1> ReasonExceptions = {{
    {CreateException<EDivByZero>, MessageDivByZero},                 // 3
    {CreateException<ERangeError>, MessageRangeError},               // 4
    {CreateException<EIntOverflow>, MessageIntOverflow},             // 5
    {CreateException<EInvalidOp>, MessageInvalidOp},                 // 6
    {CreateException<EZeroDivide>, MessageZeroDivide},               // 7
    {CreateException<EOverflow>, MessageOverflow},                   // 8
    {CreateException<EUnderflow>, MessageUnderflow},                 // 9
    {CreateException<EInvalidCast>, MessageInvalidCast},             // 10
    {CreateException<EAccessViolation>, MessageAccessViolation},     // 11
    {CreateException<EPrivilege>, MessagePrivilege},                 // 12
    {CreateException<EControlC>, MessageControlC},                   // 13
    {CreateException<EStackOverflow>, MessageStackOverflow},         // 14
    {CreateException<EVariantError>, MessageVariantTypeCast},        // 15
    {CreateException<EVariantError>, MessageVariantOperation},       // 16
    {CreateException<EVariantError>, MessageVariantMethodCall},      // 17
    {CreateException<EVariantError>, MessageVariantCreate},          // 18
    {CreateException<EVariantError>, MessageInvalidArgument},        // 19
    {CreateException<EVariantError>, MessageVariantIndex},           // 20
    {CreateException<EAssertionFailed>, MessageAssertionFailed},     // 21
    {CreateException<EExternalException>, MessageExternalException}, // 22
    {CreateException<EIntfCastError>, MessageInterfaceNotSupported}, // 23
    {CreateException<ESafecallException>, MessageSafecallException}, // 24
}};

const std::array<TErrorRec, 7> InOutErrorMessages = {{
    {textio::CodeFileNotFound, MessageFileNotFound},
    {textio::CodeInvalidFilename, MessageInvalidFilename},
    {textio::CodeTooManyOpenFiles, MessageTooManyOpenFiles},
    {textio::CodeAccessDenied, MessageAccessDenied},
    {textio::CodeReadBeyondEnd, MessageEndOfFile},
    {textio::CodeDiskFull, MessageDiskFull},
    {textio::CodeInvalidNumericInput, MessageInvalidInput},
}};

TErrorHook ErrorHook = nullptr;
TExceptionHook ExceptionHook = nullptr;
TFaultObjectHook FaultObjectHook = nullptr;

EOutOfMemory* OutOfMemoryInstance = nullptr;
EInvalidPointer* InvalidPointerInstance = nullptr;

std::uint8_t RunErrorCodeOf(unsigned reason) {
    reason &= ReasonMask;
    if (reason == ReasonInOut) {
        return static_cast<std::uint8_t>(textio::IoResultCode & 0xFF);
    }
    if (reason <= LastReason) {
        return ReasonCodes[reason];
    }
    return static_cast<std::uint8_t>(reason);
}

[[gnu::noinline]] void RaiseRunError(unsigned reason) {
    RaiseRunErrorAt(reason, foundation::ReturnAddress());
}

void RaiseRunErrorAt(unsigned reason, TCodeAddress address) {
    reason &= ReasonMask;
    if (ErrorHook != nullptr) {
        ErrorHook(reason, address);
    }
    // No hook, or one that came back: stop with the reason's code.
    StopWithRunError(RunErrorCodeOf(reason), address);
}

Exception* CreateReasonException(unsigned reason) {
    const TExceptRec& row = ReasonExceptions[reason - FirstTableReason];
    return row.ExceptClass(std::string(LoadMessage(row.Message)));
}

void RunErrorToException(unsigned reason, TCodeAddress address) {
    reason &= ReasonMask;
    TObject* object;
    if (reason == ReasonOutOfMemory) {
        object = OutOfMemoryInstance;
    } else if (reason == ReasonInvalidPointer) {
        object = InvalidPointerInstance;
    } else if (reason >= FirstTableReason && reason <= LastReason) {
        object = CreateReasonException(reason);
    } else {
        object = MakeInOutError();
    }
    RaiseAt(object, address);
}

EInOutError* MakeInOutError() {
    const std::int32_t code = textio::TakeIoResult();
    EInOutError* error = nullptr;
    for (const TErrorRec& row : InOutErrorMessages) {
        if (row.Code == code) {
            error = new EInOutError(std::string(LoadMessage(row.Message)));
            break;
        }
    }
    if (error == nullptr) {
        error = new EInOutError(
            FormatResourceText(LoadMessage(MessageInOutError), {TFormatArg::Signed(code)}));
    }
    error->InOutCode = code;
    return error;
}

[[gnu::noinline]] void RaiseAt(TObject* object, TCodeAddress address) {
    if (object == nullptr) {
        StopWithRunError(RunErrorNullRaise, foundation::ReturnAddress());
    }
    throw TRaisedException{object, address};
}

[[gnu::noinline]] void RaiseInOutError(std::string_view detail) {
    EInOutError* error = MakeInOutError();
    error->Message += detail;
    RaiseAt(error, foundation::ReturnAddress());
}

// Not inlined, so that its return address is the instruction just after
// the statement's call, which is what the report points at.
[[gnu::noinline]] void CheckIo() {
    if (textio::IoResultCode != 0) {
        RaiseRunErrorAt(ReasonInOut, foundation::ReturnAddress());
    }
}

void InstallErrorLayer() {
    OutOfMemoryInstance = new EOutOfMemory(std::string(LoadMessage(MessageOutOfMemory)));
    InvalidPointerInstance = new EInvalidPointer(std::string(LoadMessage(MessageInvalidPointer)));
    ErrorHook = RunErrorToException;
    ExceptionHook = TerminateOnException;
    FaultObjectHook = FaultToException;
}

void RemoveErrorLayer() {
    for (EHeapException* instance : {static_cast<EHeapException*>(OutOfMemoryInstance),
                                     static_cast<EHeapException*>(InvalidPointerInstance)}) {
        if (instance != nullptr) {
            instance->AllowRelease = 1;
            ReleaseObject(instance);
        }
    }
    OutOfMemoryInstance = nullptr;
    InvalidPointerInstance = nullptr;
    ErrorHook = nullptr;
    ExceptionHook = nullptr;
    FaultObjectHook = nullptr;
}

} // namespace rterrors
