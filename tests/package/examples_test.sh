#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every results-line example of the manual page against the built
# program: each "$ ... | grep area" command shown under EXAMPLES must print
# exactly the line shown below it, and every sample input file must be used.
#   examples_test.sh PAGE SURVEY SOURCE_DIR [EMULATOR [OPTION...]]
# With EMULATOR (a build for another processor), the commands find a
# "survey" that runs the program under it.
set -euo pipefail
here=.; [[ $0 == */* ]] && here=${0%/*}
. "$here/common.sh"

need groff
page=$1 survey=$2 source_dir=$3 emulator=("${@:4}")
[ -x "$survey" ] || fail "no program at $survey"
if [ ${#emulator[@]} -gt 0 ]; then
    wrapper=$(mktemp -d)
    trap 'rm -rf "$wrapper"' EXIT
    printf '#!/bin/sh\nexec %s %q "$@"\n' "$(printf '%q ' "${emulator[@]}")" "$survey" >"$wrapper/survey"
    chmod +x "$wrapper/survey"
    survey=$wrapper/survey
fi

# The EXAMPLES section, up to the next section heading.
examples=$(render_plain "$page" | sed -n '/^EXAMPLES$/,/^[A-Z]/{/^[A-Z]/!p}')
[ -n "$examples" ] || fail "the page has no EXAMPLES section"

checked=0 used=""
while IFS= read -r line; do
    if [ -n "${command-}" ]; then
        expected=${line#"$indent"}
        actual=$(cd "$source_dir" && PATH="${survey%/*}:$PATH" bash -c "$command" | tr -d '\r') ||
            fail "\"$command\" failed"
        [ "$actual" = "$expected" ] ||
            fail "\"$command\" prints"$'\n'"  $actual"$'\n'"the page shows"$'\n'"  $expected"
        used+=" $command"
        checked=$((checked + 1))
        unset command
    elif [[ $line =~ ^(\ *)\$\ (.*\|\ grep\ area)$ ]]; then
        indent=${BASH_REMATCH[1]} command=${BASH_REMATCH[2]}
    fi
done <<<"$examples"

[ "$checked" -gt 0 ] || fail "no results-line example found"
for file in "$source_dir"/examples/*.txt; do
    [[ $used == *"examples/${file##*/}"* ]] || fail "examples/${file##*/} is not shown in the page"
done
echo "all $checked results-line examples match the program"
