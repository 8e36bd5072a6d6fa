// SPDX-License-Identifier: MIT
#include "foundation/windows/fault_record.h"

namespace foundation {

namespace {

// Faults with no row of their own in the error layer's tables: they are
// reported as external exceptions carrying their code.
constexpr DWORD FaultInPageError = 0xC0000006;
constexpr DWORD FaultMisalignment = 0x80000002;
constexpr DWORD FaultFloatMultipleFaults = 0xC00002B4; // SSE, several conditions at once
constexpr DWORD FaultFloatMultipleTraps = 0xC00002B5;

constexpr DWORD ProcessorFaults[] = {
    FaultAccessViolation,       FaultIllegalInstruction,  FaultArrayBounds,
    FaultFloatDenormal,         FaultFloatDivideByZero,   FaultFloatInexact,
    FaultFloatInvalid,          FaultFloatOverflow,       FaultFloatStackCheck,
    FaultFloatUnderflow,        FaultIntegerDivideByZero, FaultIntegerOverflow,
    FaultPrivilegedInstruction, FaultStackOverflow,       FaultInPageError,
    FaultMisalignment,          FaultFloatMultipleFaults, FaultFloatMultipleTraps,
};

// Access violations carry the kind of access (0 read, 1 write, 8 execution
// of data) and the address touched.
constexpr DWORD AccessKindParameter = 0;
constexpr DWORD AccessedAddressParameter = 1;

} // namespace

bool IsProcessorFault(DWORD code) {
    for (const DWORD fault : ProcessorFaults) {
        if (fault == code) {
            return true;
        }
    }
    return false;
}

TFaultRecord DescribeFault(const EXCEPTION_RECORD& record) {
    TFaultRecord fault;
    fault.Code = record.ExceptionCode;
    fault.Address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    if (record.ExceptionCode == FaultAccessViolation &&
        record.NumberParameters > AccessedAddressParameter) {
        fault.AccessKind =
            record.ExceptionInformation[AccessKindParameter] == 0 ? AccessRead : AccessWrite;
        fault.AccessedAddress = record.ExceptionInformation[AccessedAddressParameter];
    }
    return fault;
}

} // namespace foundation
