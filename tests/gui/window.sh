#!/usr/bin/env bash
# The real window (also at 144 DPI with the Windows build: VOSTREL_GUI_DPI, see lib.sh): its size
# and title, nothing cut at its edges; the fields typed as a user types them (Enter in a tuning
# field does nothing: only Tab takes the value and redraws the pitch), Generate File gives the
# file byte for byte; Load File of a file picked in the chooser, generated again to a new name,
# gives what the loaded temperament must give; Escape ends it without writing the settings, Exit
# writes them.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"
cp "$WORK/Vostrel.ini" "$TMP/ini"
start_program
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "${WIDTH}x$HEIGHT" = "$(px 800)x$(px 300)" ] || fail "window is ${WIDTH}x${HEIGHT}"
title="$(xprop -id "$WIN" WM_NAME)"
[ "$title" = 'WM_NAME(STRING) = "Vostrel for HW3"' ] || fail "title: $title"
# A label spilling past the window's edge leaves text in its outermost columns, a value too wide
# for its field in the last three pixels inside A-Pitch and the pitch outputs.
for edge in "$(geom 2 300 0 0)" "$(geom 2 300 798 0)" $(for y in 12 $(seq 52 20 272); do
  echo "3x15+$(px 775)+$(px "$y")"; done); do
  [ "$(colours "$TMP/painted.png" "$edge")" = 1 ] || fail "something is drawn at $edge"
done

set_field $XY_ID 4711
set_field $XY_NAME 'Bach & Sons <test>'
set_field $XY_SHORT Meantone
set_field $XY_SUPID 42
set_field $XY_SUPNAME 'Organ Works'
set_field $XY_COMMENT 'said "hi"'
set_field $XY_VERSION 2.5
# Had Return taken "415" or "3.14" and moved the focus on, the rest would land in the next field.
set_field $XY_APITCH 415
xdotool key Return type .3
ROW_C="$(geom $(box_pitch 3))"
shot "$TMP/c.png" "$ROW_C"
set_field $(xy_cent 3) 3.14
xdotool key Return type 159
xdotool key Tab
poll 50 differs "$ROW_C" "$TMP/c.png" || fail "Tab did not redraw the pitch of C"
for cent in "0 +2" "1 5.9" "7 -3.422" "11 -17.108"; do
  set_field $(xy_cent "${cent% *}") "${cent#* }"
done
# Two dialogs: "Only first five characters of ShortName used!", the name.
generate "$TEMPDIR/Meant.Temperament.Hauptwerk.xml" 2
same_file "$FIXTURES/generate-expected.xml" "$TEMPDIR/Meant.Temperament.Hauptwerk.xml"
expect_no_dialog "after Generate"

cp "$FIXTURES/prepared.xml" "$TEMPDIR/prepared.xml"
click $XY_LOAD
# The chooser opens in the temperaments folder, its path in the name field: the name after it.
dialog End prepared.xml
expect_no_dialog "after loading prepared.xml"
click $XY_GENERATE
dialog ctrl+a "$(prog_path "$TEMPDIR/regenerated.xml")"
poll 100 _complete "$TEMPDIR/regenerated.xml" || fail "no file regenerated.xml"
same_file "$FIXTURES/load-expected.xml" "$TEMPDIR/regenerated.xml"
quit
cmp -s "$TMP/ini" "$WORK/Vostrel.ini" || fail "Escape changed Vostrel.ini"

start_program
quit $XY_EXIT
printf 'Tempdirstr=%s/\nSupplierID=999999\nSupplierNm=\nTemperamID=999900\n' \
  "$(prog_path "$TEMPDIR")" > "$TMP/ini"
same_file "$TMP/ini" "$WORK/Vostrel.ini"
