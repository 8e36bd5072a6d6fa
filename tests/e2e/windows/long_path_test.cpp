// SPDX-License-Identifier: MIT
// survey.exe started from a path of over 300 characters: the report names
// survey.exe, not a piece of a directory.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "e2e/transcript_case.h"

namespace fs = std::filesystem;

TEST(WindowsLongPath, ReportNamesTheProgram) {
    const fs::path top = fs::temp_directory_path() / ("survey-" + std::to_string(getpid()));
    fs::path folder = top;
    while (folder.string().size() < 300) {
        folder /= std::string(40, 'd');
    }
    fs::create_directories(folder);
    fs::copy_file(SURVEY_BINARY, folder / "survey.exe");
    e2e::ExpectTranscript((folder / "survey.exe").string(),
                          fs::path(E2E_CASES_DIR) / "count_not_integer");
    fs::remove_all(top);
}
