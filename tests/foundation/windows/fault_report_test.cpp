// SPDX-License-Identifier: MIT
// A fault's whole road in a Windows process: the program's test build that
// faults on purpose, started with CreateProcess, must report an access
// violation with the module survey.exe, the offset of the faulting
// instruction, and both addresses.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <regex>
#include <string>

namespace {

constexpr char NullReadFault[] = "4\r\n";

struct TChildRun {
    DWORD ExitCode = 0;
    std::string Errors;
};

// Standard input from a pipe holding input, standard error into a pipe,
// standard output to NUL.
TChildRun RunFaultingProgram(const std::string& input) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    EXPECT_TRUE(CreatePipe(&inRead, &inWrite, &inherited, 0));
    EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherited, 0));
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    const HANDLE null = CreateFileA("NUL", GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(inWrite);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = null;
    startup.hStdError = errWrite;
    std::string commandLine = std::string("\"") + SURVEY_FAULTING_PROGRAM + "\"";
    PROCESS_INFORMATION process{};
    TChildRun run;
    const bool started = CreateProcessA(SURVEY_FAULTING_PROGRAM, commandLine.data(), nullptr,
                                        nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    EXPECT_TRUE(started) << GetLastError();
    CloseHandle(inRead);
    CloseHandle(errWrite);
    CloseHandle(null);
    if (started) {
        char chunk[512];
        DWORD got = 0;
        while (ReadFile(errRead, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            run.Errors.append(chunk, got);
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.ExitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(errRead);
    return run;
}

TEST(WindowsFaultReport, AccessViolationNamesModuleOffsetAndAddresses) {
    const TChildRun run = RunFaultingProgram(NullReadFault);
    EXPECT_EQ(run.ExitCode, 1u);
    const std::regex report(
        "Exception EAccessViolation in module survey\\.exe at ([0-9A-F]{8,})\\.\r\n"
        "Access violation at address ([0-9A-F]{8,}) in module 'survey\\.exe'\\. "
        "Read of address 00000000\\.\r\n\r\n");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(run.Errors, parts, report)) << run.Errors;
    // The first line shows the offset inside the image, the message the
    // address itself: they differ by the image's load base.
    const std::uint64_t offset = std::stoull(parts[1].str(), nullptr, 16);
    const std::uint64_t address = std::stoull(parts[2].str(), nullptr, 16);
    ASSERT_GT(address, offset);
    EXPECT_EQ((address - offset) % 0x10000, 0u) << "load base " << std::hex << address - offset;
}

} // namespace
