#!/usr/bin/env bash
# Windows build only: the folder search reaches drive D:, a temporary folder holding
# Hauptwerk/x/Temperaments/ (Vostrel.ini names no folder). Generate File proposes its name there
# and writes the file byte for byte, with CR LF line ends; Exit remembers that folder.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"
found="$TMP/d/Hauptwerk/x/Temperaments"
mkdir -p "$found"
ln -s "$TMP/d" "$WINEPREFIX/dosdevices/d:"
: > "$WORK/Vostrel.ini"
start_program
generate "$found/Equal.Temperament.Hauptwerk.xml" 1
same_file "$REPO_DIR/tests/cases/files/equal.xml" "$found/Equal.Temperament.Hauptwerk.xml"
[ "$(find "$TMP/d" -type f | wc -l)" = 1 ] || fail "stray files: $(find "$TMP/d" -type f)"
quit $XY_EXIT
printf 'Tempdirstr=D:/Hauptwerk/x/Temperaments/\nSupplierID=999999\nSupplierNm=\n%s\n' \
  TemperamID=999900 > "$TMP/ini"
same_file "$TMP/ini" "$WORK/Vostrel.ini"
