#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a Windows test program under Wine (the words after this script).
# Wine now and then fails to start a program: the process ends at once,
# with a failing exit code, before the program has written a byte on
# either handle. Every test program writes something first, so such a run
# bears Wine's own signature and is started once more, saying so on
# standard error; any other failure stands as it is. The program's output is
# held until it ends, then passed on.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$@" >"$out" 2>"$err"
status=$?
if [ $status -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    echo "wine_start.sh: Wine ended with $status before the program wrote anything; starting it again" >&2
    "$@" >"$out" 2>"$err"
    status=$?
fi
cat "$out"
cat "$err" >&2
exit $status
