// SPDX-License-Identifier: MIT
// A descriptor for a child's standard output or input, and the test's end
// of it: a terminal (pseudo-terminal in raw mode), a pipe, a packet socket
// (each write(2) arrives as one piece) or a regular file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/child_process.h"

namespace streamtest {

enum class TSinkKind { Terminal, Pipe, Packets, File };

class TSink {
  public:
    // With childReads the child's end of a pipe is the reading one.
    explicit TSink(TSinkKind kind, bool childReads = false) {
        switch (kind) {
        case TSinkKind::Terminal: {
            testsupport::TTerminal terminal;
            OurEnd = std::move(terminal.Master);
            ChildEnd = std::move(terminal.Slave);
            break;
        }
        case TSinkKind::Pipe: {
            testsupport::TPipe pipe;
            OurEnd = std::move(childReads ? pipe.Write : pipe.Read);
            ChildEnd = std::move(childReads ? pipe.Read : pipe.Write);
            break;
        }
        case TSinkKind::Packets: {
            int fds[2] = {-1, -1};
            EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
            OurEnd.Reset(fds[0]);
            ChildEnd.Reset(fds[1]);
            break;
        }
        case TSinkKind::File:
            ChildEnd = testsupport::TemporaryFile();
            OurEnd = testsupport::Reopen(ChildEnd, O_RDONLY);
            break;
        }
    }

    // In the child: put its end on `target` and let go of both originals,
    // so the child holds no copy of the test's end.
    void GiveTo(int target) {
        if (dup2(ChildEnd.Get(), target) < 0) _exit(92);
        ChildEnd.Reset();
        OurEnd.Reset();
    }

    // The pieces that have arrived, one per read(2). Taken once the child
    // has paused or ended, when all it wrote before is there.
    std::vector<std::string> Take() {
        std::vector<std::string> pieces;
        char buffer[4096];
        pollfd entry{OurEnd.Get(), POLLIN, 0};
        while (poll(&entry, 1, 0) > 0) {
            const ssize_t got = read(OurEnd.Get(), buffer, sizeof buffer);
            if (got <= 0) break;
            pieces.emplace_back(buffer, static_cast<std::size_t>(got));
        }
        return pieces;
    }

    void Send(const std::string& bytes) { EXPECT_TRUE(testsupport::WriteAll(OurEnd.Get(), bytes)); }

    testsupport::TFd OurEnd;
    testsupport::TFd ChildEnd;
};

} // namespace streamtest
