// collection.cpp - parses the collection table's lines. A construction is
// either "fifths" and the tempering of the twelve fifths from C (C-G, G-D,
// ..., F-C) or "ratios" and the eleven notes C# to B as ratios to C. A
// tempering is 0 (pure), w (the wolf, which takes whatever closes the
// circle) or a sum of fractions of a comma: -1/4S (syntonic), -1/6P
// (Pythagorean), -1s (schisma); "*n" repeats it for n fifths. The published
// cents to check against are "C" and the eleven notes C# to B above C, or
// "A" and the twelve offsets from equal temperament of A to G# (A first);
// a value with a '.' is cents, any other a ratio.
#include "collection.h"

#include "report.h"
#include "scala.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// ---- The entry last parsed ------------------------------------------------------
long Entry_ID;  // temperament ID
char Entry_Short[TEXT_FIELD_SIZE], Entry_Name[TEXT_FIELD_SIZE], Entry_Group[TEXT_FIELD_SIZE],
    Entry_Construction[TEXT_FIELD_SIZE], Entry_Text[TEXT_FIELD_SIZE], Entry_Author[TEXT_FIELD_SIZE],
    Entry_Year[TEXT_FIELD_SIZE], Entry_Source[TEXT_FIELD_SIZE], Entry_Reading[TEXT_FIELD_SIZE];
static char Entry_Check[TEXT_FIELD_SIZE];  // the published cents as written
double Entry_Tempering[12];                // fifths from C: cents from pure, NAN = wolf
double Entry_Published[12];                // published cents above C, NAN = none

const char *const COLLECTION_GROUPS[COLLECTION_GROUP_COUNT][2] = {
    {"well", "Well temperaments"},
    {"meantone", "Meantones"},
    {"just", "Pythagorean and just tunings"},
    {"modern", "Equal and modern temperaments"}};

const double SYNTONIC_COMMA = 1200.0 * log2(81.0 / 80.0);
const double SCHISMA = PYTHAGOREAN_COMMA - SYNTONIC_COMMA;
static const double CLOSING = 1e-9;  // cents a circle may miss closing by

// ---- Fields -----------------------------------------------------------------------

// Copies the tab-ended field at *p into field (bounded) and moves *p past
// the tab; 0 when the field is empty or too long.
static int take_field(const char **p, char *field) {
  size_t len = strcspn(*p, "\t");
  if (len == 0 || len >= TEXT_FIELD_SIZE)
    return 0;
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
  if (**p == '-' || **p == '+')
    (*p)++;
  if (**p < '0' || **p > '9')
    return 0;
  double n = strtol(*p, &end, 10), d = 1;
  if (*end == '/') {
    d = strtol(end + 1, &end, 10);
    if (d <= 0)
      return 0;
  }
  double unit = *end == 'P'   ? PYTHAGOREAN_COMMA
                : *end == 'S' ? SYNTONIC_COMMA
                : *end == 's' ? SCHISMA
                              : 0;
  if (unit == 0)
    return 0;
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
      if (!tempering_term(&p, &term))
        return 0;
      t += term;
    }
  }
  long count = 1;
  if (*p == '*')
    count = strtol(p + 1, nullptr, 10);
  else if (*p)
    return 0;
  if (count < 1 || *k + count > 12)
    return 0;
  while (count-- > 0)
    Entry_Tempering[(*k)++] = t;
  return 1;
}

// Walks the circle from C and sets Scale_Cents; the wolf closes it.
static int walk_fifths(void) {
  double sum = 0;
  int wolves = 0;
  for (double t : Entry_Tempering) {
    if (std::isnan(t))
      wolves++;
    else
      sum += t;
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

// ---- Ratios and published cents ---------------------------------------------------

// A ratio n/d or n in cents (RATIO), a number of cents (CENTS), or either, as a
// '.' tells (PITCH); 0 when malformed.
enum Value { RATIO, PITCH, CENTS };
static int pitch_value(const char *word, Value kind, double *cents) {
  char *end = nullptr;
  if (kind == CENTS || (kind == PITCH && strchr(word, '.'))) {
    *cents = strtod(word, &end);
    return *end == '\0' && end != word && std::isfinite(*cents);
  }
  long n = strtol(word, &end, 10), d = *end == '/' ? strtol(end + 1, &end, 10) : 1;
  *cents = 1200.0 * log2((double)n / d);
  return *end == '\0' && n > 0 && d > 0;
}

// The count values after the first word of words into to[first..]; 0 after a message.
static int parse_values(char *words, int count, Value kind, double *to, int first,
                        const char *what) {
  int k = 0;
  for (char *w = strtok(words, " "); w; w = strtok(nullptr, " "), k++)
    if (k >= count || !pitch_value(w, kind, &to[first + k])) {
      alertf("%s: \"%s\" is not %s", Entry_Short, w, what);
      return 0;
    }
  if (k != count)
    alertf("%s: %d values instead of %d in %s", Entry_Short, k, count, what);
  return k == count;
}

// The published cents: "-", "C" and eleven notes above C, or "A" and twelve offsets from A.
static int parse_check(char *words) {
  for (double &c : Entry_Published)
    c = NAN;
  if (strcmp(words, "-") == 0)
    return 1;
  double offsets[12];
  if (strncmp(words, "C ", 2) == 0) {
    Entry_Published[0] = 0.0;
    return parse_values(words + 2, 11, PITCH, Entry_Published, 1, "a published pitch of C# to B");
  }
  if (strncmp(words, "A ", 2) != 0) {
    alertf("%s: the published cents start with C or A", Entry_Short);
    return 0;
  }
  if (!parse_values(words + 2, 12, CENTS, offsets, 0, "a published offset of A to G#"))
    return 0;
  for (int k = 0; k < 12; k++)  // note k above C is offsets[(k + 3) % 12] (A first)
    Entry_Published[k] = 100 * k + offsets[(k + 3) % 12] - offsets[3];
  return 1;
}

// ---- Entry ------------------------------------------------------------------------------

int parse_entry(const char *line) {
  if (line[0] == '#' || line[strspn(line, " \t\r\n")] == '\0')
    return -1;
  char id[TEXT_FIELD_SIZE], *end = nullptr;
  char *fields[] = {id,         Entry_Short,  Entry_Name, Entry_Group,  Entry_Construction,
                    Entry_Text, Entry_Author, Entry_Year, Entry_Source, Entry_Reading,
                    Entry_Check};
  const char *p = line;
  Entry_Short[0] = '\0';
  for (char *field : fields)
    if (!take_field(&p, field)) {
      alertf("%.40s: a line needs eleven fields, each of 1 to %d characters", line,
             TEXT_FIELD_SIZE - 1);
      return 0;
    }
  Entry_ID = strtol(id, &end, 10);
  if (*end || Entry_ID <= 0) {
    alertf("%s: \"%s\" is not a temperament ID", Entry_Short, id);
    return 0;
  }
  Entry_Check[strcspn(Entry_Check, "\r\n")] = '\0';
  int group = 0;
  while (group < COLLECTION_GROUP_COUNT && strcmp(Entry_Group, COLLECTION_GROUPS[group][0]))
    group++;
  if (group == COLLECTION_GROUP_COUNT) {
    alertf("%s: \"%s\" is not a group", Entry_Short, Entry_Group);
    return 0;
  }
  char words[TEXT_FIELD_SIZE];
  memcpy(words, Entry_Check, sizeof words);
  if (!parse_check(words))
    return 0;
  memcpy(words, Entry_Construction, sizeof words);
  Scale_Cents[0] = 0.0;
  if (strncmp(words, "fifths ", 7) == 0)
    return parse_fifths(words + 7);
  if (strncmp(words, "ratios ", 7) != 0) {
    alertf("%s: a construction starts with \"fifths\" or \"ratios\"", Entry_Short);
    return 0;
  }
  for (double &t : Entry_Tempering)
    t = NAN;
  return parse_values(words + 7, 11, RATIO, Scale_Cents, 1, "a ratio of the notes C# to B");
}

void entry_file_stem(char *stem) {
  size_t n = 0;
  for (const char *c = Entry_Name; *c && n < TEXT_FIELD_SIZE - 1; c++)
    stem[n++] = strchr("/\\:*?\"<>|", *c) ? '-' : *c;
  stem[n] = '\0';
}
