// SPDX-License-Identifier: MIT
// The vectored fault handler and the checkpoints it continues at. A caught
// fault leaves the process usable, so these cases run in the test process
// itself; the ones that end a process run as death tests, in a child the
// test framework starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "foundation/faults.h"
#include "foundation/process_exit.h"
#include "foundation/windows/fault_record.h"
#include "foundation/x87/x87.h"
#include "support/faulting.h"
#include "support/fpu_fixture.h"

namespace {

using namespace foundation;

using testsupport::Catch;
using testsupport::OpaqueExtended;
using testsupport::TCaught;

constexpr std::uint16_t TrappingControlWord = ProgramControlWord;
// The program's word with one more condition unmasked, as a registry value
// can make it.
constexpr std::uint16_t Unmasked(std::uint16_t condition) {
    return static_cast<std::uint16_t>(TrappingControlWord & ~condition);
}
// Exception flags, stack fault, error summary and busy bits of the status word.
constexpr std::uint16_t PendingBits = 0x80FF;

std::uintptr_t LabelAddress = 0;
std::uintptr_t ReadOnlyPage = 0;

void IllegalInstruction() {
    testsupport::IllegalInstructionAt(LabelAddress);
}
void NullRead() {
    testsupport::ReadAt(0);
}
void ReadOnlyWrite() {
    testsupport::WriteAt(ReadOnlyPage + 8);
}
void NoFault() {}

void OverflowStack() {
    testsupport::Recurse(0);
}

class WindowsFaultTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { InstallFaultHandlers(); }
    static void TearDownTestSuite() { RemoveFaultHandlers(); }
    void TearDown() override { ResetArithmetic(testsupport::PlatformDefaultControlWord); }
};

TEST_F(WindowsFaultTest, RecordHoldsInstructionAndAccess) {
    ReadOnlyPage = reinterpret_cast<std::uintptr_t>(
        VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY));
    ASSERT_NE(ReadOnlyPage, 0u);

    const TCaught illegal = Catch(IllegalInstruction);
    EXPECT_FALSE(illegal.CameBack);
    EXPECT_EQ(illegal.Record.Code, FaultIllegalInstruction);
    EXPECT_EQ(illegal.Record.Address, LabelAddress);

    const TCaught read = Catch(NullRead);
    EXPECT_FALSE(read.CameBack);
    EXPECT_EQ(read.Record.Code, FaultAccessViolation);
    EXPECT_EQ(read.Record.AccessKind, AccessRead);
    EXPECT_EQ(read.Record.AccessedAddress, 0u);

    const TCaught written = Catch(ReadOnlyWrite);
    EXPECT_FALSE(written.CameBack);
    EXPECT_EQ(written.Record.Code, FaultAccessViolation);
    EXPECT_EQ(written.Record.AccessKind, AccessWrite);
    EXPECT_EQ(written.Record.AccessedAddress, ReadOnlyPage + 8);
    VirtualFree(reinterpret_cast<void*>(ReadOnlyPage), 0, MEM_RELEASE);

    EXPECT_TRUE(Catch(NoFault).CameBack);
}

struct TX87Case {
    const char* Name;
    void (*Operation)();
    std::uint32_t Code;
    std::uint16_t ControlWord = TrappingControlWord;
    // Wine takes a float fault's code from the Linux kernel's signal, which
    // counts a denormal operand as an underflow; both give EUnderflow.
    std::uint32_t WineCode = Code;
    friend void PrintTo(const TX87Case& c, std::ostream* out) { *out << c.Name; }
};

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

class WindowsX87FaultTest : public WindowsFaultTest,
                            public testing::WithParamInterface<TX87Case> {};

// Each trapped condition arrives with its own code; afterwards nothing is
// pending and the register stack is empty, so ordinary x87 work goes on.
TEST_P(WindowsX87FaultTest, TrappedConditionGivesItsCode) {
    static TX87Case row;
    row = GetParam();
    const TCaught caught = Catch([] {
        ResetArithmetic(row.ControlWord);
        row.Operation();
    });
    EXPECT_FALSE(caught.CameBack);
    EXPECT_EQ(caught.Record.Code, UnderWine() ? row.WineCode : row.Code);
    EXPECT_EQ(ReadStatusWord() & PendingBits, 0);
    EXPECT_EQ(ReadControlWord() & ~ControlWordReservedBits, row.ControlWord);
    const TCaught after = Catch([] {
        for (int k = 0; k < 8; ++k) {
            // Eight loads fill the stack; one more would be a stack fault.
            (void)StoreDouble(OpaqueExtended(Extended(k)) + OpaqueExtended(Extended(0.5)));
        }
        EXPECT_EQ(StoreDouble(OpaqueExtended(Extended(1.0)) / OpaqueExtended(Extended(4.0))), 0.25);
    });
    EXPECT_TRUE(after.CameBack);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, WindowsX87FaultTest,
    testing::Values(
        TX87Case{"Overflow",
                 [] { (void)StoreDouble(OpaqueExtended(Extended(1e300) * Extended(1e100))); },
                 FaultFloatOverflow},
        TX87Case{"ZeroDivide",
                 [] {
                     (void)StoreDouble(OpaqueExtended(Extended(1.0)) /
                                       OpaqueExtended(Extended(0.0)));
                 },
                 FaultFloatDivideByZero},
        TX87Case{"InfiniteSine", [] { (void)ExtendedSine(OpaqueExtended(Infinity())); },
                 FaultFloatInvalid},
        TX87Case{"ZeroByZero",
                 [] {
                     (void)StoreDouble(OpaqueExtended(Extended(0.0)) /
                                       OpaqueExtended(Extended(0.0)));
                 },
                 FaultFloatInvalid},
        // The conditions the program masks, unmasked one at a time.
        TX87Case{"DenormalOperand",
                 [] {
                     const Extended denormal = ExtendedFromBits({1, 0});
                     (void)StoreDouble(OpaqueExtended(denormal) + OpaqueExtended(Extended(1.0)));
                 },
                 FaultFloatDenormal, Unmasked(ConditionDenormal), FaultFloatUnderflow},
        TX87Case{"Underflow",
                 [] {
                     (void)StoreDouble(OpaqueExtended(Extended(1e-300)) *
                                       OpaqueExtended(Extended(1e-300)));
                 },
                 FaultFloatUnderflow, Unmasked(ConditionUnderflow)},
        TX87Case{"Inexact",
                 [] {
                     (void)StoreDouble(OpaqueExtended(Extended(1.0)) /
                                       OpaqueExtended(Extended(3.0)));
                 },
                 FaultFloatInexact, Unmasked(ConditionInexact)}),
    [](const testing::TestParamInfo<TX87Case>& info) { return std::string(info.param.Name); });

// The guard page is spent by the first overflow; the second one must be
// caught as well, not end the process.
TEST_F(WindowsFaultTest, StackOverflowIsCaughtEachTime) {
    for (int round = 0; round < 3; ++round) {
        const TCaught caught = Catch(OverflowStack);
        EXPECT_FALSE(caught.CameBack) << round;
        EXPECT_EQ(caught.Record.Code, FaultStackOverflow) << round;
    }
}

// After an inner checkpoint is left, by return, exception or fault, a
// fault must reach the outer one and not jump into the dead inner frame.
// The C++ exception travels as a structured exception too: the handler
// must let it pass to the frame that catches it.
void InnerReturnsThenFault() {
    (void)Catch(NoFault);
    IllegalInstruction();
}
void InnerThrowsThenFault() {
    try {
        (void)Catch([] { throw 7; });
    } catch (int) {
    }
    IllegalInstruction();
}
void InnerFaultThenFault() {
    EXPECT_EQ(Catch(NullRead).Record.Code, FaultAccessViolation);
    IllegalInstruction();
}
void FaultHandedOutward() {
    TFaultRecord record;
    record.Code = 0x12345678;
    record.Address = 42;
    RaiseFault(record);
}

struct TNestingCase {
    const char* Name;
    void (*Body)();
    std::uint32_t OuterCode;
};

class WindowsFaultNestingTest : public WindowsFaultTest,
                                public testing::WithParamInterface<TNestingCase> {};

TEST_P(WindowsFaultNestingTest, OuterCheckpointCatchesLaterFault) {
    const TCaught outer = Catch(GetParam().Body);
    EXPECT_FALSE(outer.CameBack);
    EXPECT_EQ(outer.Record.Code, GetParam().OuterCode);
}

INSTANTIATE_TEST_SUITE_P(
    Nesting, WindowsFaultNestingTest,
    testing::Values(TNestingCase{"InnerReturned", InnerReturnsThenFault, FaultIllegalInstruction},
                    TNestingCase{"InnerThrew", InnerThrowsThenFault, FaultIllegalInstruction},
                    TNestingCase{"InnerFaulted", InnerFaultThenFault, FaultIllegalInstruction},
                    TNestingCase{"HandedOutward", FaultHandedOutward, 0x12345678u}),
    [](const testing::TestParamInfo<TNestingCase>& info) { return std::string(info.param.Name); });

TEST_F(WindowsFaultTest, InnerFaultDoesNotReachOuter) {
    static TCaught inner;
    const TCaught outer = Catch([] { inner = Catch(NullRead); });
    EXPECT_EQ(inner.Record.Code, FaultAccessViolation);
    EXPECT_TRUE(outer.CameBack);
}

TEST(WindowsFaultCodes, OnlyProcessorFaultsAreTaken) {
    for (const DWORD code : {0xC0000005u, 0xC000001Du, 0xC000008Eu, 0xC0000090u, 0xC0000091u,
                             0xC0000094u, 0xC0000096u, 0xC00000FDu, 0xC0000006u}) {
        EXPECT_TRUE(IsProcessorFault(code)) << std::hex << code;
    }
    // C++ exceptions of both run-times, the carrier of raised exception
    // objects, debugger events, a console interrupt, a guard page.
    for (const DWORD code : {0xE06D7363u, 0x20474343u, 0x0EEDFADEu, 0x80000003u, 0x80000004u,
                             0x40010006u, 0x406D1388u, 0xC000013Au, 0x80000001u, 0u}) {
        EXPECT_FALSE(IsProcessorFault(code)) << std::hex << code;
    }
}

TEST(WindowsFaultCodes, AccessKindOfEveryAccess) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = 0xC0000005;
    record.ExceptionAddress = reinterpret_cast<void*>(0x1234);
    record.NumberParameters = 2;
    record.ExceptionInformation[1] = 0xABCD;
    const struct {
        ULONG_PTR Kind;
        std::uint32_t Expected;
    } cases[] = {{0, AccessRead}, {1, AccessWrite}, {8, AccessWrite}}; // 8: data executed
    for (const auto& c : cases) {
        record.ExceptionInformation[0] = c.Kind;
        const TFaultRecord fault = DescribeFault(record);
        EXPECT_EQ(fault.Code, FaultAccessViolation);
        EXPECT_EQ(fault.Address, 0x1234u);
        EXPECT_EQ(fault.AccessKind, c.Expected) << c.Kind;
        EXPECT_EQ(fault.AccessedAddress, 0xABCDu);
    }
}

bool EndedBy(int exitCode, DWORD code) {
    return static_cast<DWORD>(exitCode) == code;
}

TEST(WindowsFaultDeathTest, FaultWithoutCheckpointEndsWithItsCode) {
    EXPECT_EXIT(
        {
            InstallFaultHandlers();
            IllegalInstruction();
            foundation::ExitProcess(0);
        },
        [](int code) { return EndedBy(code, FaultIllegalInstruction); }, "");
}

TEST(WindowsFaultDeathTest, RemovedHandlerTakesNoFault) {
    EXPECT_EXIT(
        {
            InstallFaultHandlers();
            RemoveFaultHandlers();
            (void)Catch(NullRead);
            foundation::ExitProcess(0);
        },
        [](int code) { return EndedBy(code, FaultAccessViolation); }, "");
}

TEST(WindowsFaultDeathTest, RaiseWithoutCheckpointEndsWith255) {
    EXPECT_EXIT(RaiseFault(TFaultRecord{}), testing::ExitedWithCode(255), "");
}

// Written by a static destructor, which must not run when the process ends.
struct TDestructorWitness {
    ~TDestructorWitness() {
        DWORD written = 0;
        ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), "destructor", 10, &written, nullptr);
    }
} Witness;

TEST(WindowsExitDeathTest, ExitCodeIsLowByteAndNothingElseRuns) {
    EXPECT_EXIT(foundation::ExitProcess(0x12C), testing::ExitedWithCode(0x2C), "^$");
    EXPECT_EXIT(foundation::ExitProcess(1), testing::ExitedWithCode(1), "^$");
}

} // namespace
