#!/usr/bin/env bash
# Generate File typed in the real window: the file byte for byte (an existing file never replaced:
# the writer's tests); Load File of a prepared file, picked in the chooser, then Generate File to
# a new name gives what the loaded temperament must give (no typed field left over); Exit saves
# the settings.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"
start_program
set_field $XY_ID 4711
set_field $XY_NAME 'Bach & Sons <test>'
set_field $XY_SHORT Meantone
set_field $XY_SUPID 42
set_field $XY_SUPNAME 'Organ Works'
set_field $XY_COMMENT 'said "hi"'
set_field $XY_VERSION 2.5
set_field $XY_APITCH 415.3
# The offsets of make_expected.py's GEN_CENTS, each taken as the focus moves on.
for cent in "0 +2" "1 5.9" "3 3.14159" "7 -3.422" "11 -17.108"; do
  set_field $(xy_cent "${cent% *}") "${cent#* }"
done

# Two dialogs: "Only first five characters of ShortName used!", the name.
file="$TEMPDIR/Meant.Temperament.Hauptwerk.xml"
generate "$file" 2
same_file "$FIXTURES/generate-expected.xml" "$file"
expect_no_dialog "after a successful Generate"

cp "$FIXTURES/prepared.xml" "$TEMPDIR/prepared.xml"
click $XY_LOAD
# The chooser opens in the temperaments folder, its path in the name field: type the name after it.
dialog End prepared.xml
expect_no_dialog "after loading prepared.xml"
click $XY_GENERATE
dialog ctrl+a "$(prog_path "$TEMPDIR/regenerated.xml")"
wait_complete "$TEMPDIR/regenerated.xml"
same_file "$FIXTURES/load-expected.xml" "$TEMPDIR/regenerated.xml"
expect_no_dialog "after Generate"
cmp -s "$FIXTURES/prepared.xml" "$TEMPDIR/prepared.xml" || fail "the loaded file changed"

# Exit commits the fields of the loaded file and saves.
quit $XY_EXIT
printf 'Tempdirstr=%s/\nSupplierID=42\nSupplierNm=Old Writer\nTemperamID=31\n' \
  "$(prog_path "$TEMPDIR")" > "$TMP/ini"
same_file "$TMP/ini" "$WORK/Vostrel.ini"
