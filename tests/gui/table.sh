#!/usr/bin/env bash
# The table of historical temperaments in the user guide: each row typed
# into the real window and generated gives a file whose 133 pitches are
# those of the row's cent values.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"

# Short name, then the offsets of A, A#/Bb, B, C, ..., G#/Ab.
rows=(
  "QCMT 0 +17.108 -6.843 +10.265 -13.686 +3.422 +20.529 -3.422 +13.686 -10.265 +6.843 -17.108"
  "WM3 0 +7.820 +3.910 +11.730 +1.955 +3.910 +5.865 +1.955 +9.775 0 +7.820 +3.910"
  "KB3 0 +6.355 -1.467 +10.265 +0.490 +3.422 +4.400 -3.422 +8.310 +0.489 +6.843 +2.445"
  "VALL 0 +5.865 -3.910 +5.865 0 +1.955 +3.910 -1.955 +7.820 -1.955 +3.910 +1.955"
  "YNG1 0 +5.987 -1.955 +6.232 +0.122 +2.077 +4.032 -2.077 +6.110 -1.833 +4.155 +2.077"
)

start_program
for row in "${rows[@]}"; do
  read -r -a v <<< "$row"
  # Tab twice goes from a cent field past its pitch output to the next
  # cent field, whose text it selects: one typed string fills the column.
  set_field $(xy_cent 0) ""
  xdotool type -- "$(printf '%s\t\t' "${v[@]:1}")"
  set_field $XY_SHORT "${v[0]}"
  click $XY_GENERATE
  dialog "key Return"
  file="$TEMPDIR/${v[0]}.Temperament.Hauptwerk.xml"
  _complete() { tail -1 "$file" 2>/dev/null | tr -d '\r' | grep -qx '</Hauptwerk>'; }
  poll 50 _complete || fail "no complete file $file"
  printf '%s\n' "$row" >> "$TMP/rows"
done
xdotool windowfocus --sync "$WIN"
xdotool key Escape
wait_exit
[ "$RC" = 0 ] || fail "exit status $RC"

python3 - "$TMP/rows" "$TEMPDIR" <<'EOF' || fail "pitches differ from the table"
import math, re, sys
# The table gives cents to three decimals, so each value stands for a true
# value within 0.0005 cent: that is the tolerance, about 2.9e-7 of the
# frequency. Typing narrows the offsets to single precision, which moves a
# pitch by less than 1e-6 cent, far inside it.
TOL_CENT = 0.0005
bad = 0
for line in open(sys.argv[1]):
    short, *cents = line.split()
    cents = [float(c) for c in cents]
    text = open("%s/%s.Temperament.Hauptwerk.xml" % (sys.argv[2], short)).read()
    notes = re.findall(r"<MIDINoteNumberOnEightFootStop>(\d+)</MIDINoteNumberOnEightFootStop>"
                       r"\s*<PitchHz>([^<]*)</PitchHz>", text)
    if [int(n) for n, _ in notes] != list(range(133)):
        print(short, "notes are not 0..132"); bad += 1; continue
    hz = {int(n): float(p) for n, p in notes}
    for n in range(133):
        # Directly per note, without going through the reference octave.
        want = 440.0 * math.exp(math.log(2) * ((n - 69) * 100 + cents[(n - 69) % 12]) / 1200)
        off = 1200 * math.log2(hz[n] / want)
        if abs(off) > TOL_CENT:
            print(short, "note", n, hz[n], "expected", want); bad += 1
# Values quoted to four decimals of a Hz, independent of the table's cents.
quoted = {("WM3", 60): 263.4042, ("WM3", 64): 330.0000, ("WM3", 68): 416.2437,
          ("QCMT", 60): 263.1814, ("QCMT", 64): 328.9767}
for (short, n), value in quoted.items():
    text = open("%s/%s.Temperament.Hauptwerk.xml" % (sys.argv[2], short)).read()
    got = float(re.search(r"<MIDINoteNumberOnEightFootStop>%d<.*?<PitchHz>([^<]*)<" % n,
                          text, re.S).group(1))
    if round(got, 4) != value:
        print(short, "note", n, got, "is not", value); bad += 1
sys.exit(1 if bad else 0)
EOF
pass
