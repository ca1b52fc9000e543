#!/usr/bin/env bash
# Takes the README's screenshot of the real window: builds the program if
# needed, starts it under Xvfb in a temporary working folder and home with
# preset settings (so nothing searches the disk), types Werckmeister III into
# the window, and writes docs/screenshot.png with ImageMagick's import.
#   BUILD_DIR   build folder to use (default: build/ of the repository)
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$repo/build}"
out="$repo/docs/screenshot.png"

for tool in xvfb-run xdotool import; do
  command -v "$tool" > /dev/null || { echo "screenshot: $tool is missing (bash scripts/deps.sh test)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" > /dev/null
cmake --build "$build" --target vostrel -j 2 > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/Hauptwerk/Temperaments"
printf 'Tempdirstr=%s/Hauptwerk/Temperaments/\nSupplierID=1701\nSupplierNm=Example Organ Society\nTemperamID=1701001\n' \
  "$work" > "$work/Vostrel.ini"

cat > "$work/session.sh" <<'SESSION'
set -euo pipefail
"$VOSTREL" & pid=$!
trap 'kill "$pid" 2> /dev/null || true' EXIT
wid="$(timeout 20 xdotool search --sync --name '^Vostrel for HW3$' | head -1)"
[ -n "$wid" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$wid"
# Replaces the text of the field under (x, y) of the window.
put() {
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  xdotool key ctrl+a
  xdotool type --delay 15 "$3"
}
put 300 59 "Werckmeister III"
put 300 79 "Werk3"
put 300 139 "Werckmeister III, A = 440 Hz"
cents=(0 7.820 3.910 11.730 1.955 3.910 5.865 1.955 9.775 0 7.820 3.910)
for i in "${!cents[@]}"; do
  put 635 $((59 + 20 * i)) "${cents[$i]}"
done
# Leaving the last cent field stores it and recomputes the pitches.
xdotool mousemove --window "$wid" 300 139 click 1
sleep 0.5
import -window "$wid" "$SHOT"
xdotool key Escape
wait "$pid"
trap - EXIT
SESSION

(cd "$work" && HOME="$work/home" VOSTREL="$build/vostrel" SHOT="$work/shot.png" \
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$work/session.sh")
mkdir -p "$(dirname "$out")"
# Strip the time stamps ImageMagick adds, so an unchanged window gives an
# unchanged file.
convert "$work/shot.png" -strip "$out"
echo "wrote $out"
