#!/usr/bin/env bash
# vostrel-convert end to end in a temporary folder: .scl to host file to .scl, a keyboard mapping,
# the report, and the bad inputs: a batch with failures, never replacing, the fields' warnings and
# the usage errors; with MAKE_COLLECTION and SOURCE, that the README's collection is the table's.
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
unique_id() { sed -n 's/.*<UniqueTemperamentID>\(.*\)<.*/\1/p' "$1"; }

# Quarter-comma meantone from its ratios and cents, through both directions.
printf '! qc.scl\n!\nQuarter-comma meantone\n 12\n!\n 76.048999\n 193.156857 tone\n 310.264715\n 5/4\n 503.421572\n 579.470571\n 696.578428\n 772.627428\n 889.735285\n 1006.843143\n 1082.892142\n 2/1\n' > qc.scl
conv qc.scl; check "scl to host: status" 0 $?
mkdir out
conv --to-scl --output-dir out qc.Temperament.Hauptwerk.xml; check "host to scl: status" 0 $?
check "host to scl: cents" "$(sed -n '6,16p' qc.scl | awk '{printf "%.6f ", $1 == "5/4" ? 386.313714 : $1}')" \
  "$(sed -n '6,16p' out/qc.scl | awk '{printf "%.6f ", $1}')"
check "host to scl: description, period" "Quarter-comma meantone 2/1" "$(sed -n 3p out/qc.scl) $(sed -n 17p out/qc.scl | tr -d ' ')"

# The .scl names itself without its folder, also one named with Windows' backslashes.
mkdir -p back/sub
sep=/
[ -z "${VOSTREL_RUNNER:-}" ] || sep='\'
conv --to-scl --output-dir "back${sep}sub" qc.Temperament.Hauptwerk.xml
check "host to scl: first line" "! qc.scl" "$(head -1 back/sub/qc.scl)"

# A keyboard mapping: just intonation with its 1/1 on D (62) at 277.5 Hz, so A is 3/2 of that.
printf '! map\n0\n0\n127\n62\n62\n277.5\n12\n' > baroque.kbm
printf 'Just\n12\n16/15\n9/8\n6/5\n5/4\n4/3\n45/32\n3/2\n8/5\n5/3\n9/5\n15/8\n2/1\n' > just.scl
conv --kbm baroque.kbm -o kbm.xml just.scl
check "kbm: A a pure fifth above D" "416.250000 277.500000" "$(printf '%.6f %.6f' "$(pitch kbm.xml 69)" "$(pitch kbm.xml 62)")"

# The report: quarter-comma meantone's fifths and the check line.
conv --report qc.scl > report 2> err; check "report: status" "0 " "$? $(cat err)"
check "report: C-G, wolf" "C G 696.578 -5.377 -2.448
G#/Ab D#/Eb 737.637 +35.682 +25.691" "$(grep -E '^(C      G|G#/Ab  D#/Eb) ' report | awk '{print $1, $2, $3, $4, $5}')"
check "report: check line" "-23.460" "$(sed -n "s/^Sum of the fifths' deviations: \([^ ]*\) cents.*/\1/p" report)"

# Bad inputs. A batch goes on past failures; nothing is written for them; nothing is replaced.
printf '!\nbad\n12\n100.0\n~200.0\n' > bad.scl
conv --output-dir out bad.scl missing.scl qc.scl out/qc.scl 2> err; check "batch: status" 1 $?
check "batch: messages" "bad.scl: line 5: \"~200.0\" is not a ratio or a number of cents
missing.scl: Can't open file missing.scl for reading!
out/qc.scl: out/qc.Temperament.Hauptwerk.xml was written from qc.scl in this run and is not replaced" "$(cat err)"
check "batch: written" "out/qc.Temperament.Hauptwerk.xml out/qc.scl" "$(echo out/*)"
check "batch: the third input's ID" 900003 "$(unique_id out/qc.Temperament.Hauptwerk.xml)"
# A batch names each file after its input and numbers the IDs from --id by place; the
# message names an existing output. A degree far from equal temperament is a warning only.
mkdir ids && cp qc.scl ids/quarter.scl && cp out/qc.Temperament.Hauptwerk.xml ids/
sed 's/^ 76.048999$/ 1076.048999/' qc.scl > ids/far.scl
conv --id 1701001 --output-dir ids qc.scl ids/far.scl ids/quarter.scl 2> err; check "ids: status" 1 $?
check "ids: messages" "qc.scl: ids/qc.Temperament.Hauptwerk.xml exists already and is never replaced
ids/far.scl: line 6: degree 1 is 1076.049 cents, more than 100 cents from its place in equal temperament (100)" "$(cat err)"
check "ids: numbered by place" "1701002 1701003" \
  "$(unique_id ids/far.Temperament.Hauptwerk.xml) $(unique_id ids/quarter.Temperament.Hauptwerk.xml)"
conv --to-scl --output-dir out qc.Temperament.Hauptwerk.xml 2> err
check "to-scl: exists" "1 qc.Temperament.Hauptwerk.xml: out/qc.scl exists already and is never replaced" "$? $(cat err)"
conv --id 2147483647 qc.scl just.scl 2> err
check "ids: beyond the range" "1 vostrel-convert: the IDs of 2 inputs from 2147483647 go beyond 2147483647 (see --help)" "$? $(cat err)"
printf '12\n0\n127\n60\n69\n440\n12\n0\n2\n' > bad.kbm
conv --kbm bad.kbm -o bad.xml qc.scl 2> err; check "bad kbm" "1 bad.kbm: line 9: map entry 1 is \"2\"; only the entries 0 to 11 in order are accepted" "$? $(cat err)"
[ -e bad.xml ] && check "bad kbm: nothing written" "" "bad.xml"
printf '<Hauptwerk FileFormat="Organ"></Hauptwerk>' > organ.xml
conv --to-scl organ.xml 2> err; check "not a temperament" "1 organ.xml: This is not a Hauptwerk Temperament file!
organ.xml: Loading organ.xml failed" "$? $(cat err)"
# The fields: the window's warnings, one line each, starting with the file's name.
conv --name "$(printf 'M\xc3\xbcller')" --short-name Meantone -o fields.xml qc.scl 2> err
check "fields: warnings" "qc.scl: Field Temperament Name: Only ASCII-Characters allowed in strings! Substituting forbidden characters by blanks.
qc.scl: Only first five characters of ShortName used!" "$(cat err)"
conv -o x.xml a.scl b.scl 2> err; check "-o with two inputs" "1 vostrel-convert: -o takes a single input (see --help)" "$? $(cat err)"
for bad in "--tonic X" "--a-pitch -3"; do conv $bad qc.scl 2> /dev/null; check "$bad" 1 $?; done
conv --version | tr -d '\r' | grep -qE '^vostrel-convert [0-9]+\.[0-9]+\.[0-9]+$'; check "version" 0 $?

if [ -n "${2:-}" ]; then  # the README's tables, as make_collection TABLE --readme prints them
  cp "$3/data/temperaments/collection.tsv" table.tsv
  ${VOSTREL_RUNNER:-} "$2" table.tsv --readme > readme.md
  readme="$(sed '/^<!-- collection/,/^<!-- end/!d; //d' "$3/README.md")"
  check "README: the collection" "$readme" "$(cat readme.md)"
fi

[ "$fails" -eq 0 ] && echo "convert_cli: all checks passed"
[ "$fails" -eq 0 ]
