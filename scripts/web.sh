#!/usr/bin/env bash
# Builds the browser page, build-web/vostrel.html: the core compiled to
# WebAssembly with Debian's Emscripten (installed when missing), one file of
# at most 300 KB. With --tests it also builds the core's module tests for
# Node; with --native DIR the browser scenarios compare against the native
# programs of the build in DIR (scripts/test.d/web.sh).
#   bash scripts/web.sh [--tests] [--native DIR]
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tests=OFF
native=""
while [ $# -gt 0 ]; do
  case "$1" in
    --tests) tests=ON ;;
    --native) native="$2"; shift ;;
    *) echo "usage: $0 [--tests] [--native DIR]" >&2; exit 2 ;;
  esac
  shift
done
"$repo/scripts/deps.sh" web
# Debian's Emscripten finds its acorn through NODE_PATH when node is not Debian's own.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
out="$repo/build-web"
mkdir -p "$out"
# Node runs the tests as it is (Emscripten's default adds flags this Node no longer takes).
emcmake cmake -S "$repo" -B "$out" -DVOSTREL_GUI=OFF -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
  -DVOSTREL_TESTS="$tests" -DVOSTREL_NATIVE_BUILD="$native" > "$out/configure.log" 2>&1 ||
  { cat "$out/configure.log"; exit 1; }
cmake --build "$out" -j "$(nproc)"
page="$out/vostrel.html"
size="$(stat -c %s "$page")"
echo "page: $page, $size bytes"
[ "$size" -le 307200 ] || { echo "the page is larger than 300 KB" >&2; exit 1; }
