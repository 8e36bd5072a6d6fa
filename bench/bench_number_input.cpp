// SPDX-License-Identifier: MIT
// ParseReal against strtold on the tokens an operator types: lengths in
// metres and directions in grads, a few in the exponent form.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iterator>

#include "bench_support.h"
#include "textio/number_input.h"

namespace {

constexpr const char* Tokens[] = {
    "123.456", "399.9999", "1.5E3",     "0",       "87.25",  "250.001", "0.5",     "1e2",
    "-12.75",  "63.6620",  "1234.5678", "100",     "17.3",   "205.125", "48.0005", "2.5e-1",
    "310.42",  "99.99",    "7",         "1000.25", "0.0125", "356.7",   "12E1",    "150.875",
};
constexpr std::size_t TokenCount = std::size(Tokens);

void BM_ParseReal(benchmark::State& state) {
    bench::UseProgramControlWord();
    for (const char* token : Tokens) {
        if (textio::ParseReal(token).ErrorPos != 0) {
            state.SkipWithError("a token does not parse");
            return;
        }
    }
    std::size_t i = 0;
    for (auto _ : state) {
        textio::TRealParse parsed = textio::ParseReal(Tokens[i]);
        benchmark::DoNotOptimize(parsed);
        i = i + 1 == TokenCount ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Strtold(benchmark::State& state) {
    bench::UseProgramControlWord();
    std::size_t i = 0;
    for (auto _ : state) {
        char* end = nullptr;
        long double value = std::strtold(Tokens[i], &end);
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(end);
        i = i + 1 == TokenCount ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ParseReal);
BENCHMARK(BM_Strtold);

} // namespace
