#!/usr/bin/env bash
# Builds the Debian package with cpack in a temporary build and inspects it:
# file name, control fields, contents, dependencies, man page, copyright,
# and that `cmake --install` lays out the same files. With CI=true only, it
# also installs the package with dpkg -i, starts /usr/bin/vostrel under Xvfb
# in a temporary working folder and home, waits for the window, presses
# Escape and expects exit status 0; the package is removed again afterwards.
# Usage: deb.sh <source folder>
set -euo pipefail
src="$(cd "$1" && pwd)"
work="$(mktemp -d)"
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ]; then dpkg -r vostrel > /dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail=0
bad() { echo "FAIL: $*"; fail=1; }

# ---- build and package --------------------------------------------------------
cmake -S "$src" -B "$work/build" -DVOSTREL_TESTS=OFF -DVOSTREL_SANITIZE=OFF \
  -DCMAKE_BUILD_TYPE=Release > "$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j 2 > "$work/build.log" || { cat "$work/build.log"; exit 1; }
(cd "$work/build" && cpack -G DEB > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/build/CMakeCache.txt")"
[ -n "$version" ] || { echo "no project version in the cache"; exit 1; }
arch="$(dpkg --print-architecture)"
deb="$work/build/vostrel_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "no package $(basename "$deb"); cpack made:"; ls "$work/build"/*.deb; exit 1; }

# The README names the version where it shows the package and the window.
named="$(grep -o 'vostrel_[0-9.]*_\|version [0-9][0-9.]*[0-9]' "$src/README.md" || true)"
[ -n "$named" ] || bad "the README names no version"
stale="$(echo "$named" | grep -vF "$version" || true)"
[ -z "$stale" ] || bad "the README names '$stale', the project is $version"

# ---- control fields -------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vostrel ] || bad "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || bad "Version is '$(field Version)', expected $version"
[ "$(field Architecture)" = "$arch" ] || bad "Architecture is '$(field Architecture)'"

# The FLTK runtime package: the owner of the libfltk the program links.
fltk_so="$(ldd "$work/build/vostrel" | sed -n 's/^[[:space:]]*libfltk\.so[^ ]* => \([^ ]*\).*/\1/p' | head -1)"
[ -n "$fltk_so" ] || { echo "the program does not link a shared libfltk"; exit 1; }
fltk_pkg="$(dpkg -S "$(readlink -f "$fltk_so")" | head -1 | cut -d: -f1)"
[ -n "$fltk_pkg" ] || { echo "no package owns $fltk_so"; exit 1; }
depends="$(field Depends)"
# Depends is a comma-separated list; the package must be one of its names.
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx "$fltk_pkg" ||
  bad "Depends '$depends' does not name $fltk_pkg (owner of $fltk_so)"
echo "package $(basename "$deb"), Depends: $depends"

# ---- contents ---------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./||' | grep -v '/$' | sort > "$work/contents"
for f in usr/bin/vostrel \
         usr/share/applications/vostrel.desktop \
         usr/share/icons/hicolor/scalable/apps/vostrel.svg \
         usr/share/icons/hicolor/48x48/apps/vostrel.png \
         usr/share/icons/hicolor/128x128/apps/vostrel.png \
         usr/share/icons/hicolor/256x256/apps/vostrel.png \
         usr/share/man/man1/vostrel.1.gz \
         usr/share/doc/vostrel/copyright \
         usr/bin/vostrel-convert \
         usr/share/man/man1/vostrel-convert.1.gz \
         usr/share/vostrel/temperaments/Werk3.scl \
         usr/share/vostrel/temperaments/Werk3.Temperament.Hauptwerk.xml; do
  grep -qx "$f" "$work/contents" || bad "package lacks $f"
done

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
root="$work/root"
[ -x "$root/usr/bin/vostrel" ] || bad "usr/bin/vostrel is not executable"
# The collection: a .scl and a host file per temperament, loadable by the packaged converter.
[ "$(ls "$root/usr/share/vostrel/temperaments" | wc -l)" -ge 40 ] || bad "the collection is incomplete"
env -u DISPLAY "$root/usr/bin/vostrel-convert" --report \
  "$root/usr/share/vostrel/temperaments/Werk3.Temperament.Hauptwerk.xml" | grep -q "^Werckmeister III$" ||
  bad "the packaged converter does not read the packaged Werckmeister III"

# The desktop entry as packaged is valid, and what it names is in the package.
desktop-file-validate "$root/usr/share/applications/vostrel.desktop" || bad "packaged desktop entry invalid"
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/vostrel.desktop")"
[ -x "$root/usr/bin/$exec_name" ] || bad "Exec=$exec_name is not in usr/bin"
icon_name="$(sed -n 's/^Icon=//p' "$root/usr/share/applications/vostrel.desktop")"
ls "$root"/usr/share/icons/hicolor/*/apps/"$icon_name".* > /dev/null 2>&1 || bad "Icon=$icon_name is not in the package"

# Each PNG has the size its folder names (width and height from the header).
for png in "$root"/usr/share/icons/hicolor/*x*/apps/vostrel.png; do
  want="$(basename "$(dirname "$(dirname "$png")")")"
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  got="$(( (w1<<24)|(w2<<16)|(w3<<8)|w4 ))x$(( (h1<<24)|(h2<<16)|(h3<<8)|h4 ))"
  [ "$got" = "$want" ] || bad "$png is $got"
done

# The man page carries the version and says where the settings file lives.
man_text="$(gzip -dc "$root/usr/share/man/man1/vostrel.1.gz")"
echo "$man_text" | grep -q "^\.TH VOSTREL 1 .*\"Vostrel $version\"" || bad "man page header lacks version $version"
if echo "$man_text" | grep -q '@[A-Z_]*@'; then bad "man page has an unconfigured @VARIABLE@"; fi
echo "$man_text" | grep -q 'Vostrel.ini' || bad "man page does not name Vostrel.ini"
echo "$man_text" | grep -q 'home folder' || bad "man page does not mention the home folder"
if command -v groff > /dev/null; then
  warnings="$(echo "$man_text" | groff -man -ww -z 2>&1)"
  [ -z "$warnings" ] || bad "groff warns about the man page: $warnings"
fi

cmp -s "$root/usr/share/doc/vostrel/copyright" "$src/data/copyright" || bad "packaged copyright differs from data/copyright"
grep -q '^Copyright: 2026 The Vostrel developers' "$root/usr/share/doc/vostrel/copyright" || bad "copyright lacks its holder"

# ---- cmake --install lays out the same files -------------------------------------
cmake --install "$work/build" --prefix "$work/prefix" > /dev/null
(cd "$work/prefix" && find . -type f | sed 's|^\./|usr/|' | sort) > "$work/installed"
diff "$work/contents" "$work/installed" > "$work/layout.diff" ||
  { bad "cmake --install and the package differ:"; cat "$work/layout.diff"; }

# ---- install and start it (CI only) -------------------------------------------------
if [ "${CI:-}" = true ]; then
  [ "$(id -u)" -eq 0 ] || { echo "CI=true but not root: cannot dpkg -i"; exit 1; }
  if dpkg-query -W -f='${Status}' vostrel 2>/dev/null | grep -q "install ok installed"; then
    echo "a vostrel package is installed already; not touching it"; exit 1
  fi
  installed_here=1
  dpkg -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
  [ -x /usr/bin/vostrel ] || bad "dpkg -i did not install /usr/bin/vostrel"

  run="$work/run"
  mkdir -p "$run/home" "$run/temperaments"
  # A preset folder, so nothing searches the disk.
  printf 'Tempdirstr=%s/\nSupplierID=42\nSupplierNm=Test\nTemperamID=7\n' "$run/temperaments" > "$run/Vostrel.ini"
  cp "$run/Vostrel.ini" "$run/Vostrel.ini.before"
  cat > "$run/session.sh" <<'SESSION'
set -u
/usr/bin/vostrel & pid=$!
wid="$(timeout 20 xdotool search --sync --onlyvisible --name '^Vostrel for HW3$' | head -1)"
if [ -z "$wid" ]; then echo "the window did not appear"; kill "$pid"; exit 2; fi
# Painted once the pitch of G#/Ab, the last widget drawn, shows its text.
painted() {
  import -window "$wid" shot.png 2> /dev/null &&
    [ "$(convert shot.png -crop 90x13+685+253 +repage -unique-colors -format %w info:)" -gt 2 ]
}
for _ in $(seq 100); do painted && break; sleep 0.1; done
painted || { echo "the window never painted"; kill "$pid"; exit 4; }
xdotool windowfocus --sync "$wid"
xdotool key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "Escape did not end the program"; kill "$pid"; exit 3; fi
wait "$pid"
SESSION
  status=0
  # A random first display number keeps clear of other tests starting Xvfb.
  (cd "$run" && HOME="$run/home" xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 1024x768x24 -noreset" bash "$run/session.sh") || status=$?
  [ "$status" -eq 0 ] || bad "installed vostrel: exit status $status after Escape"
  # Escape closes without saving: the settings file is as it was.
  cmp -s "$run/Vostrel.ini" "$run/Vostrel.ini.before" || bad "Escape changed Vostrel.ini"
  echo "installed package started from /usr/bin/vostrel, status $status after Escape"
fi

exit "$fail"
