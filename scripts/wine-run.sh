#!/usr/bin/env bash
# wine-run.sh PROGRAM [ARGS...] - runs a Windows program under Wine; the
# emulator through which CTest and the build run the cross-built programs
# (cmake/mingw-w64.cmake). Started by several tests at once on a loaded
# machine, wine now and then ends at once, before the program has started:
# a failure status and no output at all. Such a start is made once more,
# and the error output says so.
out="$(mktemp)"; err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
for try in 1 2; do
  wine "$@" > "$out" 2> "$err"
  rc=$?
  if [ "$rc" = 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$try" = 2 ]; then break; fi
  echo "wine-run: wine ended with status $rc before $1 wrote anything; starting it again" >&2
done
cat "$out"
cat "$err" >&2
exit "$rc"
