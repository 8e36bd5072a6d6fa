// SPDX-License-Identifier: MIT
// ReadReal and ReadLineEnd through the real stream code: InputStream bound
// to standard input, which is a file of 255 points (a length line and a
// direction line each, CR LF ended). Every iteration reopens the stream at
// the start of the file, so the reads into the 128-byte buffer are counted.
// Beside it, the C library reading the same file with fgets and strtold.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"
#include "textio/number_input.h"
#include "textio/text_stream.h"

namespace {

constexpr int PointCount = 255;
constexpr int NumberCount = 2 * PointCount;

std::string PointLines() {
    std::string text;
    char line[64];
    for (int k = 0; k < PointCount; ++k) {
        const int length = 50 + (k * 7919) % 450;
        std::snprintf(line, sizeof line, "%d.%03d\r\n%.4f\r\n", length, (k * 611) % 1000,
                      k * 400.0 / PointCount + (k % 7) * 0.0137);
        text += line;
    }
    return text;
}

// A temporary file with the point lines, put on standard input for the
// benchmark's lifetime; the previous standard input comes back afterwards.
class TPointFileOnInput {
  public:
    TPointFileOnInput() {
        char path[] = "/tmp/survey_bench_XXXXXX";
        const int fd = mkstemp(path);
        const std::string text = PointLines();
        Ok = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        unlink(path);
        Saved = dup(0);
        Ok = Ok && Saved >= 0 && dup2(fd, 0) == 0;
        if (fd >= 0) close(fd);
    }
    ~TPointFileOnInput() {
        if (Saved >= 0) {
            dup2(Saved, 0);
            close(Saved);
        }
    }
    bool Ok = false;

  private:
    int Saved = -1;
};

void Rewind() {
    lseek(0, 0, SEEK_SET);
}

void BM_ReadRealStream(benchmark::State& state) {
    TPointFileOnInput input;
    if (!input.Ok) {
        state.SkipWithError("cannot put the point file on standard input");
        return;
    }
    bench::UseProgramControlWord();
    for (auto _ : state) {
        Rewind();
        textio::InputStream.Mode = textio::ModeClosed; // opens again at the first read
        foundation::Extended sum(0.0);
        for (int i = 0; i < NumberCount; ++i) {
            sum += textio::ReadReal(textio::InputStream);
            textio::ReadLineEnd(textio::InputStream);
        }
        benchmark::DoNotOptimize(sum);
        if (textio::TakeIoResult() != 0) {
            state.SkipWithError("a read failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * NumberCount);
}

void BM_FgetsStrtold(benchmark::State& state) {
    TPointFileOnInput input;
    if (!input.Ok) {
        state.SkipWithError("cannot put the point file on standard input");
        return;
    }
    bench::UseProgramControlWord();
    char line[256];
    for (auto _ : state) {
        Rewind();
        std::rewind(stdin);
        long double sum = 0.0L;
        for (int i = 0; i < NumberCount && std::fgets(line, sizeof line, stdin) != nullptr; ++i) {
            sum += std::strtold(line, nullptr);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * NumberCount);
}

BENCHMARK(BM_ReadRealStream);
BENCHMARK(BM_FgetsStrtold);

} // namespace
