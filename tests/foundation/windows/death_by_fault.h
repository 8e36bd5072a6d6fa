// SPDX-License-Identifier: MIT
// Death tests in the Windows build. A processor fault that no handler takes
// ends a Windows process with the fault's exception code as its exit code;
// there are no signals. The death tests written against signals keep their
// meaning through this predicate, which accepts the exception codes that
// each fault signal stands for. Included ahead of every Windows test file.
#pragma once

#include <csignal>
#include <cstdint>

namespace testing {

class KilledBySignal {
  public:
    explicit KilledBySignal(int signal) : signal_(signal) {}

    bool operator()(int exitCode) const {
        const auto code = static_cast<std::uint32_t>(exitCode);
        switch (signal_) {
        case SIGFPE: // x87 conditions 0xC000008D to 0xC0000093, integer division and overflow
            return code >= 0xC000008D && code <= 0xC0000095;
        case SIGSEGV: return code == 0xC0000005 || code == 0xC00000FD;
        case SIGILL: return code == 0xC000001D || code == 0xC0000096;
        default: return false;
        }
    }

  private:
    int signal_;
};

} // namespace testing
