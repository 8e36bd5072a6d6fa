// Processor faults as records. The fault signals (SIGFPE, SIGSEGV, SIGBUS,
// SIGILL) are caught on an alternate stack, described by a TFaultRecord and
// handed to the innermost fault checkpoint, where ordinary code continues.
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

// What the signal handler knows about a fault, in plain numbers, so that the
// choice of fault code can be tested without raising signals.
struct TSignalFacts {
    int Signal = 0;
    int SignalCode = 0;               // si_code
    std::uintptr_t SignalAddress = 0; // si_addr
    std::uint64_t TrapNumber = 0;     // processor exception vector
    std::uint64_t ErrorCode = 0;      // page-fault error code; bit 1 is a write
    std::uint16_t X87Control = 0;
    std::uint16_t X87Status = 0;
    bool HaveX87 = false;
    std::uint8_t Opcode[8] = {};      // instruction bytes at the fault, for general protection faults
    std::uintptr_t StackLow = 0;      // lowest address the main stack may reach
    std::uintptr_t StackHigh = 0;     // its top
};

// The fault code for a fault signal; 0 for a signal that is not a fault.
std::uint32_t FaultCodeOf(const TSignalFacts& facts);

// True for the opcodes that fault only because they are privileged.
bool IsPrivilegedOpcode(const std::uint8_t* bytes, int count);

// Installs the handlers for the four fault signals with an alternate stack.
// Idempotent; remembers the dispositions it replaced.
void InstallFaultHandlers();
// Puts back the dispositions InstallFaultHandlers replaced.
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
