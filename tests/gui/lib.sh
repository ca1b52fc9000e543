# lib.sh - the runner of the real-window tests, for both builds. A script sources it and calls
# `gui_begin "$@"` with the program as first argument: the script runs again under its own Xvfb
# server, with temporary folders for work ($WORK, with a Vostrel.ini naming $TEMPDIR, so no disk
# search), home and temperaments. A program ending in .exe runs under Wine in a prefix copied
# from VOSTREL_WINE_TEMPLATE (scripts/wine.sh) and writes CR LF; there VOSTREL_GUI_DPI sets the
# display's resolution (96 by default), and the window's coordinates are scaled by DPI / 96.
set -euo pipefail
REPO_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
FIXTURES="$REPO_DIR/tests/gui/fixtures"
# Window-relative centres of the widgets (the window is 800 x 300); xy_cent I: the cent field of
# note 69 + I; box_pitch I: its pitch output as W H X Y.
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
xy_cent() { echo "635 $((59 + 20 * $1))"; }
box_pitch() { echo "100 19 680 $((50 + 20 * $1))"; }
PID=""
WINE=""
WINCLASS=FLTK
DPI="${VOSTREL_GUI_DPI:-96}"
# px N: N pixels at 96 DPI, scaled; geom W H X Y: a scaled geometry; inside W H X Y: the inside of
# the box's 2-pixel frame, each edge scaled as the toolkit does, to floor(edge * DPI / 96).
px() { echo $((($1 * DPI + 48) / 96)); }
geom() { echo "$(px "$1")x$(px "$2")+$(px "$3")+$(px "$4")"; }
inside() {
  local x0=$((($3 + 2) * DPI / 96)) y0=$((($4 + 2) * DPI / 96))
  echo "$((($3 + $1 - 2) * DPI / 96 - x0))x$((($4 + $2 - 2) * DPI / 96 - y0))+$x0+$y0"
}

# fail MESSAGE: reports it with the program's output, keeps the temporary tree and a picture.
fail() {
  echo "FAIL: $* (kept for inspection: ${TMP:-})" >&2
  [ -z "$PID" ] || timeout 20 import -window "$WIN" "$TMP/failure.png" 2> /dev/null || true
  cat "${TMP:-/nonexistent}/program.log" >&2 2> /dev/null || true
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

gui_begin() {
  [ -f "${1:?usage: $0 path-to-vostrel}" ] || fail "no program at $1"
  BIN="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  if [ -z "${VOSTREL_GUI_INNER:-}" ]; then
    # The server and this script in a process group of their own, taken down whole on any exit
    # (xvfb-run leaves its server behind when it is itself killed).
    export VOSTREL_GUI_INNER=1
    local screen=1024x768x24 rc=0
    [ "$DPI" = 96 ] || screen=1600x1000x24
    setsid xvfb-run -a -n $((200 + $$ % 500)) -s "-screen 0 $screen -noreset" bash "$0" "$@" &
    trap "kill -TERM -- -$! 2> /dev/null || true" EXIT
    trap 'exit 143' TERM INT
    wait $! || rc=$?
    exit "$rc"
  fi
  poll 50 xdpyinfo > /dev/null || fail "X server $DISPLAY does not answer"
  TMP="$(mktemp -d /tmp/vostrel-gui.XXXXXX)"
  chmod 755 "$TMP"
  WORK="$TMP/work"
  TEMPDIR="$TMP/temperaments"
  mkdir -p "$WORK" "$TMP/home" "$TEMPDIR"
  trap '[ -z "$PID" ] || kill "$PID" 2> /dev/null || true; [ -z "$WINE" ] || wine_end "$WINEPREFIX"
        [ -n "${KEEP:-}" ] || rm -rf "$TMP"' EXIT
  if [[ "$BIN" = *.exe ]]; then
    # A prefix of its own, its resolution set while the display is up (Wine takes its size).
    source "$REPO_DIR/scripts/wine.sh"
    export WINEPREFIX="$TMP/prefix"
    wine_copy "${VOSTREL_WINE_TEMPLATE:?no Wine prefix}" "$WINEPREFIX"
    WINE=wine
    WINCLASS=vostrel.exe
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f > /dev/null
  fi
  printf 'Tempdirstr=%s/\n' "$(prog_path "$TEMPDIR")" > "$WORK/Vostrel.ini"
}

# prog_path PATH: PATH as the program names it (drive Z: is / under Wine).
prog_path() { echo "${WINE:+Z:}$1"; }
# shot FILE [GEOMETRY]: a picture of the window (or of a part) as it is now.
shot() {
  timeout 20 import -window "$WIN" "$1" 2> /dev/null && convert "$1" -crop "${2:-100%}" +repage "$1"
}
# colours FILE GEOMETRY: how many colours that part of the picture has.
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }
# differs GEOMETRY PICTURE: that part of the window now differs from PICTURE.
differs() {
  shot "$TMP/now.png" "$1"
  [ "$(compare -metric AE "$TMP/now.png" "$2" null: 2>&1)" != 0 ]
}
_window() {
  WIN="$(xdotool search --onlyvisible --name '^Vostrel for HW3$' 2> /dev/null | head -1)"
  [ -n "$WIN" ]
}
# Painted once the last widget drawn, the pitch of G#/Ab, shows its text: more than one colour.
_painted() {
  shot "$TMP/painted.png" && [ "$(colours "$TMP/painted.png" "$(inside $(box_pitch 11))")" -gt 1 ]
}
# start_program [COMMAND...]: starts the program (or COMMAND) in $WORK with the temporary home and
# waits until its window has painted.
start_program() {
  [ $# -gt 0 ] || set -- $WINE "$BIN"
  (cd "$WORK" && HOME="$TMP/home" exec "$@") > "$TMP/program.log" 2>&1 &
  PID=$!
  poll 100 _window || fail "window 'Vostrel for HW3' did not appear"
  poll 100 _painted || fail "window 'Vostrel for HW3' never painted the pitch of G#/Ab"
  xdotool windowfocus --sync "$WIN"
}
_ended() { ! kill -0 "$PID" 2> /dev/null; }
# quit [X Y [N]]: Escape (or a click at X Y, then N dialogs answered); the program must end with
# status 0, leaving no other file than Vostrel.ini in its working folder.
quit() {
  if [ $# = 0 ]; then
    xdotool windowfocus --sync "$WIN" key Escape
  else
    click "$1" "$2"
    answer "${3:-0}"
  fi
  poll 100 _ended || fail "program did not end"
  wait "$PID" || fail "exit status $?"
  PID=""
  [ "$(ls -A "$WORK")" = Vostrel.ini ] || fail "stray files: $(ls -A "$WORK")"
}
# The toolkit's dialogs: further visible windows of the program's class.
_dialog() {
  DLG="$(xdotool search --onlyvisible --class "$WINCLASS" 2> /dev/null | grep -vx "$WIN" | head -1)"
  [ -n "$DLG" ]
}
_dialog_gone() { ! xdotool search --onlyvisible --class "$WINCLASS" | grep -qx "$DLG"; }
# dialog [KEY TEXT]: waits for a dialog, presses KEY and types TEXT if given, then Return, and
# waits until it has closed; answer N: N dialogs, each answered with Return.
dialog() {
  poll 100 _dialog || fail "no dialog appeared ${2:+for $2}"
  xdotool windowfocus --sync "$DLG"
  [ $# = 0 ] || xdotool key "$1" type -- "$2"
  xdotool key Return
  poll 100 _dialog_gone || fail "dialog did not close ${2:+after $2}"
}
answer() {
  for ((i = 0; i < $1; i++)); do
    dialog
  done
}
# expect_no_dialog WHEN: no dialog opens within 0.5 s.
expect_no_dialog() { ! poll 5 _dialog || fail "unexpected dialog $1"; }
# click X Y: a click at X,Y of the window; set_field X Y TEXT: that input's text replaced.
click() {
  xdotool windowfocus --sync "$WIN" mousemove --window "$WIN" "$(px "$1")" "$(px "$2")" click 1
}
set_field() {
  click "$1" "$2"
  xdotool key ctrl+a BackSpace
  [ -z "$3" ] || xdotool type -- "$3"
}
# generate FILE N: Generate File, N dialogs answered, then FILE complete (its last tag written).
_complete() { tail -1 "$1" 2> /dev/null | tr -d '\r' | grep -qx '</Hauptwerk>'; }
generate() {
  click $XY_GENERATE
  answer "$2"
  poll 100 _complete "$1" || fail "no complete file $1"
}
# same_file EXPECTED ACTUAL: ACTUAL is EXPECTED byte for byte, with the program's line ends.
same_file() {
  sed "s/\$/${WINE:+\r}/" "$1" | cmp -s - "$2" || fail "$2 differs from $1"
}
