#!/usr/bin/env bash
# Generate File typed in the real window: the written file byte for byte,
# an existing file never replaced, and Exit saving the settings.
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
xdotool key Tab
# The offsets of make_expected.py's GEN_CENTS.
set_tuning 0 +2
set_tuning 1 5.9
set_tuning 3 3.14159
set_tuning 7 -3.422
set_tuning 11 -17.108

file="$TEMPDIR/Meant.Temperament.Hauptwerk.xml"
click $XY_GENERATE
dialog "key Return"    # Only first five characters of ShortName used!
dialog "key Return"    # the proposed name, confirmed as it stands
wait_file_equals "$FIXTURES/generate-expected.xml" "$file"
expect_no_dialog "after a successful Generate"

# Again with the same name: the commit's alert, the name, then the refusal.
# A rewrite would change the modification time, set here to a past one.
touch -d '2001-02-03 04:05:06' "$file"
before="$(stat -c '%i %s %Y' "$file")"
click $XY_GENERATE
dialog "key Return"    # short name alert
dialog "key Return"    # same name
dialog "key Return"    # Cant write over existing file
expect_no_dialog "after the refusal"
[ "$(stat -c '%i %s %Y' "$file")" = "$before" ] || fail "existing file was touched"
cmp -s "$FIXTURES/generate-expected.xml" "$file" || fail "existing file changed"
[ "$(ls -A "$TEMPDIR")" = "$(basename "$file")" ] || fail "stray files: $(ls -A "$TEMPDIR")"

# Exit commits the fields (the short-name alert once more) and saves.
click $XY_EXIT
dialog "key Return"
wait_exit
[ "$RC" = 0 ] || fail "exit status $RC"
printf 'Tempdirstr=%s/\nSupplierID=42\nSupplierNm=Organ Works\nTemperamID=4711\n' \
  "$TEMPDIR" > "$TMP/ini.expected"
cmp "$TMP/ini.expected" "$WORK/Vostrel.ini" || fail "Vostrel.ini: $(cat "$WORK/Vostrel.ini")"
[ "$(ls -A "$WORK")" = Vostrel.ini ] || fail "stray files: $(ls -A "$WORK")"
pass
