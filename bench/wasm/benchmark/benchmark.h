// SPDX-License-Identifier: MIT
// The part of Google Benchmark's interface that the benchmarks use, for the
// WebAssembly build, where the library is not packaged. Each benchmark runs
// its loop for a fixed time and reports wall-clock nanoseconds per
// iteration in Google Benchmark's console layout, so its figures stand
// beside the native build's.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace benchmark {

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond };

class State {
  public:
    explicit State(std::int64_t maxIterations) : MaxIterations(maxIterations) {}

    class Iterator {
      public:
        Iterator(State* state, std::int64_t left) : Owner(state), Left(left) {}
        bool operator!=(const Iterator&) const { return Left != 0 && !Owner->Skipped; }
        void operator++() { --Left; }
        // A value with a destructor of its own, so that the loop variable
        // the benchmarks leave unused draws no warning.
        struct TValue {
            TValue() {}
            ~TValue() {}
        };
        TValue operator*() const { return {}; }

      private:
        State* Owner;
        std::int64_t Left;
    };
    Iterator begin() {
        Started = std::chrono::steady_clock::now();
        return Iterator(this, MaxIterations);
    }
    Iterator end() { return Iterator(this, 0); }

    std::int64_t iterations() const { return MaxIterations; }
    void SetItemsProcessed(std::int64_t items) { Items = items; }
    void SkipWithError(const char* message) {
        Skipped = true;
        Error = message;
    }

    std::map<std::string, double> counters;
    std::int64_t MaxIterations;
    std::int64_t Items = 0;
    bool Skipped = false;
    std::string Error;
    std::chrono::steady_clock::time_point Started;
};

template <class T> inline void DoNotOptimize(T&& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

namespace internal {

struct TBenchmark {
    const char* Name;
    void (*Function)(State&);
    TimeUnit Shown = kNanosecond;
    TBenchmark* Unit(TimeUnit unit) {
        Shown = unit;
        return this;
    }
};

inline std::vector<TBenchmark*>& Registry() {
    static std::vector<TBenchmark*> benchmarks;
    return benchmarks;
}

inline TBenchmark* Register(const char* name, void (*function)(State&)) {
    Registry().push_back(new TBenchmark{name, function});
    return Registry().back();
}

} // namespace internal

int RunBenchmarks(int argc, char** argv);

} // namespace benchmark

#define SURVEY_BENCH_CONCAT2(a, b) a##b
#define SURVEY_BENCH_CONCAT(a, b) SURVEY_BENCH_CONCAT2(a, b)
#define BENCHMARK(function)                                                                        \
    [[maybe_unused]] static ::benchmark::internal::TBenchmark* SURVEY_BENCH_CONCAT(                \
        BenchmarkEntry, __LINE__) = ::benchmark::internal::Register(#function, function)
