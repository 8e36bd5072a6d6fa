#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The software extended arithmetic beside the x87 one: the same benchmarks
# from the bench and bench-soft builds, run one after the other, with the
# ratios of their CPU times (median of the repetitions).
#   bench/backends.sh [REPETITIONS]
# Build first: cmake --preset bench && cmake --build --preset bench, and the
# same with bench-soft.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
repetitions=${1:-5}
x87=$root/build-bench/bench/survey_bench
soft=$root/build-bench-soft/bench/survey_bench
for b in "$x87" "$soft"; do
    [ -x "$b" ] || { echo "no benchmark program at $b; build the bench and bench-soft presets" >&2; exit 2; }
done

filter='BM_ComputeArea255|BM_ParseReal|BM_Strtold|BM_RealToText_|BM_ReadRealStream'
medians() {
    "$1" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); print name, $4 }'
}
medians "$x87" >"${TMPDIR:-/tmp}/x87.$$"
medians "$soft" >"${TMPDIR:-/tmp}/soft.$$"
trap 'rm -f "${TMPDIR:-/tmp}/x87.$$" "${TMPDIR:-/tmp}/soft.$$"' EXIT

printf '%-24s %14s %14s %8s\n' benchmark "x87 CPU ns" "soft CPU ns" "soft/x87"
join <(sort "${TMPDIR:-/tmp}/x87.$$") <(sort "${TMPDIR:-/tmp}/soft.$$") |
    awk '{ printf "%-24s %14.1f %14.1f %7.2fx\n", $1, $2, $3, $3 / $2 }'
# The software ParseReal beside the C library's strtold of the same run.
awk '$1 == "BM_ParseReal" { p = $2 } $1 == "BM_Strtold" { s = $2 }
     END { if (p && s) printf "soft ParseReal / strtold: %.2fx (target < 1)\n", p / s }' \
    "${TMPDIR:-/tmp}/soft.$$"
