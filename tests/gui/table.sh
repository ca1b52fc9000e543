#!/usr/bin/env bash
# The guide's table of historical temperaments: each row typed into the real window and generated
# gives a file whose 133 pitches are those of the row's cent values.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
gui_begin "$@"
# Short name, then the offsets of A, A#/Bb, B, C, ..., G#/Ab. Given to three decimals, each stands
# for a true value within 0.0005 cent, check_pitches' tolerance; single precision moves a pitch by
# less than 1e-6 cent.
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
  # Tab twice goes past the pitch output to the next cent field, selecting its text.
  set_field $(xy_cent 0) ""
  xdotool type -- "$(printf '%s\t\t' "${v[@]:1}")"
  set_field $XY_SHORT "${v[0]}"
  generate "$TEMPDIR/${v[0]}.Temperament.Hauptwerk.xml" 1
  check_pitches "$TEMPDIR/${v[0]}.Temperament.Hauptwerk.xml" 440 "${v[@]:1}"
done
quit

# Values quoted in the guide to four decimals of a Hz, independent of its cents.
for quoted in "WM3 60 263.4042" "WM3 64 330.0000" "WM3 68 416.2437" "QCMT 60 263.1814" \
  "QCMT 64 328.9767"; do
  set -- $quoted
  hz="$(grep -A1 "<MIDINoteNumberOnEightFootStop>$2<" "$TEMPDIR/$1.Temperament.Hauptwerk.xml" |
    sed -n 's/.*<PitchHz>\(.*\)<\/PitchHz>.*/\1/p')"
  [ "$(printf '%.4f' "$hz")" = "$3" ] || fail "$1 note $2 is $hz, not $3"
done
