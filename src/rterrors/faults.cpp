// SPDX-License-Identifier: MIT
#include "rterrors/faults.h"

#include "foundation/module_lookup.h"
#include "rterrors/messages.h"
#include "rterrors/run_errors.h"
#include "rterrors/text_format.h"

namespace rterrors {

namespace {

struct TFaultRow {
    std::uint32_t Code;
    std::uint8_t Reason;
};

// A fault's run-time error code is that of its reason (ReasonCodes).
constexpr TFaultRow FaultTable[] = {
    {foundation::FaultAccessViolation, ReasonAccessViolation},
    {foundation::FaultArrayBounds, ReasonRangeError},
    {foundation::FaultFloatDenormal, ReasonUnderflow},
    {foundation::FaultFloatDivideByZero, ReasonZeroDivide},
    {foundation::FaultFloatInexact, ReasonInvalidOp},
    {foundation::FaultFloatInvalid, ReasonInvalidOp},
    {foundation::FaultFloatOverflow, ReasonOverflow},
    {foundation::FaultFloatStackCheck, ReasonInvalidOp},
    {foundation::FaultFloatUnderflow, ReasonUnderflow},
    {foundation::FaultIntegerDivideByZero, ReasonDivByZero},
    {foundation::FaultIntegerOverflow, ReasonIntOverflow},
    {foundation::FaultPrivilegedInstruction, ReasonPrivilege},
    {foundation::FaultStackOverflow, ReasonStackOverflow},
    {foundation::FaultControlC, ReasonControlC},
};

} // namespace

std::uint8_t FaultReason(std::uint32_t code) {
    for (const TFaultRow& row : FaultTable) {
        if (row.Code == code) {
            return row.Reason;
        }
    }
    return ReasonExternalException;
}

std::uint8_t FaultToRunErrorCode(const foundation::TFaultRecord& record) {
    const std::uint8_t reason = FaultReason(record.Code);
    return reason == ReasonExternalException ? RunErrorUnknownFault : ReasonCodes[reason];
}

Exception* MakeAccessViolation(const foundation::TFaultRecord& record) {
    const std::string_view kind =
        LoadMessage(record.AccessKind == foundation::AccessRead ? MessageRead : MessageWrite);
    const auto faultAt = TFormatArg::Unsigned(record.Address);
    const auto accessed = TFormatArg::Unsigned(record.AccessedAddress);
    foundation::TModuleInfo module;
    if (foundation::FindModule(record.Address, module)) {
        return new EAccessViolation(FormatResourceText(
            LoadMessage(MessageAccessViolationInModule),
            {faultAt, TFormatArg::Text(module.Name), TFormatArg::Text(kind), accessed}));
    }
    return new EAccessViolation(FormatResourceText(LoadMessage(MessageAccessViolationAt),
                                                   {faultAt, TFormatArg::Text(kind), accessed}));
}

TObject* FaultToException(const foundation::TFaultRecord& record) {
    const std::uint8_t reason = FaultReason(record.Code);
    Exception* object;
    if (reason == ReasonAccessViolation) {
        object = MakeAccessViolation(record);
    } else if (reason >= FirstTableReason && reason <= ReasonAssertionFailed) {
        object = CreateReasonException(reason);
    } else {
        object = new EExternalException(FormatResourceText(LoadMessage(MessageExternalException),
                                                           {TFormatArg::Unsigned(record.Code)}));
    }
    if (auto* external = dynamic_cast<EExternal*>(object)) {
        external->FaultRecord = &record;
    }
    return object;
}

} // namespace rterrors
