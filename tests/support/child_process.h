// SPDX-License-Identifier: MIT
// Child processes for the tests: a forked body or an executed program, its
// standard descriptors placed as the test asks, waited for with a limit and
// killed once the limit has passed; and the descriptor helpers around them.
// Code that ends the process, installs signal handlers or needs real
// descriptors runs in a child, so that the test process stays untouched.
// Header-only, so that a runner built outside this project can use it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

// Generous, so that a loaded machine or an emulator does not fail a test;
// a child that overruns it is killed.
inline constexpr int DefaultLimitMs = 30000;

// Calls done() until it holds or the limit has passed; true when it held.
template <class TDone> bool PollFor(int limitMs, TDone done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// A descriptor owned by this side, closed when it goes.
class TFd {
  public:
    explicit TFd(int fd = -1) : Fd(fd) {}
    TFd(TFd&& other) noexcept : Fd(other.Release()) {}
    TFd& operator=(TFd&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~TFd() { Reset(); }

    int Get() const { return Fd; }
    int Release() { return std::exchange(Fd, -1); }
    void Reset(int fd = -1) {
        if (Fd >= 0) close(Fd);
        Fd = fd;
    }

  private:
    int Fd;
};

struct TPipe {
    TPipe() {
        int fds[2] = {-1, -1};
        (void)!pipe(fds);
        Read.Reset(fds[0]);
        Write.Reset(fds[1]);
    }
    TFd Read;
    TFd Write;
};

// A pseudo-terminal in raw mode: bytes pass unchanged both ways, no echo.
struct TTerminal {
    TTerminal() {
        int master = -1;
        int slave = -1;
        termios mode{};
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        tcgetattr(slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave, TCSANOW, &mode);
        Master.Reset(master);
        Slave.Reset(slave);
    }
    TFd Master;
    TFd Slave;
};

// False when the descriptor refuses the bytes; a reader that has gone
// fails the write instead of ending the test.
inline bool WriteAll(int fd, std::string_view bytes) {
    static const bool ignored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)ignored;
    for (ssize_t n; !bytes.empty(); bytes.remove_prefix(static_cast<std::size_t>(n))) {
        if ((n = write(fd, bytes.data(), bytes.size())) <= 0) return false;
    }
    return true;
}

// An unlinked temporary file holding `contents`, positioned at its start.
inline TFd TemporaryFile(std::string_view contents = {}) {
    char name[] = "/tmp/survey-test-XXXXXX";
    TFd file(mkstemp(name));
    unlink(name);
    WriteAll(file.Get(), contents);
    lseek(file.Get(), 0, SEEK_SET);
    return file;
}

// The same file opened anew with the given flags (O_RDONLY, say).
inline TFd Reopen(const TFd& file, int flags) {
    return TFd(open(("/proc/self/fd/" + std::to_string(file.Get())).c_str(), flags));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads until `wanted` has arrived (empty: until the descriptor ends), `most`
// bytes have been read, the descriptor ends or the limit has passed.
inline std::string ReadUntil(int fd, std::string_view wanted, int limitMs = DefaultLimitMs,
                             std::size_t most = std::string::npos) {
    std::string text;
    char chunk[4096];
    bool ended = false;
    PollFor(limitMs, [&] {
        pollfd waiting{fd, POLLIN, 0};
        while (!ended && text.size() < most && poll(&waiting, 1, 0) > 0) {
            const ssize_t n = read(fd, chunk, std::min(sizeof chunk, most - text.size()));
            ended = n <= 0;
            text.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        return ended || text.size() >= most ||
               (!wanted.empty() && text.find(wanted) != std::string::npos);
    });
    return text;
}

// What has already arrived, without waiting. (A terminal's master side
// takes in what its slave side has written first.)
inline std::string ReadAvailable(int fd) {
    return ReadUntil(fd, {}, 0);
}

// A file from its start, anything else to its end.
inline std::string ReadAll(int fd) {
    lseek(fd, 0, SEEK_SET);
    return ReadUntil(fd, {});
}

// Placements of a child's standard descriptor besides one of ours; an unset
// TFd gives -1, Closed.
inline constexpr int Closed = -1;
inline constexpr int Inherited = -2;

struct TChildSetup {
    TChildSetup(int in = Inherited, int out = Inherited, int err = Inherited,
                std::function<void()> inChild = {})
        : Std{in, out, err}, InChild(std::move(inChild)) {}

    int Std[3];                    // the descriptors put on 0, 1 and 2
    std::function<void()> InChild; // runs once they are in place, before the body
};

struct TExit {
    int Status = 0;
    bool TimedOut = false; // killed at the limit

    bool Exited() const { return WIFEXITED(Status); }
    int ExitCode() const { return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1; }
    int Signal() const { return WIFSIGNALED(Status) ? WTERMSIG(Status) : 0; }
};

// Exit code of a forked child whose body came back.
inline constexpr int ChildBodyReturned = 99;

class TChild {
  public:
    TChild(const TChildSetup& setup, const std::function<void()>& body) {
        std::fflush(nullptr);
        if ((Id = fork()) < 0)
            throw std::runtime_error("fork failed"); // never wait for or kill pid -1
        if (Id == 0) Start(setup, body);
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;
    ~TChild() {
        if (Running()) {
            kill(Id, SIGKILL);
            waitpid(Id, nullptr, 0);
        }
    }

    pid_t Pid() const { return Id; }

    bool Running() {
        Reaped = Reaped || waitpid(Id, &Ended.Status, WNOHANG) == Id;
        return !Reaped;
    }

    TExit Wait(int limitMs = DefaultLimitMs) {
        if (!PollFor(limitMs, [this] { return !Running(); })) {
            kill(Id, SIGKILL);
            Reaped = waitpid(Id, &Ended.Status, 0) == Id;
            Ended.TimedOut = true;
        }
        return Ended;
    }

    // Waits until the child sleeps in a read of descriptor fd: everything it
    // writes before that read has been written by then. Where the system
    // call cannot be seen, the sleep alone has to do.
    bool WaitUntilBlockedInRead(int fd, int limitMs = DefaultLimitMs) {
        const std::string proc = "/proc/" + std::to_string(Id) + "/";
        char call[32];
        std::snprintf(call, sizeof call, "%ld 0x%x ", static_cast<long>(SYS_read), fd);
        char onDescriptor[32];
        std::snprintf(onDescriptor, sizeof onDescriptor, " 0x%x ", fd);
        bool blocked = false;
        PollFor(limitMs, [&] {
            const std::string syscall = ReadFile(proc + "syscall");
#ifdef SURVEY_PROGRAM_EMULATOR
            // The emulator makes the host's own call, numbered as the host
            // numbers it: only its descriptor is told.
            const bool reading = syscall.find(onDescriptor) == syscall.find(' ');
#else
            const bool reading = syscall.rfind(call, 0) == 0;
            (void)onDescriptor;
#endif
            blocked = ReadFile(proc + "stat").find(") S ") != std::string::npos &&
                      (syscall.empty() || reading);
            return blocked || !Running();
        });
        return blocked;
    }

  private:
    // Each descriptor goes above 2 first, so that placing one cannot close
    // another that still waits to be placed.
    [[noreturn]] static void Start(const TChildSetup& setup, const std::function<void()>& body) {
        int placed[3];
        for (int target = 0; target < 3; ++target)
            placed[target] =
                setup.Std[target] >= 0 ? fcntl(setup.Std[target], F_DUPFD, 3) : setup.Std[target];
        for (int target = 0; target < 3; ++target) {
            if (placed[target] == Closed)
                close(target);
            else if (placed[target] >= 0 && dup2(placed[target], target) >= 0)
                close(placed[target]);
        }
        signal(SIGPIPE, SIG_DFL);
        if (setup.InChild) setup.InChild();
        body();
        _exit(ChildBodyReturned);
    }

    pid_t Id = -1;
    bool Reaped = false;
    TExit Ended;
};

// A body that executes a file of this machine with the given arguments
// (none: its path alone as argv[0]), with no descriptors open beyond 0, 1
// and 2.
inline std::function<void()> ExecHost(const std::string& path, std::vector<std::string> argv = {}) {
    if (argv.empty()) argv.push_back(path);
    return [path, argv] {
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (const std::string& word : argv)
            pointers.push_back(const_cast<char*>(word.c_str()));
        pointers.push_back(nullptr);
        closefrom(3);
        execv(path.c_str(), pointers.data());
        _exit(127);
    };
}

// The same for a program of this build. Where the build's programs run
// under a user-mode emulator (its words with "|" between them), the
// emulator executes the file, with the same argv[0].
inline std::function<void()> Exec(const std::string& path, std::vector<std::string> argv = {}) {
    if (argv.empty()) argv.push_back(path);
#ifdef SURVEY_PROGRAM_EMULATOR
    std::vector<std::string> emulated;
    std::string_view words = SURVEY_PROGRAM_EMULATOR;
    for (std::size_t bar; (bar = words.find('|')) != std::string_view::npos;
         words.remove_prefix(bar + 1))
        emulated.emplace_back(words.substr(0, bar));
    emulated.emplace_back(words);
    const std::string emulator = emulated.front();
    emulated.insert(emulated.end(), {"-0", argv[0], path});
    emulated.insert(emulated.end(), argv.begin() + 1, argv.end());
    return ExecHost(emulator, emulated);
#else
    return ExecHost(path, argv);
#endif
}

// Lowers a resource limit of this process (a child's own stack or file
// size), whatever the test was started with.
inline void LimitResource(int resource, rlim_t value) {
    rlimit limit{};
    getrlimit(resource, &limit);
    limit.rlim_cur = std::min(value, limit.rlim_max);
    setrlimit(resource, &limit);
}

// Blocks the given signals, as a parent may have done before the start.
inline void BlockSignals(std::initializer_list<int> signals) {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : signals)
        sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

// An object shared with the children forked after it: what a child leaves
// there the test reads once the child has ended, however it ended.
template <class T> class TShared {
  public:
    TShared()
        : Object(new (mmap(nullptr, sizeof(T), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS,
                           -1, 0)) T{}) {}
    TShared(const TShared&) = delete;
    TShared& operator=(const TShared&) = delete;
    ~TShared() { munmap(Object, sizeof(T)); }

    T* operator->() const { return Object; }
    T& operator*() const { return *Object; }

  private:
    T* Object;
};

struct TChildOutcome : TExit {
    std::string Out;
    std::string Err;
};

// Runs body in a child with `input` on standard input from a file and
// standard output and error going to files, never to a terminal.
inline TChildOutcome RunInChild(const std::function<void()>& body, std::string_view input = {},
                                const std::function<void()>& inChild = {}) {
    const TFd in = TemporaryFile(input);
    const TFd out = TemporaryFile();
    const TFd err = TemporaryFile();
    TChildOutcome outcome;
    static_cast<TExit&>(outcome) = TChild({in.Get(), out.Get(), err.Get(), inChild}, body).Wait();
    outcome.Out = ReadAll(out.Get());
    outcome.Err = ReadAll(err.Get());
    return outcome;
}

} // namespace testsupport
