// Runs a piece of code in a forked child with its standard output and
// standard error captured in files, and reports what came out and how the
// child ended. Code that ends the process, or installs signal handlers,
// runs here so that the test process itself stays untouched.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace testsupport {

// Exit code of a child whose body came back instead of ending the process.
inline constexpr int ChildBodyReturned = 99;

struct TChildOutcome {
    std::string Out;
    std::string Err;
    int Status = 0;

    bool Exited() const { return WIFEXITED(Status); }
    int ExitCode() const { return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1; }
    int Signal() const { return WIFSIGNALED(Status) ? WTERMSIG(Status) : 0; }
};

inline std::string ReadAll(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char chunk[4096];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, count);
    }
    std::fclose(file);
    return text;
}

// Standard input is the given text, from a file; standard output and
// standard error go to files (never a terminal).
inline TChildOutcome RunInChild(void (*body)(), const std::string& input = "") {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::fflush(in);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        lseek(fileno(in), 0, SEEK_SET);
        dup2(fileno(in), 0);
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        body();
        _exit(ChildBodyReturned);
    }
    TChildOutcome outcome;
    waitpid(child, &outcome.Status, 0);
    std::fclose(in);
    outcome.Out = ReadAll(out);
    outcome.Err = ReadAll(err);
    return outcome;
}

} // namespace testsupport
