#!/usr/bin/env bash
# console.sh CONVERTER PROBE (absolute paths, as CTest gives them): vostrel-convert.exe under Wine
# in a console window, started alone in it as a double-click starts it (console_probe.exe): it
# shows its usage, or its messages with non-ASCII names right in the console's code page (437
# here) and paths never mixing separators, and waits for Enter; typed in a console that another
# program holds (cmd), it does not wait, and its messages to a file are UTF-8; where its console
# code fails, it shows its text untranslated and ends all the same.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
PROBE="$2"
cd "$WORK"
printf 'Warm\n12\n100.0\n200.0\n300.0\n400.0\n500.0\n600.0\n700.0\n800.0\n900.0\n1000.0\n1100.0\n2/1\n' > Wärme.scl
conv="Z:$BIN"

# row COMMAND SCREEN WAITING STATUS: COMMAND's console shows SCREEN, then it waits or ends.
row() {
  wine "$PROBE" "$2" "$1" > "$TMP/report"
  for line in "$2" "$3" "status $4"; do
    grep -qF "$line" "$TMP/report" || fail "$1: no '$line' in $TMP/report"
  done
}
row "$conv" "Usage: vostrel-convert [OPTIONS] FILE..." waits 0
row "$conv --output-dir ..\\Nope Wärme.scl" \
  "Wärme.scl: Cant create file ..\\Nope\\Wrme.Temperament.Hauptwerk.xml" waits 1
# With the console held by cmd, messages to a file stay UTF-8.
row "cmd /c $conv --output-dir ..\\Nope Wärme.scl 2> err.txt & echo finished" finished ended 1
grep -qF "Wärme.scl: Cant create file ..\\Nope\\Wrme.Temperament.Hauptwerk.xml" err.txt ||
  fail "err.txt: $(cat err.txt)"
# Where the console code cannot make its pipe or its thread, the text goes to the console as it is.
for fault in 1 2 3; do
  row "Z:$(dirname "$PROBE")/console_fault_$fault.exe" printed waits 0
done
