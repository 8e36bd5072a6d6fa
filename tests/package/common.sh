# SPDX-License-Identifier: MIT
# Helpers shared by the package checks. A check that cannot run here (a tool
# is missing) exits with SkipCode, which CTest reports as skipped.
SkipCode=77

skip() { echo "SKIP: $*"; exit "$SkipCode"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || skip "$1 is not installed"; }

# The manual page as plain text, one paragraph per line (a very long line
# length, so that no phrase is broken or hyphenated across lines).
render_plain() {
    groff -man -Tascii -P-cbou -rLL=2000n "$1" 2>/dev/null
}
