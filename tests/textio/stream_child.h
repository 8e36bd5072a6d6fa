// SPDX-License-Identifier: MIT
// Runs stream code in a forked child, with real descriptors on 0, 1 and 2,
// and carries what the child saw back to the test over a report pipe.
// The child may stop at Pause() until the test lets it go on, so the test
// can look at what has reached a descriptor between two statements.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/child_process.h"
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
    for (textio::TTextStream* stream :
         {&textio::InputStream, &textio::OutputStream, &textio::ErrorStream}) {
        *stream = textio::TTextStream{};
        stream->Mode = textio::ModeClosed;
    }
    textio::TakeIoResult();
}

class TStreamChild {
  public:
    explicit TStreamChild(const std::function<void()>& body)
        : Child({}, [this, &body] {
              Reports.Read.Reset();
              Go.Write.Reset();
              ReportFd = Reports.Write.Get();
              GoFd = Go.Read.Get();
              ResetStandardStreams();
              body();
              _exit(0);
          }) {
        Reports.Write.Reset();
        Go.Read.Reset();
    }

    // Values the child reported up to its next Pause (or its end).
    std::vector<std::int32_t> Collect() {
        std::vector<std::int32_t> values;
        std::int32_t value;
        for (std::string bytes;
             (bytes = testsupport::ReadUntil(Reports.Read.Get(), {}, testsupport::DefaultLimitMs,
                                             sizeof value))
                 .size() == sizeof value;) {
            std::memcpy(&value, bytes.data(), sizeof value);
            if (value == PauseMark) break;
            values.push_back(value);
        }
        return values;
    }

    void Resume() { EXPECT_TRUE(testsupport::WriteAll(Go.Write.Get(), "g")); }

    // Exit status as waitpid gives it.
    int Wait() {
        Go.Write.Reset();
        Reports.Read.Reset();
        return Child.Wait().Status;
    }

  private:
    testsupport::TPipe Reports;
    testsupport::TPipe Go;
    testsupport::TChild Child;
};

// Runs a body that never pauses and returns everything it reported.
inline std::vector<std::int32_t> RunChild(const std::function<void()>& body) {
    TStreamChild child(body);
    std::vector<std::int32_t> values = child.Collect();
    const int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return values;
}

} // namespace streamtest
