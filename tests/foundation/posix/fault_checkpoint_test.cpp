#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "foundation/fault_child.h"
#include "foundation/faults.h"

namespace {

using namespace foundation;
using testsupport::RunInChild;

// What a child reports: whether the body came back, and the fault record.
struct TCaught {
    bool CameBack = true;
    TFaultRecord Record;
};

std::uintptr_t LabelAddress = 0;
std::uintptr_t ReadOnlyPage = 0;

void Run(void* body) { reinterpret_cast<void (*)()>(body)(); }

TCaught Catch(void (*body)()) {
    TCaught caught;
    caught.CameBack = RunWithFaultCheckpoint(Run, reinterpret_cast<void*>(body), caught.Record);
    return caught;
}

void Report(const TCaught& caught) {
    (void)!write(1, &caught, sizeof caught);
}

TCaught Decode(const std::string& bytes, std::size_t index = 0) {
    TCaught caught;
    EXPECT_GE(bytes.size(), (index + 1) * sizeof caught);
    if (bytes.size() >= (index + 1) * sizeof caught) {
        std::memcpy(&caught, bytes.data() + index * sizeof caught, sizeof caught);
    }
    return caught;
}

void IllegalInstruction() {
    asm volatile("lea 1f(%%rip), %%rax\n\tmov %%rax, %0\n1:\tud2" : "=m"(LabelAddress) : : "rax");
}

// Accesses in assembly: in C++ they would be undefined behaviour, which a
// sanitizer build reports before the processor faults.
void ReadAt(std::uintptr_t address) {
    asm volatile("movl (%0), %%eax" : : "r"(address) : "eax", "memory");
}

void WriteAt(std::uintptr_t address) {
    asm volatile("movl $1, (%0)" : : "r"(address) : "memory");
}

void NullRead() { ReadAt(0); }

void ReadOnlyWrite() { WriteAt(ReadOnlyPage + 8); }

void NoFault() {}

// A parent may start the program with the fault signals blocked.
void BlockFaultSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : {SIGFPE, SIGSEGV, SIGBUS, SIGILL}) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

// Three faults in a row, with the signals blocked at first: each is caught,
// so the signal is unblocked at installation and again after every jump back.
TEST(FaultCheckpointTest, RecordHoldsInstructionAndAccess) {
    const auto outcome = RunInChild([] {
        BlockFaultSignals();
        InstallFaultHandlers();
        ReadOnlyPage = reinterpret_cast<std::uintptr_t>(
            mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        Report(Catch(IllegalInstruction));
        (void)!write(1, &LabelAddress, sizeof LabelAddress);
        Report(Catch(NullRead));
        Report(Catch(ReadOnlyWrite));
        (void)!write(1, &ReadOnlyPage, sizeof ReadOnlyPage);
        _exit(0);
    });
    ASSERT_EQ(outcome.ExitCode(), 0) << outcome.Err;
    ASSERT_EQ(outcome.Out.size(), 3 * sizeof(TCaught) + 2 * sizeof(std::uintptr_t));
    std::uintptr_t label;
    std::uintptr_t page;
    std::memcpy(&label, outcome.Out.data() + sizeof(TCaught), sizeof label);
    std::memcpy(&page, outcome.Out.data() + outcome.Out.size() - sizeof page, sizeof page);
    const std::string records = outcome.Out.substr(0, sizeof(TCaught)) +
                                outcome.Out.substr(sizeof(TCaught) + sizeof label, 2 * sizeof(TCaught));

    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_FALSE(Decode(records, k).CameBack);
    }
    EXPECT_EQ(Decode(records, 0).Record.Code, FaultIllegalInstruction);
    EXPECT_EQ(Decode(records, 0).Record.Address, label);
    const TFaultRecord read = Decode(records, 1).Record;
    EXPECT_EQ(read.Code, FaultAccessViolation);
    EXPECT_EQ(read.AccessKind, AccessRead);
    EXPECT_EQ(read.AccessedAddress, 0u);
    const TFaultRecord written = Decode(records, 2).Record;
    EXPECT_EQ(written.Code, FaultAccessViolation);
    EXPECT_EQ(written.AccessKind, AccessWrite);
    EXPECT_EQ(written.AccessedAddress, page + 8);
}

TEST(FaultCheckpointTest, BodyThatComesBackReportsTrue) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch(NoFault));
        _exit(0);
    });
    ASSERT_EQ(outcome.ExitCode(), 0);
    EXPECT_TRUE(Decode(outcome.Out).CameBack);
}

// After an inner checkpoint is left, by return or by an exception, a fault
// must reach the outer one and not jump into the dead inner frame.
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
    const TCaught inner = Catch(NullRead);
    Report(inner);
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

class FaultNestingTest : public testing::TestWithParam<TNestingCase> {};

TEST_P(FaultNestingTest, OuterCheckpointCatchesLaterFault) {
    static void (*body)();
    body = GetParam().Body;
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch(body));
        _exit(0);
    });
    ASSERT_EQ(outcome.ExitCode(), 0) << outcome.Err;
    const TCaught outer = Decode(outcome.Out, outcome.Out.size() / sizeof(TCaught) - 1);
    EXPECT_FALSE(outer.CameBack);
    EXPECT_EQ(outer.Record.Code, GetParam().OuterCode);
}

INSTANTIATE_TEST_SUITE_P(
    Nesting, FaultNestingTest,
    testing::Values(TNestingCase{"InnerReturned", InnerReturnsThenFault, FaultIllegalInstruction},
                    TNestingCase{"InnerThrew", InnerThrowsThenFault, FaultIllegalInstruction},
                    TNestingCase{"InnerFaulted", InnerFaultThenFault, FaultIllegalInstruction},
                    TNestingCase{"HandedOutward", FaultHandedOutward, 0x12345678u}),
    [](const testing::TestParamInfo<TNestingCase>& info) { return std::string(info.param.Name); });

TEST(FaultCheckpointTest, InnerFaultDoesNotReachOuter) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch([] { Report(Catch(NullRead)); }));
        _exit(0);
    });
    ASSERT_EQ(outcome.ExitCode(), 0);
    EXPECT_EQ(Decode(outcome.Out, 0).Record.Code, FaultAccessViolation);
    EXPECT_TRUE(Decode(outcome.Out, 1).CameBack);
}

TEST(FaultCheckpointTest, FaultWithoutCheckpointTakesDefaultAction) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        IllegalInstruction();
        _exit(0);
    });
    EXPECT_EQ(outcome.Signal(), SIGILL);
}

TEST(FaultCheckpointTest, RemoveRestoresPreviousDispositions) {
    const auto outcome = RunInChild([] {
        for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL}) {
            struct sigaction before {}, installed {}, after {};
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
        _exit(0);
    });
    ASSERT_EQ(outcome.ExitCode(), 0);
    EXPECT_EQ(outcome.Out, std::string(12, '\1'));
}

TEST(FaultCheckpointTest, SignalSentByAnotherProcessIsNotAFault) {
    const auto outcome = RunInChild([] {
        InstallFaultHandlers();
        Report(Catch([] { kill(getpid(), SIGSEGV); }));
        _exit(0);
    });
    EXPECT_EQ(outcome.Signal(), SIGSEGV);
}

} // namespace
