// fifths.cpp - reads the tempering of the twelve fifths and walks the circle
// from C into the scale. Every message goes through the alert seam, one per
// refusal.
#include "fifths.h"

#include "report.h"
#include "scala.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char *const FIFTH_NAMES[FIFTH_COUNT] = {"C-G",   "G-D",   "D-A",   "A-E",   "E-B",  "B-F#",
                                              "F#-C#", "C#-G#", "G#-Eb", "Eb-Bb", "Bb-F", "F-C"};

const double SYNTONIC_COMMA = 1200.0 * log2(81.0 / 80.0);
const double SCHISMA = PYTHAGOREAN_COMMA - SYNTONIC_COMMA;
const double CLOSING = 0.01;

static const char BLANKS[] = " \t\r\n";
enum { MAX_REPEAT = 1000 };  // the largest n of *n: far beyond any circle

// ---- Terms ------------------------------------------------------------------------

// The unsigned decimal number at s (digits and at most one '.', no
// exponent) into *value; its length, 0 when there is none.
static size_t read_number(const char *s, double *value) {
  size_t len = strspn(s, "0123456789.");
  char *end = nullptr;
  *value = strtod(s, &end);
  return len > 0 && end == s + len ? len : 0;
}

int read_term(const char **p, int ratios, double *cents, int *decimals) {
  const char *s = *p + (**p == '-' || **p == '+');
  double n = 0, d = 1;
  size_t len = read_number(s, &n);
  if (len == 0)
    return 0;
  const char *dot = (const char *)memchr(s, '.', len);
  *decimals = dot ? (int)(s + len - dot - 1) : 0;
  const char *end = s + len;
  if (*end == '/') {
    size_t dlen = read_number(end + 1, &d);
    if (dlen == 0 || !(d > 0))
      return 0;
    end += 1 + dlen;
  }
  double unit = *end == 'P'   ? PYTHAGOREAN_COMMA
                : *end == 'S' ? SYNTONIC_COMMA
                : *end == 's' ? SCHISMA
                              : 0;
  if (unit != 0) {
    *cents = n / d * unit;
    *decimals = -1;
    end++;
  } else if (s[len] == '/') {  // a ratio
    if (!ratios || !(n > 0))
      return 0;
    *cents = 1200.0 * log2(n / d);
    *decimals = -1;
  } else {
    *cents = n;
  }
  if (**p == '-')
    *cents = -*cents;
  *p = end;
  return std::isfinite(*cents);
}

// ---- Words ------------------------------------------------------------------------

// The word of len characters at w: its tempering (NAN for w) and how many
// fifths it stands for; 0 when malformed.
static int read_word(const char *w, size_t len, double *tempering, long *count) {
  const char *p = w, *end = w + len;
  if (*p == 'w') {
    *tempering = NAN;
    p++;
  } else {
    *tempering = 0;
    for (int first = 1; p < end && *p != '*'; first = 0) {
      double cents = 0;
      int decimals = 0;
      if ((!first && *p != '-' && *p != '+') || !read_term(&p, 0, &cents, &decimals))
        return 0;
      *tempering += cents;
    }
    if (p == w)
      return 0;
  }
  *count = 1;
  if (p < end && *p == '*') {
    char *after = nullptr;
    *count = strtol(p + 1, &after, 10);
    if (after == p + 1 || *count < 1 || *count > MAX_REPEAT)
      return 0;
    p = after;
  }
  return p == end;
}

int read_fifths(const char *text, double tempering[FIFTH_COUNT]) {
  long k = 0;
  int wolves = 0;
  for (const char *w = text + strspn(text, BLANKS); *w; w += strspn(w, BLANKS)) {
    size_t len = strcspn(w, BLANKS);
    double t = 0;
    long count = 0;
    if (!read_word(w, len, &t, &count)) {
      alertf(
          "\"%.*s\" is not the tempering of a fifth: write 0 (pure), w (the wolf), parts of "
          "a comma such as -1/4P, -1/6S, -1s or -1/4P+1/16S, or cents such as -3.910, each "
          "with *n for n fifths alike",
          len > 40 ? 40 : (int)len, w);
      return 0;
    }
    wolves += std::isnan(t) ? (int)count : 0;
    for (long i = 0; i < count; i++, k++)
      if (k < FIFTH_COUNT)
        tempering[k] = t;
    w += len;
  }
  if (k != FIFTH_COUNT) {
    alertf(
        "%ld fifths instead of 12: give C-G, G-D, D-A, A-E, E-B, B-F#, F#-C#, C#-G#, G#-Eb, "
        "Eb-Bb, Bb-F and F-C in this order",
        k);
    return 0;
  }
  if (wolves > 1) {
    alertf("%d fifths are w: only one fifth, the wolf, can take what closes the circle", wolves);
    return 0;
  }
  return 1;
}

// ---- The circle ---------------------------------------------------------------------

double fifths_gap(const double tempering[FIFTH_COUNT], int *wolves) {
  double sum = 0;
  *wolves = 0;
  for (int k = 0; k < FIFTH_COUNT; k++) {
    if (std::isnan(tempering[k]))
      ++*wolves;
    else
      sum += tempering[k];
  }
  return -PYTHAGOREAN_COMMA - sum;
}

int fifths_to_scale(const double tempering[FIFTH_COUNT]) {
  int wolves = 0;
  double gap = fifths_gap(tempering, &wolves);
  if (wolves == 0 && fabs(gap) > CLOSING) {
    alertf(
        "the fifths do not close the circle: together they are %.3f cents too %s (twelve "
        "fifths must be one Pythagorean comma, 23.460 cents, narrow in all); a w in place of "
        "one fifth would close it",
        fabs(gap), gap < 0 ? "wide" : "narrow");
    return 0;
  }
  double at = 0;
  Scale_Cents[0] = 0.0;
  for (int k = 0; k < FIFTH_COUNT - 1; k++) {
    at = fmod(at + PURE_FIFTH + (std::isnan(tempering[k]) ? gap : tempering[k]), 1200.0);
    at += at < 0 ? 1200.0 : 0.0;
    Scale_Cents[7 * (k + 1) % 12] = at;
  }
  return 1;
}
