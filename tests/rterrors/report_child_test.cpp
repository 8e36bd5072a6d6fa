// Whole error paths with the error layer in place, each in a child process:
// standard error byte for byte (address digits masked), standard output and
// the exit code.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "foundation/fault_child.h"
#include "foundation/x87/x87.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/report_expect.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"
#include "textio/text_stream.h"

namespace {

using namespace rterrors;
using testsupport::AnyAddress;
using testsupport::MatchesMasked;
using testsupport::RunInChild;

void (*Statement)() = nullptr;

// The program's shape: start, a first line of output still in the buffer,
// the failing statement, the normal end.
testsupport::TChildOutcome RunProgram(void (*statement)()) {
    Statement = statement;
    return RunInChild([] {
        ConsoleProgram = true;
        RunUnderTopLevelHandler([] {
            InitializeLayers();
            textio::WriteText(textio::OutputStream, "Before", 0);
            Statement();
            EndProgram(0);
        });
    });
}

std::string ReportOf(const std::string& className, const std::string& message) {
    return "Exception " + className + " in module rterrors_tests at " + AnyAddress + ".\r\n" +
           message + "\r\n\r\n";
}

long double Opaque(long double value) {
    volatile long double held = value;
    return held;
}

// Accesses in assembly: in C++ they would be undefined behaviour, which a
// sanitizer build reports before the processor faults.
void ReadAt(std::uintptr_t address) {
    asm volatile("movl (%0), %%eax" : : "r"(address) : "eax", "memory");
}

void WriteAt(std::uintptr_t address) {
    asm volatile("movl $1, (%0)" : : "r"(address) : "memory");
}

[[gnu::noinline]] int Recurse(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (depth == -1) {
        return 0;
    }
    return Recurse(depth + 1) + pad[0];
}

struct TReportCase {
    const char* Name;
    void (*Statement)();
    const char* ClassName;
    const char* Message;
};

class ReportTest : public testing::TestWithParam<TReportCase> {};

TEST_P(ReportTest, ReportOnStandardErrorAndExitCodeOne) {
    const auto outcome = RunProgram(GetParam().Statement);
    EXPECT_EQ(outcome.ExitCode(), 1);
    EXPECT_TRUE(MatchesMasked(outcome.Err, ReportOf(GetParam().ClassName, GetParam().Message)));
    EXPECT_EQ(outcome.Out, "Before"); // written out before the report, no run-error line
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ReportTest,
    testing::Values(
        TReportCase{"InvalidInput", [] { textio::SetIoResult(106); CheckIo(); }, "EInOutError",
                    "Invalid numeric input."},
        TReportCase{"StreamState", [] { textio::SetIoResult(103); CheckIo(); }, "EInOutError",
                    "I/O error 103."},
        TReportCase{"AccessDenied", [] { textio::SetIoResult(5); CheckIo(); }, "EInOutError",
                    "File access denied."},
        TReportCase{"InvalidHandle", [] { textio::SetIoResult(6); CheckIo(); }, "EInOutError",
                    "I/O error 6."},
        TReportCase{"StoreOverflow", [] { (void)foundation::StoreDouble(Opaque(1e400L)); },
                    "EOverflow", "Floating point overflow."},
        TReportCase{"SineOfInfinity",
                    [] { (void)foundation::ExtendedSine(Opaque(std::numeric_limits<long double>::infinity())); },
                    "EInvalidOp", "Invalid floating point operation."},
        TReportCase{"DivideByZero",
                    [] { (void)foundation::StoreDouble(Opaque(1.0L) / Opaque(0.0L)); }, "EZeroDivide",
                    "Floating point division by zero."},
        TReportCase{"ZeroByZero",
                    [] { (void)foundation::StoreDouble(Opaque(0.0L) / Opaque(0.0L)); }, "EInvalidOp",
                    "Invalid floating point operation."},
        TReportCase{"IllegalInstruction", [] { asm volatile("ud2"); }, "EExternalException",
                    "External exception C000001D."},
        TReportCase{"PrivilegedInstruction", [] { asm volatile("hlt"); }, "EPrivilege",
                    "Privileged instruction."},
        TReportCase{"IntegerDivide",
                    [] {
                        int zero = 0;
                        asm volatile("mov $1, %%eax\n\tcltd\n\tidivl %0" : : "r"(zero) : "eax", "edx");
                    },
                    "EDivByZero", "Division by zero."},
        TReportCase{"StackOverflow", [] { (void)Recurse(0); }, "EStackOverflow", "Stack overflow."},
        TReportCase{"NullRead", [] { ReadAt(0); },
                    "EAccessViolation",
                    "Access violation at address <ADDR> in module 'rterrors_tests'. Read of address 00000000."},
        TReportCase{"NullWrite", [] { WriteAt(0); }, "EAccessViolation",
                    "Access violation at address <ADDR> in module 'rterrors_tests'. Write of address 00000000."},
        TReportCase{"WideAddressRead",
                    [] { ReadAt(0x123456789000); },
                    "EAccessViolation",
                    "Access violation at address <ADDR> in module 'rterrors_tests'. Read of address 123456789000."},
        TReportCase{"OutOfMemory", [] { RaiseRunError(1); }, "EOutOfMemory", "Out of memory."},
        TReportCase{"MessageWithFullStop", [] { RaiseAt(new EConvertError("Done."), 0); },
                    "EConvertError", "Done."},
        TReportCase{"EmptyMessage", [] { RaiseAt(new EConvertError(""), 0); }, "EConvertError", ""},
        TReportCase{"NotAnException", [] { RaiseAt(new TObject, 0); }, "TObject", ""}),
    [](const testing::TestParamInfo<TReportCase>& info) { return std::string(info.param.Name); });

TEST(ReportAddressTest, InOutErrorPointsJustAfterTheCheckIoCall) {
    const auto outcome = RunProgram([] {
        textio::SetIoResult(106);
        CheckIo();
        asm volatile(""); // a statement follows, so the call is not a tail jump
    });
    ASSERT_EQ(outcome.ExitCode(), 1);
    const std::uintptr_t offset = testsupport::AddressAfter(outcome.Err, "rterrors_tests at ");
    // The child has the same layout as this process.
    EXPECT_TRUE(testsupport::FollowsCallOf(testsupport::ProgramBase() + offset,
                                           reinterpret_cast<const void*>(&CheckIo)))
        << std::hex << offset;
}

TEST(ReportAddressTest, FloatFaultPointsAtTheWaitingInstruction) {
    const auto outcome = RunProgram([] { (void)foundation::StoreDouble(Opaque(1e400L)); });
    ASSERT_EQ(outcome.ExitCode(), 1);
    const std::uintptr_t offset = testsupport::AddressAfter(outcome.Err, "rterrors_tests at ");
    constexpr unsigned char Fwait = 0x9B;
    EXPECT_EQ(*reinterpret_cast<const unsigned char*>(testsupport::ProgramBase() + offset), Fwait);
}

TEST(ReportAddressTest, RaiseAddressIsShownAsOffset) {
    const auto outcome = RunProgram([] {
        RaiseAt(new EConvertError("x"), testsupport::ProgramBase() + 0x1ABC);
    });
    EXPECT_EQ(outcome.Err, "Exception EConvertError in module rterrors_tests at 00001ABC.\r\nx.\r\n\r\n");
}

// A flush that fails before the report must not stop the report.
TEST(ReportFlushTest, FailedFlushStillReportsWithExitCodeOne) {
    Statement = [] { RaiseAt(new EConvertError("Bad"), 0); };
    const auto outcome = RunInChild([] {
        const int full = open("/dev/full", O_WRONLY);
        dup2(full, 1);
        ConsoleProgram = true;
        RunUnderTopLevelHandler([] {
            InitializeLayers();
            textio::WriteText(textio::OutputStream, "Pending", 0);
            Statement();
            EndProgram(0);
        });
    });
    EXPECT_EQ(outcome.ExitCode(), 1);
    EXPECT_TRUE(MatchesMasked(outcome.Err, ReportOf("EConvertError", "Bad.")));
}

TEST(NormalEndTest, PendingOutputWrittenAndExitCodeZero) {
    const auto outcome = RunProgram([] {
        textio::WriteLineEnd(textio::OutputStream);
        CheckIo();
    });
    EXPECT_EQ(outcome.ExitCode(), 0);
    EXPECT_EQ(outcome.Out, "Before\r\n");
    EXPECT_EQ(outcome.Err, "");
}

TEST(NormalEndTest, BodyThatComesBackEndsWithExitCode) {
    const auto outcome = RunInChild([] {
        RunUnderTopLevelHandler([] {
            InitializeLayers();
            textio::WriteText(textio::OutputStream, "Left", 0);
        });
    });
    EXPECT_EQ(outcome.ExitCode(), 0);
    EXPECT_EQ(outcome.Out, "Left");
}

} // namespace
