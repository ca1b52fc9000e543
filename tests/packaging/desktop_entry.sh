#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate and starts the program by
# the name it is installed under, with the icon's installed name.
# Usage: desktop_entry.sh <source folder>
set -euo pipefail
src="$1"
entry="$src/data/vostrel.desktop"

out="$(desktop-file-validate "$entry" 2>&1)" || { echo "$out"; exit 1; }
# Hints and warnings count too: the entry must be clean.
if [ -n "$out" ]; then echo "desktop-file-validate: $out"; exit 1; fi

fail=0
check() { # <key> <expected value>
  local got
  got="$(sed -n "s/^$1=//p" "$entry")"
  if [ "$got" != "$2" ]; then echo "$1 is '$got', expected '$2'"; fail=1; fi
}
check Type Application
check Exec vostrel
check Icon vostrel
check Terminal false
# Started from the menu the working folder is the home folder: the entry
# says where the settings file is.
grep -q '^Comment=.*Vostrel\.ini.*home folder' "$entry" || {
  echo "Comment does not tell where Vostrel.ini lives"; fail=1; }
exit "$fail"
