#!/usr/bin/env bash
# Enter in the tuning fields does nothing: the typed text stays in the field
# with the focus, and only Tab takes it. Enter still confirms the dialogs.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"

start_program
# crop GEOMETRY FILE: a part of the window as it is now.
crop() { import -window "$WIN" "$TMP/shot.png" && convert "$TMP/shot.png" -crop "$1" +repage "$2"; }
_differs() { crop "$1" "$TMP/now.png" && ! cmp -s "$TMP/now.png" "$2"; }
ROW_C=100x19+680+110; CENT_C=46x15+612+112
crop "$ROW_C" "$TMP/c.before.png"
crop "$CENT_C" "$TMP/cent.0.png"

# "1", Return, "2", Tab in the cent field of C. Had Return taken the value
# or moved the focus on, C would get 1 cent (and the "2" would land
# elsewhere); with Return ignored the field holds "12" when Tab takes it.
click $(xy_cent 3)
xdotool key ctrl+a
xdotool type 1
poll 50 _differs "$CENT_C" "$TMP/cent.0.png" || fail "typing 1 did not show in the field of C"
cp "$TMP/now.png" "$TMP/cent.1.png"
xdotool key Return
xdotool type 2
# Once the field shows "12", the Return before the "2" has been handled.
poll 50 _differs "$CENT_C" "$TMP/cent.1.png" || fail "typing 2 did not show in the field of C"
crop "$ROW_C" "$TMP/c.return.png"
diff_px="$(compare -metric AE "$TMP/c.before.png" "$TMP/c.return.png" null: 2>&1 || true)"
[ "$diff_px" = 0 ] || fail "Return changed the pitch of C ($diff_px pixels)"
xdotool key Tab
# The same in A-Pitch: "44", Return, "2", Tab must give 442 Hz.
set_field $XY_APITCH 44
xdotool key Return
xdotool type 2
xdotool key Tab

click $XY_GENERATE
dialog "key Return"
file="$TEMPDIR/Equal.Temperament.Hauptwerk.xml"
_written() { [ "$(grep -c '<PitchHz>' "$file" 2>/dev/null)" = 133 ]; }
poll 50 _written || fail "no complete file $file"

pitch() { sed -n "/<MIDINoteNumberOnEightFootStop>$1</{n;s/.*<PitchHz>\(.*\)<\/PitchHz>.*/\1/p}" "$file"; }
# Expected texts: 442 Hz, C = note 72 with +12 cents, C# = note 73 untouched.
read -r e69 e72 e60 e73 < <(python3 -c '
a = 442.0
c5 = a * 2.0 ** ((300 + 12.0) / 1200.0)
cs = a * 2.0 ** (400 / 1200.0)
print("%.15g %.15g %.15g %.15g" % (a, c5, c5 / 2, cs))')
[ "$(pitch 69)" = "$e69" ] || fail "note 69 is $(pitch 69), expected $e69 (A-Pitch 44 + Return + 2)"
[ "$(pitch 72)" = "$e72" ] || fail "note 72 is $(pitch 72), expected $e72 (C 1 + Return + 2)"
[ "$(pitch 60)" = "$e60" ] || fail "note 60 is $(pitch 60), expected $e60"
[ "$(pitch 73)" = "$e73" ] || fail "note 73 is $(pitch 73), expected $e73 (C# untouched)"

xdotool windowfocus --sync "$WIN"
xdotool key Escape
wait_exit
[ "$RC" = 0 ] || fail "exit status $RC"
pass
