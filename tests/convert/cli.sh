#!/usr/bin/env bash
# vostrel-convert end to end in a temporary folder: .scl to host file and back, a keyboard mapping
# and the tonic, the report, batches (names, IDs, failures, never replacing), the fields' warnings;
# with MAKE_COLLECTION and SOURCE, that the README's collection is the table's.
# VOSTREL_RUNNER, when set, runs the programs (wine for a Windows build).
#   cli.sh PROGRAM [MAKE_COLLECTION SOURCE]
set -uo pipefail
program="$1"
conv() { ${VOSTREL_RUNNER:-} "$program" "$@"; }
work="$(mktemp -d /tmp/vostrel-convert-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fails=0
check() {  # check WHAT EXPECTED ACTUAL; carriage returns of a Windows build dropped
  if [ "$2" != "${3//$'\r'/}" ]; then
    printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    fails=$((fails + 1))
  fi
}
pitch() { grep -A1 ">$2</MIDI" "$1" | sed -n 's/.*<PitchHz>\(.*\)<.*/\1/p'; }
lines() { printf '%s\n' "$@"; }

# Quarter-comma meantone to a host file and back to the same .scl, written into a folder named with
# Windows' backslashes there, naming itself without its folder.
printf '! qc.scl\n!\nQuarter-comma meantone\n 12\n!\n 76.048999\n 193.156857\n 310.264715\n 386.313714\n 503.421572\n 579.470571\n 696.578428\n 772.627428\n 889.735285\n 1006.843143\n 1082.892142\n 2/1\n' > qc.scl
mkdir -p back/sub out
sep=/
[ -z "${VOSTREL_RUNNER:-}" ] || sep='\'
conv qc.scl
conv --to-scl --output-dir "back${sep}sub" qc.Temperament.Hauptwerk.xml
check "host file to .scl" "$(cat qc.scl)" "$(cat back/sub/qc.scl)"

# Just intonation with its 1/1 on D (62) at 277.5 Hz by a mapping of 12, so A is 3/2 of that; with
# --tonic H on B, 9/5 below A.
printf '! map\n12\n0\n127\n62\n62\n277.5\n12\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n' > baroque.kbm
printf 'Just\n12\n16/15\n9/8\n6/5\n5/4\n4/3\n45/32\n3/2\n8/5\n5/3\n9/5\n15/8\n2/1\n' > just.scl
conv --kbm baroque.kbm -o kbm.xml just.scl
conv --tonic H -o h.xml just.scl
check "kbm: A and D; tonic H: B" "416.250000 277.500000 244.444444" \
  "$(printf '%.6f %.6f %.6f' "$(pitch kbm.xml 69)" "$(pitch kbm.xml 62)" "$(pitch h.xml 59)")"

# The report: quarter-comma meantone's first fifth, its wolf and the check line.
conv --report qc.scl > report
check "report" "$(lines "C      G          696.578     -5.377     -2.448" \
  "G#/Ab  D#/Eb      737.637    +35.682    +25.691" \
  "Sum of the fifths' deviations: -23.460 cents (a closed circle: -23.460, minus one Pythagorean comma)")" \
  "$(grep -E '^(C +G |G#/Ab +D#/Eb |Sum)' report)"

# A batch names each output after its input and numbers the IDs by place from 900001, or from --id;
# it goes on past failures and replaces nothing. A degree far from its place is a warning only.
# Messages go to a file (and file names to the system) in UTF-8.
printf '!\nbad\n12\n100.0\n~200.0\n' > bad.scl
sed 's/^ 76.048999$/ 1076.048999/' qc.scl > fär.scl
conv --output-dir out bad.scl missing.scl qc.scl fär.scl back/sub/qc.scl 2> err
echo "status $?" >> err
check "batch: messages" "$(lines "bad.scl: line 5: \"~200.0\" is not a ratio or a number of cents" \
  "missing.scl: Can't open file missing.scl for reading!" \
  "fär.scl: line 6: degree 1 is 1076.049 cents, more than 100 cents from its place in equal temperament (100)" \
  "back/sub/qc.scl: out/qc.Temperament.Hauptwerk.xml was written from qc.scl in this run and is not replaced" \
  "status 1")" "$(cat err)"
check "batch: outputs, IDs" "$(lines "out/fär.Temperament.Hauptwerk.xml:TemperamentID>900004" \
  "out/qc.Temperament.Hauptwerk.xml:TemperamentID>900003")" \
  "$(grep -o 'TemperamentID>[0-9][0-9]*' out/*)"
conv --id 1701001 --output-dir out qc.scl just.scl 2> err
echo "status $?" >> err
check "--id" "$(lines "qc.scl: out/qc.Temperament.Hauptwerk.xml exists already and is never replaced" \
  "status 1" "TemperamentID>1701002")" "$(cat err; grep -o 'TemperamentID>[0-9][0-9]*' out/just.*)"
conv --id 2147483647 qc.scl just.scl 2> err
check "IDs beyond the range" \
  "1 vostrel-convert: the IDs of 2 inputs from 2147483647 go beyond 2147483647 (see --help)" \
  "$? $(cat err)"

printf '12\n0\n127\n60\n69\n440\n12\n0\n2\n' > bad.kbm
conv --kbm bad.kbm -o bad.xml qc.scl 2> err
check "bad kbm, nothing written" \
  "1 bad.kbm: line 9: map entry 1 is \"2\"; only the entries 0 to 11 in order are accepted" \
  "$? $(cat err)$(ls bad.xml 2> /dev/null)"
# The fields: the window's warnings, one line each, starting with the file's name.
conv --name "$(printf 'M\xc3\xbcller')" --short-name Meantone -o fields.xml qc.scl 2> err
check "fields: warnings" "$(lines \
  "qc.scl: Field Temperament Name: Only ASCII-Characters allowed in strings! Substituting forbidden characters by blanks." \
  "qc.scl: Only first five characters of ShortName used!")" "$(cat err)"
conv --version > version
check "version" 1 "$(tr -d '\r' < version | grep -cE '^vostrel-convert [0-9]+\.[0-9]+\.[0-9]+$')"

if [ -n "${2:-}" ]; then  # the README's tables, as make_collection TABLE --readme prints them
  cp "$3/data/temperaments/collection.tsv" table.tsv
  ${VOSTREL_RUNNER:-} "$2" table.tsv --readme > readme.md
  readme="$(sed '/^<!-- collection/,/^<!-- end/!d; //d' "$3/README.md")"
  check "README: the collection" "$readme" "$(cat readme.md)"
fi

[ "$fails" -eq 0 ] && echo "convert_cli: all checks passed"
[ "$fails" -eq 0 ]
