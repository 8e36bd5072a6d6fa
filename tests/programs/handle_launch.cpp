// SPDX-License-Identifier: MIT
// Starts a program with some of its standard handles absent, the way a
// Windows parent that has no handle to give starts a console program: the
// child's handle is null. Under Wine a handle cannot be left out by closing
// the host's descriptor, because Wine's own start-up takes the free number.
//
//   handle_launch ABSENT PROGRAM
//
// ABSENT names the handles to leave out: any of "stdin", "stdout" and
// "stderr", separated by commas. The other handles are the launcher's own.
// The launcher ends with the program's exit code.
#include <windows.h>

#include <string>

namespace {

constexpr int UsageError = 120;
constexpr int StartError = 121;

HANDLE Given(const std::string& absent, const char* name, DWORD which) {
    if (absent.find(name) != std::string::npos) {
        return nullptr;
    }
    const HANDLE handle = GetStdHandle(which);
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return UsageError;
    }
    const std::string absent = argv[1];
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Given(absent, "stdin", STD_INPUT_HANDLE);
    startup.hStdOutput = Given(absent, "stdout", STD_OUTPUT_HANDLE);
    startup.hStdError = Given(absent, "stderr", STD_ERROR_HANDLE);

    std::string commandLine = std::string("\"") + argv[2] + "\"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[2], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return StartError;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = StartError;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
