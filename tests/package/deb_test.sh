#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from the build folder and checks what it holds:
# the two programs in /usr/bin, their compressed manual pages and the
# package's copyright and changelog, nothing else, the control fields, that
# the packaged programs are the ones just built, and that lintian finds no
# error and no warning in it.
#   deb_test.sh BUILD_DIR SOURCE_DIR SURVEY SURVEY_CONTOUR ARCHITECTURE [EMULATOR [OPTION...]]
# With EMULATOR (a build for another processor), the programs run under it.
set -euo pipefail
here=.; [[ $0 == */* ]] && here=${0%/*}
. "$here/common.sh"

need cpack
need dpkg-deb
need readelf
need lintian
build_dir=$1 source_dir=$2 survey=$3 contour=$4 architecture=$5 emulator=("${@:6}")
run() { "${emulator[@]}" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$work") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
shopt -s nullglob
debs=("$work"/survey_*_"$architecture".deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one survey_*_$architecture.deb, found ${#debs[@]}"
deb=${debs[0]}

# The file list: mode and path of every regular file, directories left out.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }')
for entry in "-rwxr-xr-x ./usr/bin/survey" "-rw-r--r-- ./usr/share/man/man1/survey.1.gz" \
    "-rwxr-xr-x ./usr/bin/survey-contour" "-rw-r--r-- ./usr/share/man/man1/survey-contour.1.gz"; do
    grep -qxF -- "$entry" <<<"$files" || fail "the package lacks \"$entry\"; it holds"$'\n'"$files"
done
# Nothing of the build (test programs, libraries, headers) may ship.
stray=$(awk '$2 !~ /^\.\/usr\/bin\/survey(-contour)?$/ && $2 !~ /^\.\/usr\/share\/(man\/man1|doc\/survey)\//' <<<"$files")
[ -z "$stray" ] || fail "the package also holds"$'\n'"$stray"
bash "$here/notices_test.sh" "$deb" "$source_dir" >"$work/notices.log" ||
    { cat "$work/notices.log"; fail "the package's notices"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = survey ] || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$architecture" ] || fail "Architecture is $(field Architecture)"
# Every shared library the packaged program loads must come from a package
# named in Depends (a statically linked program needs none).
dpkg-deb -x "$deb" "$work/root"
depends=$(field Depends)
for library in $(readelf -d "$work/root/usr/bin/survey" "$work/root/usr/bin/survey-contour" |
    sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u); do
    owners=$( (dpkg -S "*/$library" 2>/dev/null || true) | sed 's/: \/.*//' | tr ',' '\n' | sed 's/:.*//; s/ //g' | sort -u | tr '\n' ' ')
    [ -n "$owners" ] || fail "no package owns $library"
    found=no
    for owner in $owners; do [[ ", $depends," == *", $owner"[\ ,]* ]] && found=yes; done
    [ $found = yes ] || fail "$library (from $owners) is not in Depends: $depends"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

for page in survey.1 survey-contour.1; do
    gzip -dc "$work/root/usr/share/man/man1/$page.gz" | cmp -s - "$source_dir/man/$page" ||
        fail "the packaged manual page differs from man/$page"
done

# The packaged program answers a sample input exactly as the built one does.
input=$source_dir/examples/square.txt
run "$work/root/usr/bin/survey" <"$input" >"$work/packaged.out" 2>&1 ||
    fail "the packaged program exits with $?"
run "$survey" <"$input" >"$work/built.out" 2>&1 || fail "the built program exits with $?"
cmp -s "$work/packaged.out" "$work/built.out" ||
    fail "the packaged program's output differs from the built program's"
run "$work/root/usr/bin/survey-contour" <"$input" >"$work/packaged.svg" 2>&1 ||
    fail "the packaged survey-contour exits with $?"
run "$contour" <"$input" >"$work/built.svg" 2>&1 || fail "the built survey-contour exits with $?"
cmp -s "$work/packaged.svg" "$work/built.svg" ||
    fail "the packaged survey-contour's drawing differs from the built one's"
# Debian's own checks of a package, every one that says error or warning.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian finds errors or warnings in $(basename "$deb")"; }
grep -v '^running with root privileges' "$work/lintian.log" || true
echo "package $(basename "$deb") holds both programs, their manual pages and the notices; lintian: clean"
