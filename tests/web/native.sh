#!/usr/bin/env bash
# native.sh VOSTREL OUT ID NAME SHORT SUPPLIER-ID SUPPLIER-NAME COMMENT VERSION A-PITCH CENT...
# Types the values into the real window (under Xvfb, tests/gui/lib.sh), the twelve cents from A
# up, presses Generate File, confirms the proposed name and copies the file written to OUT.
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"
gui_begin "$@"
out="$2"
shift 2
[ $# = 20 ] || fail "native.sh takes VOSTREL, OUT and 20 values, not $#"
file="$TEMPDIR/$3.Temperament.Hauptwerk.xml"
start_program
for xy in "$XY_ID" "$XY_NAME" "$XY_SHORT" "$XY_SUPID" "$XY_SUPNAME" "$XY_COMMENT" "$XY_VERSION" \
  "$XY_APITCH" $(for i in $(seq 0 11); do xy_cent "$i" | tr ' ' ,; done); do
  set_field ${xy/,/ } "$1"
  shift
done
generate "$file" 1
cp "$file" "$out"
quit
