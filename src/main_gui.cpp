// main_gui.cpp - Vostrel's main module: the temperament record, the pitch
// arithmetic, the window and its callbacks, the field commit, the
// temperament file writer, the Load action, the settings file and the
// search for the host's temperaments folder.
#include "main_gui.h"

#include "Temper_reader.h"
#include "utf8_file.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>
#include <FL/filename.H>
#include <FL/fl_ask.H>
#include <FL/Fl_File_Chooser.H>

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

// ---- Temperament record ---------------------------------------------------
int Temp_ID;                            // unique temperament ID
char Temp_Name[TEXT_FIELD_SIZE];        // temperament name
char Temp_ShortName[TEXT_FIELD_SIZE];   // short name (first five used)
int Temp_Supplier_ID;                   // supplier ID
char Temp_Supplier_Name[TEXT_FIELD_SIZE];
char Temp_Comment[TEXT_FIELD_SIZE];
char Temp_Version[TEXT_FIELD_SIZE];
char Tempdirstr[TEXT_FIELD_SIZE];       // temperaments folder, "" = not known
double APitch;                          // pitch of A, MIDI note 69, in Hz
double DCent[12];                       // offsets of notes 69..80 in cents
double Pitch[NOTE_COUNT];               // pitches of MIDI notes 0..132 in Hz
const char *const Tonname[12] = {"A",     "A#/Bb", "B", "C",     "C#/Db", "D",
                                 "D#/Eb", "E",     "F", "F#/Gb", "G",     "G#/Ab"};

// ---- Widget handles ---------------------------------------------------------
Fl_Input *Box_ID, *Box_Name, *Box_ShortName, *Box_SupplierID, *Box_SupplierName,
    *Box_Comment, *Box_Version, *Box_APitch;
Fl_Input *Box_DCent[12];
Fl_Output *Box_Pitch[12];
Fl_Button *Button_Load, *Button_Generate, *Button_Exit;

// ---- Small text helpers -----------------------------------------------------

// Copies src into dst of size n: at most n-1 bytes, always terminated.
static void copy_text(char *dst, size_t n, const char *src) {
  size_t len = strnlen(src, n - 1);
  memcpy(dst, src, len);
  dst[len] = '\0';
}

// Appends src to the text in dst of size n, bounded and terminated.
static void append_text(char *dst, size_t n, const char *src) {
  size_t len = strlen(dst);
  if (len + 1 < n) copy_text(dst + len, n - len, src);
}

// ---- Dialog seam ------------------------------------------------------------

// The toolkit's alert, handed the finished text so nothing is reformatted
// (any other format makes FLTK 1.3 cut the text at 1024 bytes).
static void toolkit_alert(const char *text) { fl_alert("%s", text); }

static const char *toolkit_input(const char *prompt, const char *preset) {
  return fl_input("%s", preset, prompt);
}

static const char *toolkit_file(const char *title, const char *pattern,
                                const char *start, int relative) {
  return fl_file_chooser(title, pattern, start, relative);
}

static const char *toolkit_dir(const char *prompt, const char *start,
                               int relative) {
  return fl_dir_chooser(prompt, start, relative);
}

void (*dialog_alert)(const char *) = toolkit_alert;
const char *(*dialog_input)(const char *, const char *) = toolkit_input;
const char *(*dialog_file)(const char *, const char *, const char *, int) =
    toolkit_file;
const char *(*dialog_dir)(const char *, const char *, int) = toolkit_dir;

void xml_error(const char *text) { dialog_alert(text); }

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

// ---- Platform ---------------------------------------------------------------
// Everything that differs between Windows and the other systems lives here:
// the drive roots, exclusive file creation and the replacing rename.

char Drive_Root1[ROOT_SIZE];
char Drive_Root2[ROOT_SIZE];

void init_drive_roots(void) {
#ifdef _WIN32
  copy_text(Drive_Root1, sizeof Drive_Root1, "C:/");
  copy_text(Drive_Root2, sizeof Drive_Root2, "D:/");
#else
  // The home folder from the password database, not from $HOME.
  struct passwd *pw = getpwuid(getuid());
  const char *home = (pw && pw->pw_dir && pw->pw_dir[0]) ? pw->pw_dir : "/";
  copy_text(Drive_Root1, sizeof Drive_Root1, home);
  size_t len = strlen(Drive_Root1);
  if (len == 0 || Drive_Root1[len - 1] != '/')
    append_text(Drive_Root1, sizeof Drive_Root1, "/");
  copy_text(Drive_Root2, sizeof Drive_Root2, "/");
#endif
}

// Gives the window the program's icon (the exe's icon resource 1) for its
// title bar and the task bar; other systems take it from the desktop entry.
void set_window_icon(Fl_Window *window) {
#ifdef _WIN32
  window->icon((const void *)LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(1)));
#else
  (void)window;
#endif
}

// Opens a new file for writing in text mode; null when it already exists
// (errno EEXIST) or cannot be created. An existing file is never touched.
// The name is UTF-8.
static FILE *create_new_file(const char *name) {
#ifdef _WIN32
  static wchar_t wname[WIDE_NAME_SIZE];
  const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT;
  int fd = wide_name(name, wname) ? _wopen(wname, flags, 0666) : _open(name, flags, 0666);
  if (fd < 0) return nullptr;
  FILE *f = _fdopen(fd, "w");
  if (!f) _close(fd);
#else
  int fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return nullptr;
  FILE *f = fdopen(fd, "w");
  if (!f) close(fd);
#endif
  return f;
}

// True for a file marked read-only on Windows. There the mark alone must
// keep it: a program run with the rights of the file's owner (Wine run by
// root) could otherwise open it and replace it. Elsewhere the permission
// bits decide when the file is opened.
static int read_only_file(const char *name) {
#ifdef _WIN32
  DWORD attributes = GetFileAttributesA(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
  (void)name;
  return 0;
#endif
}

// Replaces the file `to` by the file `from`; 1 on success.
static int replace_file(const char *from, const char *to) {
#ifdef _WIN32
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
#else
  return rename(from, to) == 0 ? 1 : 0;
#endif
}

// ---- Arithmetic -------------------------------------------------------------

int to_int(const char *text) {
  const char *p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
  int negative = 0;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; p++) {
    value = value * 10 + (*p - '0');
    if (value > (long long)INT_MAX + 1) value = (long long)INT_MAX + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (int)value;
}

enum { DISPLAY_SIZE = 80 };  // display texts of the tuning column

// Formats a pitch with seven decimals; a value whose fixed-point text would
// not fit the buffer (1e71 Hz and more) is shown in exponent form instead.
static void format_pitch(char *buf, double value) {
  if (snprintf(buf, DISPLAY_SIZE, "%12.7lf", value) >= DISPLAY_SIZE)
    snprintf(buf, DISPLAY_SIZE, "%12.7g", value);
}

// Formats a cent offset with sign and one decimal, likewise bounded.
static void format_cents(char *buf, double value) {
  if (snprintf(buf, DISPLAY_SIZE, "%+4.1f", value) >= DISPLAY_SIZE)
    snprintf(buf, DISPLAY_SIZE, "%+.7g", value);
}

// Shows APitch, the offsets and the reference octave's pitches in the window.
static void show_tuning(void) {
  char mystr[DISPLAY_SIZE];
  format_pitch(mystr, APitch);
  Box_APitch->value(mystr);
  for (int i = 0; i < 12; i++) {
    format_cents(mystr, DCent[i]);
    Box_DCent[i]->value(mystr);
    format_pitch(mystr, Pitch[REF_NOTE + i]);
    Box_Pitch[i]->value(mystr);
  }
}

void compute_temperament(int total) {
  for (int i = 0; i < 12; i++)
    Pitch[REF_NOTE + i] = APitch * pow(2.0, (100 * i + DCent[i]) / 1200.0);
  if (Box_APitch) show_tuning();
  if (total == 0) return;
  // Downward first: from note 56 on it reads values it wrote itself.
  for (int n = REF_NOTE - 1; n >= 0; n--) Pitch[n] = Pitch[n + 12] / 2.0;
  for (int n = REF_NOTE + 12; n < NOTE_COUNT; n++) Pitch[n] = 2 * Pitch[n - 12];
}

int compute_cents(void) {
  for (int n = 0; n + 12 < NOTE_COUNT; n++) {
    double test = Pitch[n + 12] / Pitch[n];
    // Written so that a NaN ratio (0/0, inf/inf) fails too.
    if (!(test >= 1.999 && test <= 2.001)) {
      alertf("No clean octaves in this temperament:\n"
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
    if (Pitch[n] > 0 && std::isfinite(Pitch[n])) continue;
    alertf("Cant generate a file with impossible pitches:\n"
           "Notenr %d, Pitch=%f\nPlease correct A-Pitch or the cent offsets.",
           n, Pitch[n]);
    return 0;
  }
  return 1;
}

// ---- Window -----------------------------------------------------------------
// Positions and texts are fixed; the sizes below keep every label and value
// readable inside the 800 x 300 window with the platform's default font.
enum { LABEL_SIZE = 12, VALUE_SIZE = 12 };

static void style(Fl_Widget *w) { w->labelsize(LABEL_SIZE); }

static Fl_Input *descriptive_input(int x, int y, int w, int h,
                                   const char *label, const char *text) {
  Fl_Input *in = new Fl_Input(x, y, w, h, label);
  style(in);
  in->textsize(VALUE_SIZE);
  in->value(text);
  return in;
}

// True when w is the A-Pitch field or one of the twelve cent fields.
static int is_tuning_field(const Fl_Widget *w) {
  if (w && w == Box_APitch) return 1;
  for (int i = 0; i < 12; i++)
    if (w && w == Box_DCent[i]) return 1;
  return 0;
}

// Event filter: Enter does nothing in the tuning fields (FLTK would move the
// focus on, which stores the value); everything else passes unchanged, so
// Enter still confirms every dialog.
static int swallow_enter(int event, Fl_Window *win) {
  if ((event == FL_KEYBOARD || event == FL_SHORTCUT) &&
      (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
      is_tuning_field(Fl::focus()))
    return 1;
  return Fl::handle_(event, win);
}

Fl_Window *build_window(void) {
  char mystr[TEXT_FIELD_SIZE];
  Fl_Window *window = new Fl_Window(800, 300, "Vostrel for HW3");
  window->begin();
  int spalte = 150, width = 340, height = 19, dist = 20, zeile = 30;
  snprintf(mystr, sizeof mystr, "%d", Temp_ID);
  Box_ID = descriptive_input(spalte, zeile, width, height, "Temperament ID", mystr);
  zeile += dist;
  Box_Name = descriptive_input(spalte, zeile, width, height, "Temperament Name",
                               "Equal Temperament");
  zeile += dist;
  Box_ShortName = descriptive_input(spalte, zeile, width, height, "Short Name", "Equal");
  zeile += dist;
  snprintf(mystr, sizeof mystr, "%d", Temp_Supplier_ID);
  Box_SupplierID = descriptive_input(spalte, zeile, width, height, "Supplier ID", mystr);
  zeile += dist;
  Box_SupplierName = descriptive_input(spalte, zeile, width, height, "Supplier Name",
                                       Temp_Supplier_Name);
  zeile += dist;
  Box_Comment = descriptive_input(spalte, zeile, width, height, "Comment", "");
  zeile += dist;
  Box_Version = descriptive_input(spalte, zeile, width, height, "Version", "1.00");
  zeile += 2 * dist;

  Button_Load = new Fl_Button(spalte, zeile, width, height, "Load File");
  style(Button_Load);
  Button_Load->callback(load_file_cb, nullptr);
  zeile += 2 * dist;
  Button_Generate = new Fl_Button(spalte, zeile, width, height, "Generate File");
  style(Button_Generate);
  Button_Generate->callback(generate_file_cb, nullptr);
  zeile += 2 * dist;
  Button_Exit = new Fl_Button(spalte, zeile, width, height, "Exit");
  style(Button_Exit);
  Button_Exit->callback(exit_cb, window);

  spalte = spalte + width + 120;
  int twidth = 50;
  int pspalte = spalte + twidth + 20;
  int pwidth = 100;
  zeile = 10;
  Box_APitch = new Fl_Input(pspalte, zeile, pwidth, height, "A-Pitch");
  style(Box_APitch);
  Box_APitch->textsize(VALUE_SIZE);
  Box_APitch->callback(cent_cb, &APitch);
  zeile += dist;
  Fl_Box *heading = new Fl_Box(spalte, zeile, twidth, height, "+/- Cent from Equal");
  style(heading);
  zeile += dist;
  for (int i = 0; i < 12; i++) {
    Box_DCent[i] = new Fl_Input(spalte, zeile, twidth, height, Tonname[i]);
    style(Box_DCent[i]);
    Box_DCent[i]->textsize(VALUE_SIZE);
    DCent[i] = 0.0;
    Box_DCent[i]->callback(cent_cb, &DCent[i]);
    Box_Pitch[i] = new Fl_Output(pspalte, zeile, pwidth, height, "");
    style(Box_Pitch[i]);
    Box_Pitch[i]->textsize(VALUE_SIZE);
    zeile += dist;
  }
  compute_temperament(0);
  window->end();
  Fl::event_dispatch(swallow_enter);
  return window;
}

// Stores the typed number, narrowed to single precision, and recomputes.
// strtod is atof, but also where msvcrt's atof does not read "nan" or "inf".
void cent_cb(Fl_Widget *W, void *v) {
  float val = (float)strtod(((Fl_Input *)W)->value(), nullptr);
  *(double *)v = val;
  compute_temperament(0);
}

void load_file_cb(Fl_Widget *, void *) { load_file(); }

void generate_file_cb(Fl_Widget *, void *) { generate_file(); }

// Saves the settings (when Vostrel.ini can be written) and hides the window.
void exit_cb(Fl_Widget *, void *v) {
  save_settings();
  ((Fl_Window *)v)->hide();
}

// ---- Commit -----------------------------------------------------------------

void Check_for_ASCII(const char *name, char *str) {
  int maul = 0;
  for (unsigned char *p = (unsigned char *)str; *p; p++) {
    if (*p < 0x7F) continue;
    if (!maul) {
      maul = 1;
      alertf("Field %s:\nOnly ASCII-Characters allowed in strings!\n"
             "Substituting forbidden characters by blanks.", name);
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

void checkout_values(void) {
  const char *const text[7] = {Box_ID->value(),           Box_Name->value(),
                               Box_ShortName->value(),    Box_SupplierID->value(),
                               Box_SupplierName->value(), Box_Comment->value(),
                               Box_Version->value()};
  commit_fields(text);
  compute_temperament(1);
}

// ---- Settings file ------------------------------------------------------------

static const char SETTINGS_FILE[] = "Vostrel.ini";
static const char SETTINGS_TEMP[] = "Vostrel.ini.tmp";
enum { KEY_LEN = 11 };
// A key, a whole field's 179 characters and a CR LF line end, plus NUL.
enum { SETTINGS_LINE = KEY_LEN + TEXT_FIELD_SIZE - 1 + 2 + 1 };

// Copies a settings value into a record field, the rest filled with NUL.
static void copy_setting(char *field, const char *value) {
  memset(field, 0, TEXT_FIELD_SIZE);
  copy_text(field, TEXT_FIELD_SIZE, value);
}

// Applies one settings line (line end already removed) to the record.
static void apply_setting(const char *line) {
  if (strncmp(line, "Tempdirstr=", KEY_LEN) == 0)
    copy_setting(Tempdirstr, line + KEY_LEN);
  else if (strncmp(line, "SupplierID=", KEY_LEN) == 0)
    Temp_Supplier_ID = to_int(line + KEY_LEN);
  else if (strncmp(line, "SupplierNm=", KEY_LEN) == 0)
    copy_setting(Temp_Supplier_Name, line + KEY_LEN);
  else if (strncmp(line, "TemperamID=", KEY_LEN) == 0)
    Temp_ID = to_int(line + KEY_LEN);
}

void load_defaults(void) {
  memset(Tempdirstr, 0, sizeof Tempdirstr);
  Temp_Supplier_ID = 999999;
  memset(Temp_Supplier_Name, 0, sizeof Temp_Supplier_Name);
  Temp_ID = 999900;
  APitch = 440.0;
  FILE *inif = fopen(SETTINGS_FILE, "r");
  if (!inif) return;
  char line[SETTINGS_LINE];
  while (fgets(line, sizeof line, inif)) {
    char *ptr = line + strlen(line);
    while (ptr > line && (ptr[-1] == '\r' || ptr[-1] == '\n')) *--ptr = '\0';
    apply_setting(line);
  }
  fclose(inif);
}

// Writes the four settings lines to a new file; 1 when all of it was
// written. A file it created but could not finish is removed again.
static int write_settings_file(const char *name) {
  FILE *f = fopen(name, "w");
  if (!f) return 0;
  fprintf(f, "Tempdirstr=%s\n", Tempdirstr);
  fprintf(f, "SupplierID=%d\n", Temp_Supplier_ID);
  fprintf(f, "SupplierNm=%s\n", Temp_Supplier_Name);
  fprintf(f, "TemperamID=%d\n", Temp_ID);
  int ok = !ferror(f);
  if (fclose(f) != 0) ok = 0;
  if (!ok) remove(name);
  return ok;
}

int save_settings(void) {
  // Opening for appending proves the file can be written, creates it when
  // missing and never truncates it, so the old settings survive a failure.
  // Existence is asked of the file system: a file that cannot be read
  // still exists and must never be removed.
  struct stat st;
  int existed = stat(SETTINGS_FILE, &st) == 0;
  if (read_only_file(SETTINGS_FILE)) return 0;
  FILE *inif = fopen(SETTINGS_FILE, "a");
  if (!inif) return 0;
  fclose(inif);
  checkout_values();
  if (write_settings_file(SETTINGS_TEMP)) {
    if (replace_file(SETTINGS_TEMP, SETTINGS_FILE)) return 1;
    remove(SETTINGS_TEMP);
  }
  // Only the empty file the append-open created is ours to remove.
  if (!existed) remove(SETTINGS_FILE);
  return 0;
}

// ---- Temperaments folder ------------------------------------------------------

enum { PATH_SIZE = 300 };  // search candidates and the search result

// True for the listing's own entries "./" and "../".
static int is_dot_entry(const char *name) {
  return strcmp(name, "./") == 0 || strcmp(name, "../") == 0;
}

// Builds root + name into buf of PATH_SIZE; 0 when it would not fit.
static int build_candidate(char *buf, const char *root, const char *name) {
  return snprintf(buf, PATH_SIZE, "%s%s", root, name) < PATH_SIZE;
}

char *search_for_dir(const char *root, const char *dirname, int maxdepth) {
  static char result[PATH_SIZE];
  char recursive[PATH_SIZE];
  struct dirent **dir = nullptr;
  int anz = fl_filename_list(root, &dir, fl_alphasort);
  if (anz <= 0) {
    if (anz == 0 && dir) fl_filename_free_list(&dir, anz);
    return nullptr;
  }
  char *found = nullptr;
  for (int i = 0; i < anz && !found; i++) {
    const char *name = dir[i]->d_name;
    if (is_dot_entry(name) || !build_candidate(recursive, root, name)) continue;
    if (strcmp(name, dirname) == 0) {
      copy_text(result, sizeof result, recursive);
      found = result;
    }
  }
  for (int i = 0; i < anz && !found && maxdepth > 0; i++) {
    const char *name = dir[i]->d_name;
    size_t len = strlen(name);
    // The listing marks directories with a trailing '/'.
    if (is_dot_entry(name) || len == 0 || name[len - 1] != '/') continue;
    if (!build_candidate(recursive, root, name)) continue;
    found = search_for_dir(recursive, dirname, maxdepth - 1);
  }
  fl_filename_free_list(&dir, anz);
  return found;
}

const char *get_temperdir(void) {
  if (Tempdirstr[0]) return Tempdirstr;
  char *install = search_for_dir(Drive_Root1, "Hauptwerk/", 2);
  if (!install) install = search_for_dir(Drive_Root2, "Hauptwerk/", 2);
  if (install) {
    char hauptwerk[PATH_SIZE];
    copy_text(hauptwerk, sizeof hauptwerk, install);
    char *found = search_for_dir(hauptwerk, "Temperaments/", 2);
    if (found) {
      // A path too long to remember serves this action only: a cut path
      // would name the wrong folder in every later run.
      if (strlen(found) >= sizeof Tempdirstr) return found;
      copy_text(Tempdirstr, sizeof Tempdirstr, found);
      return Tempdirstr;
    }
  }
  const char *chosen =
      dialog_dir("Please help me to find directory 'Temperaments'", Drive_Root1, 0);
  if (chosen && chosen[0]) return chosen;
  return Drive_Root1;
}

// ---- Temperament file writer --------------------------------------------------

static const char SUFFIX[] = "Temperament.Hauptwerk.xml";
// Any folder text the program can hold (the folder chooser's answers are at
// most FL_PATH_MAX), a slash, five characters, a dot and the suffix.
enum { NAME_SIZE = FL_PATH_MAX + 1 + 5 + 1 + sizeof SUFFIX };

// The proposal of Generate File (see main_gui.h).
void propose_file_name(char *buf, size_t n, const char *dir, const char *shortname) {
  copy_text(buf, n, dir);
  size_t len = strlen(buf);
  if (len == 0 || buf[len - 1] != '/') append_text(buf, n, "/");
  append_text(buf, n, shortname);
  len = strlen(buf);
  if (len == 0 || buf[len - 1] != '.') append_text(buf, n, ".");
  append_text(buf, n, SUFFIX);
}

// Writes a text value with &, < and > escaped, so the file stays XML.
static void write_text_value(FILE *f, const char *text) {
  for (const char *p = text; *p; p++) {
    if (*p == '&') fputs("&amp;", f);
    else if (*p == '<') fputs("&lt;", f);
    else if (*p == '>') fputs("&gt;", f);
    else putc(*p, f);
  }
}

// Writes one element holding a text value on its own line.
static void write_text_element(FILE *f, const char *name, const char *text) {
  fprintf(f, "\t\t<%s>", name);
  write_text_value(f, text);
  fprintf(f, "</%s>\n", name);
}

// Formats a pitch as the file holds it: "%16.15g" without leading blanks,
// which is "%.15g". std::to_chars makes exactly printf's text of the "C"
// locale and takes a fraction of its time (the 133 pitches were most of
// the writer's work); snprintf remains for a buffer it finds too small.
static const char *pitch_text(char *pitchstr, size_t n, double value) {
  std::to_chars_result r =
      std::to_chars(pitchstr, pitchstr + n - 1, value, std::chars_format::general, 15);
  if (r.ec == std::errc()) {
    *r.ptr = '\0';
    return pitchstr;
  }
  snprintf(pitchstr, n, "%16.15g", value);
  int j = 0;
  while (pitchstr[j] == ' ') j++;
  return pitchstr + j;
}

static void write_temperament(FILE *f) {
  fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  fprintf(f, "<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\">\n");
  fprintf(f, "<ObjectList ObjectType=\"_General\">\n");
  fprintf(f, "\t<_General>\n");
  fprintf(f, "\t\t<Sys_ObjectID>1</Sys_ObjectID>\n");
  fprintf(f, "\t\t<UniqueTemperamentID>%d</UniqueTemperamentID>\n", Temp_ID);
  write_text_element(f, "Name", Temp_Name);
  write_text_element(f, "ShortName", Temp_ShortName);
  fprintf(f, "\t\t<SupplierID>%06d</SupplierID>\n", Temp_Supplier_ID);
  write_text_element(f, "SupplierName", Temp_Supplier_Name);
  write_text_element(f, "Comments", Temp_Comment);
  write_text_element(f, "TemperamentVersion", Temp_Version);
  fprintf(f, "\t</_General>\n");
  fprintf(f, "</ObjectList>\n");
  fprintf(f, "<ObjectList ObjectType=\"note\">\n");
  char pitchstr[32];  // "%16.15g" of any double needs at most 23 bytes
  for (int i = 0; i < NOTE_COUNT; i++) {
    fprintf(f, "\t<note>\n");
    fprintf(f, "\t\t<MIDINoteNumberOnEightFootStop>%d</MIDINoteNumberOnEightFootStop>\n", i);
    fprintf(f, "\t\t<PitchHz>%s</PitchHz>\n", pitch_text(pitchstr, sizeof pitchstr, Pitch[i]));
    fprintf(f, "\t</note>\n");
  }
  fprintf(f, "</ObjectList>\n");
  fprintf(f, "</Hauptwerk>\n");
}

static void alert_existing_file(void) {
  alertf("Cant write over existing file (for security reasons)\n"
         "Please delete file before generating it or use another name.");
}

FILE *open_new_output(const char *filename) {
  FILE *probe = fopen_utf8(filename, "r");
  if (probe) {
    fclose(probe);
    alert_existing_file();
    return nullptr;
  }
  FILE *f = create_new_file(filename);
  if (!f) {
    if (errno == EEXIST) alert_existing_file();
    else alertf("Cant create file\n%s", filename);
  }
  return f;
}

int close_new_output(FILE *f, const char *filename) {
  int ok = !ferror(f);
  if (fclose(f) != 0) ok = 0;
  if (ok) return 1;
  // The incomplete file is ours: open_new_output created it.
  remove_utf8(filename);
  alertf("Cant write file\n%s", filename);
  return 0;
}

int write_temperament_file(const char *filename) {
  if (!check_pitches()) return 0;
  FILE *xmlf = open_new_output(filename);
  if (!xmlf) return 0;
  write_temperament(xmlf);
  return close_new_output(xmlf, filename);
}

void generate_file(void) {
  static char temperamentdir[NAME_SIZE];
  compute_temperament(1);
  // Refused before anything changes or is asked: the typed values stay.
  if (!check_pitches()) return;
  checkout_values();
  propose_file_name(temperamentdir, sizeof temperamentdir, get_temperdir(), Temp_ShortName);
  const char *filename = dialog_input("Filename to generate", temperamentdir);
  if (!filename) return;
  write_temperament_file(filename);
}

// ---- Load action ----------------------------------------------------------------

// Empties the descriptive fields of the record before a file fills them.
static void reset_descriptive_fields(void) {
  Temp_Supplier_ID = 999999;
  Temp_ID = 999900;
  Temp_Name[0] = '\0';
  Temp_ShortName[0] = '\0';
  Temp_Supplier_Name[0] = '\0';
  Temp_Comment[0] = '\0';
  Temp_Version[0] = '\0';
}

int load_temperament(const char *path) {
  reset_descriptive_fields();
  if (!read_temperament(path)) {
    alertf("Loading %s failed", path);
    return 0;
  }
  if (!compute_cents()) {
    alertf("computing cents failed");
    return 0;
  }
  return 1;
}

// Puts the loaded record into the window; setting texts fires no callback.
static void fill_window(void) {
  char mystr[TEXT_FIELD_SIZE];
  snprintf(mystr, sizeof mystr, "%d", Temp_ID);
  Box_ID->value(mystr);
  Box_Name->value(Temp_Name);
  Box_ShortName->value(Temp_ShortName);
  snprintf(mystr, sizeof mystr, "%06d", Temp_Supplier_ID);
  Box_SupplierID->value(mystr);
  Box_SupplierName->value(Temp_Supplier_Name);
  Box_Comment->value(Temp_Comment);
  Box_Version->value(Temp_Version);
  show_tuning();  // compute_cents has set APitch and DCent from Pitch
}

void load_file(void) {
  // The folder chooser and the file chooser share one text buffer: copy the
  // folder before the file chooser reuses it.
  static char temperamentdir[FL_PATH_MAX];
  static char filename[FL_PATH_MAX];
  copy_text(temperamentdir, sizeof temperamentdir, get_temperdir());
  const char *chosen = dialog_file("Choose file to load", "*.xml", temperamentdir, 0);
  if (!chosen) return;
  copy_text(filename, sizeof filename, chosen);
  if (load_temperament(filename)) fill_window();
}

// ---- Start-up -------------------------------------------------------------------
#ifndef VOSTREL_NO_MAIN
int main(int argc, char **argv) {
  init_drive_roots();
  load_defaults();
  Fl_Window *window = build_window();
  set_window_icon(window);
  window->show(argc, argv);
  return Fl::run();
}
#endif
