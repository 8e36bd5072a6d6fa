// SPDX-License-Identifier: MIT
// The floating-point mask override under Wine, where the registry is real:
// each case sets HKLM\SOFTWARE\survey in the build's own prefix with Wine's
// reg and removes it afterwards. The test build whose keyboard is Japanese
// (subtype 0x0D00) takes its masks from FPUMaskValue; survey.exe, to which
// Wine reports the host's keyboard, keeps the program's word.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/transcript_case.h"

namespace {

namespace fs = std::filesystem;

constexpr char SettingsKey[] = "HKLM\\SOFTWARE\\survey";

std::vector<std::string> Value(const char* type, const char* data) {
    return {"/v", "FPUMaskValue", "/t", type, "/d", data};
}

struct TMaskCase {
    const char* Name;
    const char* Program;
    std::vector<std::string> Value; // reg add's words after the key
    fs::path Transcript;            // a folder of mask_cases/ or of the ordinary cases
    friend void PrintTo(const TMaskCase& c, std::ostream* out) { *out << c.Name; }
};

const fs::path Masked = E2E_MASK_CASES_DIR;
const fs::path Ordinary = E2E_CASES_DIR;
const char* const Japanese = E2E_JAPANESE_BINARY;

const TMaskCase Cases[] = {
    {"AllMasked", Japanese, Value("REG_DWORD", "0x3F"), Masked / "all_masked"},
    {"NoneMasked", Japanese, Value("REG_DWORD", "0x00"), Masked / "none_masked"},
    {"DenormalUnmasked", Japanese, Value("REG_DWORD", "0x30"), Masked / "denormal_unmasked"},
    {"UnderflowUnmasked", Japanese, Value("REG_DWORD", "0x22"), Masked / "underflow_unmasked"},
    // The program's own word: the bytes of the ordinary transcripts.
    {"ValueMissing", Japanese, {}, Ordinary / "length_beyond_double_range"},
    {"ValueAString", Japanese, Value("REG_SZ", "0x3F"), Ordinary / "length_beyond_double_range"},
    {"ValueOfEightBytes", Japanese, Value("REG_QWORD", "0x3F"),
     Ordinary / "length_beyond_double_range"},
    {"ProgramAllMasked", SURVEY_BINARY, Value("REG_DWORD", "0x3F"),
     Ordinary / "length_beyond_double_range"},
    {"ProgramNoneMasked", SURVEY_BINARY, Value("REG_DWORD", "0x00"), Ordinary / "triangle"},
};

// Wine's reg with words; its exit code.
int Reg(std::vector<std::string> words) {
    e2e::TRunSetup setup;
    setup.Launcher = e2e::LauncherWords(E2E_LAUNCHER);
    setup.Arguments = std::move(words);
    setup.TimeoutSeconds = 120;
    return e2e::RunCase("reg", setup).ExitCode;
}

class MaskOverride : public testing::TestWithParam<TMaskCase> {
  protected:
    void SetUp() override {
        (void)Reg({"delete", SettingsKey, "/f"}); // left by a run that was cut short
        std::vector<std::string> add = {"add", SettingsKey, "/f"};
        add.insert(add.end(), GetParam().Value.begin(), GetParam().Value.end());
        ASSERT_EQ(Reg(add), 0);
    }
    void TearDown() override { EXPECT_EQ(Reg({"delete", SettingsKey, "/f"}), 0); }
};

TEST_P(MaskOverride, GivesTranscript) {
    e2e::ExpectTranscript(GetParam().Program, GetParam().Transcript);
}

INSTANTIATE_TEST_SUITE_P(Registry, MaskOverride, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
