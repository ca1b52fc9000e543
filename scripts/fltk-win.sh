#!/usr/bin/env bash
# Builds FLTK 1.4.5 for 64-bit Windows as static libraries with the MinGW-w64
# cross compiler and prints the folder it is installed in (the prefix for
# find_package). Only the core libraries are built: no fluid, fltk-options,
# OpenGL, forms, tests, examples or documentation.
#
# The source is VOSTREL_FLTK_SOURCE (an unpacked folder or a tarball) or else
# ../shared/third_party/fltk-1.4.5-source.tar.gz beside the repository. A
# tarball must have the release's SHA-256. Nothing is downloaded.
# The result is cached in ${XDG_CACHE_HOME:-~/.cache}/vostrel/, keyed on the
# FLTK version and the compiler version; VOSTREL_FLTK_CACHE overrides that.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
version=1.4.5
sha256=5613ac7880f2c53af25f800abf5b69141a3ab889431933a03733d223b74cad74
cc=x86_64-w64-mingw32-gcc

fail() {
  echo "fltk-win: $*" >&2
  echo "fltk-win: FLTK $version is the release at https://www.fltk.org/software.php" \
       "(git tag release-$version); give its tarball or unpacked folder in" \
       "VOSTREL_FLTK_SOURCE." >&2
  exit 1
}

compiler="$("$cc" -dumpfullversion)-$("$cc" -dumpmachine)"
cache="${VOSTREL_FLTK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vostrel}"
prefix="$cache/fltk-$version-$compiler"
if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi
source="${VOSTREL_FLTK_SOURCE:-$repo/../shared/third_party/fltk-$version-source.tar.gz}"
[ -e "$source" ] || fail "no FLTK source at $source"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -d "$source" ]; then
  [ -f "$source/FL/Fl.H" ] || fail "$source holds no FLTK source (FL/Fl.H missing)"
  src="$source"
else
  got="$(sha256sum "$source" | cut -d' ' -f1)"
  [ "$got" = "$sha256" ] || fail "$source has SHA-256 $got, not that of FLTK $version ($sha256)"
  tar -xzf "$source" -C "$work"
  src="$(find "$work" -mindepth 2 -maxdepth 2 -name CMakeLists.txt -printf '%h\n' | head -n1)"
  [ -n "$src" ] || fail "$source holds no CMakeLists.txt"
fi
grep -q "VERSION $version" "$src/CMakeLists.txt" || fail "$src is not FLTK $version"

echo "fltk-win: building FLTK $version for Windows in $prefix" >&2
rm -rf "$prefix"
log="$work/build.log"
step() { "$@" >> "$log" 2>&1 || { tail -n 40 "$log" >&2; fail "building FLTK failed: $*"; }; }
step cmake -S "$src" -B "$work/build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR= \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DFLTK_BUILD_SHARED_LIBS=OFF -DFLTK_BUILD_FLUID=OFF -DFLTK_BUILD_FLTK_OPTIONS=OFF \
  -DFLTK_BUILD_GL=OFF -DFLTK_BUILD_FORMS=OFF -DFLTK_BUILD_TEST=OFF -DFLTK_BUILD_EXAMPLES=OFF \
  -DFLTK_BUILD_HTML_DOCS=OFF -DFLTK_BUILD_PDF_DOCS=OFF \
  -DFLTK_USE_SYSTEM_LIBJPEG=OFF -DFLTK_USE_SYSTEM_LIBPNG=OFF -DFLTK_USE_SYSTEM_ZLIB=OFF \
  -DFLTK_OPTION_CAIRO_WINDOW=OFF -DFLTK_OPTION_CAIRO_EXT=OFF
step cmake --build "$work/build" -j "${VOSTREL_JOBS:-2}"
step cmake --install "$work/build"
touch "$prefix/.complete"
echo "$prefix"
