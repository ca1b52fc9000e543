#!/usr/bin/env bash
# The Windows program, built and tested on Debian or Ubuntu without Windows:
# installs the missing packages, builds FLTK 1.4.5 for Windows (cached, see
# scripts/fltk-win.sh), cross-builds vostrel.exe and the test suite with
# MinGW-w64 in build-win/, makes the zip and the installer, and runs the
# suite under Wine: the module tests, the real-window tests on Xvfb and the
# tests of the two packages. Leaves the packages in build-win/packages/.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/deps.sh" windows
jobs="$(nproc)"
build="$repo/build-win"

# The Wine prefixes of the build (it runs programs it made: the collection's
# maker) and of the tests (scripts/wine.sh, wine_suite).
source "$repo/scripts/wine.sh"
wine_dir="$(mktemp -d /tmp/vostrel-wine.XXXXXX)"
trap 'wine_end "$wine_dir/modules"; rm -rf "$wine_dir"' EXIT
wine_suite "$wine_dir"

fltk="$(bash "$repo/scripts/fltk-win.sh")"
bash "$repo/scripts/web.sh"  # the browser page for the zip and the installer
(cd "$repo" && VOSTREL_FLTK_WIN="$fltk" cmake --preset windows \
  -DVOSTREL_WEB_PAGE="$repo/build-web/vostrel.html" > /dev/null)
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -B "$build/packages" > /dev/null)
rm -rf "$build/packages/_CPack_Packages"
ls "$build/packages"/vostrel-*-win64.{zip,exe}

(cd "$build" && ctest --output-on-failure -j "$jobs")
