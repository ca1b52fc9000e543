#!/usr/bin/env bash
# deb.sh SOURCE [PAGE]: builds the Debian package with cpack in a temporary build and inspects
# what a user gets: the program and Depends on its FLTK runtime, the converter reading the packaged
# collection, the browser page (PAGE, else built there), a valid desktop entry, the man page of
# this version, the guide. With CI=true it installs it, runs window.sh on it, removes it.
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
    -DCMAKE_BUILD_TYPE=Release ${2:+-DVOSTREL_WEB_PAGE="$2"} &&
    cmake --build "$work/build" -j 2 &&
    (cd "$work/build" && cpack -G DEB)
} > "$work/build.log" || {
  cat "$work/build.log"
  exit 1
}
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/build/CMakeCache.txt")"
deb="$work/build/vostrel_${version}_$(dpkg --print-architecture).deb"

dpkg-deb -x "$deb" "$work/root"
cd "$work/root/usr"
# The program, and Depends naming the package that owns the libfltk it links.
fltk_so="$(ldd bin/vostrel | sed -n 's/^\s*libfltk\.so[^ ]* => \([^ ]*\).*/\1/p')"
fltk_so="$(readlink -f "${fltk_so:?the packaged bin/vostrel links no shared libfltk}")"
fltk_pkg="$(dpkg -S "$fltk_so" | head -1 | cut -d: -f1)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "$depends" | grep -qE "(^|, )$fltk_pkg( |,|$)" ||
  bad "Depends '$depends' does not name $fltk_pkg (owner of $fltk_so)"
werck3="share/vostrel/temperaments/Werckmeister III.Temperament.Hauptwerk.xml"
env -u DISPLAY bin/vostrel-convert --report "$werck3" | grep -q "^Werckmeister III$" ||
  bad "the packaged converter does not read the packaged Werckmeister III"
# The page as built: the file the browser opens, its module inside.
page=share/vostrel/vostrel.html
grep -q 'Content-Security-Policy' "$page" &&
  grep -q 'data:application/octet-stream;base64,' "$page" ||
  bad "$page is not the self-contained page"
out="$(desktop-file-validate share/applications/vostrel.desktop 2>&1)" && [ -z "$out" ] ||
  bad "desktop entry: $out"
gzip -dc share/man/man1/vostrel.1.gz | grep -q "^\.TH VOSTREL 1 .*\"Vostrel $version\"" ||
  bad "man page header lacks version $version"

# The guide: the README's sections for users, every link within the page leading to a section of
# it, the screenshot inside the page; not the developers' sections nor their text.
guide=share/doc/vostrel/guide.html
for id in "using-vostrel" "converting-scales-vostrel-convert" "installing-on-windows" \
  $(grep -o 'href="#[^"]*' "$guide" | cut -c8-); do
  grep -q " id=\"$id\"" "$guide" || bad "the guide has no section $id"
done
grep -q 'src="data:image/png' "$guide" || bad "the guide lacks its screenshot"
developers=' id="(set-up-on-a-fresh-debian-or-ubuntu-machine|performance|development)"|test-ratio'
! grep -qE "$developers" "$guide" || bad "the guide has developers' text"

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
