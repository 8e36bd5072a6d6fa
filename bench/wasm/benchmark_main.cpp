// SPDX-License-Identifier: MIT
// Runs every registered benchmark, or those whose name holds the text of
// --benchmark_filter=, for about half a second each after a calibration.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace benchmark {

namespace {

constexpr double TargetSeconds = 0.5;

double SecondsOf(State& state, void (*function)(State&)) {
    function(state);
    const auto elapsed = std::chrono::steady_clock::now() - state.Started;
    return std::chrono::duration<double>(elapsed).count();
}

} // namespace

int RunBenchmarks(int argc, char** argv) {
    const char* filter = "";
    for (int k = 1; k < argc; ++k) {
        if (std::strncmp(argv[k], "--benchmark_filter=", 19) == 0) filter = argv[k] + 19;
    }
    std::printf("%-28s %14s %12s\n", "Benchmark", "Time", "Iterations");
    for (internal::TBenchmark* entry : internal::Registry()) {
        if (std::strstr(entry->Name, filter) == nullptr) continue;
        std::int64_t iterations = 1;
        double seconds = 0;
        for (;;) {
            State state(iterations);
            seconds = SecondsOf(state, entry->Function);
            if (state.Skipped) {
                std::printf("%-28s ERROR: %s\n", entry->Name, state.Error.c_str());
                break;
            }
            if (seconds >= TargetSeconds || iterations >= (std::int64_t{1} << 40)) {
                const double perIteration = seconds / static_cast<double>(iterations);
                const bool micro = entry->Shown == kMicrosecond;
                std::printf("%-28s %11.1f %s %12lld", entry->Name,
                            perIteration * (micro ? 1e6 : 1e9), micro ? "us" : "ns",
                            static_cast<long long>(iterations));
                for (const auto& [name, value] : state.counters) {
                    std::printf(" %s=%g", name.c_str(), value);
                }
                std::printf("\n");
                break;
            }
            iterations *=
                seconds > 0.01 ? static_cast<std::int64_t>(TargetSeconds / seconds) + 1 : 10;
        }
    }
    return 0;
}

} // namespace benchmark

int main(int argc, char** argv) {
    return benchmark::RunBenchmarks(argc, argv);
}
