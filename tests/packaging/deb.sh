#!/usr/bin/env bash
# deb.sh SOURCE [PAGE]: builds the Debian package with cpack in a temporary build and inspects
# what a user gets: Depends on the FLTK runtime, the program, desktop entry, icons, man pages,
# copyright, the guide, the converter, the collection and the browser page (PAGE, else built
# there). With CI=true it installs it, runs window.sh on it, removes it.
set -euo pipefail
src="$(cd "$1" && pwd)"
work="$(mktemp -d)"
installed_here=0
trap '[ "$installed_here" = 0 ] || dpkg -r vostrel > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }
cmake -S "$src" -B "$work/build" -DVOSTREL_TESTS=OFF -DVOSTREL_SANITIZE=OFF \
  -DCMAKE_BUILD_TYPE=Release ${2:+-DVOSTREL_WEB_PAGE="$2"} > "$work/build.log" && cmake --build "$work/build" -j 2 >> "$work/build.log" &&
  (cd "$work/build" && cpack -G DEB >> "$work/build.log") || { cat "$work/build.log"; exit 1; }
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/build/CMakeCache.txt")"
deb="$work/build/vostrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $(basename "$deb"); cpack made:"; ls "$work/build"/*.deb; exit 1; }
# The README names the version where it shows the package and the window.
stale="$(grep -o 'vostrel_[0-9.]*_\|version [0-9][0-9.]*[0-9]' "$src/README.md" | grep -vF "$version" || true)"
[ -z "$stale" ] || bad "the README names '$stale', the project is $version"

# Depends names the package that owns the libfltk the program links.
fltk_so="$(ldd "$work/build/vostrel" | sed -n 's/^\s*libfltk\.so[^ ]* => \([^ ]*\).*/\1/p' | head -1)"
fltk_pkg="$(dpkg -S "$(readlink -f "${fltk_so:?the program links no shared libfltk}")" | head -1 | cut -d: -f1)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx "$fltk_pkg" ||
  bad "Depends '$depends' does not name $fltk_pkg (owner of $fltk_so)"

dpkg-deb -x "$deb" "$work/root"
cd "$work/root/usr"
for f in bin/vostrel share/man/man1/vostrel-convert.1.gz share/icons/hicolor/scalable/apps/vostrel.svg \
  share/vostrel/vostrel.html; do
  [ -s "$f" ] || bad "package lacks $f"
done
# The collection: a .scl and a host file per temperament, that the packaged converter reads.
[ "$(ls share/vostrel/temperaments | wc -l)" -ge 60 ] || bad "the collection is incomplete"
werck3="share/vostrel/temperaments/Werckmeister III.Temperament.Hauptwerk.xml"
env -u DISPLAY bin/vostrel-convert --report "$werck3" |
  grep -q "^Werckmeister III$" || bad "the packaged converter does not read the packaged Werckmeister III"
# The page as built: the file the browser opens, its module inside.
grep -q 'Content-Security-Policy' share/vostrel/vostrel.html && grep -q 'data:application/octet-stream;base64,' share/vostrel/vostrel.html ||
  bad "share/vostrel/vostrel.html is not the self-contained page"
# Each PNG icon has the size its folder names.
for size in 48x48 128x128 256x256; do
  [ "$(identify -format %wx%h "share/icons/hicolor/$size/apps/vostrel.png" 2>&1)" = "$size" ] || bad "no $size icon"
done

# The desktop entry: clean for desktop-file-validate (hints too), starting the program with its
# icon, no terminal, telling where the settings file is (from the menu the working folder is home).
entry=share/applications/vostrel.desktop
out="$(desktop-file-validate "$entry" 2>&1)" && [ -z "$out" ] || bad "desktop entry: $out"
for pair in Exec=vostrel Icon=vostrel Terminal=false 'Comment=.*Vostrel\.ini.*home folder.*'; do
  grep -qx "$pair" "$entry" || bad "desktop entry has no line $pair"
done

# The man page carries the version and says where the settings file lives.
man="$(gzip -dc share/man/man1/vostrel.1.gz)"
echo "$man" | grep -q "^\.TH VOSTREL 1 .*\"Vostrel $version\"" || bad "man page header lacks version $version"
echo "$man" | grep -q Vostrel.ini && echo "$man" | grep -q 'home folder' || bad "man page: no Vostrel.ini, home folder"
! command -v groff > /dev/null || [ -z "$(echo "$man" | groff -man -ww -z 2>&1)" ] || bad "groff warns about the man page"
cmp -s share/doc/vostrel/copyright "$src/data/copyright" || bad "packaged copyright differs from data/copyright"

# The guide: the README's sections for users but not the developers' (nor their text), the
# screenshot inside the page, and every link within the page leading to a section of it.
python3 - share/doc/vostrel/guide.html <<'PY' || bad "the guide's sections, picture or links are wrong"
import re, sys
html = open(sys.argv[1], encoding="utf-8").read()
ids = set(re.findall(r' id="([^"]+)"', html))
users = {"using-vostrel", "converting-scales-vostrel-convert", "installing-on-windows"}
developers = {"set-up-on-a-fresh-debian-or-ubuntu-machine", "performance", "development"}
wrong = (users - ids) | (developers & ids) | (set(re.findall(r'href="#([^"]+)"', html)) - ids)
sys.exit(" ".join(wrong) or 'src="data:image/png' not in html or "test-ratio" in html)
PY

if [ "${CI:-}" = true ]; then
  ! dpkg-query -W -f='${Status}' vostrel 2>/dev/null | grep -q "ok installed" ||
    { echo "a vostrel package is installed already; not touching it"; exit 1; }
  installed_here=1
  dpkg -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
  bash "$src/tests/gui/window.sh" /usr/bin/vostrel || bad "the installed /usr/bin/vostrel fails window.sh"
fi
exit "$fail"
