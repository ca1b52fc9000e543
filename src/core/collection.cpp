// collection.cpp - parses the collection table's lines. A construction is
// either "fifths" and the tempering of the twelve fifths from C in the
// grammar of fifths.h, or "ratios" and the eleven notes C# to B as ratios to
// C. The published cents to check against are "C" and the eleven notes C# to
// B above C, or "A" and the twelve offsets from equal temperament of A to G#
// (A first); a value with a '.' is cents, any other a ratio.
#include "collection.h"

#include "fifths.h"
#include "scala.h"

#include <cmath>
#include <cstdio>
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

static void (*outer_alert)(const char *);  // the seam's handler while an entry is read

// Messages about the entry's fifths, with its short name in front.
static void entry_alert(const char *text) {
  char line[TEXT_FIELD_SIZE + 1024];
  snprintf(line, sizeof line, "%s: %s", Entry_Short, text);
  outer_alert(line);
}

// The twelve temperings after "fifths" into Entry_Tempering and the scale; 0 after a message.
static int parse_fifths(const char *words) {
  outer_alert = dialog_alert;
  dialog_alert = entry_alert;
  int ok = read_fifths(words, Entry_Tempering) && fifths_to_scale(Entry_Tempering);
  dialog_alert = outer_alert;
  return ok;
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
