#!/usr/bin/env bash
# console.sh CONVERTER PROBE: vostrel-convert.exe under Wine in a console window, started alone in
# it as a double-click starts it (console_probe.exe): it shows its usage, or its messages with
# non-ASCII names right in the console's code page (437 here) and paths never mixing separators,
# and waits for Enter; typed in a console that another program holds (cmd), it does not wait.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
probe="$(cd "$(dirname "${2:?usage: $0 vostrel-convert.exe console_probe.exe}")" && pwd)/${2##*/}"
cd "$WORK"
{ printf 'Warm\n12\n'; for c in 1 2 3 4 5 6 7 8 9 10 11; do echo "${c}00.0"; done; echo 2/1; } > Wärme.scl
conv="$(prog_path "$BIN")"

# row COMMAND SCREEN WAITING STATUS: COMMAND's console shows the line SCREEN, then it waits or ends.
row() {
  wine "$probe" "$2" "$1" 2>&1 | tr -d '\r' | sed 's/ *$//' > "$TMP/report"
  for line in "$2" "$3" "status $4"; do
    grep -qxF -- "$line" "$TMP/report" || fail "$1: no line '$line' in: $(cat "$TMP/report")"
  done
}
row "$conv" "Press Enter to close this window." waits 0
grep -qx "Usage: vostrel-convert \[OPTIONS\] FILE..." "$TMP/report" || fail "no usage: $(cat "$TMP/report")"
row "$conv --output-dir ..\\Nope Wärme.scl" \
  "Wärme.scl: Cant create file ..\\Nope\\Wrme.Temperament.Hauptwerk.xml" waits 1
row "cmd /c $conv" "vostrel-convert: no input file (see --help)" ended 1
echo "convert_console: all checks passed"
