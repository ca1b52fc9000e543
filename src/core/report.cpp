// report.cpp - the tuner's report. Interval sizes and beat rates come from
// the computed pitches of the octave from middle C (MIDI notes 60 to 71)
// and the notes above them, exactly as the host file holds them.
#include "report.h"

#include "temperament.h"
#include "scala.h"

#include <cmath>

const double PURE_FIFTH = 1200.0 * log2(1.5);
const double PURE_THIRD = 1200.0 * log2(1.25);
const double PYTHAGOREAN_COMMA = 1200.0 * log2(531441.0 / 524288.0);

enum { MIDDLE_C = 60 };  // the lower notes of the intervals: MIDI 60 to 71
// The MIDI note of pitch class i in the octave from middle C.
static int middle_octave_note(int i) {
  return MIDDLE_C + (i - C_INDEX + 12) % 12;
}

// A value as printed with three decimals: never "-0.000".
static double shown(double v) {
  return fabs(v) < 0.0005 ? 0.0 : v;
}

// The interval between two notes' computed pitches, in cents.
static double cents_between(int lower, int upper) {
  return 1200.0 * log2(Pitch[upper] / Pitch[lower]);
}

// Prints one interval row per note along the circle of fifths from C:
// size, deviation from pure and the beat rate of the coinciding partials
// (lower partial pl, upper pu; negative when the interval is narrow).
// Returns the sum of the deviations.
static double interval_rows(FILE *f, int semitones, double pure, int pl, int pu) {
  double sum = 0;
  for (int k = 0; k < 12; k++) {
    int lower = middle_octave_note((C_INDEX + 7 * k) % 12);
    int upper = lower + semitones;
    double size = cents_between(lower, upper);
    double beats = pu * Pitch[upper] - pl * Pitch[lower];
    fprintf(f, "%-6s %-6s %11.3f %+10.3f %+10.3f\n", Tonname[note_class(lower)],
            Tonname[note_class(upper)], size, shown(size - pure), shown(beats));
    sum += size - pure;
  }
  return sum;
}

// Offsets, fifths, thirds and the check line, in that order.
void print_report(FILE *f, const char *title) {
  fprintf(f, "%s\nA = %.6f Hz\n\n", title, APitch);
  fprintf(f, "%-13s %10s %14s\n", "Note", "Offset", "Hz from C4");
  for (int i = 0; i < 12; i++)
    fprintf(f, "%-13s %+10.3f %14.6f\n", Tonname[i], shown(DCent[i]), Pitch[middle_octave_note(i)]);
  fprintf(f, "\n%-13s %11s %10s %10s\n", "Fifth", "Cents", "From 3/2", "Beats/s");
  double sum = interval_rows(f, 7, PURE_FIFTH, 3, 2);
  fprintf(f, "\n%-13s %11s %10s %10s\n", "Major third", "Cents", "From 5/4", "Beats/s");
  interval_rows(f, 4, PURE_THIRD, 5, 4);
  fprintf(f,
          "\nSum of the fifths' deviations: %+.3f cents (a closed circle: %+.3f, "
          "minus one Pythagorean comma)\n",
          shown(sum), -PYTHAGOREAN_COMMA);
}
