// SPDX-License-Identifier: MIT
// Whole error paths with the error layer in place, each in a child process:
// standard error byte for byte (address digits masked), standard output and
// the exit code.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include <vector>

#include <gtest/gtest.h>

#include "foundation/extended.h"
#include "rterrors/error_report.h"
#include "rterrors/program_child.h"
#include "support/faulting.h"
#include "support/fpu_fixture.h"
#include "support/program_base.h"
#include "support/report_match.h"
#include "textio/text_stream.h"

namespace {

using namespace rterrors;
using foundation::Extended;
using rterrorstest::BeyondDouble;
using rterrorstest::FailWith;
using rterrorstest::RunProgram;
using testsupport::MatchesMasked;
using testsupport::OpaqueExtended;
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
        TReportCase{"StoreOverflow",
                    [] { (void)foundation::StoreDouble(OpaqueExtended(BeyondDouble)); },
                    "EOverflow", "Floating point overflow."},
        TReportCase{"SineOfInfinity",
                    [] { (void)foundation::ExtendedSine(OpaqueExtended(foundation::Infinity())); },
                    "EInvalidOp", "Invalid floating point operation."},
        TReportCase{"DivideByZero",
                    [] {
                        (void)foundation::StoreDouble(OpaqueExtended(Extended(1.0)) /
                                                      OpaqueExtended(Extended(0.0)));
                    },
                    "EZeroDivide", "Floating point division by zero."},
        TReportCase{"ZeroByZero",
                    [] {
                        (void)foundation::StoreDouble(OpaqueExtended(Extended(0.0)) /
                                                      OpaqueExtended(Extended(0.0)));
                    },
                    "EInvalidOp", "Invalid floating point operation."},
        TReportCase{"IllegalInstruction", [] { testsupport::IllegalInstruction(); },
                    "EExternalException", "External exception C000001D."},
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

// The processor's own traps: an integer division by zero traps on x86-64
// (on ARM the quotient is 0), and hlt traps as a privileged instruction only
// on the real processor.
std::vector<TReportCase> ProcessorTrapCases() {
    std::vector<TReportCase> cases;
    if (testsupport::IntegerDivisionTraps) {
        cases.push_back(TReportCase{"IntegerDivide", testsupport::DivideByZero, "EDivByZero",
                                    "Division by zero."});
    }
    return cases;
}
INSTANTIATE_TEST_SUITE_P(IntegerDivision, ReportTest, testing::ValuesIn(ProcessorTrapCases()),
                         CaseName);

std::vector<TReportCase> PrivilegedCases() {
    std::vector<TReportCase> cases;
    if (testsupport::HasPrivilegedInstruction) {
        cases.push_back(TReportCase{"PrivilegedInstruction", testsupport::PrivilegedInstruction,
                                    "EPrivilege", "Privileged instruction."});
    }
    return cases;
}
INSTANTIATE_TEST_SUITE_P(X86, ReportTest, testing::ValuesIn(PrivilegedCases()), CaseName);

// The machine code at the reported offsets: the child has the same layout
// as this process.
TEST(X86ReportAddressTest, InOutErrorPointsJustAfterTheCheckIoCall) {
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

// A trapped store faults at the FWAIT behind it; the software arithmetic
// raises its fault from the call of RaiseFloatFault inlined at the store.
TEST(X86ReportAddressTest, FloatFaultPointsAtTheStore) {
    const auto outcome =
        RunProgram([] { (void)foundation::StoreDouble(OpaqueExtended(BeyondDouble)); });
    ASSERT_EQ(outcome.ExitCode(), 1);
    const std::uintptr_t address =
        ProgramBase() + testsupport::AddressAfter(outcome.Err, "rterrors_tests at ");
#if SURVEY_SOFT_EXTENDED
    EXPECT_TRUE(testsupport::FollowsCallOf(
        address, reinterpret_cast<const void*>(&foundation::RaiseFloatFault)))
        << std::hex << address - ProgramBase();
#else
    constexpr unsigned char Fwait = 0x9B;
    EXPECT_EQ(*reinterpret_cast<const unsigned char*>(address), Fwait);
#endif
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
