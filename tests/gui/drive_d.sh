#!/usr/bin/env bash
# Windows build only: the folder search reaches drive D:, a temporary folder holding
# Hauptwerk/x/Temperaments/ (Vostrel.ini names no folder). Generate File proposes its name there
# and writes the file with CR LF line ends; Exit remembers that folder.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"
found="$TMP/d/Hauptwerk/x/Temperaments"
mkdir -p "$found"
ln -s "$TMP/d" "$WINEPREFIX/dosdevices/d:"
printf 'SupplierID=7\n' > "$WORK/Vostrel.ini"
start_program
file="$found/Equal.Temperament.Hauptwerk.xml"
generate "$file" 1
[ "$(wc -l < "$file")" = 549 ] && [ "$(grep -c $'\r$' "$file")" = 549 ] ||
  fail "$file has not 549 lines ending in CR LF"
[ "$(find "$TMP/d" -type f)" = "$file" ] || fail "stray files: $(find "$TMP/d" -type f)"
quit $XY_EXIT
printf 'Tempdirstr=D:/Hauptwerk/x/Temperaments/\r\nSupplierID=7\r\nSupplierNm=\r\n%s\r\n' \
  TemperamID=999900 > "$TMP/ini"
cmp -s "$TMP/ini" "$WORK/Vostrel.ini" || fail "Vostrel.ini: $(cat -A "$WORK/Vostrel.ini")"
