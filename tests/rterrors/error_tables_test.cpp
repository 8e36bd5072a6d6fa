// SPDX-License-Identifier: MIT
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "rterrors/exceptions.h"
#include "rterrors/faults.h"
#include "rterrors/run_errors.h"
#include "textio/text_stream.h"

namespace {

using namespace rterrors;

struct TFaultRow {
    std::uint32_t Code;
    unsigned Reason;
    unsigned RunErrorCode;
    const char* ClassName;
    const char* Message;
};

class FaultTableTest : public testing::TestWithParam<TFaultRow> {};

TEST_P(FaultTableTest, ReasonCodeAndException) {
    const TFaultRow& row = GetParam();
    foundation::TFaultRecord record;
    record.Code = row.Code;
    record.Address = 0x1000;
    EXPECT_EQ(FaultReason(row.Code), row.Reason);
    EXPECT_EQ(FaultToRunErrorCode(record), row.RunErrorCode);
    TObject* object = FaultToException(record);
    EXPECT_STREQ(object->ClassName(), row.ClassName);
    auto* external = dynamic_cast<EExternal*>(object);
    ASSERT_NE(external, nullptr);
    EXPECT_EQ(external->FaultRecord, &record);
    if (row.Message != nullptr) {
        EXPECT_EQ(external->Message, row.Message);
    }
    ReleaseObject(object);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTableTest,
    testing::Values(
        TFaultRow{0xC0000005, 11, 216, "EAccessViolation", nullptr},
        TFaultRow{0xC000008C, 4, 201, "ERangeError", "Range check error"},
        TFaultRow{0xC000008D, 9, 206, "EUnderflow", "Floating point underflow"},
        TFaultRow{0xC000008E, 7, 200, "EZeroDivide", "Floating point division by zero"},
        TFaultRow{0xC000008F, 6, 207, "EInvalidOp", "Invalid floating point operation"},
        TFaultRow{0xC0000090, 6, 207, "EInvalidOp", "Invalid floating point operation"},
        TFaultRow{0xC0000091, 8, 205, "EOverflow", "Floating point overflow"},
        TFaultRow{0xC0000092, 6, 207, "EInvalidOp", "Invalid floating point operation"},
        TFaultRow{0xC0000093, 9, 206, "EUnderflow", "Floating point underflow"},
        TFaultRow{0xC0000094, 3, 200, "EDivByZero", "Division by zero"},
        TFaultRow{0xC0000095, 5, 215, "EIntOverflow", "Integer overflow"},
        TFaultRow{0xC0000096, 12, 218, "EPrivilege", "Privileged instruction"},
        TFaultRow{0xC00000FD, 14, 202, "EStackOverflow", "Stack overflow"},
        TFaultRow{0xC000013A, 13, 217, "EControlC", "Control-C hit"},
        TFaultRow{0xC000001D, 22, 255, "EExternalException", "External exception C000001D"},
        TFaultRow{0x00000001, 22, 255, "EExternalException", "External exception 1"},
        TFaultRow{0x0EEDFADE, 22, 255, "EExternalException", "External exception EEDFADE"}));

TEST(AccessViolationTest, MessageNamesModuleAndBothAddresses) {
    foundation::TFaultRecord record;
    record.Code = foundation::FaultAccessViolation;
    record.Address = reinterpret_cast<std::uintptr_t>(&MakeAccessViolation);
    record.AccessKind = foundation::AccessWrite;
    record.AccessedAddress = static_cast<std::uintptr_t>(0x7FFE12345678);
    Exception* object = MakeAccessViolation(record);
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "Access violation at address %08lX in module 'rterrors_tests'. "
                  "Write of address 7FFE12345678",
                  static_cast<unsigned long>(record.Address));
    EXPECT_EQ(object->Message, expected);
    ReleaseObject(object);
}

TEST(AccessViolationTest, OutsideModulesOnlyAddresses) {
    foundation::TFaultRecord record;
    record.Code = foundation::FaultAccessViolation;
    record.Address = 0x10; // not inside any module
    record.AccessKind = foundation::AccessRead;
    record.AccessedAddress = 0;
    Exception* object = MakeAccessViolation(record);
    EXPECT_EQ(object->Message, "Access violation at address 00000010. Read of address 00000000");
    ReleaseObject(object);
}

struct TInOutRow {
    std::int32_t Code;
    const char* Message;
};

class InOutErrorTest : public testing::TestWithParam<TInOutRow> {};

TEST_P(InOutErrorTest, MessageAndCodeTakenFromPendingResult) {
    textio::SetIoResult(GetParam().Code);
    EInOutError* error = MakeInOutError();
    EXPECT_STREQ(error->ClassName(), "EInOutError");
    EXPECT_EQ(error->Message, GetParam().Message);
    EXPECT_EQ(error->InOutCode, GetParam().Code);
    EXPECT_EQ(textio::IoResultCode, 0);
    ReleaseObject(error);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, InOutErrorTest,
    testing::Values(TInOutRow{2, "File not found"}, TInOutRow{3, "Invalid filename"},
                    TInOutRow{4, "Too many open files"}, TInOutRow{5, "File access denied"},
                    TInOutRow{100, "Read beyond end of file"}, TInOutRow{101, "Disk full"},
                    TInOutRow{106, "Invalid numeric input"}, TInOutRow{103, "I/O error 103"},
                    TInOutRow{6, "I/O error 6"}, TInOutRow{-1, "I/O error -1"},
                    TInOutRow{300, "I/O error 300"},
                    TInOutRow{-2147483647 - 1, "I/O error -2147483648"}));

struct TReasonRow {
    unsigned Reason;
    unsigned RunErrorCode;
    const char* ClassName;
    const char* Message;
};

// With the error layer's hooks installed each reason raises its object at
// the given address; without them it stands for its run-time error code.
class ReasonTest : public testing::TestWithParam<TReasonRow> {
  protected:
    void SetUp() override { InstallErrorLayer(); }
    void TearDown() override {
        RemoveErrorLayer();
        textio::IoResultCode = 0;
    }
};

TEST_P(ReasonTest, RaisesRowObjectAtAddress) {
    const TReasonRow& row = GetParam();
    textio::SetIoResult(106);
    EXPECT_EQ(RunErrorCodeOf(row.Reason), row.RunErrorCode);
    try {
        RaiseRunErrorAt(row.Reason, 0x4321);
    } catch (const TRaisedException& raised) {
        EXPECT_EQ(raised.Address, 0x4321u);
        EXPECT_STREQ(raised.Object->ClassName(), row.ClassName);
        EXPECT_EQ(dynamic_cast<Exception*>(raised.Object)->Message, row.Message);
        ReleaseObject(raised.Object);
        return;
    }
    ADD_FAILURE() << "nothing raised";
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, ReasonTest,
    testing::Values(TReasonRow{1, 203, "EOutOfMemory", "Out of memory"},
                    TReasonRow{2, 204, "EInvalidPointer", "Invalid pointer operation"},
                    TReasonRow{3, 200, "EDivByZero", "Division by zero"},
                    TReasonRow{4, 201, "ERangeError", "Range check error"},
                    TReasonRow{5, 215, "EIntOverflow", "Integer overflow"},
                    TReasonRow{6, 207, "EInvalidOp", "Invalid floating point operation"},
                    TReasonRow{7, 200, "EZeroDivide", "Floating point division by zero"},
                    TReasonRow{8, 205, "EOverflow", "Floating point overflow"},
                    TReasonRow{9, 206, "EUnderflow", "Floating point underflow"},
                    TReasonRow{10, 219, "EInvalidCast", "Invalid class typecast"},
                    TReasonRow{11, 216, "EAccessViolation", "Access violation"},
                    TReasonRow{12, 218, "EPrivilege", "Privileged instruction"},
                    TReasonRow{13, 217, "EControlC", "Control-C hit"},
                    TReasonRow{14, 202, "EStackOverflow", "Stack overflow"},
                    TReasonRow{15, 220, "EVariantError", "Invalid variant type conversion"},
                    TReasonRow{16, 221, "EVariantError", "Invalid variant operation"},
                    TReasonRow{17, 222, "EVariantError", "Variant method calls not supported"},
                    TReasonRow{18, 223, "EVariantError", "Error creating variant or safe array"},
                    TReasonRow{19, 224, "EVariantError", "Invalid argument"},
                    TReasonRow{20, 225, "EVariantError",
                               "Variant or safe array index out of bounds"},
                    TReasonRow{21, 227, "EAssertionFailed", "Assertion failed"},
                    TReasonRow{22, 0, "EExternalException", "External exception %x"},
                    TReasonRow{23, 228, "EIntfCastError", "Interface not supported"},
                    TReasonRow{24, 229, "ESafecallException", "Exception in safecall method"},
                    // Reason 0 and reasons without a row take the pending I/O code.
                    TReasonRow{0, 106, "EInOutError", "Invalid numeric input"},
                    TReasonRow{25, 25, "EInOutError", "Invalid numeric input"},
                    TReasonRow{127, 127, "EInOutError", "Invalid numeric input"},
                    // Only the low 7 bits of a reason count.
                    TReasonRow{128 + 8, 205, "EOverflow", "Floating point overflow"}));

TEST(ErrorLayerTest, HeapExceptionsArePreallocatedAndSurviveRelease) {
    InstallErrorLayer();
    TObject* first = nullptr;
    for (int round = 0; round < 2; ++round) {
        try {
            RaiseRunErrorAt(1, 0);
        } catch (const TRaisedException& raised) {
            EXPECT_EQ(raised.Object, OutOfMemoryInstance);
            if (first != nullptr) {
                EXPECT_EQ(raised.Object, first);
            }
            first = raised.Object;
            ReleaseObject(raised.Object); // kept: AllowRelease is 0
        }
    }
    EXPECT_STREQ(OutOfMemoryInstance->Message.c_str(), "Out of memory");
    RemoveErrorLayer();
    EXPECT_EQ(OutOfMemoryInstance, nullptr);
    EXPECT_EQ(ErrorHook, nullptr);
    EXPECT_EQ(ExceptionHook, nullptr);
    EXPECT_EQ(FaultObjectHook, nullptr);
}

int Destroyed = 0;

class TCountedHeapException : public EHeapException {
  public:
    using EHeapException::EHeapException;
    ~TCountedHeapException() override { ++Destroyed; }
};

TEST(ErrorLayerTest, ReleaseHonoursAllowRelease) {
    auto* object = new TCountedHeapException("x");
    Destroyed = 0;
    ReleaseObject(object);
    EXPECT_EQ(Destroyed, 0);
    object->AllowRelease = 1;
    ReleaseObject(object);
    EXPECT_EQ(Destroyed, 1);
}

TEST(ExceptionClassTest, ClassesSitInTheirTree) {
    struct TCase {
        TObject* Object;
        const char* ClassName;
        bool IsException, IsExternal, IsMath, IsInteger, IsHeap;
    };
    const TCase cases[] = {
        {new EOverflow(""), "EOverflow", true, true, true, false, false},
        {new EDivByZero(""), "EDivByZero", true, true, false, true, false},
        {new EInvalidPointer(""), "EInvalidPointer", true, false, false, false, true},
        {new EConvertError(""), "EConvertError", true, false, false, false, false},
        {new EAccessViolation(""), "EAccessViolation", true, true, false, false, false},
        {new EInOutError(""), "EInOutError", true, false, false, false, false},
        {new Exception(""), "Exception", true, false, false, false, false},
        {new TObject(), "TObject", false, false, false, false, false},
    };
    for (const TCase& c : cases) {
        EXPECT_STREQ(c.Object->ClassName(), c.ClassName);
        EXPECT_EQ(dynamic_cast<Exception*>(c.Object) != nullptr, c.IsException) << c.ClassName;
        EXPECT_EQ(dynamic_cast<EExternal*>(c.Object) != nullptr, c.IsExternal) << c.ClassName;
        EXPECT_EQ(dynamic_cast<EMathError*>(c.Object) != nullptr, c.IsMath) << c.ClassName;
        EXPECT_EQ(dynamic_cast<EIntError*>(c.Object) != nullptr, c.IsInteger) << c.ClassName;
        EXPECT_EQ(dynamic_cast<EHeapException*>(c.Object) != nullptr, c.IsHeap) << c.ClassName;
        delete c.Object;
    }
}

} // namespace
