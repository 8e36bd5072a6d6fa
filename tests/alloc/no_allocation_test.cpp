// SPDX-License-Identifier: MIT
// The normal path allocates nothing after start-up: the whole dialogue, from
// the first prompt to the final Enter, and the normal end, run in a forked
// child with its standard input and output on files, under the counting
// allocator. Start-up itself may allocate (the error layer's two
// preallocated exceptions), so counting starts once the layers are up.
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "alloc/counting_allocator.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/top_level.h"
#include "support/child_process.h"
#include "survey/dialogue.h"

namespace {

using alloctest::Counters;

void RunCountedProgram() {
    rterrors::ConsoleProgram = true;
    rterrors::RunUnderTopLevelHandler([] {
        rterrors::InitializeLayers();
        alloctest::Arm(true);
        survey::RunDialogue();
        Counters().AtDialogueEnd = Counters().Allocations;
        Counters().DialogueFinished = 1;
        rterrors::EndProgram(0);
    });
}

// Runs the program's start, dialogue and end in a child with the given
// input on standard input and files on standard output and error.
testsupport::TChildOutcome RunWithInput(const std::string& input) {
    Counters() = alloctest::TAllocationCounters{};
    return testsupport::RunInChild(RunCountedProgram, input);
}

std::string PointsInput(int count) {
    std::ostringstream text;
    text << count << "\r\n";
    for (int k = 0; k < count; ++k) {
        text << 50 + (k * 37) % 400 << '.' << k % 1000 << "\r\n" << (k * 400.0) / count << "\r\n";
    }
    text << "\r\n";
    return text.str();
}

struct TDialogueCase {
    const char* Name;
    std::string Input;
    const char* ResultsLine; // nullptr: not checked
};

class NoAllocationTest : public ::testing::TestWithParam<TDialogueCase> {};

TEST_P(NoAllocationTest, DialogueAndNormalEndAllocateNothing) {
    const TDialogueCase& dialogue = GetParam();
    const testsupport::TChildOutcome run = RunWithInput(dialogue.Input);

    ASSERT_EQ(run.ExitCode(), 0) << "status " << run.Status << ", errors: " << run.Err;
    ASSERT_EQ(Counters().DialogueFinished, 1);
    EXPECT_EQ(Counters().AtDialogueEnd, 0) << "allocations during the dialogue";
    EXPECT_EQ(Counters().Allocations, 0) << "allocations up to the process exit";

    // The dialogue really ran to its end and its output was written out.
    EXPECT_EQ(run.Err, "");
    const std::string tail = "*Press Enter to exit*\r\n";
    ASSERT_GE(run.Out.size(), tail.size());
    EXPECT_EQ(run.Out.substr(run.Out.size() - tail.size()), tail);
    if (dialogue.ResultsLine != nullptr) {
        EXPECT_NE(run.Out.find(dialogue.ResultsLine), std::string::npos) << run.Out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, NoAllocationTest,
    ::testing::Values(
        TDialogueCase{"Triangle", "3\r\n100\r\n0\r\n100\r\n50\r\n50\r\n100\r\n\r\n",
                      "The area of a contour: 2803.30m^2 =  28.0330a =  0.28033ha\r\n"},
        TDialogueCase{"ExponentsAndJunk",
                      "3 points\r\n1.5E2 m\r\n-0.0\r\n1e2\r\n1E2\r\n"
                      "\t 2.5e1\r\n399.9999\r\n\r\n",
                      nullptr},
        TDialogueCase{"EndOfInputAtOnce", "",
                      "The area of a contour:    0.00m^2 =   0.0000a =  0.00000ha\r\n"},
        TDialogueCase{"TwoHundredFiftyFivePoints", PointsInput(255), nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

// The counter must see every kind of request, or a zero above proves nothing.
void Escape(void* block) {
    asm volatile("" : : "r"(block) : "memory");
}

struct TAllocationKind {
    const char* Name;
    void (*Allocate)();
};

class CountingAllocatorTest : public ::testing::TestWithParam<TAllocationKind> {};

TEST_P(CountingAllocatorTest, CountsEachRequestOnceWhileArmed) {
    Counters() = alloctest::TAllocationCounters{};
    GetParam().Allocate();
    EXPECT_EQ(Counters().Allocations, 0) << "counted while not armed";
    alloctest::Arm(true);
    GetParam().Allocate();
    alloctest::Arm(false);
    EXPECT_EQ(Counters().Allocations, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CountingAllocatorTest,
                         ::testing::Values(TAllocationKind{"Malloc",
                                                           [] {
                                                               void* p = std::malloc(24);
                                                               Escape(p);
                                                               std::free(p);
                                                           }},
                                           TAllocationKind{"Calloc",
                                                           [] {
                                                               void* p = std::calloc(3, 8);
                                                               Escape(p);
                                                               std::free(p);
                                                           }},
                                           TAllocationKind{"Realloc",
                                                           [] {
                                                               void* p = std::realloc(nullptr, 40);
                                                               Escape(p);
                                                               std::free(p);
                                                           }},
                                           TAllocationKind{"New",
                                                           [] {
                                                               int* p = new int(7);
                                                               Escape(p);
                                                               delete p;
                                                           }},
                                           TAllocationKind{"NewArray",
                                                           [] {
                                                               char* p = new char[100];
                                                               Escape(p);
                                                               delete[] p;
                                                           }},
                                           TAllocationKind{"String",
                                                           [] {
                                                               std::string s(100, 'x');
                                                               Escape(s.data());
                                                           }}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
