#!/usr/bin/env bash
# deb.sh SOURCE: builds the Debian package with cpack in a temporary build and inspects what a user
# gets: Depends on the FLTK runtime, the program, the converter reading the packaged collection, a
# valid desktop entry, the man page of this version. With CI=true it installs it, runs window.sh
# on it, removes it.
set -euo pipefail
src="$(cd "$1" && pwd)"
work="$(mktemp -d)"
installed_here=0
trap '[ "$installed_here" = 0 ] || dpkg -r vostrel > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail=0
bad() {
  echo "FAIL: $*"
  fail=1
}
{
  cmake -S "$src" -B "$work/build" -DVOSTREL_TESTS=OFF -DVOSTREL_SANITIZE=OFF \
    -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$work/build" -j 2 &&
    (cd "$work/build" && cpack -G DEB)
} > "$work/build.log" || {
  cat "$work/build.log"
  exit 1
}
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/build/CMakeCache.txt")"
deb="$work/build/vostrel_${version}_$(dpkg --print-architecture).deb"

# Depends names the package that owns the libfltk the program links.
fltk_so="$(ldd "$work/build/vostrel" | sed -n 's/^\s*libfltk\.so[^ ]* => \([^ ]*\).*/\1/p')"
fltk_so="$(readlink -f "${fltk_so:?the program links no shared libfltk}")"
fltk_pkg="$(dpkg -S "$fltk_so" | head -1 | cut -d: -f1)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx "$fltk_pkg" ||
  bad "Depends '$depends' does not name $fltk_pkg (owner of $fltk_so)"

dpkg-deb -x "$deb" "$work/root"
cd "$work/root/usr"
[ -s bin/vostrel ] || bad "package lacks bin/vostrel"
werk3=share/vostrel/temperaments/Werk3.Temperament.Hauptwerk.xml
env -u DISPLAY bin/vostrel-convert --report "$werk3" | grep -q "^Werckmeister III$" ||
  bad "the packaged converter does not read the packaged Werckmeister III"
out="$(desktop-file-validate share/applications/vostrel.desktop 2>&1)" && [ -z "$out" ] ||
  bad "desktop entry: $out"
gzip -dc share/man/man1/vostrel.1.gz | grep -q "^\.TH VOSTREL 1 .*\"Vostrel $version\"" ||
  bad "man page header lacks version $version"

if [ "${CI:-}" = true ]; then
  if dpkg-query -W -f='${Status}' vostrel 2> /dev/null | grep -q "ok installed"; then
    echo "a vostrel package is installed already; not touching it"
    exit 1
  fi
  installed_here=1
  dpkg -i "$deb" > "$work/dpkg.log" 2>&1 || {
    cat "$work/dpkg.log"
    exit 1
  }
  bash "$src/tests/gui/window.sh" /usr/bin/vostrel ||
    bad "the installed /usr/bin/vostrel fails window.sh"
fi
exit "$fail"
