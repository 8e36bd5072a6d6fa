// SPDX-License-Identifier: MIT
// RealToText against snprintf on the same extended values, in the layouts
// of the results line (7:2 square metres, 8:4 ares, 8:5 hectares) and in
// the exponent form with 16 significant digits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "textio/number_output.h"

namespace {

struct TLayout {
    int Width;
    int Decimals;       // negative: the exponent form
    double Divisor;     // square metres to the unit shown
    const char* Format; // the C library's nearest counterpart
};

constexpr TLayout SquareMetres{7, 2, 1.0, "%7.2Lf"};
constexpr TLayout Ares{8, 4, 100.0, "%8.4Lf"};
constexpr TLayout Hectares{8, 5, 10000.0, "%8.5Lf"};
constexpr TLayout Exponent{24, -1, 1.0, "%.15Le"}; // width - 8 = 16 digits

void RealToTextOn(benchmark::State& state, const TLayout& layout) {
    const std::vector<double> stored = bench::AreaValues(layout.Divisor);
    const std::vector<foundation::Extended> values(stored.begin(), stored.end());
    bench::UseProgramControlWord();
    std::size_t i = 0;
    for (auto _ : state) {
        textio::TShortText text = textio::RealToText(values[i], layout.Width, layout.Decimals);
        benchmark::DoNotOptimize(text);
        i = (i + 1) % values.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void SnprintfOn(benchmark::State& state, const TLayout& layout) {
    // The C library's own extended type.
    const std::vector<double> stored = bench::AreaValues(layout.Divisor);
    const std::vector<long double> values(stored.begin(), stored.end());
    bench::UseProgramControlWord();
    char text[256];
    std::size_t i = 0;
    for (auto _ : state) {
        const int length = std::snprintf(text, sizeof text, layout.Format, values[i]);
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(text);
        i = (i + 1) % values.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RealToText_7_2(benchmark::State& state) {
    RealToTextOn(state, SquareMetres);
}
void BM_Snprintf_7_2(benchmark::State& state) {
    SnprintfOn(state, SquareMetres);
}
void BM_RealToText_8_4(benchmark::State& state) {
    RealToTextOn(state, Ares);
}
void BM_Snprintf_8_4(benchmark::State& state) {
    SnprintfOn(state, Ares);
}
void BM_RealToText_8_5(benchmark::State& state) {
    RealToTextOn(state, Hectares);
}
void BM_Snprintf_8_5(benchmark::State& state) {
    SnprintfOn(state, Hectares);
}
void BM_RealToText_Exponent(benchmark::State& state) {
    RealToTextOn(state, Exponent);
}
void BM_Snprintf_Exponent(benchmark::State& state) {
    SnprintfOn(state, Exponent);
}

BENCHMARK(BM_RealToText_7_2);
BENCHMARK(BM_Snprintf_7_2);
BENCHMARK(BM_RealToText_8_4);
BENCHMARK(BM_Snprintf_8_4);
BENCHMARK(BM_RealToText_8_5);
BENCHMARK(BM_Snprintf_8_5);
BENCHMARK(BM_RealToText_Exponent);
BENCHMARK(BM_Snprintf_Exponent);

} // namespace
