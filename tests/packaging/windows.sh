#!/usr/bin/env bash
# windows.sh INSTALLER ZIP: the zip's files (the browser page among them); the exe a GUI program importing only system DLLs, with
# icon and version. Under Wine the silent installer installs it and its uninstall entry, the
# Start-menu entry starts it where Exit can write Vostrel.ini (the user's folder), and the silent
# uninstaller removes it.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
zip="${2:?usage: $0 installer zip}"
version="$(basename "$zip" | sed -n 's/^vostrel-\(.*\)-win64\.zip$/\1/p')"
top="vostrel-$version-win64"
unzip -Z1 "$zip" | grep -v '/$' | sort > "$TMP/zip.list"
[ "$(grep -v "^$top/temperaments/" "$TMP/zip.list" | tr '\n' ' ')" = \
  "$top/LICENSE.txt $top/README.txt $top/vostrel-convert.exe $top/vostrel.exe $top/vostrel.html " ] || fail "zip holds: $(cat "$TMP/zip.list")"
# The collection: as many host files as .scl files, in the zip and installed.
collection() { grep -c "/temperaments/[^/]*$1\$" "$2"; }
n_scl="$(collection .scl "$TMP/zip.list")"
[ "$n_scl" -ge 30 ] && [ "$(collection .Temperament.Hauptwerk.xml "$TMP/zip.list")" = "$n_scl" ] ||
  fail "the zip lacks the collection"

unzip -q "$zip" -d "$TMP/zip"
exe="$TMP/zip/$top/vostrel.exe"
x86_64-w64-mingw32-objdump -p "$exe" > "$TMP/pe"
grep -q 'Subsystem.*(Windows GUI)' "$TMP/pe" || fail "vostrel.exe is no GUI program"
# Only system DLLs: each import is one that Windows (here Wine) has itself.
for dll in $(sed -n 's/^\s*DLL Name: //p' "$TMP/pe"); do
  [ -n "$(find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll")" ] || fail "vostrel.exe imports $dll"
done
# The icon: every picture of data/windows/vostrel.ico is in the exe.
python3 - "$REPO_DIR/data/windows/vostrel.ico" "$exe" <<'PY' || fail "vostrel.exe lacks the icon"
import struct, sys
ico, exe = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
for i in range(struct.unpack_from("<H", ico, 4)[0]):
    size, offset = struct.unpack_from("<II", ico, 6 + 16 * i + 8)
    if ico[offset:offset + size] not in exe: sys.exit(1)
PY
strings -el "$exe" > "$TMP/strings"
for pair in "ProductName Vostrel" "ProductVersion $version" "FileVersion $version"; do
  set -- $pair
  grep -A1 -x "$1" "$TMP/strings" | tail -1 | grep -qx "$2" || fail "version resource: no $1 $2"
done
cp "$BIN" "$TMP/setup.exe"
(cd "$TMP" && wine setup.exe /S) || fail "the installer failed"
installed="$WINEPREFIX/drive_c/Program Files/Vostrel"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vostrel'
# The installer may still be finishing when wine returns.
_installed() { [ -f "$installed/vostrel.exe" ] && wine reg query "$key" 2>&1 | grep -q 'DisplayName.*Vostrel'; }
poll 100 _installed || fail "no vostrel.exe in $installed or no uninstall entry $key"
find "$installed" -type f > "$TMP/installed.list"
[ -f "$installed/vostrel-convert.exe" ] && [ "$(collection .scl "$TMP/installed.list")" = "$n_scl" ] ||
  fail "the converter or the collection was not installed"

# Started from the Start-menu entry, Exit writes Vostrel.ini in the entry's working folder.
link="$(find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" -name Vostrel.lnk)"
[ -n "$link" ] || fail "no Start-menu entry Vostrel.lnk"
winlink="C:${link#"$WINEPREFIX/drive_c"}"
start_program wine start "${winlink//\//\\}"
click $XY_EXIT
# start returns at once: wait for the prefix's last process (the program, then Wine's own) to end.
timeout 60 wineserver -w || fail "the program did not end after Exit"
profile="$WINEPREFIX/drive_c/users/$(id -un)"
[ -f "$profile/Vostrel.ini" ] || fail "Exit wrote no Vostrel.ini in the profile folder $profile"
[ ! -e "$installed/Vostrel.ini" ] || fail "Vostrel.ini was written into Program Files"

# The silent uninstaller (it runs from a copy of itself, so wait for it).
wine "C:/Program Files/Vostrel/Uninstall.exe" /S || fail "the uninstaller failed"
_uninstalled() { [ ! -e "$installed/vostrel.exe" ] && [ ! -e "$installed/temperaments" ] && [ -z "$(find "$WINEPREFIX/drive_c/ProgramData" -name Vostrel.lnk)" ]; }
poll 100 _uninstalled || fail "after uninstalling: $(ls -A "$installed")"
! wine reg query "$key" > /dev/null 2>&1 || fail "the uninstall entry stayed"
[ -f "$profile/Vostrel.ini" ] || fail "uninstalling removed the user's Vostrel.ini"
