// SPDX-License-Identifier: MIT
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>

#include <gtest/gtest.h>

#include "foundation/faults.h"
#include "support/child_process.h"
#include "support/faulting.h"

namespace {

using namespace foundation;
using testsupport::ChildBodyReturned;
using testsupport::RunInChild;

// What a child reports: whether each body came back, and its fault record;
// and where the child faulted.
using testsupport::Catch;
using testsupport::TCaught;

struct TReports {
    TCaught Caught[3];
    int Count = 0;
    std::uintptr_t Label = 0; // the instruction of IllegalInstruction
    std::uintptr_t Page = 0;  // a read-only page
};

const testsupport::TShared<TReports> Reports;

void Report(const TCaught& caught) {
    Reports->Caught[Reports->Count++] = caught;
}

void IllegalInstruction() {
    testsupport::IllegalInstructionAt(Reports->Label);
}

void NullRead() {
    testsupport::ReadAt(0);
}

class FaultCheckpointTest : public testing::Test {
  protected:
    void SetUp() override { *Reports = TReports{}; }
};

// Three faults in a row, with the signals blocked at first: each is caught,
// so the signal is unblocked at installation and again after every jump back.
TEST_F(FaultCheckpointTest, RecordHoldsInstructionAndAccess) {
    const auto outcome = RunInChild([] {
        testsupport::BlockSignals({SIGFPE, SIGSEGV, SIGBUS, SIGILL});
        InstallFaultHandlers();
        Reports->Page = reinterpret_cast<std::uintptr_t>(
            mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        Report(Catch(IllegalInstruction));
        Report(Catch(NullRead));
        Report(Catch([] { testsupport::WriteAt(Reports->Page + 8); }));
    });
    ASSERT_EQ(outcome.ExitCode(), ChildBodyReturned) << outcome.Err;
    ASSERT_EQ(Reports->Count, 3);
    for (const TCaught& caught : Reports->Caught) {
        EXPECT_FALSE(caught.CameBack);
    }
    EXPECT_EQ(Reports->Caught[0].Record.Code, FaultIllegalInstruction);
    EXPECT_EQ(Reports->Caught[0].Record.Address, Reports->Label);
    const TFaultRecord read = Reports->Caught[1].Record;
    EXPECT_EQ(read.Code, FaultAccessViolation);
    EXPECT_EQ(read.AccessKind, AccessRead);
    EXPECT_EQ(read.AccessedAddress, 0u);
    const TFaultRecord written = Reports->Caught[2].Record;
    EXPECT_EQ(written.Code, FaultAccessViolation);
    EXPECT_EQ(written.AccessKind, AccessWrite);
    EXPECT_EQ(written.AccessedAddress, Reports->Page + 8);
}

TEST_F(FaultCheckpointTest, BodyThatComesBackReportsTrue) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch([] {}));
    });
    ASSERT_EQ(outcome.ExitCode(), ChildBodyReturned);
    ASSERT_EQ(Reports->Count, 1);
    EXPECT_TRUE(Reports->Caught[0].CameBack);
}

struct TNestingCase {
    const char* Name;
    void (*Body)();
    std::uint32_t OuterCode;
};

class FaultNestingTest : public testing::TestWithParam<TNestingCase> {
  protected:
    void SetUp() override { *Reports = TReports{}; }
};

// After an inner checkpoint is left, by return or by an exception, a fault
// must reach the outer one and not jump into the dead inner frame.
TEST_P(FaultNestingTest, OuterCheckpointCatchesLaterFault) {
    const auto outcome = RunInChild([body = GetParam().Body] {
        InstallFaultHandlers();
        Report(Catch(body));
    });
    ASSERT_EQ(outcome.ExitCode(), ChildBodyReturned) << outcome.Err;
    ASSERT_GE(Reports->Count, 1);
    const TCaught outer = Reports->Caught[Reports->Count - 1];
    EXPECT_FALSE(outer.CameBack);
    EXPECT_EQ(outer.Record.Code, GetParam().OuterCode);
}

INSTANTIATE_TEST_SUITE_P(Nesting, FaultNestingTest,
                         testing::Values(TNestingCase{"InnerReturned",
                                                      [] {
                                                          (void)Catch([] {});
                                                          IllegalInstruction();
                                                      },
                                                      FaultIllegalInstruction},
                                         TNestingCase{"InnerThrew",
                                                      [] {
                                                          try {
                                                              (void)Catch([] { throw 7; });
                                                          } catch (int) {
                                                          }
                                                          IllegalInstruction();
                                                      },
                                                      FaultIllegalInstruction},
                                         TNestingCase{"InnerFaulted",
                                                      [] {
                                                          Report(Catch(NullRead));
                                                          IllegalInstruction();
                                                      },
                                                      FaultIllegalInstruction},
                                         TNestingCase{"HandedOutward",
                                                      [] {
                                                          TFaultRecord record;
                                                          record.Code = 0x12345678;
                                                          record.Address = 42;
                                                          RaiseFault(record);
                                                      },
                                                      0x12345678u}),
                         [](const testing::TestParamInfo<TNestingCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST_F(FaultCheckpointTest, InnerFaultDoesNotReachOuter) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch([] { Report(Catch(NullRead)); }));
    });
    ASSERT_EQ(outcome.ExitCode(), ChildBodyReturned);
    ASSERT_EQ(Reports->Count, 2);
    EXPECT_EQ(Reports->Caught[0].Record.Code, FaultAccessViolation);
    EXPECT_TRUE(Reports->Caught[1].CameBack);
}

TEST_F(FaultCheckpointTest, FaultWithoutCheckpointTakesDefaultAction) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        IllegalInstruction();
    });
    EXPECT_EQ(outcome.Signal(), SIGILL);
}

// A fault handed on with no checkpoint to take it (the software
// arithmetic's, say) ends the process with 255.
TEST_F(FaultCheckpointTest, FaultRaisedWithoutCheckpointExitsWith255) {
    const auto outcome = RunInChild([] {
        TFaultRecord record;
        record.Code = FaultFloatOverflow;
        RaiseFault(record);
    });
    EXPECT_EQ(outcome.ExitCode(), 255);
}

TEST_F(FaultCheckpointTest, RemoveRestoresPreviousDispositions) {
    const auto outcome = RunInChild([] {
        for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL}) {
            struct sigaction before {
            }, installed{}, after{};
            sigaction(signal, nullptr, &before);
            InstallFaultHandlers();
            sigaction(signal, nullptr, &installed);
            RemoveFaultHandlers();
            sigaction(signal, nullptr, &after);
            const bool flags[] = {(installed.sa_flags & SA_ONSTACK) != 0,
                                  installed.sa_sigaction != before.sa_sigaction,
                                  after.sa_sigaction == before.sa_sigaction};
            (void)!write(1, flags, sizeof flags);
        }
    });
    ASSERT_EQ(outcome.ExitCode(), ChildBodyReturned);
    EXPECT_EQ(outcome.Out, std::string(12, '\1'));
}

TEST_F(FaultCheckpointTest, SignalSentByAnotherProcessIsNotAFault) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch([] { kill(getpid(), SIGSEGV); }));
    });
    EXPECT_EQ(outcome.Signal(), SIGSEGV);
}

} // namespace
