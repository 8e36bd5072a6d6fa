// SPDX-License-Identifier: MIT
// Processor faults as records. The platform's fault notification (signals
// on POSIX, vectored exceptions on Windows) is described by a TFaultRecord
// and handed to the innermost fault checkpoint, where ordinary code
// continues. Arithmetic done in software raises its faults the same way.
#pragma once

#include <cstdint>

namespace foundation {

// Fault codes in the 32-bit numbering the error layer's tables use.
inline constexpr std::uint32_t FaultAccessViolation = 0xC0000005;
inline constexpr std::uint32_t FaultIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t FaultArrayBounds = 0xC000008C;
inline constexpr std::uint32_t FaultFloatDenormal = 0xC000008D;
inline constexpr std::uint32_t FaultFloatDivideByZero = 0xC000008E;
inline constexpr std::uint32_t FaultFloatInexact = 0xC000008F;
inline constexpr std::uint32_t FaultFloatInvalid = 0xC0000090;
inline constexpr std::uint32_t FaultFloatOverflow = 0xC0000091;
inline constexpr std::uint32_t FaultFloatStackCheck = 0xC0000092;
inline constexpr std::uint32_t FaultFloatUnderflow = 0xC0000093;
inline constexpr std::uint32_t FaultIntegerDivideByZero = 0xC0000094;
inline constexpr std::uint32_t FaultIntegerOverflow = 0xC0000095;
inline constexpr std::uint32_t FaultPrivilegedInstruction = 0xC0000096;
inline constexpr std::uint32_t FaultStackOverflow = 0xC00000FD;
inline constexpr std::uint32_t FaultControlC = 0xC000013A;

inline constexpr std::uint32_t AccessRead = 0;
inline constexpr std::uint32_t AccessWrite = 1;

struct TFaultRecord {
    std::uint32_t Code = 0;
    std::uintptr_t Address = 0;         // the faulting instruction
    std::uint32_t AccessKind = 0;       // access violations: AccessRead or AccessWrite
    std::uintptr_t AccessedAddress = 0; // access violations: the address touched
};

// Installs the fault handlers (with a stack of their own, for a stack
// overflow). Idempotent; remembers what it replaced.
void InstallFaultHandlers();
// Puts back what InstallFaultHandlers replaced.
void RemoveFaultHandlers();

// Runs body(context) under a fault checkpoint. Returns true when body came
// back, false when a fault ended it; then fault holds its record. Checkpoints
// nest: a fault goes to the innermost one, and leaving a checkpoint (by
// return, fault or exception) makes the enclosing one current again.
bool RunWithFaultCheckpoint(void (*body)(void*), void* context, TFaultRecord& fault);

// Hands a fault record on to the current checkpoint, as if the fault had
// happened again there. Without a checkpoint the process ends with 255.
[[noreturn]] void RaiseFault(const TFaultRecord& fault);

} // namespace foundation
