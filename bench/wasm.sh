#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The WebAssembly build beside the native x87 one: ComputeArea over 255
# points in each (the same benchmark, median of the repetitions), and a
# whole 255-point run of the program, Node.js's own start-up shown apart.
#   bench/wasm.sh [RUNS]
# Build first: cmake --preset bench && cmake --build --preset bench, and the
# same with bench-wasm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-20}
native=$root/build-bench
wasm=$root/build-bench-wasm
for file in "$native/bench/survey_bench" "$native/survey" "$wasm/bench/survey_bench.js" "$wasm/survey.js"; do
    [ -e "$file" ] || { echo "no $file; build the bench and bench-wasm presets" >&2; exit 2; }
done

echo "ComputeArea over 255 points, wall-clock time (the WebAssembly build has no CPU clock):"
native_us=$("$native/bench/survey_bench" --benchmark_filter=BM_ComputeArea255 \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv \
    2>/dev/null | awk -F, '$1 ~ /_median"?$/ { print $3 }')
wasm_us=$(node "$wasm/bench/survey_bench.js" --benchmark_filter=BM_ComputeArea255 |
    awk '$1 == "BM_ComputeArea255" { print $2 }')
awk -v n="$native_us" -v w="$wasm_us" \
    'BEGIN { printf "  native x87 %8.1f us\n  wasm soft  %8.1f us  (%.1fx)\n", n, w, w / n }'

# A survey of 255 points around the station, lengths to the millimetre.
input=$(mktemp)
trap 'rm -f "$input"' EXIT
awk 'BEGIN { print 255; for (k = 1; k <= 255; ++k) {
             printf "%.3f\n%.4f\n", 50 + (k * 7919) % 450 + k / 1000, k * 400 / 255 }
             print "" }' >"$input"

# Median wall time of RUNS runs of a command, in milliseconds.
median_ms() {
    for ((k = 0; k < runs; ++k)); do
        local started=$(date +%s%N)
        "$@" <"$input" >/dev/null
        echo $((($(date +%s%N) - started) / 1000))
    done | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}
echo "A whole 255-point run, median of $runs:"
echo "  native x87           $(median_ms "$native/survey") ms"
echo "  node survey.js       $(median_ms node "$wasm/survey.js") ms"
echo "  node alone           $(median_ms node -e '') ms (Node.js's own start-up)"
