#!/usr/bin/env bash
# The real window: size and title, nothing cut at the window's edges (also at 144 DPI with the
# Windows build: VOSTREL_GUI_DPI, see lib.sh); Enter in the tuning fields does nothing (the typed
# text stays, only Tab takes it and redraws the pitch); Escape ends it without writing settings.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"

cp "$WORK/Vostrel.ini" "$TMP/ini.before"
start_program
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "${WIDTH}x$HEIGHT" = "$(px 800)x$(px 300)" ] || fail "window is ${WIDTH}x${HEIGHT}"
title="$(xprop -id "$WIN" WM_NAME)"
[ "$title" = 'WM_NAME(STRING) = "Vostrel for HW3"' ] || fail "title: $title"

# The picture start_program waited for: the whole window, painted.
window="$TMP/painted.png"
# A label that spills past the left or right edge leaves text pixels in the
# outermost columns; uncut, they are plain background.
for edge in "$(geom 2 300 0 0)" "$(geom 2 300 798 0)"; do
  [ "$(colours "$window" "$edge")" = 1 ] || fail "something is drawn at the window's edge ($edge)"
done
# A pitch too wide for its field runs into the field's right margin: the
# last three pixels inside A-Pitch and each pitch output stay plain.
for y in 12 $(seq 52 20 272); do
  [ "$(colours "$window" "3x15+$(px 775)+$(px "$y")")" = 1 ] ||
    fail "the value at y=$y reaches its field's edge"
done

# "1", Return, "2abc", Tab in the cent field of C, then "44", Return, "2", Tab in A-Pitch: with
# Return ignored the file has C at 12 cents and A at 442 Hz (had Return taken "1" or "44" and moved
# the focus on, the rest would land in the next field). Tab takes the value and redraws C's pitch.
ROW_C="$(geom $(box_pitch 3))"
shot "$TMP/c.before.png" "$ROW_C"
set_field $(xy_cent 3) 1
xdotool key Return
xdotool type 2abc
xdotool key Tab
poll 50 differs "$ROW_C" "$TMP/c.before.png" || fail "Tab did not redraw the pitch of C"
set_field $XY_APITCH 44
xdotool key Return
xdotool type 2
xdotool key Tab
generate "$TEMPDIR/Equal.Temperament.Hauptwerk.xml" 1
check_pitches "$TEMPDIR/Equal.Temperament.Hauptwerk.xml" 442 0 0 0 12 0 0 0 0 0 0 0 0

quit
cmp -s "$TMP/ini.before" "$WORK/Vostrel.ini" || fail "Escape changed Vostrel.ini"
