// collection.cpp - parses the collection table's constructions. A
// construction is either "fifths" and the tempering of the twelve fifths
// from C (C-G, G-D, ..., F-C) or "ratios" and the eleven notes C# to B as
// ratios to C. A tempering is 0 (pure), w (the wolf, which takes whatever
// closes the circle) or a sum of fractions of a comma: -1/4S (syntonic),
// -1/6P (Pythagorean), -1s (schisma); "*n" repeats it for n fifths.
#include "collection.h"

#include "report.h"
#include "scala.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// ---- The entry last parsed ------------------------------------------------------
char Entry_Short[TEXT_FIELD_SIZE];         // short name and file name
char Entry_Name[TEXT_FIELD_SIZE];          // temperament name
char Entry_Construction[TEXT_FIELD_SIZE];  // construction as written
char Entry_Text[TEXT_FIELD_SIZE];          // construction in words
double Entry_Tempering[12];                // fifths from C: cents from pure, NAN = wolf

const double SYNTONIC_COMMA = 1200.0 * log2(81.0 / 80.0);
const double SCHISMA = PYTHAGOREAN_COMMA - SYNTONIC_COMMA;
static const double CLOSING = 1e-9;  // cents a circle may miss closing by

// ---- Fields -----------------------------------------------------------------------

// Copies the tab-ended field at *p into field (bounded) and moves *p past
// the tab; 0 when the field is empty or too long.
static int take_field(const char **p, char *field) {
  size_t len = strcspn(*p, "\t");
  if (len == 0 || len >= TEXT_FIELD_SIZE) return 0;
  memcpy(field, *p, len);
  field[len] = '\0';
  *p += len + ((*p)[len] == '\t');
  return 1;
}

// ---- Fifths -----------------------------------------------------------------------

// One term such as -1/4S at *p, in cents; moves *p past it. 0 when malformed.
static int tempering_term(const char **p, double *cents) {
  char *end = nullptr;
  double sign = **p == '-' ? -1 : 1;
  if (**p == '-' || **p == '+') (*p)++;
  if (**p < '0' || **p > '9') return 0;
  double n = strtol(*p, &end, 10), d = 1;
  if (*end == '/') {
    d = strtol(end + 1, &end, 10);
    if (d <= 0) return 0;
  }
  double unit = *end == 'P' ? PYTHAGOREAN_COMMA : *end == 'S' ? SYNTONIC_COMMA
              : *end == 's' ? SCHISMA : 0;
  if (unit == 0) return 0;
  *cents = sign * n / d * unit;
  *p = end + 1;
  return 1;
}

// One tempering word: 0, w or a sum of terms, with an optional *n. Fills
// count entries of Entry_Tempering from *k; 0 when malformed or too many.
static int tempering_word(const char *word, int *k) {
  double t = 0;
  const char *p = word;
  if (*p == 'w' || *p == '0') {
    t = *p == 'w' ? NAN : 0.0;
    p++;
  } else {
    while (*p && *p != '*') {
      double term = 0;
      if (!tempering_term(&p, &term)) return 0;
      t += term;
    }
  }
  long count = 1;
  if (*p == '*') count = strtol(p + 1, nullptr, 10);
  else if (*p) return 0;
  if (count < 1 || *k + count > 12) return 0;
  while (count-- > 0) Entry_Tempering[(*k)++] = t;
  return 1;
}

// Walks the circle from C and sets Scale_Cents; the wolf closes it.
static int walk_fifths(void) {
  double sum = 0;
  int wolves = 0;
  for (double t : Entry_Tempering) {
    if (std::isnan(t)) wolves++;
    else sum += t;
  }
  if (wolves > 1 || (wolves == 0 && fabs(sum + PYTHAGOREAN_COMMA) > CLOSING)) {
    alertf("%s: the fifths do not close the circle (%+.9f cents left)", Entry_Short,
           sum + PYTHAGOREAN_COMMA);
    return 0;
  }
  double at = 0;
  for (int k = 0; k < 11; k++) {
    double t = std::isnan(Entry_Tempering[k]) ? -PYTHAGOREAN_COMMA - sum : Entry_Tempering[k];
    at = fmod(at + PURE_FIFTH + t, 1200.0);
    Scale_Cents[7 * (k + 1) % 12] = at;
  }
  return 1;
}

// The twelve temperings after "fifths"; 0 after a message.
static int parse_fifths(char *words) {
  int k = 0;
  for (char *w = strtok(words, " "); w; w = strtok(nullptr, " "))
    if (!tempering_word(w, &k)) {
      alertf("%s: \"%s\" is not a tempering", Entry_Short, w);
      return 0;
    }
  if (k != 12) {
    alertf("%s: %d fifths instead of 12", Entry_Short, k);
    return 0;
  }
  return walk_fifths();
}

// ---- Ratios -------------------------------------------------------------------------

// The eleven ratios after "ratios"; 0 after a message.
static int parse_ratios(char *words) {
  int k = 1;
  for (char *w = strtok(words, " "); w; w = strtok(nullptr, " "), k++) {
    char *end = nullptr;
    long n = strtol(w, &end, 10), d = *end == '/' ? strtol(end + 1, &end, 10) : 1;
    if (k > 11 || *end || n <= 0 || d <= 0) {
      alertf("%s: \"%s\" is not a ratio of the notes C# to B", Entry_Short, w);
      return 0;
    }
    Scale_Cents[k] = 1200.0 * log2((double)n / d);
  }
  for (double &t : Entry_Tempering) t = NAN;
  if (k != 12) alertf("%s: %d ratios instead of 11", Entry_Short, k - 1);
  return k == 12;
}

// ---- Entry ------------------------------------------------------------------------------

int parse_entry(const char *line) {
  if (line[0] == '#' || line[strspn(line, " \t\r\n")] == '\0') return -1;
  const char *p = line;
  Entry_Short[0] = '\0';
  if (!take_field(&p, Entry_Short) || !take_field(&p, Entry_Name) ||
      !take_field(&p, Entry_Construction) || !take_field(&p, Entry_Text)) {
    alertf("%s: a line needs four fields: short name, name, construction, words", line);
    return 0;
  }
  Entry_Text[strcspn(Entry_Text, "\r\n")] = '\0';
  char words[TEXT_FIELD_SIZE];
  memcpy(words, Entry_Construction, sizeof words);
  Scale_Cents[0] = 0.0;
  if (strncmp(words, "fifths ", 7) == 0) return parse_fifths(words + 7);
  if (strncmp(words, "ratios ", 7) == 0) return parse_ratios(words + 7);
  alertf("%s: a construction starts with \"fifths\" or \"ratios\"", Entry_Short);
  return 0;
}
