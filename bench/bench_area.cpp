// SPDX-License-Identifier: MIT
// ComputeArea over 255 points, stored as the dialogue stores them.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "survey/area.h"

namespace {

void BM_ComputeArea255(benchmark::State& state) {
    bench::UseProgramControlWord();
    survey::PointCount = 255;
    for (int k = 1; k <= 255; ++k) {
        survey::LengthInput = 50.0 + (k * 7919) % 450 + k * 0.001;
        survey::DirectionInput = k * 400.0 / 255 + (k % 7) * 0.0137;
        survey::StorePoint(static_cast<std::uint8_t>(k));
    }
    for (auto _ : state) {
        survey::ComputeArea();
        benchmark::DoNotOptimize(survey::AreaSquareMetres);
    }
    state.counters["area_m2"] = survey::AreaSquareMetres;
}

BENCHMARK(BM_ComputeArea255)->Unit(benchmark::kMicrosecond);

} // namespace
