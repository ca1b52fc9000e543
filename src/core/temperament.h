// temperament.h - the temperament record, the pitch arithmetic, the rules
// that commit the descriptive texts, and the message seam. No toolkit: the
// window, the converter and the browser page all stand on this.
#ifndef VOSTREL_TEMPERAMENT_H
#define VOSTREL_TEMPERAMENT_H

#include <cstddef>

// ---- Temperament record ---------------------------------------------------
enum { TEXT_FIELD_SIZE = 180 };  // every text field: 179 characters + NUL
enum { NOTE_COUNT = 133 };       // MIDI notes 0 to 132
enum { REF_NOTE = 69 };          // the reference A; the octave 69..80
// The IDs of a temperament that gives none: its own, and its supplier's.
enum { DEFAULT_TEMPERAMENT_ID = 999900, DEFAULT_SUPPLIER_ID = 999999 };

extern int Temp_ID;                           // unique temperament ID
extern char Temp_Name[TEXT_FIELD_SIZE];       // temperament name
extern char Temp_ShortName[TEXT_FIELD_SIZE];  // short name, five characters used
extern int Temp_Supplier_ID;                  // supplier ID
extern char Temp_Supplier_Name[TEXT_FIELD_SIZE];
extern char Temp_Comment[TEXT_FIELD_SIZE];
extern char Temp_Version[TEXT_FIELD_SIZE];
extern char Tempdirstr[TEXT_FIELD_SIZE];  // remembered temperaments folder, "" = unknown
extern double APitch;                     // pitch of A (note 69) in Hz
extern double DCent[12];                  // offsets of notes 69..80 in cents
extern double Pitch[NOTE_COUNT];          // pitch of every MIDI note in Hz
extern const char *const Tonname[12];     // note names, A upwards

// ---- Message seam -----------------------------------------------------------
// Every message of the core, the readers and the handlers goes to this
// handler, which the front end installs at start: the window shows an alert
// box, the converter prints a line, tests record. Until one is installed
// messages go to standard error.
extern void (*dialog_alert)(const char *text);

// Shows one message text unchanged (never used as a format).
void xml_error(const char *text);
// Composes a message in full and shows it through the seam.
void alertf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// ---- Bounded text ---------------------------------------------------------
// Copies src into dst of size n: at most n-1 bytes, always terminated.
void copy_text(char *dst, size_t n, const char *src);
// Appends src to the text in dst of size n, bounded and terminated.
void append_text(char *dst, size_t n, const char *src);

// ---- Arithmetic -----------------------------------------------------------
// atoi semantics, but values beyond a 32-bit int clamp to its limits.
int to_int(const char *text);
// Computes the reference octave (total = 0) or all 133 notes into Pitch.
void compute_temperament(int total);
// Checks the octaves of Pitch and recovers APitch and DCent; 1 on success.
int compute_cents(void);
// 1 when every pitch in Pitch is positive and finite, so it may be written;
// otherwise 0 after one alert naming the first impossible pitch.
int check_pitches(void);

// ---- Display formats ------------------------------------------------------
enum { DISPLAY_SIZE = 80 };  // display texts of the tuning column
// A pitch with seven decimals, in exponent form where that would not fit.
void format_pitch(char *buf, double value);
// A cent offset with sign and one decimal, likewise bounded.
void format_cents(char *buf, double value);
// A typed tuning value as the window stores it: read like atof (also "nan"
// and "inf"), narrowed to single precision.
double tuning_value(const char *text);

// ---- Start texts ------------------------------------------------------------
// The seven descriptive texts the window starts with: the record's IDs and
// supplier name (the settings' values), the name and short name of equal
// temperament, no comment and version 1.00.
void start_texts(char text[7][TEXT_FIELD_SIZE]);

// ---- Commit ---------------------------------------------------------------
// Commits the seven descriptive texts (ID, name, short name, supplier ID,
// supplier name, comment, version) into the record by the window's rules:
// IDs as whole numbers, texts bounded and cleaned, the short name cut.
void commit_fields(const char *const text[7]);
// Replaces every character outside ASCII in str by a blank, with one alert
// naming the field.
void Check_for_ASCII(const char *name, char *str);

#endif
