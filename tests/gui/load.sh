#!/usr/bin/env bash
# Load File in the real window: a prepared file picked in the chooser, then
# Generate File to a new name gives what the loaded temperament must give.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"

cp "$FIXTURES/prepared.xml" "$TEMPDIR/prepared.xml"
start_program
click $XY_LOAD
# The chooser opens in the temperaments folder with that folder's path
# selected in its name field: type the bare name after it.
dialog End prepared.xml
expect_no_dialog "after loading prepared.xml"

new="$TEMPDIR/regenerated.xml"
click $XY_GENERATE
dialog ctrl+a "$(prog_path "$new")"
wait_complete "$new"
same_file "$FIXTURES/load-expected.xml" "$new"
expect_no_dialog "after Generate"
cmp -s "$FIXTURES/prepared.xml" "$TEMPDIR/prepared.xml" || fail "the loaded file changed"
quit
pass
