// SPDX-License-Identifier: MIT
#include "rterrors/messages.h"

namespace rterrors {

namespace {

struct TMessageRow {
    TMessageId Id;
    std::string_view Text;
};

constexpr TMessageRow MessageTable[] = {
    {MessageVariantTypeCast, "Invalid variant type conversion"},
    {MessageVariantOperation, "Invalid variant operation"},
    {MessageInvalidArgument, "Invalid argument"},
    {MessageExternalException, "External exception %x"},
    {MessageAssertionFailed, "Assertion failed"},
    {MessageInterfaceNotSupported, "Interface not supported"},
    {MessageSafecallException, "Exception in safecall method"},
    {MessageInvalidPointer, "Invalid pointer operation"},
    {MessageInvalidCast, "Invalid class typecast"},
    {MessageAccessViolationInModule,
     "Access violation at address %p in module '%s'. %s of address %p"},
    {MessageAccessViolation, "Access violation"},
    {MessageStackOverflow, "Stack overflow"},
    {MessageControlC, "Control-C hit"},
    {MessagePrivilege, "Privileged instruction"},
    {MessageReportTemplate, "Exception %s in module %s at %p.\r\n%s%s\r\n"},
    {MessageAccessViolationAt, "Access violation at address %p. %s of address %p"},
    {MessageVariantMethodCall, "Variant method calls not supported"},
    {MessageRead, "Read"},
    {MessageWrite, "Write"},
    {MessageVariantCreate, "Error creating variant or safe array"},
    {MessageVariantIndex, "Variant or safe array index out of bounds"},
    {MessageOutOfMemory, "Out of memory"},
    {MessageInOutError, "I/O error %d"},
    {MessageFileNotFound, "File not found"},
    {MessageInvalidFilename, "Invalid filename"},
    {MessageTooManyOpenFiles, "Too many open files"},
    {MessageAccessDenied, "File access denied"},
    {MessageEndOfFile, "Read beyond end of file"},
    {MessageDiskFull, "Disk full"},
    {MessageInvalidInput, "Invalid numeric input"},
    {MessageDivByZero, "Division by zero"},
    {MessageRangeError, "Range check error"},
    {MessageIntOverflow, "Integer overflow"},
    {MessageInvalidOp, "Invalid floating point operation"},
    {MessageZeroDivide, "Floating point division by zero"},
    {MessageOverflow, "Floating point overflow"},
    {MessageUnderflow, "Floating point underflow"},
};

} // namespace

std::string_view LoadMessage(TMessageId id) {
    for (const TMessageRow& row : MessageTable) {
        if (row.Id == id) {
            return row.Text;
        }
    }
    return {};
}

} // namespace rterrors
