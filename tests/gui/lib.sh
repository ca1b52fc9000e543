# lib.sh - the scenario runner of the real-window tests, for both builds. A scenario sources it
# and calls `gui_begin "$@"` with the program as first argument: the script runs again under its
# own Xvfb server, with a temporary working directory, home and temperaments folder (preset in
# Vostrel.ini: no disk search). A program ending in .exe runs under Wine in a prefix copied from
# VOSTREL_WINE_TEMPLATE (scripts/wine.sh) and writes CR LF; there VOSTREL_GUI_DPI sets the
# display's resolution (96 by default), and the coordinates below are scaled by DPI / 96.
set -euo pipefail
GUI_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO_DIR="$(cd "$GUI_DIR/../.." && pwd)"
FIXTURES="$GUI_DIR/fixtures"

# Window-relative centres of the widgets (the window is 800 x 300).
XY_ID="320 39"
XY_NAME="320 59"
XY_SHORT="320 79"
XY_SUPID="320 99"
XY_SUPNAME="320 119"
XY_COMMENT="320 139"
XY_VERSION="320 159"
XY_LOAD="320 199"
XY_GENERATE="320 239"
XY_EXIT="320 279"
XY_APITCH="730 19"
# xy_cent I: the cent field of note 69 + I.
xy_cent() {
  echo "635 $((59 + 20 * $1))"
}
# box_pitch I: its pitch box, as W H X Y.
box_pitch() {
  echo "100 19 680 $((50 + 20 * $1))"
}
PID=""
WIN=""
DLG=""
WINE=""
WINCLASS=FLTK
DPI="${VOSTREL_GUI_DPI:-96}"
# px N: N window pixels at 96 DPI, scaled.
px() {
  echo $((($1 * DPI + 48) / 96))
}
# geom W H X Y: a scaled geometry.
geom() {
  echo "$(px "$1")x$(px "$2")+$(px "$3")+$(px "$4")"
}
# inside W H X Y: the geometry inside the frame (2 pixels at 96 DPI) of the box W x H at X,Y, each
# edge scaled as the toolkit scales it, to floor(edge * DPI / 96).
inside() {
  local x0=$((($3 + 2) * DPI / 96)) y0=$((($4 + 2) * DPI / 96))
  echo "$((($3 + $1 - 2) * DPI / 96 - x0))x$((($4 + $2 - 2) * DPI / 96 - y0))+$x0+$y0"
}

# fail MESSAGE: reports, keeps a picture of the window and the temporary tree.
fail() {
  echo "FAIL: $* (kept for inspection: $TMP)" >&2
  if [ -n "$PID" ] && running; then
    timeout 10 import -window "$WIN" "$TMP/failure.png" || true
  fi
  echo "program output:" >&2
  cat "$TMP/program.log" >&2 2> /dev/null || true
  KEEP=1
  exit 1
}
# poll TENTHS COMMAND...: runs COMMAND every 0.1 s until it succeeds, at most TENTHS times.
poll() {
  local n=$1
  shift
  until "$@"; do
    ((--n > 0)) || return 1
    sleep 0.1
  done
}

# On exit: the program and the Wine prefix ended, the tree removed unless kept.
_cleanup() {
  local rc=$?
  if [ -n "$PID" ] && running; then
    kill "$PID" 2> /dev/null || true
    wait "$PID" 2> /dev/null || true
  fi
  [ -z "$WINE" ] || wine_end "$WINEPREFIX"
  [ "${KEEP:-0}" != 0 ] || [ -z "${TMP:-}" ] || rm -rf "$TMP"
  exit "$rc"
}

# Outer run: the server and this script in a new process group, taken down whole on any exit
# (xvfb-run leaves its server behind when it is itself killed).
_under_xvfb() {
  export VOSTREL_GUI_INNER=1
  local log screen=1024x768x24 rc=0 group
  log="$(mktemp /tmp/vostrel-gui-xvfb.XXXXXX)"
  [ "$DPI" = 96 ] || screen=1600x1000x24
  setsid xvfb-run -a -n $((200 + $$ % 500)) -e "$log" -s "-screen 0 $screen -noreset" \
    bash "$0" "$@" &
  group=$!
  trap 'kill -TERM -- -'"$group"' 2>/dev/null || true; rm -f "'"$log"'"' EXIT
  trap 'exit 143' TERM INT
  wait "$group" || rc=$?
  if [ "$rc" != 0 ] && [ -s "$log" ]; then
    echo "X server log:" >&2
    cat "$log" >&2
  fi
  exit "$rc"
}

# _setup_error MESSAGE: a failure before there is a temporary tree.
_setup_error() {
  echo "FAIL: $*" >&2
  exit 1
}
_display_up() {
  xdpyinfo > /dev/null 2>&1
}

# The sanitizer builds' leak suppressions come from the test preset's environment.
gui_begin() {
  [ -f "${1:?usage: $0 path-to-vostrel}" ] || _setup_error "no program at $1"
  BIN="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  [ -n "${VOSTREL_GUI_INNER:-}" ] || _under_xvfb "$@"
  poll 50 _display_up || _setup_error "X server $DISPLAY does not answer"
  TMP="$(mktemp -d /tmp/vostrel-gui.XXXXXX)"
  chmod 755 "$TMP"
  WORK="$TMP/work"
  HOMEDIR="$TMP/home"
  TEMPDIR="$TMP/temperaments"
  mkdir -p "$WORK" "$HOMEDIR" "$TEMPDIR"
  trap _cleanup EXIT
  if [[ "$BIN" = *.exe ]]; then
    # A prefix of its own, its resolution set while the display is up (Wine takes its size).
    [ -d "${VOSTREL_WINE_TEMPLATE:-}" ] || _setup_error "VOSTREL_WINE_TEMPLATE is no Wine prefix"
    source "$REPO_DIR/scripts/wine.sh"
    export WINEPREFIX="$TMP/prefix"
    wine_copy "$VOSTREL_WINE_TEMPLATE" "$WINEPREFIX"
    WINE=wine
    WINCLASS=vostrel.exe
    [ "$DPI" = 96 ] || wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$DPI" /f > /dev/null
  fi
  printf 'Tempdirstr=%s/\n' "$(prog_path "$TEMPDIR")" > "$WORK/Vostrel.ini"
}

# prog_path PATH: PATH as the program names it (drive Z: is / under Wine).
prog_path() {
  echo "${WINE:+Z:}$1"
}
# shot FILE [GEOMETRY]: a picture of the window as it is now, or of a part.
shot() {
  import -window "$WIN" "$1" 2> /dev/null || return 1
  [ -z "${2:-}" ] || convert "$1" -crop "$2" +repage "$1"
}
# colours FILE GEOMETRY: how many colours the part GEOMETRY of a picture has.
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }
# differs GEOMETRY PICTURE: that part of the window now differs from PICTURE.
differs() {
  shot "$TMP/now.png" "$1" || fail "no picture of the window"
  [ "$(compare -metric AE "$TMP/now.png" "$2" null: 2>&1)" != 0 ]
}
_find_window() {
  WIN="$(xdotool search --onlyvisible --name '^Vostrel for HW3$' 2> /dev/null | head -1)"
  [ -n "$WIN" ]
}
# has_text FILE GEOMETRY: that part of a picture is text on a plain background, smoothed or not: its
# commonest colour covers more than half of it, the other colours at least 1/50 (one colour: none).
has_text() {
  convert "$1" -crop "$2" +repage -format %c histogram:info: |
    awk '{ n = $1 + 0; all += n; if (n > most) most = n }
         END { exit !(2 * most > all && 50 * (all - most) >= all) }'
}
# Painted once the last widget drawn, the pitch box of G#/Ab, shows text (unpainted: one colour).
_painted() { shot "$TMP/painted.png" && has_text "$TMP/painted.png" "$(inside $(box_pitch 11))"; }
# start_program [COMMAND...]: starts the program (or COMMAND) in the working directory with the
# temporary home and waits until its window has painted.
start_program() {
  [ $# -gt 0 ] || set -- $WINE "$BIN"
  (cd "$WORK" && HOME="$HOMEDIR" exec "$@") > "$TMP/program.log" 2>&1 &
  PID=$!
  poll 100 _find_window || fail "window 'Vostrel for HW3' did not appear"
  poll 100 _painted || fail "window 'Vostrel for HW3' appeared but never painted the pitch of G#/Ab"
  xdotool windowfocus --sync "$WIN"
}
running() {
  kill -0 "$PID" 2> /dev/null
}
_stopped() {
  ! running
}
# quit [X Y [N]]: Escape (or a click at X Y, then N dialogs answered); the program must end with
# status 0, leaving no stray files in the working folder.
quit() {
  if [ $# = 0 ]; then
    xdotool windowfocus --sync "$WIN"
    xdotool key Escape
  else
    click "$1" "$2"
  fi
  answer "${3:-0}"
  poll 100 _stopped || fail "program did not end"
  local rc=0
  wait "$PID" || rc=$?
  PID=""
  [ "$rc" = 0 ] || fail "exit status $rc"
  [ "$(ls -A "$WORK")" = Vostrel.ini ] || fail "stray files: $(ls -A "$WORK")"
}
# The toolkit's dialogs: further visible windows of the program's class.
dialogs() {
  xdotool search --onlyvisible --class "$WINCLASS" 2> /dev/null | grep -vx "$WIN" || true
}
_dialog_up() {
  DLG="$(dialogs | head -1)"
  [ -n "$DLG" ]
}
_dialog_gone() {
  ! dialogs | grep -qx "$DLG"
}
# dialog [KEY TEXT]: waits for a dialog, focuses it, presses KEY and types TEXT if given, then
# Return, and waits until the dialog has closed.
dialog() {
  poll 100 _dialog_up || fail "no dialog appeared ${2:+for $2}"
  xdotool windowfocus --sync "$DLG"
  if [ $# != 0 ]; then
    xdotool key "$1"
    xdotool type -- "$2"
  fi
  xdotool key Return
  poll 100 _dialog_gone || fail "dialog did not close ${2:+after $2}"
}
# answer N: N dialogs, each answered with Return.
answer() {
  local i
  for ((i = 0; i < $1; i++)); do
    dialog
  done
}
# expect_no_dialog WHEN: no dialog is open now and none opens within 0.5 s.
expect_no_dialog() {
  ! poll 5 _dialog_up || fail "unexpected dialog $1"
}
# click X Y: a click at X,Y of the window.
click() {
  xdotool windowfocus --sync "$WIN"
  xdotool mousemove --window "$WIN" "$(px "$1")" "$(px "$2")" click 1
}
# set_field X Y TEXT: replaces the text of the input at X,Y (no Tab).
set_field() {
  click "$1" "$2"
  xdotool key ctrl+a BackSpace
  [ -z "$3" ] || xdotool type -- "$3"
}
# generate FILE N: Generate File, N dialogs answered, then wait_complete FILE.
generate() {
  click $XY_GENERATE
  answer "$2"
  wait_complete "$1"
}
_complete() {
  tail -1 "$1" 2> /dev/null | tr -d '\r' | grep -qx '</Hauptwerk>'
}
# wait_complete FILE: waits until FILE ends with its last tag.
wait_complete() {
  poll 100 _complete "$1" || fail "no complete file $1"
}
# same_file EXPECTED ACTUAL: ACTUAL is EXPECTED byte for byte, with the program's line ends.
same_file() {
  if [ -n "$WINE" ]; then
    sed 's/$/\r/' "$1" > "$TMP/want"
  else
    cp "$1" "$TMP/want"
  fi
  cmp -s "$TMP/want" "$2" && return
  diff "$TMP/want" "$2" | head -20 >&2
  fail "$2 differs from $1"
}
# check_pitches FILE A CENT...: the notes 0..132 of FILE, each computed on its own, are those of
# A-Pitch A with the offsets of A, A#/Bb, ... G#/Ab, within 0.0005 cent.
check_pitches() {
  python3 - "$@" <<'EOF' || fail "pitches of $1 differ from A=$2 and the cents ${*:3}"
import math, re, sys
a = float(sys.argv[2])
cents = [float(c) for c in sys.argv[3:]]
text = open(sys.argv[1]).read()
notes = re.findall(r"<MIDINoteNumberOnEightFootStop>(\d+)</MIDINoteNumberOnEightFootStop>\s*"
                   r"<PitchHz>([^<]*)</PitchHz>", text)
off = [n for n, hz in notes
       if abs(1200 * math.log2(float(hz) / a) - (int(n) - 69) * 100 - cents[(int(n) - 69) % 12])
       > 0.0005]
sys.exit(f"off: {off}" if off or [int(n) for n, _ in notes] != list(range(133)) else 0)
EOF
}
