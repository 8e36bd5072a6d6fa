#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The cost of one whole run: the program on a 255-point input file, output
# to a file, repeated; beside it `cat` of the same input as the floor.
# Reports the median wall time, instructions (perf stat where the machine
# counts them, else callgrind), peak resident memory and the system calls.
#   bench/run.sh [SURVEY_BINARY] [RUNS]
# SURVEY_BINARY defaults to build-bench/survey (cmake --workflow is not
# needed: `cmake --preset bench && cmake --build --preset bench`).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
survey=${1:-$root/build-bench/survey}
runs=${2:-50}
[ -x "$survey" ] || { echo "no program at $survey; build the bench preset first" >&2; exit 2; }

# The public tools it uses, installed only when missing.
need=()
[ -x /usr/bin/time ] || need+=(time)
command -v strace >/dev/null || need+=(strace)
command -v valgrind >/dev/null || need+=(valgrind)
if [ ${#need[@]} -gt 0 ]; then
    [ "$(id -u)" = 0 ] || { echo "missing: ${need[*]}" >&2; exit 2; }
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/points.txt
# 255 points, a length in metres and a direction in grads each, around the
# station; the same file every time (fixed seed).
awk 'BEGIN { srand(9); printf "255\r\n";
    for (k = 0; k < 255; k++) {
        printf "%.3f\r\n", 50 + rand() * 450
        printf "%.4f\r\n", k * 400 / 255 + rand() * 0.5 }
    printf "\r\n" }' >"$input"

"$survey" <"$input" >"$work/out.txt" || { echo "the program failed on the input" >&2; exit 1; }
tail -c 23 "$work/out.txt" | grep -q 'Press Enter to exit' || { echo "unexpected output" >&2; exit 1; }
results=$(grep -a 'The area of a contour' "$work/out.txt" | tr -d '\r')

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Output always goes to a file: on a character device such as /dev/null the
# program writes at every line end instead of in 128-byte blocks.
# Wall time of each run in microseconds, taken the same way for both
# programs (the shell's clock around the run), and peak RSS from time -v.
measure() { # name command...
    local name=$1; shift
    local times=$work/$name.times rss=$work/$name.rss
    : >"$times"; : >"$rss"
    for ((i = 0; i < runs; i++)); do
        local start=$EPOCHREALTIME
        "$@" <"$input" >"$work/$name.out"
        local end=$EPOCHREALTIME
        echo $(( (${end/./} - ${start/./}) )) >>"$times"
    done
    for ((i = 0; i < 10; i++)); do
        /usr/bin/time -v "$@" <"$input" 2>&1 >"$work/$name.out" |
            awk -F': ' '/Maximum resident set size/ { print $2 }' >>"$rss"
    done
    wall[$name]=$(median <"$times")
    peak[$name]=$(median <"$rss")
}

instructions() { # command...
    local out
    if out=$(perf stat -x, -e instructions:u "$@" <"$input" 2>&1 >"$work/perf.out") &&
        [[ $out != *"not supported"* && $out != *"not counted"* ]]; then
        echo "$(awk -F, '/instructions/ { print $1 }' <<<"$out") (perf stat, user)"
    else
        out=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" <"$input" 2>&1 >"$work/callgrind.out")
        echo "$(awk '/Collected :/ { print $4 }' <<<"$out") (callgrind, user)"
    fi
}

syscalls() { # command...  -> "read write total"
    strace -c -o "$work/strace.txt" "$@" <"$input" >"$work/strace.out"
    awk '$NF == "read" { r = $4 } $NF == "write" { w = $4 } $NF == "total" { t = $4 }
         END { printf "%d %d %d\n", r, w, t }' "$work/strace.txt"
}

declare -A wall peak
measure survey "$survey"
measure cat cat
read -r s_read s_write s_total < <(syscalls "$survey")
read -r c_read c_write c_total < <(syscalls cat)
s_instr=$(instructions "$survey")
c_instr=$(instructions cat)

echo "input: 255 points, $(wc -c <"$input") bytes; output $(wc -c <"$work/survey.out") bytes; $runs runs each"
echo "$results"
printf '%-8s %14s %14s %8s %8s %8s  %s\n' program "median wall us" "peak RSS KB" reads writes syscalls instructions
printf '%-8s %14s %14s %8s %8s %8s  %s\n' survey "${wall[survey]}" "${peak[survey]}" "$s_read" "$s_write" "$s_total" "$s_instr"
printf '%-8s %14s %14s %8s %8s %8s  %s\n' cat "${wall[cat]}" "${peak[cat]}" "$c_read" "$c_write" "$c_total" "$c_instr"
awk -v s="${wall[survey]}" -v c="${wall[cat]}" -v rs="${peak[survey]}" -v rc="${peak[cat]}" 'BEGIN {
    printf "wall time survey/cat: %.2f (target <= 2)\n", s / c
    printf "peak RSS survey - cat: %d KB (target <= 0)\n", rs - rc }'
