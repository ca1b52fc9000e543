// temperament_file.cpp - writes the host's temperament file, proposes its
// name, and reads one back into the record (the load sequence).
#include "temperament_file.h"

#include "Temper_reader.h"
#include "utf8_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

const char TEMPERAMENT_SUFFIX[] = "Temperament.Hauptwerk.xml";
const char EXISTING_FILE_ALERT[] =
    "Cant write over existing file (for security reasons)\n"
    "Please delete file before generating it or use another name.";

// ---- New files ----------------------------------------------------------------

// Opens a new file for writing in text mode; null when it already exists
// (errno EEXIST) or cannot be created. An existing file is never touched.
// The name is UTF-8.
static FILE *create_new_file(const char *name) {
#ifdef _WIN32
  static wchar_t wname[WIDE_NAME_SIZE];
  const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT;
  int fd = wide_name(name, wname) ? _wopen(wname, flags, 0666) : _open(name, flags, 0666);
  if (fd < 0)
    return nullptr;
  FILE *f = _fdopen(fd, "w");
  if (!f)
    _close(fd);
#else
  int fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0)
    return nullptr;
  FILE *f = fdopen(fd, "w");
  if (!f)
    close(fd);
#endif
  return f;
}

static void alert_existing_file(void) {
  alertf("%s", EXISTING_FILE_ALERT);
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
    if (errno == EEXIST)
      alert_existing_file();
    else
      alertf("Cant create file\n%s", filename);
  }
  return f;
}

int close_new_output(FILE *f, const char *filename) {
  int ok = !ferror(f);
  if (fclose(f) != 0)
    ok = 0;
  if (ok)
    return 1;
  // The incomplete file is ours: open_new_output created it.
  remove_utf8(filename);
  alertf("Cant write file\n%s", filename);
  return 0;
}

// ---- Writer -------------------------------------------------------------------

// True for a character that ends a folder's name in a path: a slash, and on
// Windows also a backslash.
static int is_path_separator(char c) {
#ifdef _WIN32
  if (c == '\\')
    return 1;
#endif
  return c == '/';
}

const char *path_base(const char *path) {
  const char *base = path + strlen(path);
  while (base > path && !is_path_separator(base[-1]))
    base--;
  return base;
}

const char *path_separator(const char *dir) {
  size_t len = strlen(dir);
  if (len > 0 && is_path_separator(dir[len - 1]))
    return "";
  return strchr(dir, '\\') && is_path_separator('\\') ? "\\" : "/";
}

void propose_file_name(char *buf, size_t n, const char *dir, const char *shortname) {
  copy_text(buf, n, dir);
  append_text(buf, n, path_separator(dir));
  append_text(buf, n, shortname);
  size_t len = strlen(buf);
  if (len == 0 || buf[len - 1] != '.')
    append_text(buf, n, ".");
  append_text(buf, n, TEMPERAMENT_SUFFIX);
}

// Writes a text value with &, < and > escaped, so the file stays XML.
static void write_text_value(FILE *f, const char *text) {
  for (const char *p = text; *p; p++) {
    if (*p == '&')
      fputs("&amp;", f);
    else if (*p == '<')
      fputs("&lt;", f);
    else if (*p == '>')
      fputs("&gt;", f);
    else
      putc(*p, f);
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
// the writer's work); snprintf remains for a buffer it finds too small, and
// where the library has no floating-point to_chars (Emscripten's libc++).
static const char *pitch_text(char *pitchstr, size_t n, double value) {
#ifdef __cpp_lib_to_chars
  std::to_chars_result r =
      std::to_chars(pitchstr, pitchstr + n - 1, value, std::chars_format::general, 15);
  if (r.ec == std::errc()) {
    *r.ptr = '\0';
    return pitchstr;
  }
#endif
  snprintf(pitchstr, n, "%16.15g", value);
  int j = 0;
  while (pitchstr[j] == ' ')
    j++;
  return pitchstr + j;
}

void write_temperament(FILE *f) {
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

int write_temperament_file(const char *filename) {
  if (!check_pitches())
    return 0;
  FILE *xmlf = open_new_output(filename);
  if (!xmlf)
    return 0;
  write_temperament(xmlf);
  return close_new_output(xmlf, filename);
}

// ---- Load sequence ----------------------------------------------------------------

// Empties the descriptive fields of the record before a file fills them.
static void reset_descriptive_fields(void) {
  Temp_Supplier_ID = DEFAULT_SUPPLIER_ID;
  Temp_ID = DEFAULT_TEMPERAMENT_ID;
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
