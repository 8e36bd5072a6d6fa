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
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace streamtest {

enum class TSinkKind { Terminal, Pipe, Packets, File };

class TSink {
public:
    // With childReads the child's end of a pipe is the reading one.
    explicit TSink(TSinkKind kind, bool childReads = false) {
        int fds[2] = {-1, -1};
        bool ok = true;
        switch (kind) {
        case TSinkKind::Terminal: {
            ok = openpty(&fds[0], &fds[1], nullptr, nullptr, nullptr) == 0;
            termios mode{};
            ok = ok && tcgetattr(fds[1], &mode) == 0;
            cfmakeraw(&mode); // bytes pass unchanged in both directions
            ok = ok && tcsetattr(fds[1], TCSANOW, &mode) == 0;
            break;
        }
        case TSinkKind::Pipe: ok = pipe(fds) == 0; break;
        case TSinkKind::Packets: ok = socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) == 0; break;
        case TSinkKind::File: {
            char path[] = "/tmp/stream_sink_XXXXXX";
            fds[1] = mkstemp(path);
            fds[0] = open(path, O_RDONLY);
            ok = fds[1] >= 0 && fds[0] >= 0 && unlink(path) == 0;
            break;
        }
        }
        EXPECT_TRUE(ok) << "cannot create the descriptor pair";
        if (childReads && kind == TSinkKind::Pipe) std::swap(fds[0], fds[1]);
        OurEnd = fds[0];
        ChildEnd = fds[1];
    }

    ~TSink() {
        CloseOurEnd();
        CloseChildEnd();
    }

    // In the child: put its end on `target` and let go of both originals,
    // so the child holds no copy of the test's end.
    void GiveTo(int target) {
        if (dup2(ChildEnd, target) < 0) _exit(92);
        close(ChildEnd);
        close(OurEnd);
    }

    void CloseChildEnd() {
        if (ChildEnd >= 0) close(ChildEnd);
        ChildEnd = -1;
    }

    void CloseOurEnd() {
        if (OurEnd >= 0) close(OurEnd);
        OurEnd = -1;
    }

    // The pieces that have arrived since the last call, one per read(2).
    std::vector<std::string> Take() {
        std::vector<std::string> pieces;
        char buffer[4096];
        pollfd entry{OurEnd, POLLIN, 0};
        while (poll(&entry, 1, 150) > 0) {
            const ssize_t got = read(OurEnd, buffer, sizeof buffer);
            if (got <= 0) break;
            pieces.emplace_back(buffer, static_cast<std::size_t>(got));
        }
        return pieces;
    }

    void Send(const std::string& bytes) {
        EXPECT_EQ(write(OurEnd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    int OurEnd = -1;
    int ChildEnd = -1;
};

} // namespace streamtest
