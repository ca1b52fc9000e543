// report.h - the tuner's report of a temperament: offsets, the twelve
// fifths and major thirds with their deviations from pure and beat rates.
#ifndef VOSTREL_REPORT_H
#define VOSTREL_REPORT_H

#include <cstdio>

// Pure intervals in cents: the fifth 3/2, the major third 5/4, and the
// Pythagorean comma that twelve pure fifths exceed seven octaves by.
extern const double PURE_FIFTH, PURE_THIRD, PYTHAGOREAN_COMMA;

// Prints the report of the temperament in APitch, DCent and Pitch (after a
// full computation) to f, under the title.
void print_report(FILE *f, const char *title);

#endif
