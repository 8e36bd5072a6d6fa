// Whole error paths with the error layer in place, each in a child process:
// standard error byte for byte (address digits masked), standard output and
// the exit code.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "foundation/x87/x87.h"
#include "rterrors/error_report.h"
#include "rterrors/program_child.h"
#include "support/faulting.h"
#include "support/program_base.h"
#include "support/report_match.h"
#include "textio/text_stream.h"

namespace {

using namespace rterrors;
using rterrorstest::FailWith;
using rterrorstest::RunProgram;
using testsupport::MatchesMasked;
using testsupport::Opaque;
using testsupport::ProgramBase;
using testsupport::ReadAt;
using testsupport::WriteAt;

std::string ReportOf(const std::string& className, const std::string& message) {
    return testsupport::ReportOf("rterrors_tests", className, message);
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

const auto CaseName = [](const testing::TestParamInfo<TReportCase>& info) {
    return std::string(info.param.Name);
};

INSTANTIATE_TEST_SUITE_P(
    Paths, ReportTest,
    testing::Values(
        TReportCase{"InvalidInput", FailWith<106>, "EInOutError", "Invalid numeric input."},
        TReportCase{"StreamState", FailWith<103>, "EInOutError", "I/O error 103."},
        TReportCase{"AccessDenied", FailWith<5>, "EInOutError", "File access denied."},
        TReportCase{"InvalidHandle", FailWith<6>, "EInOutError", "I/O error 6."},
        // A code still pending when another error is raised is not what
        // the report shows.
        TReportCase{"CodePendingAtAnotherError",
                    [] {
                        textio::SetIoResult(106);
                        RaiseAt(new EConvertError("Bad"), 0);
                    },
                    "EConvertError", "Bad."},
        TReportCase{"StoreOverflow", [] { (void)foundation::StoreDouble(Opaque(1e400L)); },
                    "EOverflow", "Floating point overflow."},
        TReportCase{"SineOfInfinity",
                    [] {
                        (void)foundation::ExtendedSine(
                            Opaque(std::numeric_limits<long double>::infinity()));
                    },
                    "EInvalidOp", "Invalid floating point operation."},
        TReportCase{"DivideByZero",
                    [] { (void)foundation::StoreDouble(Opaque(1.0L) / Opaque(0.0L)); },
                    "EZeroDivide", "Floating point division by zero."},
        TReportCase{"ZeroByZero",
                    [] { (void)foundation::StoreDouble(Opaque(0.0L) / Opaque(0.0L)); },
                    "EInvalidOp", "Invalid floating point operation."},
        TReportCase{"IllegalInstruction", [] { asm volatile("ud2"); }, "EExternalException",
                    "External exception C000001D."},
        TReportCase{
            "IntegerDivide",
            [] {
                int zero = 0;
                asm volatile("mov $1, %%eax\n\tcltd\n\tidivl %0" : : "r"(zero) : "eax", "edx");
            },
            "EDivByZero", "Division by zero."},
        TReportCase{"StackOverflow", [] { (void)testsupport::Recurse(0); }, "EStackOverflow",
                    "Stack overflow."},
        TReportCase{"NullRead", [] { ReadAt(0); }, "EAccessViolation",
                    "Access violation at address ######## in module 'rterrors_tests'. Read of "
                    "address 00000000."},
        TReportCase{"NullWrite", [] { WriteAt(0); }, "EAccessViolation",
                    "Access violation at address ######## in module 'rterrors_tests'. Write of "
                    "address 00000000."},
        TReportCase{"WideAddressRead", [] { ReadAt(0x123456789000); }, "EAccessViolation",
                    "Access violation at address ######## in module 'rterrors_tests'. Read of "
                    "address 123456789000."},
        TReportCase{"OutOfMemory", [] { RaiseRunError(1); }, "EOutOfMemory", "Out of memory."},
        TReportCase{"MessageWithFullStop", [] { RaiseAt(new EConvertError("Done."), 0); },
                    "EConvertError", "Done."},
        TReportCase{"EmptyMessage", [] { RaiseAt(new EConvertError(""), 0); }, "EConvertError", ""},
        TReportCase{"NotAnException", [] { RaiseAt(new TObject, 0); }, "TObject", ""}),
    CaseName);

// hlt traps as a privileged instruction only on the real processor.
INSTANTIATE_TEST_SUITE_P(X87, ReportTest,
                         testing::Values(TReportCase{"PrivilegedInstruction",
                                                     [] { asm volatile("hlt"); }, "EPrivilege",
                                                     "Privileged instruction."}),
                         CaseName);

// The machine code at the reported offsets: the child has the same layout
// as this process.
TEST(X87ReportAddressTest, InOutErrorPointsJustAfterTheCheckIoCall) {
    const auto outcome = RunProgram([] {
        textio::SetIoResult(106);
        CheckIo();
        asm volatile(""); // a statement follows, so the call is not a tail jump
    });
    ASSERT_EQ(outcome.ExitCode(), 1);
    const std::uintptr_t offset = testsupport::AddressAfter(outcome.Err, "rterrors_tests at ");
    EXPECT_TRUE(
        testsupport::FollowsCallOf(ProgramBase() + offset, reinterpret_cast<const void*>(&CheckIo)))
        << std::hex << offset;
}

TEST(X87ReportAddressTest, FloatFaultPointsAtTheWaitingInstruction) {
    const auto outcome = RunProgram([] { (void)foundation::StoreDouble(Opaque(1e400L)); });
    ASSERT_EQ(outcome.ExitCode(), 1);
    const std::uintptr_t offset = testsupport::AddressAfter(outcome.Err, "rterrors_tests at ");
    constexpr unsigned char Fwait = 0x9B;
    EXPECT_EQ(*reinterpret_cast<const unsigned char*>(ProgramBase() + offset), Fwait);
}

TEST(ReportAddressTest, RaiseAddressIsShownAsOffset) {
    const auto outcome =
        RunProgram([] { RaiseAt(new EConvertError("x"), ProgramBase() + 0x1ABC); });
    EXPECT_EQ(outcome.Err,
              "Exception EConvertError in module rterrors_tests at 00001ABC.\r\nx.\r\n\r\n");
}

// A flush that fails before the report must not stop the report.
TEST(ReportFlushTest, FailedFlushStillReportsWithExitCodeOne) {
    const auto outcome = RunProgram([] {
        const testsupport::TFd full(open("/dev/full", O_WRONLY));
        dup2(full.Get(), 1);
        RaiseAt(new EConvertError("Bad"), 0);
    });
    EXPECT_EQ(outcome.ExitCode(), 1);
    EXPECT_TRUE(MatchesMasked(outcome.Err, ReportOf("EConvertError", "Bad.")));
}

// Without the error layer's hooks as well: the report goes out, and the
// code the failed flush left is dropped rather than ending the run.
TEST(ReportFlushTest, FailedFlushWithoutHooksLeavesNoCode) {
    const auto outcome = testsupport::RunInChild([] {
        const testsupport::TFd full(open("/dev/full", O_WRONLY));
        dup2(full.Get(), 1);
        ConsoleProgram = true;
        textio::WriteText(textio::OutputStream, "Pending", 0);
        ShowExceptionReport(new EConvertError("Bad"), 0);
        _exit(textio::TakeIoResult());
    });
    EXPECT_EQ(outcome.ExitCode(), 0);
    EXPECT_TRUE(MatchesMasked(outcome.Err, ReportOf("EConvertError", "Bad.")));
}

// A program without a console would show the report in a window of its
// own; none is written, and the exit code is still 1.
TEST(ReportFormTest, NoReportTextOutsideAConsole) {
    const auto outcome =
        RunProgram([] { RaiseAt(new EConvertError("x"), 0); }, StandardLayers(), false);
    EXPECT_EQ(outcome.ExitCode(), 1);
    EXPECT_EQ(outcome.Out, "Before");
    EXPECT_EQ(outcome.Err, "");
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
    const auto outcome = testsupport::RunInChild([] {
        RunUnderTopLevelHandler([] {
            InitializeLayers();
            textio::WriteText(textio::OutputStream, "Left", 0);
        });
    });
    EXPECT_EQ(outcome.ExitCode(), 0);
    EXPECT_EQ(outcome.Out, "Left");
}

} // namespace
