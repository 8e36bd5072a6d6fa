// SPDX-License-Identifier: MIT
// The real program under hostile standard input: every run must end with
// exit code 0 and the whole dialogue, or exit code 1 with exactly one report
// and everything the dialogue wrote before the failing statement. A signal
// or a hang fails. The expected outcome comes from the dialogue model.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "../e2e/transcript_runner.h"
#include "dialogue_model.h"
#include "hostile_input.h"
#include "support/child_process.h"
#include "token_model.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t DefaultSeed = 20240611;
constexpr int Shards = 8;
constexpr int DefaultRunsPerShard = 50;

std::uint64_t Seed() {
    const char* text = std::getenv("SURVEY_SOAK_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 10) : DefaultSeed;
}

int RunsPerShard() {
    const char* text = std::getenv("SURVEY_SOAK_RUNS");
    return text != nullptr ? std::atoi(text) : DefaultRunsPerShard;
}

// The model itself, against the number rules' own examples.
TEST(TokenModel, JudgesIntegersAsTheRulesSay) {
    struct Case {
        const char* text;
        bool valid;
        std::int32_t value;
        std::int32_t errorPos;
    };
    const Case cases[] = {
        {"12", true, 12, 0},
        {"-7", true, -7, 0},
        {"$1F", true, 31, 0},
        {"x1F", true, 31, 0},
        {"0x1F", true, 31, 0},
        {"0X1f", true, 31, 0},
        {"-$10", true, -16, 0},
        {"2147483647", true, 2147483647, 0},
        {"2147483648", false, 0, 11},
        {"-2147483648", true, -2147483647 - 1, 0},
        {"$FFFFFFFF", true, -1, 0},
        {"$100000000", false, 0, 10},
        {"-$80000000", true, -2147483647 - 1, 0},
        {"12abc", false, 0, 3},
        {"3.5", false, 0, 2},
        {"1e3", false, 0, 2},
        {"", false, 0, 1},
        {"-", false, 0, 2},
        {"0", true, 0, 0},
        {"00000000000000000000000000000007", true, 7, 0},
        {"21474836470", false, 0, 11},
        {"+2147483648", false, 0, 12},
    };
    for (const Case& c : cases) {
        const soak::TIntegerVerdict v = soak::JudgeInteger(c.text);
        EXPECT_EQ(v.Valid, c.valid) << c.text;
        if (c.valid)
            EXPECT_EQ(v.Value, c.value) << c.text;
        else
            EXPECT_EQ(v.ErrorPos, c.errorPos) << c.text;
    }
}

TEST(TokenModel, JudgesRealsAsTheRulesSay) {
    using soak::TRealClass;
    struct Case {
        const char* text;
        bool valid;
        std::int32_t errorPos;
        TRealClass cls;
    };
    const Case cases[] = {
        {"1.5", true, 0, TRealClass::Small},
        {".5", true, 0, TRealClass::Small},
        {"5.", true, 0, TRealClass::Small},
        {"-.5e1", true, 0, TRealClass::Small},
        {".", true, 0, TRealClass::Zero},
        {"E5", true, 0, TRealClass::Zero},
        {"-0", true, 0, TRealClass::Zero},
        {"1e-400", true, 0, TRealClass::Small},
        {"1e5120", true, 0, TRealClass::Infinite},
        {"0e5120", true, 0, TRealClass::Infinite},
        {"1e-5120", true, 0, TRealClass::Zero},
        {"1e400", true, 0, TRealClass::Overflow},
        {"1e4999", true, 0, TRealClass::Overflow},
        {"1e155", true, 0, TRealClass::Large},
        {"1.7976931348623157e308", true, 0, TRealClass::Large},
        {"1.8e308", true, 0, TRealClass::Overflow},
        {"1.797693134862315808e308", true, 0, TRealClass::Unsettled},
        {"17976931348623157e292", true, 0, TRealClass::Large},
        {"1e308", true, 0, TRealClass::Large},
        {"1e99999999999", true, 0, TRealClass::Unsettled},
        {"-", false, 2, TRealClass::Zero},
        {"+", false, 2, TRealClass::Zero},
        {"1e", false, 3, TRealClass::Zero},
        {"1e+", false, 4, TRealClass::Zero},
        {"1,5", false, 2, TRealClass::Zero},
        {"1.2.3", false, 4, TRealClass::Zero},
        {"1e5x", false, 4, TRealClass::Zero},
        {"\xC3\xA9", false, 1, TRealClass::Zero},
    };
    for (const Case& c : cases) {
        const soak::TRealVerdict v = soak::JudgeReal(c.text);
        EXPECT_EQ(v.Valid, c.valid) << c.text;
        if (c.valid)
            EXPECT_EQ(v.Class, c.cls) << c.text;
        else
            EXPECT_EQ(v.ErrorPos, c.errorPos) << c.text;
    }
}

// The model must accept every hand-written transcript that runs on plain
// files, which keeps it honest before it judges the program.
TEST(DialogueModel, AcceptsTheWrittenTranscripts) {
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(E2E_CASES_DIR)) {
        const fs::path& folder = entry.path();
        if (fs::exists(folder / "handles")) continue;
        std::string errors =
            fs::exists(folder / "errors") ? testsupport::ReadFile(folder / "errors") : "";
        for (std::size_t at; (at = errors.find("########")) != std::string::npos;)
            errors.replace(at, 8, "0000ABCD");
        const soak::TPrediction prediction =
            soak::PredictDialogue(testsupport::ReadFile(folder / "input"));
        EXPECT_EQ(soak::CheckRun(prediction, std::stoi(testsupport::ReadFile(folder / "exitcode")),
                                 testsupport::ReadFile(folder / "output"), errors),
                  "")
            << folder.filename();
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST(DialogueModel, RejectsWrongEndings) {
    const std::string report =
        "Exception EInOutError in module survey at 0000ABCD.\r\nInvalid numeric input.\r\n\r\n";
    const soak::TPrediction bad = soak::PredictDialogue("x\r\n");
    const std::string before = soak::ExpectedBeforeRead(0, 0);
    EXPECT_EQ(soak::CheckRun(bad, 1, before, report), "");
    EXPECT_NE(soak::CheckRun(bad, 0, before, report), "");
    EXPECT_NE(soak::CheckRun(bad, 1, before + "\r\n", report), "");
    EXPECT_NE(soak::CheckRun(bad, 1, before, report + report), "");
    EXPECT_NE(soak::CheckRun(bad, 1, before,
                             "Exception EInOutError in module survey at 0000abcd.\r\n"
                             "Invalid numeric input.\r\n\r\n"),
              "");

    const soak::TPrediction two = soak::PredictDialogue("2\r\n1\r\n2\r\n3\r\n4\r\n\r\n");
    EXPECT_EQ(two.PointCount, 2);
    EXPECT_EQ(soak::CheckRun(two, 0, soak::ExpectedDialogue(2, soak::ZeroResultsLine), ""), "");
    EXPECT_NE(soak::CheckRun(two, 0, soak::ExpectedDialogue(1, soak::ZeroResultsLine), ""), "");
}

// The generator must reach every way a run can end, not only the first
// prompt's invalid input.
TEST(HostileInput, ReachesEveryOutcome) {
    std::map<soak::TOutcome, int> seen;
    int points = 0;
    for (int index = 0; index < Shards * DefaultRunsPerShard; ++index) {
        const soak::TPrediction p =
            soak::PredictDialogue(soak::MakeHostileInput(DefaultSeed, index).Bytes);
        ++seen[p.Outcome];
        points += p.PointCount;
    }
    for (const auto& [outcome, count] : seen)
        std::printf("outcome %d: %d inputs\n", static_cast<int>(outcome), count);
    EXPECT_GT(seen[soak::TOutcome::Normal], 40);
    EXPECT_GT(seen[soak::TOutcome::InvalidInput], 40);
    EXPECT_GT(seen[soak::TOutcome::Overflow], 5);
    EXPECT_GE(seen[soak::TOutcome::InvalidOp], 3);
    EXPECT_GT(seen[soak::TOutcome::ComputeMayFault], 5);
    EXPECT_GT(points, 2000);
}

class Soak : public ::testing::TestWithParam<int> {};

TEST_P(Soak, EveryRunEndsWithTheDialogueOrOneReport) {
    const std::uint64_t seed = Seed();
    const int runs = RunsPerShard();
    for (int i = 0; i < runs; ++i) {
        const int index = GetParam() * runs + i;
        const soak::THostileInput input = soak::MakeHostileInput(seed, index);
        e2e::TRunSetup setup;
        setup.Input = input.Bytes;
        setup.InputKind = index % 7 == 3 ? e2e::TInputKind::Pipe : e2e::TInputKind::File;
        setup.TimeoutSeconds = 15;
        const e2e::TRunResult result = e2e::RunProgram(SURVEY_BINARY, setup);
        const std::string where = "seed " + std::to_string(seed) + " input " +
                                  std::to_string(index) + " (" + input.Kind + ")";
        ASSERT_FALSE(result.TimedOut) << where;
        ASSERT_EQ(result.Signal, 0) << where;
        const soak::TPrediction prediction = soak::PredictDialogue(input.Bytes);
        EXPECT_EQ(soak::CheckRun(prediction, result.ExitCode, result.Output, result.Errors), "")
            << where;
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, Soak, ::testing::Range(0, Shards));

} // namespace
