// SPDX-License-Identifier: MIT
// The whole program on arbitrary standard input: each input runs the real
// binary once, on a memory file as standard input, and the way it ends is
// judged against the dialogue model. A signal, a hang, a sanitizer report or
// an ending the model does not allow stops the fuzzer.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "dialogue_model.h"
#include "fuzz_fpu.h"

namespace {

constexpr int TimeoutSeconds = 20;
// A sanitizer in the program exits with these, never with 0 or 1.
char AsanOptions[] = "ASAN_OPTIONS=exitcode=86:detect_leaks=0";
char UbsanOptions[] = "UBSAN_OPTIONS=halt_on_error=1:exitcode=87:print_stacktrace=1";

int MemoryFile(const char* name) {
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0) fuzz::Fail("memfd_create failed");
    return fd;
}

std::string ReadAll(int fd) {
    std::string text;
    char chunk[65536];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int input = MemoryFile("input");
    const int output = MemoryFile("output");
    const int errors = MemoryFile("errors");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = write(input, data + done, size - done);
        if (n <= 0) fuzz::Fail("cannot fill the input file");
        done += static_cast<std::size_t>(n);
    }
    lseek(input, 0, SEEK_SET);

    // posix_spawn, not fork: copying the sanitized fuzzer's address space for
    // every input would cost more than the run itself.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_adddup2(&actions, errors, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    char* const argv[] = {const_cast<char*>(SURVEY_BINARY), nullptr};
    char* const envp[] = {AsanOptions, UbsanOptions, nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, SURVEY_BINARY, &actions, &attributes, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) fuzz::Fail("cannot start the program");
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(TimeoutSeconds);
    while (waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            fuzz::Fail("the program hung");
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const std::string out = ReadAll(output);
    const std::string err = ReadAll(errors);
    close(input);
    close(output);
    close(errors);
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "signal %d\n", WTERMSIG(status));
        fuzz::Fail("the program ended by a signal");
    }
    const int exitCode = WEXITSTATUS(status);
    const soak::TPrediction prediction =
        soak::PredictDialogue(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string verdict = soak::CheckRun(prediction, exitCode, out, err);
    if (!verdict.empty()) {
        std::fprintf(stderr, "%s\n", verdict.c_str());
        fuzz::Fail("the run ended in a way the dialogue does not allow");
    }
    return 0;
}
