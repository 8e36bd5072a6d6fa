// Runs stream code in a forked child, with real descriptors on 0, 1 and 2,
// and carries what the child saw back to the test over a report pipe.
// The child may stop at Pause() until the test lets it go on, so the test
// can look at what has reached a descriptor between two statements.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "textio/text_stream.h"

namespace streamtest {

inline constexpr std::int32_t PauseMark = -0x5A5A;

inline int ReportFd = -1;
inline int GoFd = -1;

// Child side.
inline void Report(std::int32_t value) {
    if (write(ReportFd, &value, sizeof value) != sizeof value) _exit(90);
}

inline void Pause() {
    Report(PauseMark);
    char go;
    if (read(GoFd, &go, 1) != 1) _exit(91);
}

inline void PutOn(int fd, int target) {
    if (dup2(fd, target) < 0) _exit(92);
}

// The standard streams as start-up leaves them: all zero, marked closed.
inline void ResetStandardStreams() {
    for (textio::TTextStream* stream : {&textio::InputStream, &textio::OutputStream, &textio::ErrorStream}) {
        *stream = textio::TTextStream{};
        stream->Mode = textio::ModeClosed;
    }
    textio::TakeIoResult();
}

class TChild {
public:
    explicit TChild(const std::function<void()>& body) {
        int report[2];
        int go[2];
        if (pipe(report) != 0 || pipe(go) != 0) ADD_FAILURE() << "pipe";
        Pid = fork();
        if (Pid == 0) {
            close(report[0]);
            close(go[1]);
            ReportFd = report[1];
            GoFd = go[0];
            alarm(10); // a child stuck in a read must not hang the suite
            ResetStandardStreams();
            body();
            _exit(0);
        }
        close(report[1]);
        close(go[0]);
        Reports = report[0];
        Go = go[1];
    }

    ~TChild() {
        if (Pid > 0) Wait();
    }

    // Values the child reported up to its next Pause (or its end).
    std::vector<std::int32_t> Collect() {
        std::vector<std::int32_t> values;
        std::int32_t value;
        while (read(Reports, &value, sizeof value) == sizeof value && value != PauseMark) {
            values.push_back(value);
        }
        return values;
    }

    void Resume() { EXPECT_EQ(write(Go, "g", 1), 1); }

    // Exit status as waitpid gives it.
    int Wait() {
        close(Go);
        close(Reports);
        int status = -1;
        waitpid(Pid, &status, 0);
        Pid = -1;
        return status;
    }

private:
    pid_t Pid = -1;
    int Reports = -1;
    int Go = -1;
};

// Runs a body that never pauses and returns everything it reported.
inline std::vector<std::int32_t> RunChild(const std::function<void()>& body) {
    TChild child(body);
    const std::vector<std::int32_t> values = child.Collect();
    const int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return values;
}

} // namespace streamtest
