// report.h - the tuner's report of a temperament: offsets, the twelve
// fifths, major and minor thirds with their deviations from pure and beat
// rates; and a fifth's tempering named as a fraction of a comma.
#ifndef VOSTREL_REPORT_H
#define VOSTREL_REPORT_H

#include <cstddef>
#include <cstdio>

// Pure intervals in cents: the fifth 3/2, the major third 5/4, the minor
// third 6/5, and the Pythagorean comma that twelve pure fifths exceed seven
// octaves by.
extern const double PURE_FIFTH, PURE_THIRD, PURE_MINOR_THIRD, PYTHAGOREAN_COMMA;

// Prints the report of the temperament in APitch, DCent and Pitch (after a
// full computation) to f, under the title.
void print_report(FILE *f, const char *title);

// Names a fifth's tempering (cents from pure) in the fifths grammar as the
// simpler fraction of the Pythagorean or the syntonic comma ("-1/4P",
// "-1S", "0" when pure), or "" when it is neither with a denominator up to
// 12. Tolerant enough for offsets typed to three decimals.
void comma_fraction(char *text, size_t size, double deviation);

#endif
