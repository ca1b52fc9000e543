// temperament.cpp - the temperament record, the pitch arithmetic, the
// display formats, the commit of the descriptive texts and the message seam.
#include "temperament.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- Temperament record ---------------------------------------------------
int Temp_ID;                           // unique temperament ID
char Temp_Name[TEXT_FIELD_SIZE];       // temperament name
char Temp_ShortName[TEXT_FIELD_SIZE];  // short name (first five used)
int Temp_Supplier_ID;                  // supplier ID
char Temp_Supplier_Name[TEXT_FIELD_SIZE];
char Temp_Comment[TEXT_FIELD_SIZE];
char Temp_Version[TEXT_FIELD_SIZE];
char Tempdirstr[TEXT_FIELD_SIZE];  // temperaments folder, "" = not known
double APitch;                     // pitch of A, MIDI note 69, in Hz
double DCent[12];                  // offsets of notes 69..80 in cents
double Pitch[NOTE_COUNT];          // pitches of MIDI notes 0..132 in Hz
const char *const Tonname[12] = {"A",     "A#/Bb", "B", "C",     "C#/Db", "D",
                                 "D#/Eb", "E",     "F", "F#/Gb", "G",     "G#/Ab"};

// ---- Message seam -----------------------------------------------------------

static void print_to_stderr(const char *text) {
  fprintf(stderr, "%s\n", text);
}

void (*dialog_alert)(const char *) = print_to_stderr;

void xml_error(const char *text) {
  dialog_alert(text);
}

// Room for the longest message: a typed file name can be as long as an
// input field holds (32767 bytes), plus the message around it.
static char message[33000];

void alertf(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(message, sizeof message, fmt, ap);
  va_end(ap);
  dialog_alert(message);
}

// ---- Bounded text -----------------------------------------------------------

void copy_text(char *dst, size_t n, const char *src) {
  size_t len = strnlen(src, n - 1);
  memcpy(dst, src, len);
  dst[len] = '\0';
}

void append_text(char *dst, size_t n, const char *src) {
  size_t len = strlen(dst);
  if (len + 1 < n)
    copy_text(dst + len, n - len, src);
}

// ---- Arithmetic -------------------------------------------------------------

int to_int(const char *text) {
  const char *p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    p++;
  int negative = 0;
  if (*p == '+' || *p == '-')
    negative = (*p++ == '-');
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; p++) {
    value = value * 10 + (*p - '0');
    if (value > (long long)INT_MAX + 1)
      value = (long long)INT_MAX + 1;
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    return INT_MAX;
  if (value < INT_MIN)
    return INT_MIN;
  return (int)value;
}

void compute_temperament(int total) {
  for (int i = 0; i < 12; i++)
    Pitch[REF_NOTE + i] = APitch * pow(2.0, (100 * i + DCent[i]) / 1200.0);
  if (total == 0)
    return;
  // Downward first: from note 56 on it reads values it wrote itself.
  for (int n = REF_NOTE - 1; n >= 0; n--)
    Pitch[n] = Pitch[n + 12] / 2.0;
  for (int n = REF_NOTE + 12; n < NOTE_COUNT; n++)
    Pitch[n] = 2 * Pitch[n - 12];
}

int compute_cents(void) {
  for (int n = 0; n + 12 < NOTE_COUNT; n++) {
    double test = Pitch[n + 12] / Pitch[n];
    // Written so that a NaN ratio (0/0, inf/inf) fails too.
    if (!(test >= 1.999 && test <= 2.001)) {
      alertf(
          "No clean octaves in this temperament:\n"
          "Notenr %d, Pitch=%f, Octave=%f, fact=%f",
          n, Pitch[n], Pitch[n + 12], test);
      return 0;
    }
  }
  APitch = Pitch[REF_NOTE];
  for (int i = 0; i < 12; i++)
    DCent[i] = 1200 * log(Pitch[REF_NOTE + i] / APitch) / log(2.0) - 100 * i;
  return 1;
}

int check_pitches(void) {
  for (int n = 0; n < NOTE_COUNT; n++) {
    if (Pitch[n] > 0 && std::isfinite(Pitch[n]))
      continue;
    alertf(
        "Cant generate a file with impossible pitches:\n"
        "Notenr %d, Pitch=%f\nPlease correct A-Pitch or the cent offsets.",
        n, Pitch[n]);
    return 0;
  }
  return 1;
}

// ---- Display formats ----------------------------------------------------------

void format_pitch(char *buf, double value) {
  // 1e71 Hz and more would not fit in fixed-point form.
  if (snprintf(buf, DISPLAY_SIZE, "%12.7lf", value) >= DISPLAY_SIZE)
    snprintf(buf, DISPLAY_SIZE, "%12.7g", value);
}

void format_cents(char *buf, double value) {
  if (snprintf(buf, DISPLAY_SIZE, "%+4.1f", value) >= DISPLAY_SIZE)
    snprintf(buf, DISPLAY_SIZE, "%+.7g", value);
}

// strtod is atof, but also where msvcrt's atof does not read "nan" or "inf".
double tuning_value(const char *text) {
  float value = (float)strtod(text, nullptr);
  return value;
}

// ---- Start texts --------------------------------------------------------------

void start_texts(char text[7][TEXT_FIELD_SIZE]) {
  static const char *const PRESETS[7] = {"", "Equal Temperament", "Equal", "", "", "", "1.00"};
  for (int k = 0; k < 7; k++)
    copy_text(text[k], TEXT_FIELD_SIZE, PRESETS[k]);
  snprintf(text[0], TEXT_FIELD_SIZE, "%d", Temp_ID);
  snprintf(text[3], TEXT_FIELD_SIZE, "%d", Temp_Supplier_ID);
  copy_text(text[4], TEXT_FIELD_SIZE, Temp_Supplier_Name);
}

// ---- Commit -----------------------------------------------------------------

void Check_for_ASCII(const char *name, char *str) {
  int maul = 0;
  for (unsigned char *p = (unsigned char *)str; *p; p++) {
    if (*p < 0x7F)
      continue;
    if (!maul) {
      maul = 1;
      alertf(
          "Field %s:\nOnly ASCII-Characters allowed in strings!\n"
          "Substituting forbidden characters by blanks.",
          name);
    }
    *p = ' ';
  }
}

// Copies a text into a record field and checks its characters.
static void commit_text(const char *text, char *field, const char *name) {
  copy_text(field, TEXT_FIELD_SIZE, text);
  Check_for_ASCII(name, field);
}

void commit_fields(const char *const text[7]) {
  Temp_ID = to_int(text[0]);
  commit_text(text[1], Temp_Name, "Temperament Name");
  commit_text(text[2], Temp_ShortName, "Short Name");
  if (strlen(Temp_ShortName) > 5) {
    alertf("Only first five characters of ShortName used!");
    Temp_ShortName[5] = '\0';
  }
  Temp_Supplier_ID = to_int(text[3]);
  commit_text(text[4], Temp_Supplier_Name, "Supplier Name");
  commit_text(text[5], Temp_Comment, "Comment");
  commit_text(text[6], Temp_Version, "Version");
}
