#!/usr/bin/env bash
# The converter's and the collection's cases, each a folder of cases/: its input files, case.ini
# and expect/. case.ini holds commands ("run = ...", run by bash in a copy of the folder, with
# convert and collection for the two programs, table for make_collection on a table of the lines
# given, $TABLE the collection table and $SEP the folder separator a user of the system types),
# each followed by what it prints ("out = ", "err = ") and
# its "exit = " status; expect/ holds the files the commands write. A case passes when its commands
# print its ini again and the folder ends as its inputs and expect/, byte for byte (a Windows
# build's carriage returns left out). Then --fifths of every entry's construction must give the
# pitches of the entry's file (its fifths in cents, to 12 decimals, where it gives notes), and the
# README's tables must be the table's.
#   run.sh CONVERT MAKE_COLLECTION SOURCE COLLECTION   (VOSTREL_RUNNER runs CONVERT, e.g. wine)
set -uo pipefail
program=$1 make_collection=$2 source=$3 collection_dir=$4
convert() { ${VOSTREL_RUNNER:-} "$program" "$@"; }
collection() { "$make_collection" "$@"; }
table() {  # table LINES [ARGUMENT]: make_collection on a table of LINES (printf's \t, \n), into .
  printf '%b' "$1" > table.tsv
  collection table.tsv "${2:-.}"
  local status=$?
  rm table.tsv
  return $status
}
export TABLE=$source/data/temperaments/collection.tsv SEP=/
[ -z "${VOSTREL_RUNNER:-}" ] || SEP='\'
tmp=$(mktemp -d /tmp/vostrel-convert-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fails=0
fail() {
  echo "FAIL $1"
  fails=$((fails + 1))
}

for case in "$source"/tests/convert/cases/*/; do
  name=$(basename "$case")
  mkdir "$tmp/$name" "$tmp/$name.expected"
  cp -r "$case". "$tmp/$name"
  cp -r "$case". "$tmp/$name.expected"
  rm -rf "$tmp/$name/case.ini" "$tmp/$name/expect" "$tmp/$name.expected/case.ini"
  [ ! -d "$case"expect ] || cp -r "$case"expect/. "$tmp/$name.expected"
  rm -rf "$tmp/$name.expected/expect"
  while IFS= read -r line; do
    [[ $line == "run = "* ]] || continue
    echo "$line"
    (cd "$tmp/$name" && eval "${line#run = }") < /dev/null > "$tmp/out" 2> "$tmp/err"
    status=$?
    sed 's/^/out = /' "$tmp/out"
    sed 's/^/err = /' "$tmp/err"
    echo "exit = $status"
  done < "$case/case.ini" | tr -d '\r' > "$tmp/$name.ini"
  grep -v -e '^;' -e '^$' "$case/case.ini" | diff - "$tmp/$name.ini" || fail "$name: what it prints"
  diff -r --strip-trailing-cr "$tmp/$name.expected" "$tmp/$name" || fail "$name: the files"
done

pitches() { tr -d '\r' < "$1" | sed -n 's|.*<PitchHz>\(.*\)</PitchHz>|\1|p'; }
while IFS=$'\t' read -r id _ name _ construction _; do
  [[ $id == [0-9]* ]] || continue
  fifths=${construction#fifths }
  [[ $construction == fifths* ]] || fifths=$(awk -v notes="$construction" 'BEGIN {
    n = split(notes, w, " ")
    for (k = 2; k <= n; k++) {
      split(w[k] "/1", r, "/")
      c[k - 1] = w[1] == "cents" ? w[k] : 1200 * log(r[1] / r[2]) / log(2)
    }
    for (k = 0; k < 12; k++)
      printf "%.12f ", (c[7 * (k + 1) % 12] - c[7 * k % 12] + 2400) % 1200 - 1200 * log(1.5) / log(2)
  }')
  rm -f "$tmp/fifths.xml"
  (cd "$tmp" && convert --fifths "$fifths" -o fifths.xml)
  paste <(pitches "$tmp/fifths.xml") <(pitches "$collection_dir/${name//[\/\\:*?\"<>|]/-}.Temperament.Hauptwerk.xml") |
    awk 'NF == 2 && ($1 - $2) ^ 2 <= 1e-24 * $2 ^ 2 { n++ } END { exit n != 133 }' ||
    fail "--fifths $fifths: not the pitches of $name"
done < "$TABLE"

collection "$TABLE" --readme | diff <(sed '/^<!-- collection/,/^<!-- end/!d; //d' "$source/README.md") - ||
  fail "the README's collection tables are not the table's"

[ "$fails" -eq 0 ] && echo "convert cases: all passed"
[ "$fails" -eq 0 ]
