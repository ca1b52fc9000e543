// fifths.h - a temperament by its twelve fifths, as organists and tuners
// describe it: "C-G, G-D, D-A and B-F# a quarter Pythagorean comma narrow,
// the rest pure". One grammar for the collection table, the converter's
// --fifths and the browser page:
//
//   twelve words, the fifths C-G G-D D-A A-E E-B B-F# F#-C# C#-G# G#-Eb
//   Eb-Bb Bb-F F-C in order, each the fifth's tempering from pure:
//     0            pure
//     w            the wolf, which takes whatever closes the circle
//     -1/4P        a part of the Pythagorean comma (P), the syntonic comma
//     -1/6S -1s    (S) or the schisma (s); - narrow, + or nothing wide
//     -1/4P+1/16S  a sum of such parts
//     -3.910       plain cents
//   and any word with *n stands for n fifths alike: "-1/4P*3 0 0 -1/4P 0*6".
#ifndef VOSTREL_FIFTHS_H
#define VOSTREL_FIFTHS_H

enum { FIFTH_COUNT = 12 };
extern const char *const FIFTH_NAMES[FIFTH_COUNT];  // "C-G", "G-D", ..., "F-C"

// Syntonic comma 81/80 and schisma (Pythagorean minus syntonic), cents.
extern const double SYNTONIC_COMMA, SCHISMA;

// How far a circle may miss closing, in cents: twelve fifths typed in cents
// to three decimals. The fifth F-C takes up the difference.
extern const double CLOSING;

// Reads the twelve words into tempering (cents from pure, NAN for the wolf);
// 1 on success, 0 after one message: a word that is not a tempering, a count
// other than twelve, or more than one wolf.
int read_fifths(const char *text, double tempering[FIFTH_COUNT]);

// What the fifths but the wolf miss closing the circle by, in cents (the
// wolf's tempering when there is one), and in *wolves their number. Silent.
double fifths_gap(const double tempering[FIFTH_COUNT], int *wolves);

// Walks the circle from C into Scale_Cents, the wolf closing it (tempering
// as read_fifths gives it: one wolf at most); 1 on success, 0 after one
// message when the circle does not close.
int fifths_to_scale(const double tempering[FIFTH_COUNT]);

// One term of a sum in cents at *p, moving *p past it: a part of a comma
// (1/4P, -1/6S, 1s), plain cents (-3.910) or, when ratios is set, a ratio
// (5/4). *decimals: the decimals of plain cents, -1 for an exact term.
// 0 when malformed.
int read_term(const char **p, int ratios, double *cents, int *decimals);

#endif
