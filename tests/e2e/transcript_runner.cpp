#include "transcript_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

std::string ReadAll(int fd) {
    std::string text;
    char chunk[4096];
    lseek(fd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

int TemporaryFile() {
    char name[] = "/tmp/survey-e2e-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        throw std::runtime_error("mkstemp failed");
    }
    unlink(name);
    return fd;
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

// Reads the first `wanted` bytes of output, then closes the read end, so
// that every later write of the program meets a pipe without a reader.
void ReadAndLeave(int reader, std::size_t wanted, std::string& output, int timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    char chunk[4096];
    while (output.size() < wanted && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{reader, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        const std::size_t rest = wanted - output.size();
        const ssize_t n = read(reader, chunk, rest < sizeof chunk ? rest : sizeof chunk);
        if (n <= 0) break;
        output.append(chunk, static_cast<std::size_t>(n));
    }
    close(reader);
}

// Puts `fd` on `target` in the child, or closes `target` when fd is -1.
void Place(int fd, int target) {
    if (fd < 0) {
        close(target);
    } else if (fd != target) {
        dup2(fd, target);
        close(fd);
    }
}

} // namespace

TRunResult RunProgram(const std::string& binary, const TRunSetup& setup) {
    int inputFd = -1;
    int inputWriter = -1;
    switch (setup.InputKind) {
    case TInputKind::File:
        inputFd = TemporaryFile();
        WriteAll(inputFd, setup.Input);
        lseek(inputFd, 0, SEEK_SET);
        break;
    case TInputKind::Pipe: {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        inputFd = fds[0];
        inputWriter = fds[1];
        break;
    }
    case TInputKind::Closed: break;
    case TInputKind::Directory: inputFd = open("/", O_RDONLY | O_DIRECTORY); break;
    }

    int outputFd = -1;
    int outputReader = -1;
    switch (setup.OutputKind) {
    case TOutputKind::File: outputFd = TemporaryFile(); break;
    case TOutputKind::Pipe:
    case TOutputKind::ReaderLeavesAfterFirstBlock:
    case TOutputKind::BrokenPipe: {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        outputFd = fds[1];
        outputReader = fds[0];
        if (setup.OutputKind == TOutputKind::BrokenPipe) {
            close(outputReader);
            outputReader = -1;
        }
        break;
    }
    case TOutputKind::Closed: break;
    case TOutputKind::Full: outputFd = open("/dev/full", O_WRONLY); break;
    }
    const int errorFd = TemporaryFile();

    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        if (inputWriter >= 0) close(inputWriter);
        if (outputReader >= 0) close(outputReader);
        // The fds the runner opened are all above 2; place them in order.
        Place(inputFd, 0);
        Place(outputFd, 1);
        Place(errorFd, 2);
        signal(SIGPIPE, SIG_DFL);
        if (setup.InChild) setup.InChild();
        const std::string& argv0 = setup.Argv0 ? *setup.Argv0 : binary;
        execl(binary.c_str(), argv0.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (setup.AfterStart) setup.AfterStart(child);

    if (inputFd >= 0) close(inputFd);
    if (outputFd >= 0 && setup.OutputKind != TOutputKind::File) close(outputFd);

    TRunResult result;
    if (inputWriter >= 0) {
        signal(SIGPIPE, SIG_IGN);
        WriteAll(inputWriter, setup.Input);
        if (setup.OutputKind == TOutputKind::ReaderLeavesAfterFirstBlock) {
            ReadAndLeave(outputReader, setup.ReaderTakes, result.Output, setup.TimeoutSeconds);
            outputReader = -1;
            WriteAll(inputWriter, setup.InputAfterFirstBlock);
        }
        close(inputWriter);
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(setup.TimeoutSeconds);
    if (outputReader >= 0) {
        char chunk[4096];
        for (;;) {
            pollfd waiting{outputReader, POLLIN, 0};
            if (poll(&waiting, 1, 100) > 0) {
                const ssize_t n = read(outputReader, chunk, sizeof chunk);
                if (n <= 0) break;
                result.Output.append(chunk, static_cast<std::size_t>(n));
            }
            if (std::chrono::steady_clock::now() > deadline) break;
        }
        close(outputReader);
    }

    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            result.TimedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) {
        result.ExitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.Signal = WTERMSIG(status);
    }
    if (setup.OutputKind == TOutputKind::File) {
        result.Output = ReadAll(outputFd);
        close(outputFd);
    }
    result.Errors = ReadAll(errorFd);
    close(errorFd);
    return result;
}

std::string ReadUntil(int fd, const std::string& wanted, int milliseconds) {
    std::string text;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (text.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 20) > 0) {
            char chunk[512];
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n <= 0) break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
    }
    return text;
}

bool MaskReportAddresses(std::string& errors) {
    static const std::regex reportLine(R"((Exception \S+ in module \S+ at )([^.\r\n]*)\.\r\n)");
    static const std::regex address("[0-9A-F]{8,16}");
    std::string masked;
    bool wellFormed = true;
    auto begin = std::sregex_iterator(errors.begin(), errors.end(), reportLine);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        wellFormed = wellFormed && std::regex_match(m[2].str(), address);
        masked.append(errors, last, static_cast<std::size_t>(m.position(0)) - last);
        masked += m[1].str() + "########.\r\n";
        last = static_cast<std::size_t>(m.position(0) + m.length(0));
    }
    masked.append(errors, last, std::string::npos);
    errors = masked;
    return wellFormed;
}

} // namespace e2e
