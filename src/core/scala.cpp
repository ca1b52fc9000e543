// scala.cpp - the .scl and .kbm readers, the scale-to-offsets conversion
// and the .scl writer. The readers take one bounded line at a time with
// getc, keep nothing but the values they accept, and stop at the first
// error with one message naming the line.
#include "scala.h"

#include "temperament_file.h"
#include "utf8_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- The scale and mapping last read ----------------------------------------
char Scale_Description[TEXT_FIELD_SIZE];  // description line, cut to 179 characters
double Scale_Cents[12];                   // degree k in cents above the 1/1
int Kbm_Middle;                           // MIDI note of the scale's 1/1
int Kbm_Reference;                        // MIDI note of the reference frequency
double Kbm_Frequency;                     // reference frequency in Hz

// ---- Reader state -------------------------------------------------------------
enum { LINE_SIZE = 4096 };    // a line: 4095 characters + NUL
enum { SHOWN = 40 };          // characters of a bad value quoted in a message
static FILE *inf;             // the file being read
static char line[LINE_SIZE];  // the current line, its line end removed
static int lineno;            // the current line's number, from 1
static int pitch_line[12];    // the line of each degree of the scale being read
static int numeric_rest;      // the text cut off after the last value looked like a number
static char misread[13][2 * SHOWN + 100];  // degree k's warning of a misread pitch, or ""

static const double PERIOD_CENTS = 1200.0;
static const double PERIOD_TOLERANCE = 0.0001;  // cents a period may be off
static const double MAX_FREQUENCY = 1e6;        // a kbm reference frequency, Hz

// ---- Lines ------------------------------------------------------------------------

// Opens path for reading; 0 after the message when it cannot be read.
static int open_input(const char *path) {
  inf = fopen_utf8(path, "rb");
  lineno = 0;
  if (!inf)
    alertf("Can't open file %s for reading!", path);
  return inf != nullptr;
}

// Reads the next line into line: 1, 0 at the end of the file, -1 after a
// message (a NUL byte, a line too long, a read error). A CR before the LF
// stays: it is a blank to every use of the line.
static int read_line(void) {
  int c = 0;
  size_t n = 0;
  lineno++;
  while ((c = getc(inf)) != EOF && c != '\n') {
    if (c == '\0') {
      alertf("line %d: NUL byte: this is not a text file", lineno);
      return -1;
    }
    if (n == LINE_SIZE - 1) {
      alertf("line %d: longer than %d characters", lineno, LINE_SIZE - 1);
      return -1;
    }
    line[n++] = (char)c;
  }
  if (ferror(inf)) {
    alertf("line %d: read error", lineno);
    return -1;
  }
  if (c == EOF && n == 0)
    return 0;
  line[n] = '\0';
  return 1;
}

// Reads the next line that is not a comment ('!' first); as read_line,
// with a message naming what was expected at the end of the file.
static int content_line(const char *what) {
  int r;
  while ((r = read_line()) == 1 && line[0] == '!')
    continue;
  if (r == 0)
    alertf("the file ends before %s", what);
  return r;
}

// Blanks within a line (the line end is gone already).
static int is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The first whitespace-separated word of line, terminated in place.
static char *first_word(void) {
  char *p = line;
  while (is_blank(*p))
    p++;
  char *end = p;
  while (*end && !is_blank(*end))
    end++;
  *end = '\0';
  return p;
}

// ---- Numbers ----------------------------------------------------------------------

// Reads a whole word of decimal digits as a double, exact up to 2^53; -1
// when the word has anything but digits or none. Huge values give inf.
static double digits_value(const char *p, const char *end) {
  if (p == end)
    return -1;
  double v = 0;
  for (; p < end; p++) {
    if (*p < '0' || *p > '9')
      return -1;
    v = v * 10 + (*p - '0');
  }
  return v;
}

// A word as an int: optional sign, digits only, within +-10^6; 0 after the
// message naming what it should be.
static int word_int(const char *word, const char *what, int *value) {
  const char *p = word + (word[0] == '-' || word[0] == '+');
  double v = digits_value(p, p + strlen(p));
  if (v < 0 || v > 1e6) {
    alertf("line %d: \"%.*s\" is not a valid %s", lineno, SHOWN, word, what);
    return 0;
  }
  *value = (int)(word[0] == '-' ? -v : v);
  return 1;
}

// True for a decimal number: optional sign, digits with one '.', a digit
// somewhere; no exponent, no hexadecimal, no inf or nan.
static int is_decimal(const char *p) {
  if (*p == '-' || *p == '+')
    p++;
  int digits = 0, points = 0;
  for (; *p; p++) {
    if (*p >= '0' && *p <= '9')
      digits++;
    else if (*p == '.')
      points++;
    else
      return 0;
  }
  return digits > 0 && points == 1;
}

// The number of decimal digits at p.
static size_t digit_run(const char *p) {
  size_t n = 0;
  while (p[n] >= '0' && p[n] <= '9')
    n++;
  return n;
}

// True when rest, the text after a value, could have been part of a number
// that this format does not have: an exponent ("e3", "E-2") or a decimal
// comma (",5").
static int looks_numeric(const char *rest) {
  const char *digit = rest + 1;
  if (rest[0] == 'e' || rest[0] == 'E')
    digit += rest[1] == '+' || rest[1] == '-';
  else if (rest[0] != ',')
    return 0;
  return *digit >= '0' && *digit <= '9';
}

// Cuts word after its longest pitch value: an optional sign, digits and a
// '.' with digits after it (cents), else digits with '/' and digits or
// alone (a ratio); 0 when it starts with neither. *is_cents tells which,
// numeric_rest whether what was cut off looked like part of a number.
static size_t cut_value(char *word, int *is_cents) {
  size_t sign = word[0] == '-' || word[0] == '+';
  size_t len = sign + digit_run(word + sign);
  *is_cents = word[len] == '.';
  if (*is_cents)
    len += 1 + digit_run(word + len + 1);
  else if (word[len] == '/' && digit_run(word + len + 1) > 0)
    len += 1 + digit_run(word + len + 1);
  if (len == sign + *is_cents)
    return 0;  // no digit at all
  numeric_rest = looks_numeric(word + len);
  word[len] = '\0';
  return len;
}

// The pitch value at the start of word (cents with a '.', else a ratio n/d
// or a whole number n) in cents above the 1/1; the rest of the word is cut
// off. 0 after the message. *octave tells whether it is exactly 2/1 or
// 1200 cents within the tolerance.
static int pitch_cents(char *word, double *cents, int *octave) {
  int is_cents = 0;
  size_t len = cut_value(word, &is_cents);
  if (len == 0 || (!is_cents && word[0] == '+')) {
    alertf("line %d: \"%.*s\" is not %s", lineno, SHOWN, word,
           is_cents ? "a number" : "a ratio or a number of cents");
    return 0;
  }
  if (is_cents) {
    *cents = strtod(word, nullptr);
    *octave = fabs(*cents - PERIOD_CENTS) <= PERIOD_TOLERANCE;
  } else {
    const char *slash = strchr(word, '/');
    const char *digits = word + (word[0] == '-');
    double n = digits_value(digits, slash ? slash : word + len);
    double d = slash ? digits_value(slash + 1, word + len) : 1;
    if (word[0] == '-' || n == 0 || d == 0) {
      alertf("line %d: %.*s is not a positive ratio", lineno, SHOWN, word);
      return 0;
    }
    *cents = PERIOD_CENTS * log2(n / d);
    *octave = n == 2 * d;
  }
  if (!(fabs(*cents) <= MAX_OCTAVES * PERIOD_CENTS)) {
    alertf("line %d: %.*s is too large to be a pitch (more than %d octaves)", lineno, SHOWN, word,
           MAX_OCTAVES);
    return 0;
  }
  return 1;
}

// ---- .scl reader ------------------------------------------------------------------

// Copies the description line, blanks at both ends removed, bounded.
static void take_description(void) {
  const char *p = line;
  while (is_blank(*p))
    p++;
  size_t len = strnlen(p, TEXT_FIELD_SIZE - 1);
  while (len > 0 && is_blank(p[len - 1]))
    len--;
  memcpy(Scale_Description, p, len);
  Scale_Description[len] = '\0';
}

// Reads the count and the twelve pitches after the description.
static int read_pitches(void) {
  int count = 0, octave = 0;
  if (content_line("the number of pitches") != 1)
    return 0;
  char *word = first_word();
  if (!*word) {
    alertf("line %d: the number of pitches is missing", lineno);
    return 0;
  }
  if (!word_int(word, "number of pitches", &count))
    return 0;
  if (count != 12) {
    alertf("line %d: the scale has %d pitches; only scales of 12 are accepted", lineno, count);
    return 0;
  }
  for (int k = 1; k <= 12; k++) {
    if (content_line(k == 1 ? "the first pitch" : "all 12 pitches") != 1)
      return 0;
    word = first_word();
    double cents = 0;
    if (!*word) {
      alertf("line %d: pitch %d is missing", lineno, k);
      return 0;
    }
    char whole[SHOWN + 1];
    copy_text(whole, sizeof whole, word);
    if (!pitch_cents(word, &cents, &octave))
      return 0;
    if (numeric_rest)
      snprintf(misread[k], sizeof misread[k],
               "line %d: \"%s\" is read as %.*s: a pitch has no exponent and no decimal comma",
               lineno, whole, SHOWN, word);
    if (k < 12) {
      Scale_Cents[k] = cents;
      pitch_line[k] = lineno;
    }
  }
  if (!octave) {
    alertf("line %d: the period %.*s is not 2/1; only octave-repeating scales are accepted", lineno,
           SHOWN, word);
    return 0;
  }
  return 1;
}

// Warns of each pitch misread and of each degree more than a semitone from
// its place in equal temperament: the scale is converted all the same, but
// it is hardly meant as the twelve notes from its 1/1 upward.
static void warn_far_degrees(void) {
  for (int k = 1; k <= 12; k++) {
    if (misread[k][0])
      alertf("%s", misread[k]);
    if (k < 12 && fabs(Scale_Cents[k] - 100.0 * k) > 100.0)
      alertf(
          "line %d: degree %d is %.3f cents, more than 100 cents from its place in equal "
          "temperament (%d)",
          pitch_line[k], k, Scale_Cents[k], 100 * k);
  }
}

int read_scl(const char *path) {
  memset(misread, 0, sizeof misread);
  if (!open_input(path))
    return 0;
  int ok = content_line("the description") == 1;
  if (ok)
    take_description();
  ok = ok && read_pitches();
  fclose(inf);
  Scale_Cents[0] = 0.0;
  if (ok)
    warn_far_degrees();
  return ok;
}

// ---- .kbm reader ------------------------------------------------------------------

// Reads the next value line's first word as an int; 0 after a message.
static int kbm_int(const char *what, int *value) {
  char expected[64];
  snprintf(expected, sizeof expected, "the %s", what);
  if (content_line(expected) != 1)
    return 0;
  return word_int(first_word(), what, value);
}

// A MIDI note number 0..127; 0 after a message.
static int kbm_note(const char *what, int *value) {
  if (!kbm_int(what, value))
    return 0;
  if (*value < 0 || *value > 127) {
    alertf("line %d: the %s %d is not a MIDI note 0 to 127", lineno, what, *value);
    return 0;
  }
  return 1;
}

// The reference frequency: decimal or whole Hz, above 0 and up to 1 MHz.
static int kbm_frequency(void) {
  if (content_line("the reference frequency") != 1)
    return 0;
  const char *word = first_word();
  double f = is_decimal(word) ? strtod(word, nullptr) : digits_value(word, word + strlen(word));
  if (!(f > 0 && f <= MAX_FREQUENCY)) {
    alertf("line %d: the reference frequency \"%.*s\" is not a pitch from 0 to %g Hz", lineno,
           SHOWN, word, MAX_FREQUENCY);
    return 0;
  }
  Kbm_Frequency = f;
  return 1;
}

// The map itself: entry k must be k.
static int kbm_map(int size) {
  for (int k = 0; k < size; k++) {
    if (content_line("the end of the map") != 1)
      return 0;
    const char *word = first_word();
    if (digits_value(word, word + strlen(word)) != k) {
      alertf(
          "line %d: map entry %d is \"%.*s\"; only the entries 0 to 11 in order are "
          "accepted",
          lineno, k, SHOWN, word);
      return 0;
    }
  }
  return 1;
}

// The seven header values and the map, each checked against the subset.
static int read_mapping(void) {
  int size = 0, first = 0, last = 0, degree = 0;
  if (!kbm_int("map size", &size))
    return 0;
  if (size != 0 && size != 12) {
    alertf("line %d: a map of %d entries; only a linear map (0) or a map of 12 is accepted", lineno,
           size);
    return 0;
  }
  if (!kbm_note("first note", &first) || !kbm_note("last note", &last) ||
      !kbm_note("middle note", &Kbm_Middle) || !kbm_note("reference note", &Kbm_Reference) ||
      !kbm_frequency() || !kbm_int("formal octave degree", &degree))
    return 0;
  if (degree != 12 && !(degree == 0 && size == 0)) {
    alertf("line %d: the formal octave is degree %d; only 12 is accepted", lineno, degree);
    return 0;
  }
  return kbm_map(size);
}

int read_kbm(const char *path) {
  if (!open_input(path))
    return 0;
  int ok = read_mapping();
  fclose(inf);
  return ok;
}

// ---- Conversion ---------------------------------------------------------------------

int note_class(int midi) {
  return ((midi - REF_NOTE) % 12 + 12) % 12;
}

int note_index(const char *name) {
  if (strcmp(name, "H") == 0)  // German for B
    return note_index("B");
  size_t len = strlen(name);
  for (int i = 0; i < 12; i++) {
    const char *full = Tonname[i];
    const char *slash = strchr(full, '/');
    if (strcmp(name, full) == 0)
      return i;
    if (slash && ((size_t)(slash - full) == len && strncmp(name, full, len) == 0))
      return i;
    if (slash && strcmp(name, slash + 1) == 0)
      return i;
  }
  return -1;
}

void scale_to_offsets(int tonic, double apitch) {
  // Note tonic + k takes degree k: its offset from equal temperament is
  // the degree's cents minus 100 k; A's offset is then taken off all.
  double offset[12];
  for (int k = 0; k < 12; k++)
    offset[(tonic + k) % 12] = Scale_Cents[k] - 100.0 * k;
  for (int i = 0; i < 12; i++)
    DCent[i] = offset[i] - offset[0];
  APitch = apitch;
}

double kbm_a_pitch(void) {
  int k = note_class(Kbm_Reference);
  int octaves = (Kbm_Reference - REF_NOTE - k) / 12;
  return Kbm_Frequency / pow(2.0, octaves + (100.0 * k + DCent[k]) / 1200.0);
}

// ---- .scl writer ----------------------------------------------------------------------

// Writes description with every control character as a blank.
static void write_one_line(FILE *f, const char *text) {
  for (const char *p = text; *p; p++)
    putc((unsigned char)*p < ' ' ? ' ' : *p, f);
  putc('\n', f);
}

int write_scl(const char *path, int tonic, const char *description) {
  FILE *f = open_new_output(path);
  if (!f)
    return 0;
  fprintf(f, "! %s\n!\n", path_base(path));
  write_one_line(f, description);
  fprintf(f, " 12\n!\n");
  for (int k = 1; k < 12; k++)
    fprintf(f, " %.6f\n", 100.0 * k + DCent[(tonic + k) % 12] - DCent[tonic]);
  fprintf(f, " 2/1\n");
  return close_new_output(f, path);
}
