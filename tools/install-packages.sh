#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian 12 packages this project needs, in groups, installed when
# missing. Run as root or through sudo (it says which); it installs nothing
# and prints nothing when everything is there, so it can run every time.
#   tools/install-packages.sh [--list] [GROUP...]
# Groups: build (the compiler, CMake, the test framework, Boost and fmt: enough
# for `cmake --workflow --preset build`), test (build, and what the test
# workflow's checks use), ci (test, and every other workflow: the sanitizer
# and fuzz builds, the analysers of .ci/lint, the ARM, Windows and
# WebAssembly builds, the benchmarks, the package checks). Without a group:
# test. --list prints the packages that are missing, one a line, and
# installs nothing.
set -euo pipefail

build=(g++ cmake make libgtest-dev libgmock-dev libboost1.81-dev libfmt-dev)
# The exact sine the software arithmetic's tests judge it by; the checks of
# survey-contour's documents (ezdxf reads the DXF, rsvg-convert renders the
# SVG); the manual pages' checks and the Debian package's (dpkg-shlibdeps
# and dpkg-deb, lintian).
test=("${build[@]}" libmpfr-dev python3-ezdxf librsvg2-bin groff-base gzip binutils
      dpkg-dev lintian)
# clang with libFuzzer and the sanitizers' run-times and .ci/lint's
# analysers; the cross compilers with qemu and Wine to run their tests;
# emscripten (whose optimiser needs Debian's acorn) and Chromium for the
# page; Google Benchmark; LibreOffice and poppler for the contour's DXF
# test.
ci=("${test[@]}" clang libclang-rt-14-dev llvm clang-tidy cppcheck clang-format
    g++-aarch64-linux-gnu qemu-user-static g++-mingw-w64-x86-64-posix wine64 wine
    emscripten node-acorn chromium libbenchmark-dev libreoffice-draw-nogui poppler-utils)

list_only=no
groups=()
for argument in "$@"; do
    case $argument in
    --list) list_only=yes ;;
    build | test | ci) groups+=("$argument") ;;
    *) echo "usage: $0 [--list] [build|test|ci]..." >&2; exit 2 ;;
    esac
done
[ ${#groups[@]} -gt 0 ] || groups=(test)

wanted=()
for group in "${groups[@]}"; do
    declare -n members=$group
    wanted+=("${members[@]}")
done
# Node.js and npm: the WebAssembly build's tests and the page's packages.
# Debian's nodejs and npm are taken only where no node or npm is there at
# all: one installed another way must not be replaced.
if [[ " ${groups[*]} " == *" ci "* ]]; then
    command -v node >/dev/null || wanted+=(nodejs)
    command -v npm >/dev/null || wanted+=(npm)
fi

installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]; }
missing=()
for package in $(printf '%s\n' "${wanted[@]}" | sort -u); do
    installed "$package" || missing+=("$package")
done

if [ $list_only = yes ]; then
    [ ${#missing[@]} -eq 0 ] || printf '%s\n' "${missing[@]}"
    exit 0
fi
[ ${#missing[@]} -gt 0 ] || exit 0

if [ "$(id -u)" = 0 ]; then
    as_root=()
    echo "Installing ${missing[*]}"
elif command -v sudo >/dev/null; then
    as_root=(sudo)
    echo "Installing ${missing[*]} with sudo"
else
    echo "Missing ${missing[*]}: run this as root, or install sudo" >&2
    exit 1
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
