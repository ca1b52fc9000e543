// report.cpp - the tuner's report. Interval sizes and beat rates come from
// the computed pitches of the octave from middle C (MIDI notes 60 to 71)
// and the notes above them, exactly as the host file holds them.
#include "report.h"

#include "fifths.h"
#include "scala.h"
#include "temperament.h"

#include <cmath>
#include <cstdlib>

const double PURE_FIFTH = 1200.0 * log2(1.5);
const double PURE_THIRD = 1200.0 * log2(1.25);
const double PURE_MINOR_THIRD = 1200.0 * log2(1.2);
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
  fprintf(f, "\n%-13s %11s %10s %10s\n", "Minor third", "Cents", "From 6/5", "Beats/s");
  interval_rows(f, 3, PURE_MINOR_THIRD, 6, 5);
  fprintf(f,
          "\nSum of the fifths' deviations: %+.3f cents (a closed circle: %+.3f, "
          "minus one Pythagorean comma)\n",
          shown(sum), -PYTHAGOREAN_COMMA);
}

// ---- Fractions of a comma ------------------------------------------------------------

// The smallest denominator n up to 12 that gives deviation as m/n of the
// comma (at most two commas), with m; 0 when there is none.
static int comma_denominator(double deviation, double comma, int *m) {
  for (int n = 1; n <= 12; n++) {
    *m = (int)std::lround(deviation / comma * n);
    if (fabs(deviation - *m * comma / n) < 0.0015 && abs(*m) <= 2 * n)
      return n;
  }
  return 0;
}

void comma_fraction(char *text, size_t size, double deviation) {
  int mp = 0, ms = 0;
  int np = comma_denominator(deviation, PYTHAGOREAN_COMMA, &mp);
  int ns = comma_denominator(deviation, SYNTONIC_COMMA, &ms);
  // Eleven Pythagorean commas are nearly twelve syntonic ones (1/12 P, the
  // equal fifth's tempering, is 1/11 S within 0.0001 cent): the syntonic
  // fraction is the simpler one only when its denominator is smaller by two.
  int syntonic = ns && (!np || ns + 1 < np);
  int m = syntonic ? ms : mp, n = syntonic ? ns : np;
  char comma = syntonic ? 'S' : 'P';
  if (n == 0)
    copy_text(text, size, "");
  else if (m == 0)
    copy_text(text, size, "0");
  else if (n == 1)
    snprintf(text, size, "%+d%c", m, comma);
  else
    snprintf(text, size, "%+d/%d%c", m, n, comma);
}
