// vostrel_web.cpp - the browser page's binding. The page's script calls these
// functions; each runs the core's own steps (the window's and the
// converter's), collects every message they send through the alert seam and
// answers everything in one JSON object. Files live in the in-memory file
// system below one root folder: the page puts chosen files into upload/ and
// reads what is to be downloaded from download/.
#include "vostrel_web.h"

#include "collection.h"
#include "names.h"
#include "report.h"
#include "scala.h"
#include "temperament_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define WEB_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define WEB_EXPORT
#endif

// ---- State ------------------------------------------------------------------
static std::string root;                   // the folder of the page's files
static std::string answer;                 // the JSON object of the last call
static std::vector<std::string> messages;  // the messages of the running call
static std::string message_file;           // "FILE: " before the converter's messages
static std::string last_download;          // removed before the next is written
enum { NAME_SIZE = 4200 };                 // a file name typed into the name dialog

static void collect(const char *text) {
  messages.push_back(message_file + text);
}

// Starts a call's answer; messages go to the list from now on.
static void begin_call(void) {
  messages.clear();
  message_file.clear();
  dialog_alert = collect;
  answer = "{";
}

// ---- JSON -------------------------------------------------------------------

// Appends text as a JSON string; bytes from 0x80 up pass as they are.
static void add_text(const char *text) {
  answer += '"';
  for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
    if (*p == '"' || *p == '\\') {
      answer += '\\';
      answer += (char)*p;
    } else if (*p < 0x20) {
      char esc[8];
      snprintf(esc, sizeof esc, "\\u%04x", *p);
      answer += esc;
    } else {
      answer += (char)*p;
    }
  }
  answer += '"';
}

// Appends "key": after a comma where one is needed.
static void add_key(const char *key) {
  if (answer.size() > 1)
    answer += ',';
  add_text(key);
  answer += ':';
}

static void add_list(const char *key, const std::vector<std::string> &texts) {
  add_key(key);
  answer += '[';
  for (size_t k = 0; k < texts.size(); k++) {
    if (k > 0)
      answer += ',';
    add_text(texts[k].c_str());
  }
  answer += ']';
}

// Ends the answer with "ok" and the messages.
static const char *finish(int ok) {
  add_key("ok");
  answer += ok ? "true" : "false";
  add_list("messages", messages);
  answer += '}';
  return answer.c_str();
}

// ---- What the page shows --------------------------------------------------------

static std::string number_text(const char *format, int value) {
  char text[32];
  snprintf(text, sizeof text, format, value);
  return text;
}

// The tuning column as the window shows it: A-Pitch, offsets, reference octave.
static void add_tuning(void) {
  char text[DISPLAY_SIZE];
  std::vector<std::string> cents, pitches;
  for (int i = 0; i < 12; i++) {
    format_cents(text, DCent[i]);
    cents.push_back(text);
    format_pitch(text, Pitch[REF_NOTE + i]);
    pitches.push_back(text);
  }
  format_pitch(text, APitch);
  add_key("apitch");
  add_text(text);
  add_list("cents", cents);
  add_list("pitches", pitches);
}

// The descriptive fields as Load File fills them from the record.
static void add_loaded_fields(void) {
  add_list("fields",
           {number_text("%d", Temp_ID), Temp_Name, Temp_ShortName,
            number_text("%06d", Temp_Supplier_ID), Temp_Supplier_Name, Temp_Comment, Temp_Version});
}

// ---- Files ------------------------------------------------------------------------

static std::string folder(const char *name) {
  return root + "/" + name;
}

// Reads a whole file; "" when it cannot.
static std::string read_whole(const char *path) {
  std::string bytes;
  FILE *f = fopen(path, "rb");
  if (!f)
    return bytes;
  char buf[4096];
  size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0)
    bytes.append(buf, n);
  fclose(f);
  return bytes;
}

// Rewrites a file with CR LF line ends, as text mode on Windows writes it.
static int to_crlf(const char *path) {
  std::string lf = read_whole(path), crlf;
  for (char c : lf) {
    if (c == '\n')
      crlf += '\r';
    crlf += c;
  }
  FILE *f = fopen(path, "wb");
  if (!f)
    return 0;
  int ok = fwrite(crlf.data(), 1, crlf.size(), f) == crlf.size();
  return fclose(f) == 0 && ok;
}

// Makes download/ the working folder, emptied of the last download.
static void enter_download(void) {
  chdir(folder("download").c_str());
  if (!last_download.empty())
    remove(last_download.c_str());
  last_download.clear();
}

// After a write: the file to read, with the platform's line ends.
static int downloaded(int ok, const char *filename, int crlf) {
  last_download = filename;
  if (ok && crlf && !to_crlf(filename)) {
    alertf("Cant write file\n%s", filename);
    ok = 0;
  }
  add_key("file");
  add_text(filename);
  return ok;
}

// ---- Start-up -----------------------------------------------------------------------

WEB_EXPORT const char *web_start(const char *root_folder, const char *temp_id,
                                 const char *supplier_id, const char *supplier_name) {
  begin_call();
  root = root_folder;
  for (const char *name : {"", "upload", "download", "scratch", "collection"})
    mkdir(folder(name).c_str(), 0777);
  FILE *table = fopen(folder("collection.tsv").c_str(), "wb");
  if (table) {
    fputs(COLLECTION_TABLE, table);
    fclose(table);
  }
  // The defaults, then the remembered values as the settings file gives them.
  Temp_ID = temp_id ? to_int(temp_id) : DEFAULT_TEMPERAMENT_ID;
  Temp_Supplier_ID = supplier_id ? to_int(supplier_id) : DEFAULT_SUPPLIER_ID;
  copy_text(Temp_Supplier_Name, TEXT_FIELD_SIZE, supplier_name ? supplier_name : "");
  APitch = 440.0;
  for (double &d : DCent)
    d = 0.0;
  compute_temperament(0);
  add_list("fields", {number_text("%d", Temp_ID), "Equal Temperament", "Equal",
                      number_text("%d", Temp_Supplier_ID), Temp_Supplier_Name, "", "1.00"});
  add_tuning();
  return finish(1);
}

WEB_EXPORT const char *web_tuning(int field, const char *text) {
  begin_call();
  if (field == -1)
    APitch = tuning_value(text);
  else if (field >= 0 && field < 12)
    DCent[field] = tuning_value(text);
  compute_temperament(0);
  add_tuning();
  return finish(1);
}

// ---- Generate -----------------------------------------------------------------------

WEB_EXPORT const char *web_generate(int kind, const char *id, const char *name,
                                    const char *shortname, const char *supplier_id,
                                    const char *supplier_name, const char *comment,
                                    const char *version) {
  begin_call();
  compute_temperament(1);
  // Refused before anything changes or is asked: the typed values stay.
  if (!check_pitches()) {
    add_tuning();
    return finish(0);
  }
  const char *const text[7] = {id, name, shortname, supplier_id, supplier_name, comment, version};
  commit_fields(text);
  compute_temperament(1);
  add_tuning();
  // The window's proposal without a folder: the short name and the suffix.
  char proposal[TEXT_FIELD_SIZE + sizeof "/.Temperament.Hauptwerk.xml"];
  propose_file_name(proposal, sizeof proposal, "", Temp_ShortName);
  std::string scl = std::string(Temp_ShortName) + ".scl";
  add_key("proposal");
  add_text(kind == 1 ? scl.c_str() : proposal + 1);
  return finish(1);
}

WEB_EXPORT const char *web_write(const char *filename, int crlf) {
  begin_call();
  enter_download();
  int ok = downloaded(write_temperament_file(filename), filename, crlf);
  // What Exit keeps in Vostrel.ini.
  add_list("remember",
           {number_text("%d", Temp_ID), number_text("%d", Temp_Supplier_ID), Temp_Supplier_Name});
  return finish(ok);
}

// The tuning the record holds, kept while a file is read back.
static double saved_apitch, saved_dcent[12], saved_pitch[NOTE_COUNT];

static void save_tuning(void) {
  saved_apitch = APitch;
  memcpy(saved_dcent, DCent, sizeof DCent);
  memcpy(saved_pitch, Pitch, sizeof Pitch);
}

static void restore_tuning(void) {
  APitch = saved_apitch;
  memcpy(DCent, saved_dcent, sizeof DCent);
  memcpy(Pitch, saved_pitch, sizeof Pitch);
}

WEB_EXPORT const char *web_write_scl(const char *filename, int tonic, int crlf) {
  begin_call();
  enter_download();
  // The host file Generate File writes, read back and converted as
  // vostrel-convert --to-scl converts it; the record's tuning stays.
  static char host[NAME_SIZE];
  propose_file_name(host, sizeof host, folder("scratch").c_str(), Temp_ShortName);
  save_tuning();
  remove(host);
  int ok = write_temperament_file(host) && load_temperament(host);
  std::string description = Temp_Name[0] ? Temp_Name : Temp_ShortName;
  ok = ok && write_scl(filename, ((tonic % 12) + 12) % 12, description.c_str());
  remove(host);
  restore_tuning();
  return finish(downloaded(ok, filename, crlf));
}

// ---- Load --------------------------------------------------------------------------

// Load File of path (relative to the working folder): fields and tuning on
// success; on failure the page stays as it was.
static const char *load_into_page(const char *path) {
  int ok = load_temperament(path);
  if (ok) {
    add_loaded_fields();
    add_tuning();
  }
  return finish(ok);
}

WEB_EXPORT const char *web_load(const char *name) {
  begin_call();
  chdir(folder("upload").c_str());
  return load_into_page(name);
}

// ---- Scala ---------------------------------------------------------------------------

WEB_EXPORT const char *web_scale(const char *scl, const char *kbm, int tonic) {
  begin_call();
  chdir(folder("upload").c_str());
  if (kbm[0]) {
    message_file = std::string(kbm) + ": ";
    if (!read_kbm(kbm))
      return finish(0);
  }
  message_file = std::string(scl) + ": ";
  Scale_Description[0] = '\0';
  if (!read_scl(scl))
    return finish(0);
  if (kbm[0]) {
    scale_to_offsets(note_class(Kbm_Middle), 440.0);
    APitch = kbm_a_pitch();
  } else {
    scale_to_offsets(((tonic % 12) + 12) % 12, APitch);
  }
  compute_temperament(1);
  std::string name = Scale_Description[0] ? Scale_Description : file_stem(scl);
  std::string shortname = short_name_from(scl);
  std::string id = std::to_string(DEFAULT_TEMPERAMENT_ID);
  std::string supplier = std::to_string(DEFAULT_SUPPLIER_ID);
  const char *const text[7] = {id.c_str(), name.c_str(), shortname.c_str(), supplier.c_str(), "",
                               "",         "1.00"};
  commit_fields(text);
  add_list("fields", {"", Temp_Name, Temp_ShortName});
  add_tuning();
  return finish(1);
}

// ---- Collection ----------------------------------------------------------------------

// Parses the table's entries in order, up to entry `stop` (all for -1) or the
// first bad line (after its message); the count parsed.
static int parse_table(int stop, std::vector<std::string> *names) {
  int count = 0;
  const char *p = COLLECTION_TABLE;
  while (*p && (stop < 0 || count <= stop)) {
    size_t len = strcspn(p, "\n");
    char line[TABLE_LINE_SIZE];
    copy_text(line, len < sizeof line ? len + 1 : sizeof line, p);
    p += len + (p[len] == '\n');
    int r = parse_entry(line);
    if (r == 0)
      break;
    if (r < 0)
      continue;
    if (names)
      names->push_back(Entry_Name);
    count++;
  }
  return count;
}

WEB_EXPORT const char *web_collection(void) {
  begin_call();
  std::vector<std::string> names;
  parse_table(-1, &names);
  add_list("entries", names);
  return finish(messages.empty());
}

WEB_EXPORT const char *web_entry(int k) {
  begin_call();
  if (k < 0 || parse_table(k, nullptr) != k + 1)
    return finish(0);
  // The entry explained, and the host file make_collection writes for it.
  char about[TABLE_LINE_SIZE], stem[TEXT_FIELD_SIZE];
  entry_about(about, sizeof about);
  add_key("about");
  add_text(about);
  entry_file_stem(stem);
  char path[TEXT_FIELD_SIZE + sizeof "/.Temperament.Hauptwerk.xml"];
  propose_file_name(path, sizeof path, "", stem);
  chdir(folder("collection").c_str());
  return load_into_page(path + 1);
}

// ---- Report --------------------------------------------------------------------------

// The fifth's tempering as a fraction of the Pythagorean comma ("-1/4",
// "0" for pure), or "" when it is none with a denominator up to 12. The
// tolerance takes offsets typed to three decimals.
static std::string comma_fraction(double deviation) {
  for (int n = 1; n <= 12; n++) {
    double m = std::round(deviation / PYTHAGOREAN_COMMA * n);
    if (fabs(deviation - m * PYTHAGOREAN_COMMA / n) < 0.0015 && fabs(m) <= 2 * n) {
      if (m == 0)
        return "0";
      return number_text("%+d", (int)m) + (n > 1 ? number_text("/%d", n) : "");
    }
  }
  return "";
}

// Splits a report row into its blank-separated columns, then the fraction.
static std::string row_json(const char *row, const char *fraction) {
  std::string json = "[";
  char copy[256];
  copy_text(copy, sizeof copy, row);
  for (char *w = strtok(copy, " \n"); w; w = strtok(nullptr, " \n")) {
    json += "\"" + std::string(w) + "\",";
  }
  return json + "\"" + fraction + "\"]";
}

// The rows of print_report after the heading that starts with heading.
static std::string report_rows(const std::string &report, const char *heading, int fifths) {
  size_t at = report.find(std::string("\n") + heading);
  std::string rows;
  for (int k = 0; k < 12 && at != std::string::npos; k++) {
    at = report.find('\n', at + 1);
    size_t end = report.find('\n', at + 1);
    std::string row = report.substr(at + 1, end - at - 1);
    std::string fraction;
    if (fifths) {
      int lower = 60 + (7 * k) % 12, upper = lower + 7;
      fraction = comma_fraction(1200.0 * log2(Pitch[upper] / Pitch[lower]) - PURE_FIFTH);
    }
    rows += (k ? "," : "") + row_json(row.c_str(), fraction.c_str());
  }
  return "[" + rows + "]";
}

// The line of the report that starts with start, without its line end.
static std::string report_line(const std::string &report, const char *start) {
  size_t at = report.find(start);
  return at == std::string::npos ? "" : report.substr(at, report.find('\n', at) - at);
}

WEB_EXPORT const char *web_report(void) {
  begin_call();
  // The report needs all notes; the record's pitches stay as the window has them.
  save_tuning();
  compute_temperament(1);
  std::string report, path = folder("scratch/report.txt");
  FILE *f = fopen(path.c_str(), "w");
  if (f) {
    print_report(f, "");
    fclose(f);
    report = read_whole(path.c_str());
  }
  add_key("fifths");
  answer += report_rows(report, "Fifth ", 1);
  add_key("thirds");
  answer += report_rows(report, "Major third ", 0);
  add_key("apitch");
  add_text(report_line(report, "A = ").c_str());
  add_key("sum");
  add_text(report_line(report, "Sum of").c_str());
  restore_tuning();
  return finish(!report.empty());
}
