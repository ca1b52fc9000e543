#!/usr/bin/env bash
# The real window: size and title, nothing cut at the window's edges, tuning
# fields that take typed values, and Escape ending the program with status
# 0 without writing the settings.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"

cp "$WORK/Vostrel.ini" "$TMP/ini.before"
start_program

eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$WIDTH" = 800 ] && [ "$HEIGHT" = 300 ] || fail "window is ${WIDTH}x${HEIGHT}, not 800x300"
title="$(xprop -id "$WIN" WM_NAME)"
[ "$title" = 'WM_NAME(STRING) = "Vostrel for HW3"' ] || fail "title: $title"

# The picture start_program waited for: the whole window, painted.
cp "$TMP/painted.png" "$TMP/window.png"
[ -z "${VOSTREL_GUI_SHOTS:-}" ] || cp "$TMP/window.png" "$VOSTREL_GUI_SHOTS/window.png"
[ "$(colours "$TMP/window.png" 800x300+0+0)" -gt 20 ] || fail "the window picture is not painted"
# A label that spills past the left or right edge leaves text pixels in the
# outermost columns; uncut, they are plain background.
for edge in 2x300+0+0 2x300+798+0; do
  [ "$(colours "$TMP/window.png" "$edge")" = 1 ] || fail "something is drawn at the window's edge ($edge)"
done
# A pitch too wide for its field runs into the field's right margin: the
# last three pixels inside A-Pitch and each pitch output stay plain.
for y in 12 $(seq 52 20 272); do
  [ "$(colours "$TMP/window.png" "3x15+775+$y")" = 1 ] || fail "the value in the field at y=$y reaches its right edge"
done

# A typed offset and a typed A-Pitch are taken on Tab: the pitch column is
# redrawn, and the program goes on running.
convert "$TMP/window.png" -crop 100x240+680+50 +repage "$TMP/pitches.before.png"
set_tuning 4 '12abc'
set_field $XY_APITCH '415.3'
xdotool key Tab
_redrawn() {
  import -window "$WIN" "$TMP/typed.png" 2> /dev/null || return 1
  convert "$TMP/typed.png" -crop 100x240+680+50 +repage "$TMP/pitches.after.png"
  [ "$(compare -metric AE "$TMP/pitches.before.png" "$TMP/pitches.after.png" null: 2>&1)" != 0 ]
}
poll 50 _redrawn || fail "pitch column unchanged after typed values"
running || fail "program ended after typing into the tuning fields"
[ -z "${VOSTREL_GUI_SHOTS:-}" ] || cp "$TMP/typed.png" "$VOSTREL_GUI_SHOTS/typed.png"

xdotool windowfocus --sync "$WIN"
xdotool key Escape
wait_exit
[ "$RC" = 0 ] || fail "exit status $RC after Escape"
cmp -s "$TMP/ini.before" "$WORK/Vostrel.ini" || fail "Escape changed Vostrel.ini"
[ "$(ls -A "$WORK")" = Vostrel.ini ] || fail "Escape left files: $(ls -A "$WORK")"
pass
