# lib.sh - shared helpers of the real-window tests.
#
# A test script sources this file and calls `gui_begin "$@"` with the path
# of the built program as its first argument. gui_begin restarts the script
# under its own Xvfb server (xvfb-run -a), in its own process group so that
# the server cannot outlive the test, and prepares a temporary working
# directory, home and temperaments folder. Nothing outside that temporary
# tree is written: every test presets Tempdirstr in its Vostrel.ini, so the
# program never searches the disk.
set -euo pipefail

GUI_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO_DIR="$(cd "$GUI_DIR/../.." && pwd)"
FIXTURES="$GUI_DIR/fixtures"

# Window-relative centres of the widgets (the window is 800 x 300).
XY_ID="320 39"; XY_NAME="320 59"; XY_SHORT="320 79"; XY_SUPID="320 99"
XY_SUPNAME="320 119"; XY_COMMENT="320 139"; XY_VERSION="320 159"
XY_LOAD="320 199"; XY_GENERATE="320 239"; XY_EXIT="320 279"
XY_APITCH="730 19"
# Cent field of note 69 + i.
xy_cent() { echo "635 $((59 + 20 * $1))"; }

PID=""; WIN=""; DLG=""; RC=""

fail() {
  echo "FAIL: $*" >&2
  # A picture of the window as it was, while the program still runs.
  if [ -n "$PID" ] && running; then timeout 10 import -window "$WIN" "$TMP/failure.png" || true; fi
  echo "program output:" >&2; cat "$TMP/program.log" >&2 2>/dev/null || true
  echo "display $DISPLAY: $(xdpyinfo > /dev/null 2>&1 && echo answers || echo "does not answer")," \
    "auth file $XAUTHORITY: $([ -e "$XAUTHORITY" ] && echo present || echo missing)" >&2
  echo "kept for inspection: $TMP" >&2
  KEEP=1
  exit 1
}

# poll TENTHS COMMAND...: runs COMMAND every 0.1 s until it succeeds, at most
# TENTHS times; the result is COMMAND's last status.
poll() {
  local n=$1; shift
  while ! "$@"; do
    n=$((n - 1)); [ "$n" -gt 0 ] || return 1
    sleep 0.1
  done
}

_cleanup() {
  local rc=$?
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    wait "$PID" 2>/dev/null || true
  fi
  if [ "${KEEP:-0}" = 0 ] && [ -n "${TMP:-}" ]; then rm -rf "$TMP"; fi
  exit "$rc"
}

gui_begin() {
  BIN="${1:?usage: $0 path-to-vostrel}"
  [ -x "$BIN" ] || { echo "FAIL: no program at $BIN" >&2; exit 1; }
  BIN="$(cd "$(dirname "$BIN")" && pwd)/$(basename "$BIN")"
  if [ -z "${VOSTREL_GUI_INNER:-}" ]; then
    # Outer run: start the server and this script in a new process group,
    # and take the whole group down on any exit (xvfb-run leaves its server
    # behind when it is itself killed).
    export VOSTREL_GUI_INNER=1
    XVFB_LOG="$(mktemp /tmp/vostrel-gui-xvfb.XXXXXX)"
    setsid xvfb-run -a -n $((200 + $$ % 500)) -e "$XVFB_LOG" -s "-screen 0 1024x768x24 -noreset" \
      bash "$0" "$@" &
    local group=$!
    trap 'kill -TERM -- -'"$group"' 2>/dev/null || true; rm -f "$XVFB_LOG"' EXIT
    trap 'exit 143' TERM INT
    local rc=0
    wait "$group" || rc=$?
    if [ "$rc" != 0 ] && [ -s "$XVFB_LOG" ]; then echo "X server log:" >&2; cat "$XVFB_LOG" >&2; fi
    exit "$rc"
  fi
  _display_up() { xdpyinfo > /dev/null 2>&1; }
  poll 50 _display_up || { echo "FAIL: X server $DISPLAY does not answer" >&2; exit 1; }
  # Sanitizer builds: report leaks, but not those of the X and font libraries.
  if [ -z "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"; fi
  if [ -z "${LSAN_OPTIONS:-}" ]; then
    export LSAN_OPTIONS="suppressions=$REPO_DIR/tests/lsan.supp:print_suppressions=0"
  fi
  if [ -z "${UBSAN_OPTIONS:-}" ]; then export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"; fi
  TMP="$(mktemp -d /tmp/vostrel-gui.XXXXXX)"
  chmod 755 "$TMP"
  WORK="$TMP/work"; HOMEDIR="$TMP/home"; TEMPDIR="$TMP/temperaments"
  mkdir -p "$WORK" "$HOMEDIR" "$TEMPDIR"
  trap _cleanup EXIT
  printf 'Tempdirstr=%s/\n' "$TEMPDIR" > "$WORK/Vostrel.ini"
}

_find_window() {
  WIN="$(xdotool search --onlyvisible --name '^Vostrel for HW3$' 2>/dev/null | head -1)"
  [ -n "$WIN" ]
}

# colours FILE GEOMETRY: how many colours the part GEOMETRY of a picture has.
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }

# The window has painted once its last widget, the pitch output of G#/Ab,
# shows its text: the toolkit draws the widgets in order, so every other
# widget is drawn by then. An unpainted window is one plain colour.
_painted() {
  import -window "$WIN" "$TMP/painted.png" 2> /dev/null &&
    [ "$(colours "$TMP/painted.png" 90x13+685+253)" -gt 2 ]
}

# Starts the program in the working directory with the temporary home and
# waits until its window has appeared and painted.
start_program() {
  (cd "$WORK" && HOME="$HOMEDIR" exec "$BIN") > "$TMP/program.log" 2>&1 &
  PID=$!
  poll 100 _find_window || fail "window 'Vostrel for HW3' did not appear"
  poll 100 _painted || fail "window 'Vostrel for HW3' appeared but never painted its pitches"
  xdotool windowfocus --sync "$WIN"
}

running() { kill -0 "$PID" 2>/dev/null; }
_stopped() { ! running; }

# Waits for the program to end and sets RC to its exit status.
wait_exit() {
  poll 100 _stopped || fail "program did not end"
  RC=0; wait "$PID" || RC=$?
  PID=""
}

# The toolkit's dialogs: further visible windows of class FLTK.
dialogs() { xdotool search --onlyvisible --class FLTK 2>/dev/null | grep -vx "$WIN" || true; }
_dialog_up() { DLG="$(dialogs | head -1)"; [ -n "$DLG" ]; }
_dialog_gone() { ! dialogs | grep -qx "$DLG"; }
_no_dialog() { [ -z "$(dialogs)" ]; }

# dialog KEYS...: waits for a dialog, focuses it and sends the keys to it
# (each argument is handed to one xdotool call, e.g. "key Return" or
# "type name"), then waits until it has closed.
dialog() {
  local what="$*"
  poll 100 _dialog_up || fail "no dialog appeared (expected one for: $what)"
  xdotool windowfocus --sync "$DLG"
  local step
  for step in "$@"; do
    # shellcheck disable=SC2086
    set -- $step
    if [ "$1" = type ]; then xdotool type -- "${step#type }"; else xdotool $step; fi
  done
  poll 100 _dialog_gone || fail "dialog did not close after: $what"
}

# Asserts that no dialog is open now and none opens within half a second.
expect_no_dialog() {
  local i
  for i in 1 2 3 4 5; do
    [ -z "$(dialogs)" ] || fail "unexpected dialog: $1"
    sleep 0.1
  done
}

click() {
  xdotool windowfocus --sync "$WIN"
  xdotool mousemove --window "$WIN" "$1" "$2" click 1
}

# set_field X Y TEXT: replaces the text of the input at X,Y (no Tab).
set_field() {
  click "$1" "$2"
  xdotool key ctrl+a BackSpace
  [ -z "$3" ] || xdotool type -- "$3"
}

# set_tuning I TEXT: types TEXT into cent field I and leaves it with Tab.
set_tuning() {
  # shellcheck disable=SC2046
  set_field $(xy_cent "$1") "$2"
  xdotool key Tab
}

# wait_file_equals EXPECTED ACTUAL: waits until ACTUAL exists with exactly
# the bytes of EXPECTED; fails with a diff otherwise.
_same() { cmp -s "$1" "$2"; }
wait_file_equals() {
  if ! poll 50 _same "$1" "$2"; then
    [ -e "$2" ] && diff "$1" "$2" | head -20 >&2
    fail "$2 differs from $1"
  fi
}

pass() { echo "PASS: $(basename "$0" .sh)"; }
