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
    std::uint8_t RunErrorCode;
};

constexpr TFaultRow FaultTable[] = {
    {foundation::FaultAccessViolation, 11, 216},
    {foundation::FaultArrayBounds, 4, 201},
    {foundation::FaultFloatDenormal, 9, 206},
    {foundation::FaultFloatDivideByZero, 7, 200},
    {foundation::FaultFloatInexact, 6, 207},
    {foundation::FaultFloatInvalid, 6, 207},
    {foundation::FaultFloatOverflow, 8, 205},
    {foundation::FaultFloatStackCheck, 6, 207},
    {foundation::FaultFloatUnderflow, 9, 206},
    {foundation::FaultIntegerDivideByZero, 3, 200},
    {foundation::FaultIntegerOverflow, 5, 215},
    {foundation::FaultPrivilegedInstruction, 12, 218},
    {foundation::FaultStackOverflow, 14, 202},
    {foundation::FaultControlC, 13, 217},
};

constexpr TFaultRow UnknownFault = {0, ReasonExternalException, 255};

const TFaultRow& FindFaultRow(std::uint32_t code) {
    for (const TFaultRow& row : FaultTable) {
        if (row.Code == code) {
            return row;
        }
    }
    return UnknownFault;
}

} // namespace

std::uint8_t FaultReason(std::uint32_t code) { return FindFaultRow(code).Reason; }

std::uint8_t FaultToRunErrorCode(const foundation::TFaultRecord& record) {
    return FindFaultRow(record.Code).RunErrorCode;
}

Exception* MakeAccessViolation(const foundation::TFaultRecord& record) {
    const std::string_view kind =
        LoadMessage(record.AccessKind == foundation::AccessRead ? MessageRead : MessageWrite);
    const auto faultAt = TFormatArg::Unsigned(record.Address);
    const auto accessed = TFormatArg::Unsigned(record.AccessedAddress);
    foundation::TModuleInfo module;
    if (foundation::FindModule(record.Address, module)) {
        return new EAccessViolation(
            FormatResourceText(LoadMessage(MessageAccessViolationInModule),
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
