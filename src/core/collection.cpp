// collection.cpp - parses the collection table's lines. A construction is
// "fifths" and the tempering of the twelve fifths from C in the grammar of
// fifths.h, "ratios" and the eleven notes C# to B as ratios to C, or "cents"
// and the eleven notes in cents above C. The checks (the last field) are what
// the sources print, or the features they name, each compared with the
// pitches the construction gives; see the table's header for their grammar.
#include "collection.h"

#include "report.h"
#include "scala.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// ---- The entry last parsed ------------------------------------------------------
long Entry_ID;  // temperament ID
char Entry_Short[TEXT_FIELD_SIZE], Entry_Name[TEXT_FIELD_SIZE], Entry_Group[TEXT_FIELD_SIZE],
    Entry_Construction[TEXT_FIELD_SIZE], Entry_Text[TEXT_FIELD_SIZE], Entry_Author[TEXT_FIELD_SIZE],
    Entry_Year[TEXT_FIELD_SIZE], Entry_Source[TEXT_FIELD_SIZE], Entry_Reading[TEXT_FIELD_SIZE];
char Entry_Check[CHECK_SIZE];         // the checks as written
double Entry_Tempering[FIFTH_COUNT];  // fifths from C: cents from pure, NAN = wolf

const char *const COLLECTION_GROUPS[COLLECTION_GROUP_COUNT][2] = {
    {"well", "Well temperaments"},
    {"meantone", "Meantones"},
    {"just", "Pythagorean and just tunings"},
    {"modern", "Equal and modern temperaments"}};

// The notes from C as the checks name them in messages.
static const char *const NOTE_NAMES[12] = {"C",  "C#", "D",  "Eb", "E",  "F",
                                           "F#", "G",  "G#", "A",  "Bb", "B"};
enum { A_ABOVE_C = 9 };
static const double EXACT = 1e-6;     // cents: a ratio or part of a comma as printed
static const double ROUNDING = 1e-9;  // what the arithmetic may add to a difference

// ---- Fields -----------------------------------------------------------------------

// Copies the tab-ended field at *p into field of size n (bounded) and moves
// *p past the tab; 0 when the field is empty or too long.
static int take_field(const char **p, char *field, size_t n) {
  size_t len = strcspn(*p, "\t\r\n");
  if (len == 0 || len >= n)
    return 0;
  memcpy(field, *p, len);
  field[len] = '\0';
  *p += len + ((*p)[len] == '\t');
  return 1;
}

// ---- Constructions ----------------------------------------------------------------

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

// The eleven notes C# to B after "ratios" or "cents" into the scale; 0 after a message.
static int parse_notes(char *words, int ratios) {
  int k = 1;
  for (char *w = strtok(words, " "); w; w = strtok(nullptr, " "), k++) {
    const char *p = w;
    int decimals = 0;
    int ratio = strchr(w, '/') != nullptr;
    if (k > 11 || ratio != ratios || !read_term(&p, ratios, &Scale_Cents[k], &decimals) || *p) {
      alertf("%s: \"%s\" is not %s", Entry_Short, w, ratios ? "a ratio n/d" : "a number of cents");
      return 0;
    }
  }
  if (k != 12)
    alertf("%s: %d notes instead of the eleven C# to B", Entry_Short, k - 1);
  return k == 12;
}

// ---- Checks -----------------------------------------------------------------------

// What a check measures: the interval from one note up to another, a note's
// offset from equal temperament with A's 0, or the length of its string.
enum Measure { INTERVAL, OFFSET, LENGTH };

// The measure of note `to` (from note `from`, or of a string `base` long for C).
static double measured(Measure m, int from, int to, double base) {
  if (m == OFFSET)
    return Scale_Cents[to] - 100.0 * to - (Scale_Cents[A_ABOVE_C] - 100.0 * A_ABOVE_C);
  if (m == LENGTH)
    return base / exp2(Scale_Cents[to] / 1200.0);
  return fmod(Scale_Cents[to] - Scale_Cents[from] + 2400.0, 1200.0);
}

// A printed value: a sum of terms (cents, ratios, parts of a comma), with
// "~t" the tolerance t. *decimals as read_term's: the fewest of the terms.
static int read_value(const char *word, double *value, int *decimals, double *tolerance) {
  const char *p = word;
  *value = 0;
  *decimals = -1;
  *tolerance = -1;
  do {
    double cents = 0;
    int d = 0;
    if (!read_term(&p, 1, &cents, &d))
      return 0;
    *value += cents;
    if (d >= 0 && (*decimals < 0 || d < *decimals))
      *decimals = d;
  } while (*p == '+' || *p == '-');
  if (*p == '~') {
    char *end = nullptr;
    *tolerance = strtod(p + 1, &end);
    if (!(*tolerance > 0))
      return 0;
    p = end;
  }
  return *p == '\0';
}

// Half a unit of the last of that many decimals; exact terms alone, EXACT.
static double half_unit(int decimals) {
  return decimals < 0 ? EXACT : 0.5 * pow(10.0, -decimals);
}

// Compares the measure with the value printed as text; 0 after a message.
static int compare(Measure m, int from, int to, double base, const char *text, double value,
                   double tolerance) {
  double is = measured(m, from, to, base);
  if (fabs(is - value) <= tolerance + ROUNDING)
    return 1;
  const char *what[] = {"the interval %s-%s is %.4f cents", "the offset of %s%s is %.4f cents",
                        "the string of %s%s is %.4f long"};
  char measure[100];
  snprintf(measure, sizeof measure, what[m], m == INTERVAL ? NOTE_NAMES[from] : "", NOTE_NAMES[to],
           is);
  alertf("%s: %s where the source prints %s (within %g)", Entry_Short, measure, text, tolerance);
  return 0;
}

// A note's name as the table writes it: its index above C, or -1.
static int note_above_c(const char *name) {
  int i = note_index(name);
  return i < 0 ? -1 : (i - C_INDEX + 12) % 12;
}

// "X-Y=value" (the interval from X up to Y) or "X=value" (from C); 0 after a message.
static int check_interval(const char *item) {
  char notes[CHECK_SIZE];
  copy_text(notes, sizeof notes, item);
  char *value = strchr(notes, '=');
  *value++ = '\0';
  char *dash = strchr(notes, '-');
  if (dash)
    *dash = '\0';
  int from = dash ? note_above_c(notes) : 0, to = note_above_c(dash ? dash + 1 : notes);
  double v = 0, tolerance = 0;
  int decimals = 0;
  if (from < 0 || to < 0 || !read_value(value, &v, &decimals, &tolerance)) {
    alertf("%s: \"%s\" is not a note and its value, X=value or X-Y=value", Entry_Short, item);
    return 0;
  }
  return compare(INTERVAL, from, to, 0, value, v, tolerance > 0 ? tolerance : half_unit(decimals));
}

// "wolf X-Y": the eleven other fifths are alike and the fifth X-Y is not; 0 after a message.
static int check_wolf(const char *name) {
  int k = 0;
  while (k < FIFTH_COUNT && (!name || strcmp(name, FIFTH_NAMES[k]) != 0))
    k++;
  if (k == FIFTH_COUNT) {
    alertf("%s: \"wolf\" needs a fifth such as G#-Eb", Entry_Short);
    return 0;
  }
  double other = measured(INTERVAL, 7 * (k + 1) % 12, 7 * (k + 2) % 12, 0);
  int alike = fabs(measured(INTERVAL, 7 * k % 12, 7 * (k + 1) % 12, 0) - other) > EXACT;
  for (int j = 0; j < FIFTH_COUNT; j++)
    if (j != k && fabs(measured(INTERVAL, 7 * j % 12, 7 * (j + 1) % 12, 0) - other) > EXACT)
      alike = 0;
  if (!alike)
    alertf("%s: the wolf is not %s: the eleven other fifths are not alike, or it is one of them",
           Entry_Short, name);
  return alike;
}

// The row of printed values after "C" (C# to B above C), "A" (the offsets of
// A to G#) or "L" (the lengths of the strings of C to B), each to within
// row_tolerance when that is above 0; "-" for a value not printed. Decimals
// that a row gives one value it gives all: "0" among values of three
// decimals is 0.000. 0 after a message.
static int check_row(char kind, double row_tolerance) {
  Measure m = kind == 'A' ? OFFSET : kind == 'L' ? LENGTH : INTERVAL;
  int count = kind == 'C' ? 11 : 12, finest = -1, n = 0;
  char *words[12];
  double values[12], tolerances[12];
  int decimals[12];
  for (char *w; n < count && (w = strtok(nullptr, " ")); n++) {
    words[n] = w;
    if (strcmp(w, "-") != 0 && !read_value(w, &values[n], &decimals[n], &tolerances[n])) {
      alertf("%s: \"%s\" is not a value to check against", Entry_Short, w);
      return 0;
    }
    if (strcmp(w, "-") != 0 && decimals[n] > finest)
      finest = decimals[n];
  }
  if (n != count) {
    alertf("%s: %d values after %c instead of %d", Entry_Short, n, kind, count);
    return 0;
  }
  if (kind == 'L' && strcmp(words[0], "-") == 0) {
    alertf("%s: the length of C's string is needed to check the others", Entry_Short);
    return 0;
  }
  for (int k = kind == 'L'; k < count; k++) {
    if (strcmp(words[k], "-") == 0)
      continue;
    int to = kind == 'C' ? k + 1 : kind == 'A' ? (k + A_ABOVE_C) % 12 : k;
    double tolerance = tolerances[k] > 0   ? tolerances[k]
                       : row_tolerance > 0 ? row_tolerance
                                           : half_unit(decimals[k] < 0 ? -1 : finest);
    if (!compare(m, 0, to, values[0], words[k], values[k], tolerance))
      return 0;
  }
  return 1;
}

// A row's kind and its tolerance: "C", "A" or "L", with "~t" the tolerance t
// for all its values; 0 for another word.
static char row_kind(const char *word, double *tolerance) {
  char *end = nullptr;
  *tolerance = word[0] && word[1] == '~' ? strtod(word + 2, &end) : 0;
  int plain = word[0] && (word[1] == '\0' || (end && *end == '\0' && *tolerance > 0));
  return plain && strchr("CAL", word[0]) ? word[0] : 0;
}

// Every check of the entry; 0 after a message, also when there is none.
static int check_entry(char *words) {
  int checks = 0;
  double tolerance = 0;
  for (char *w = strtok(words, " "); w; w = strtok(nullptr, " "), checks++) {
    char kind = row_kind(w, &tolerance);
    int ok = strchr(w, '=')           ? check_interval(w)
             : strcmp(w, "wolf") == 0 ? check_wolf(strtok(nullptr, " "))
             : kind                   ? check_row(kind, tolerance)
                                      : -1;
    if (ok < 0)
      alertf("%s: \"%s\" is not a check: C, A, L, wolf, X=value or X-Y=value", Entry_Short, w);
    if (ok <= 0)
      return 0;
  }
  if (checks == 0)
    alertf("%s: nothing to check the construction against", Entry_Short);
  return checks > 0;
}

// ---- Entry ------------------------------------------------------------------------------

int parse_entry(const char *line) {
  if (line[0] == '#' || line[strspn(line, " \t\r\n")] == '\0')
    return -1;
  char id[TEXT_FIELD_SIZE], *end = nullptr;
  char *fields[] = {id,         Entry_Short,  Entry_Name, Entry_Group,  Entry_Construction,
                    Entry_Text, Entry_Author, Entry_Year, Entry_Source, Entry_Reading};
  const char *p = line;
  Entry_Short[0] = '\0';
  for (char *field : fields)
    if (!take_field(&p, field, TEXT_FIELD_SIZE))
      return alertf("%.*s: a line needs eleven tab-separated fields, each of 1 to %d characters",
                    (int)strcspn(line, "\t\r\n") % 40, line, TEXT_FIELD_SIZE - 1),
             0;
  if (!take_field(&p, Entry_Check, sizeof Entry_Check) || p[strspn(p, "\r\n")] != '\0')
    return alertf("%s: the eleventh field, the checks, ends the line and has 1 to %d characters",
                  Entry_Short, CHECK_SIZE - 1),
           0;
  Entry_ID = strtol(id, &end, 10);
  if (*end || Entry_ID <= 0 || Entry_ID > 2147483647)
    return alertf("%s: \"%s\" is not a temperament ID", Entry_Short, id), 0;
  int group = 0;
  while (group < COLLECTION_GROUP_COUNT && strcmp(Entry_Group, COLLECTION_GROUPS[group][0]))
    group++;
  if (group == COLLECTION_GROUP_COUNT)
    return alertf("%s: \"%s\" is not a group", Entry_Short, Entry_Group), 0;
  char words[CHECK_SIZE];
  copy_text(words, sizeof words, Entry_Construction);
  Scale_Cents[0] = 0.0;
  int built = 0;
  if (strncmp(words, "fifths ", 7) == 0) {
    built = parse_fifths(words + 7);
  } else if (strncmp(words, "ratios ", 7) == 0 || strncmp(words, "cents ", 6) == 0) {
    for (double &t : Entry_Tempering)
      t = NAN;
    built = parse_notes(words + (words[0] == 'r' ? 7 : 6), words[0] == 'r');
  } else {
    alertf("%s: a construction starts with \"fifths\", \"ratios\" or \"cents\"", Entry_Short);
  }
  copy_text(words, sizeof words, Entry_Check);
  return built && check_entry(words);
}

void entry_file_stem(char *stem) {
  size_t n = 0;
  for (const char *c = Entry_Name; *c && n < TEXT_FIELD_SIZE - 1; c++)
    stem[n++] = strchr("/\\:*?\"<>|", *c) ? '-' : *c;
  stem[n] = '\0';
}

// ---- Explanations ---------------------------------------------------------------------

// The first `parts` of author, year, publication and reading, as far as known.
static std::string source_parts(int parts) {
  const char *given[] = {Entry_Author, Entry_Year, Entry_Source, Entry_Reading};
  std::string text;
  for (int k = 0; k < parts; k++)
    if (strcmp(given[k], "-") != 0)
      text += (text.empty() ? "" : k == 3 ? "; " : ", ") + std::string(given[k]);
  return text;
}

void entry_source(char *text, size_t n) {
  copy_text(text, n, source_parts(4).c_str());
}

void entry_about(char *text, size_t n) {
  std::string about;
  for (int parts = 4; parts >= 0; parts--) {
    std::string source = source_parts(parts);
    about = Entry_Text + std::string(source.empty() ? "." : ". " + source + ".");
    if (about.size() < n)
      break;
  }
  if (about.size() >= n && n > 4) {  // the words alone too long: cut after a word
    size_t cut = about.rfind(' ', n - 4);
    about = about.substr(0, cut == std::string::npos ? n - 4 : cut) + "...";
  }
  if (about[0] >= 'a' && about[0] <= 'z')
    about[0] += 'A' - 'a';
  copy_text(text, n, about.c_str());
}
