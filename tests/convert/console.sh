#!/usr/bin/env bash
# console.sh CONVERTER PROBE: vostrel-convert.exe under Wine in a console window, started alone in
# it as a double-click starts it (console_probe.exe): it shows its usage, or its messages with
# non-ASCII names right in the console's code page (437 here) and paths never mixing separators,
# and waits for Enter; typed in a console that another program holds (cmd), it does not wait.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
probe="$(cd "$(dirname "${2:?usage: $0 vostrel-convert.exe console_probe.exe}")" && pwd)/$(basename "$2")"
cd "$WORK"
{ printf 'Warm\n12\n'; for c in 1 2 3 4 5 6 7 8 9 10 11; do echo "${c}00.0"; done; echo 2/1; } > Wärme.scl
converter="$(prog_path "$BIN")"

# row WHAT COMMAND LINE...: the probe's report on COMMAND (waiting for the console to show the
# last of the LINEs before "waits" or "ended") holds each LINE as a whole line.
row() {
  local what="$1" command="$2" line last
  shift 2
  for line in "$@"; do [[ "$line" = waits || "$line" = ended || "$line" = status* ]] || last="$line"; done
  wine "$probe" "$last" "$command" > "$TMP/report" 2>&1 || fail "$what: the probe failed: $(cat "$TMP/report")"
  for line in "$@"; do
    tr -d '\r' < "$TMP/report" | grep -qxF -- "$line" || fail "$what: no line '$line' in: $(cat "$TMP/report")"
  done
}
row "a double-click" "$converter" "Usage: vostrel-convert [OPTIONS] FILE..." \
  "Press Enter to close this window." waits "status 0"
row "alone, with arguments" "$converter --output-dir ..\\Nope Wärme.scl" \
  "Wärme.scl: Cant create file ..\\Nope\\Wrme.Temperament.Hauptwerk.xml" waits "status 1"
row "typed in cmd" "cmd /c $converter" "vostrel-convert: no input file (see --help)" ended "status 1"
echo "convert_console: all checks passed"
