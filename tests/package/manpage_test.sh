#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Manual page checks.
#   manpage_test.sh warnings PAGE       renders without a single warning
#   manpage_test.sh reports PAGE CASES  lists every report the transcript
#                                       cases expect the program to print
set -euo pipefail
here=.; [[ $0 == */* ]] && here=${0%/*}
. "$here/common.sh"

check_warnings() {
    local page=$1 device out
    # The devices man(1) uses on terminals, and groff's default.
    for device in ps ascii utf8; do
        out=$(groff -ww -z -man -T"$device" "$page" 2>&1) ||
            fail "groff -T$device failed: $out"
        [ -z "$out" ] || fail "groff -T$device warns:"$'\n'"$out"
    done
    local text section
    text=$(render_plain "$page")
    for section in NAME SYNOPSIS DESCRIPTION INPUT OUTPUT "EXIT STATUS" \
        DIAGNOSTICS EXAMPLES NOTES; do
        grep -qx "$section" <<<"$text" || fail "no section $section"
    done
    echo "rendered cleanly on ps, ascii and utf8"
}

# Every report a transcript case expects (class on the first line, message
# on the second) must be described: the class and the exact message text,
# or, for "I/O error N.", the code N in the list of codes.
check_reports() {
    local page=$1 cases=$2 text file class message code checked=0
    text=$(render_plain "$page")
    for file in "$cases"/*/errors; do
        [ -f "$file" ] || continue
        class=$(sed -n '1s/^Exception \([A-Za-z]*\) in module .*/\1/p' "$file" | tr -d '\r')
        message=$(sed -n '2p' "$file" | tr -d '\r')
        [ -n "$class" ] || fail "$file: no report line"
        grep -qE "^ +$class\$" <<<"$text" || fail "class $class ($file) is not described"
        if [[ $message =~ ^I/O\ error\ (-?[0-9]+)\.$ ]]; then
            code=${BASH_REMATCH[1]}
            grep -qE "^ +$code +[a-z]" <<<"$text" ||
                fail "I/O error code $code ($file) is not in the list of codes"
        else
            grep -qxF -- "$message" <<<"$(sed 's/^ *//' <<<"$text")" ||
                fail "message \"$message\" ($file) is not described"
        fi
        checked=$((checked + 1))
    done
    [ "$checked" -gt 0 ] || fail "no expected reports found under $cases"
    echo "all $checked expected reports are described"
}

need groff
case ${1-} in
warnings) check_warnings "$2" ;;
reports) check_reports "$2" "$3" ;;
*) fail "usage: $0 warnings PAGE | reports PAGE CASES" ;;
esac
