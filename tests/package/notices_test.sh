#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists an archive we ship and checks that it carries the notices: a Debian
# package its copyright (Debian's machine-readable form, the project's own
# paragraph holding LICENSE's text) and its changelog; a ZIP, in its one
# folder, LICENSE and THIRD-PARTY-NOTICES.txt as in the sources (with CR LF
# line ends where the archive's other texts have them, named .txt).
#   notices_test.sh ARCHIVE SOURCE_DIR
#   notices_test.sh --cpack BUILD_DIR SOURCE_DIR   (the build folder's own
#                                                   archive, made by cpack)
set -euo pipefail
here=.; [[ $0 == */* ]] && here=${0%/*}
. "$here/common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$1" = --cpack ]; then
    need cpack
    build_dir=$2 source_dir=$3
    (cd "$build_dir" && cpack -B "$work/cpack") >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack failed in $build_dir"; }
    archive=$(find "$work/cpack" -maxdepth 1 -name '*.deb' -o -maxdepth 1 -name '*.zip')
    [ "$(wc -l <<<"$archive")" = 1 ] || fail "cpack made [$archive], not one archive"
else
    archive=$1 source_dir=$2
fi
[ -f "$archive" ] || fail "no archive at $archive"

# The text of LICENSE below its copyright line, line by line.
license_terms() { sed -n '/^Copyright /,$p' "$source_dir/LICENSE" | sed '1,2d'; }

case $archive in
*.deb)
    need dpkg-deb
    listing=$(dpkg-deb -c "$archive" | awk '$1 !~ /^d/ { print $1, $6 }')
    echo "$archive holds:"; echo "$listing"
    doc=./usr/share/doc/survey
    for entry in "-rw-r--r-- $doc/copyright" "-rw-r--r-- $doc/changelog.gz"; do
        grep -qxF -- "$entry" <<<"$listing" || fail "the package lacks \"$entry\""
    done
    dpkg-deb --fsys-tarfile "$archive" | tar -x -C "$work" "$doc/copyright" "$doc/changelog.gz"
    copyright=$work/$doc/copyright
    head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file is not in Debian's machine-readable form"
    grep -qx 'License: Expat' "$copyright" || fail "the copyright file names no Expat (MIT) paragraph"
    # The licence paragraph: its lines without the leading space, "." for
    # an empty line.
    sed -n '/^License: Expat$/,/^$/{/^License:/d;/^$/d;s/^ //;s/^\.$//;p}' "$copyright" >"$work/terms"
    license_terms | cmp -s - "$work/terms" || fail "the copyright file's MIT text is not LICENSE's"
    gzip -dc "$work/$doc/changelog.gz" | cmp -s - "$source_dir/cmake/debian/changelog" ||
        fail "the packaged changelog is not cmake/debian/changelog"
    ;;
*.zip)
    need python3
    listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$archive")
    echo "$archive holds:"; echo "$listing"
    top=${listing%%/*}
    for name in LICENSE THIRD-PARTY-NOTICES.txt; do
        found=
        for candidate in "$top/$name" "$top/${name%.txt}.txt"; do
            if grep -qxF -- "$candidate" <<<"$listing"; then found=$candidate; break; fi
        done
        [ -n "$found" ] || fail "the archive lacks $top/$name"
        python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' \
            "$archive" "$found" >"$work/held"
        tr -d '\r' <"$work/held" | cmp -s - "$source_dir/$name" || fail "$found is not $name of the sources"
        if grep -q $'\r' "$work/held"; then
            [ "$(grep -c $'\r$' "$work/held")" = "$(wc -l <"$work/held")" ] ||
                fail "$found has CR LF line ends on only some lines"
        fi
    done
    ;;
*) fail "not an archive this test knows: $archive" ;;
esac
echo "$(basename "$archive") carries the notices"
