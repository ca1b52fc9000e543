#!/usr/bin/env bash
# windows.sh INSTALLER ZIP: the zip's files (the guide and the browser page among them), its
# README.txt a note in CR LF, its LICENSE.txt the licence alone; the exe a GUI program importing
# only system DLLs, with its icon. Under Wine the silent installer installs the zip's files, its
# uninstall entry and Start-menu entries for the program, the guide and the collection; the
# program's entry starts it where Exit can write Vostrel.ini (the user's folder); the silent
# uninstaller removes all of it, registry keys included.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
zip="${2:?usage: $0 installer zip}"
top="$(basename "$zip" .zip)"
unzip -q "$zip" -d "$TMP/zip"
files="$(cd "$TMP/zip/$top" && find . -path ./temperaments -prune -o -type f -print | LC_ALL=C sort | xargs)"
[ "$files" = "./LICENSE.txt ./README.txt ./guide.html ./vostrel-convert.exe ./vostrel.exe ./vostrel.html" ] &&
  [ -f "$TMP/zip/$top/temperaments/Werckmeister III.Temperament.Hauptwerk.xml" ] ||
  fail "the zip holds: $files"
readme="$TMP/zip/$top/README.txt"
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l < "$readme")" ] &&
  ! grep -q 'data/' "$TMP/zip/$top/LICENSE.txt" || fail "README.txt not in CR LF or LICENSE.txt with paths"
exe="$TMP/zip/$top/vostrel.exe"
x86_64-w64-mingw32-objdump -p "$exe" > "$TMP/pe"
grep -q 'Subsystem.*(Windows GUI)' "$TMP/pe" || fail "vostrel.exe is no GUI program"
# Only system DLLs: each import is one that Windows (here Wine) has itself.
for dll in $(sed -n 's/^\s*DLL Name: //p' "$TMP/pe"); do
  [ -n "$(find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll")" ] ||
    fail "vostrel.exe imports $dll"
done
# The icon: every picture of data/windows/vostrel.ico is in the exe.
python3 - "$REPO_DIR/data/windows/vostrel.ico" "$exe" << 'PY' || fail "vostrel.exe lacks the icon"
import struct, sys
ico, exe = (open(f, "rb").read() for f in sys.argv[1:])
for i in range(struct.unpack_from("<H", ico, 4)[0]):
    size, offset = struct.unpack_from("<II", ico, 6 + 16 * i + 8)
    assert ico[offset:offset + size] in exe
PY
cp "$BIN" "$TMP/setup.exe"
(cd "$TMP" && wine setup.exe /S) || fail "the installer failed"
installed="$WINEPREFIX/drive_c/Program Files/Vostrel"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vostrel'
vendor='HKLM\Software\The Vostrel developers'
# The installer may still be finishing when wine returns.
_installed() { wine reg query "$key" 2>&1 | grep -q 'DisplayName.*Vostrel'; }
poll 100 _installed || fail "no uninstall entry $key"
only="$(diff -rq -x Uninstall.exe "$TMP/zip/$top" "$installed" | grep '^Only in' || true)"
[ -z "$only" ] || fail "$installed holds other files than the zip: $only"
wine reg query "$vendor\\Vostrel" > /dev/null 2>&1 || fail "no registry key $vendor\\Vostrel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vostrel ${top#vostrel-}"
menu="${menu%-win64}"
for entry in Vostrel:vostrel.exe "Vostrel guide:guide.html" "Temperament collection:temperaments"; do
  strings -a "$menu/${entry%:*}.lnk" 2> /dev/null | grep -qxF "C:\\Program Files\\Vostrel\\${entry#*:}" ||
    fail "no Start-menu entry '${entry%:*}' opening ${entry#*:}"
done
# Started from the Start-menu entry, Exit writes Vostrel.ini in the entry's working folder.
winlink="C:${menu#"$WINEPREFIX/drive_c"}/Vostrel.lnk"
start_program wine start "${winlink//\//\\}"
click $XY_EXIT
# start returns at once: wait for the prefix's last process (the program, then Wine's own) to end.
timeout 60 wineserver -w || fail "the program did not end after Exit"
profile="$WINEPREFIX/drive_c/users/$(id -un)"
[ -f "$profile/Vostrel.ini" ] && [ ! -e "$installed/Vostrel.ini" ] ||
  fail "Exit wrote no Vostrel.ini in $profile, or one in Program Files"
# The silent uninstaller runs from a copy of itself: wait for it.
wine "C:/Program Files/Vostrel/Uninstall.exe" /S || fail "the uninstaller failed"
_uninstalled() { [ ! -e "$installed/vostrel.exe" ] && [ ! -e "$installed/temperaments" ] && [ ! -e "$menu" ]; }
poll 100 _uninstalled || fail "after uninstalling: $(ls -A "$installed" "$menu")"
for k in "$key" "$vendor"; do
  ! wine reg query "$k" > /dev/null 2>&1 || fail "the registry key $k stayed"
done
[ -f "$profile/Vostrel.ini" ] || fail "uninstalling removed the user's Vostrel.ini"
