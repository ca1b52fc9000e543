// vostrel_web.cpp - the browser page's binding. The page's script calls these
// functions; each runs the core's own steps (the window's and the
// converter's), collects every message they send through the alert seam and
// answers everything in one JSON object. Files live in the in-memory file
// system below one root folder: the page puts chosen files into upload/ and
// reads what is to be downloaded from download/.
#include "vostrel_web.h"

#include "collection.h"
#include "fifths.h"
#include "names.h"
#include "report.h"
#include "scala.h"
#include "temperament_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <strings.h>
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
static int decimals[12];                   // decimals each cent field shows, 1 to 3
enum { NAME_SIZE = 4200 };                 // a file name typed into the name dialog
enum { NAME_MAX_BYTES = 255 };             // the longest name file systems take
// The collection's temperament IDs: never remembered as the user's own.
enum { COLLECTION_FIRST_ID = 999901, COLLECTION_LAST_ID = 999999 };

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

// The length of the well-formed UTF-8 sequence at p (1 to 4), or 0 when
// the bytes there are none (a stray, overlong or cut sequence, a surrogate).
static int utf8_length(const unsigned char *p) {
  int n = *p < 0xC2 ? 0 : *p < 0xE0 ? 2 : *p < 0xF0 ? 3 : *p < 0xF5 ? 4 : 0;
  if (n == 0)
    return 0;
  for (int k = 1; k < n; k++) {
    if ((p[k] & 0xC0) != 0x80)
      return 0;
  }
  int code = (p[0] & (0x7F >> n)) << 6 * (n - 1);
  for (int k = 1; k < n; k++)
    code |= (p[k] & 0x3F) << 6 * (n - 1 - k);
  int least[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (n && (code < least[n] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)))
    return 0;
  return n;
}

// Text as a JSON string: quotes, backslashes and control characters
// escaped, a byte that is not part of UTF-8 text made U+FFFD.
static std::string json_text(const char *text) {
  std::string json = "\"";
  for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
    int n = *p < 0x80 ? 1 : utf8_length(p);
    if (*p == '"' || *p == '\\') {
      json += '\\';
      json += (char)*p;
    } else if (*p < 0x20 || n == 0) {
      char esc[8];
      snprintf(esc, sizeof esc, "\\u%04x", n ? *p : 0xFFFD);
      json += esc;
    } else {
      json.append((const char *)p, n);
      p += n - 1;
    }
  }
  return json + '"';
}

static void add_text(const char *text) {
  answer += json_text(text);
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

// Offset i as the page shows it: to the decimals typed (two or three), else
// as the window shows it.
static void format_offset(char *text, int i) {
  if (decimals[i] < 2 ||
      snprintf(text, DISPLAY_SIZE, "%+.*f", decimals[i], DCent[i]) >= DISPLAY_SIZE)
    format_cents(text, DCent[i]);
}

// The tuning column: A-Pitch, offsets, reference octave; and "state", the
// exact values and decimals, which web_restore takes back.
static void add_tuning(void) {
  char text[DISPLAY_SIZE];
  std::vector<std::string> cents, pitches;
  snprintf(text, sizeof text, "%.17g", APitch);
  std::string state = text;
  for (int i = 0; i < 12; i++) {
    snprintf(text, sizeof text, " %.17g", DCent[i]);
    state += text;
    format_offset(text, i);
    cents.push_back(text);
    format_pitch(text, Pitch[REF_NOTE + i]);
    pitches.push_back(text);
  }
  for (int places : decimals)
    state += number_text(" %d", places);
  format_pitch(text, APitch);
  add_key("apitch");
  add_text(text);
  add_list("cents", cents);
  add_list("pitches", pitches);
  add_key("state");
  add_text(state.c_str());
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

// The browser saves into its downloads folder, so a name to download must be
// one plain name that file systems take; 0 after the message when it is not.
static int download_name(const char *name) {
  if (!name[0])
    alertf("Cant create file\nPlease give the file a name.");
  else if (strpbrk(name, "/\\"))
    alertf(
        "Cant create file\n%s\nThe browser saves into its downloads folder: a name with / or "
        "\\ in it names another folder.",
        name);
  else if (strlen(name) > NAME_MAX_BYTES)
    alertf("Cant create file\n%s\nThe name is longer than %d bytes, more than file systems take.",
           name, NAME_MAX_BYTES);
  else
    return 1;
  return 0;
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
  if (ok)
    last_download = filename;
  if (ok && crlf && !to_crlf(filename)) {
    alertf("Cant write file\n%s", filename);
    ok = 0;
  }
  add_key("file");
  add_text(filename);
  return ok;
}

// ---- Start-up and typed values -----------------------------------------------------

// Equal temperament at the present A-Pitch with the start's texts: the
// defaults, then the remembered values as the settings file gives them.
static void equal_temperament(const char *temp_id, const char *supplier_id,
                              const char *supplier_name) {
  Temp_ID = temp_id ? to_int(temp_id) : DEFAULT_TEMPERAMENT_ID;
  Temp_Supplier_ID = supplier_id ? to_int(supplier_id) : DEFAULT_SUPPLIER_ID;
  copy_text(Temp_Supplier_Name, TEXT_FIELD_SIZE, supplier_name ? supplier_name : "");
  for (int i = 0; i < 12; i++) {
    DCent[i] = 0.0;
    decimals[i] = 0;
  }
  compute_temperament(0);
  add_list("fields", {number_text("%d", Temp_ID), "Equal Temperament", "Equal",
                      number_text("%d", Temp_Supplier_ID), Temp_Supplier_Name, "", "1.00"});
  add_tuning();
}

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
  APitch = 440.0;
  equal_temperament(temp_id, supplier_id, supplier_name);
  // For a file the page writes into a folder the user chose.
  add_key("existing");
  add_text(EXISTING_FILE_ALERT);
  return finish(1);
}

WEB_EXPORT const char *web_reset(const char *temp_id, const char *supplier_id,
                                 const char *supplier_name) {
  begin_call();
  equal_temperament(temp_id, supplier_id, supplier_name);
  return finish(1);
}

// A typed number as the window reads it (tuning_value), once a typographic
// minus is made '-' and a decimal comma the point; the decimals typed. 0
// after the message when commas leave the number in doubt.
static int typed_number(const char *text, double *value, int *places) {
  std::string t;
  for (const char *p = text; *p; p++) {
    if (strncmp(p, "\xE2\x88\x92", 3) == 0) {
      t += '-';
      p += 2;
    } else {
      t += *p;
    }
  }
  size_t comma = t.find(',');
  if (comma != std::string::npos) {
    if (std::count(t.begin(), t.end(), ',') + std::count(t.begin(), t.end(), '.') > 1) {
      alertf("\"%s\" is not one number: type it with one decimal point or one decimal comma.",
             text);
      return 0;
    }
    t[comma] = '.';
  }
  *value = tuning_value(t.c_str());
  size_t point = t.find('.');
  *places = point == std::string::npos ? 0 : (int)strspn(t.c_str() + point + 1, "0123456789");
  return 1;
}

WEB_EXPORT const char *web_tuning(int field, const char *text) {
  begin_call();
  double value = 0.0;
  int places = 0;
  int ok = typed_number(text, &value, &places);
  if (ok && field == -1) {
    APitch = value;
  } else if (ok && field >= 0 && field < 12) {
    DCent[field] = value;
    decimals[field] = std::min(places, 3);
  }
  compute_temperament(0);
  add_tuning();
  return finish(ok);
}

// Puts back a tuning that add_tuning gave as "state" (Undo, a later visit).
WEB_EXPORT const char *web_restore(const char *state) {
  begin_call();
  double values[13];
  int places[12];
  char *p = (char *)state, *end = nullptr;
  int ok = 1;
  for (int k = 0; k < 25 && ok; k++) {
    double v = strtod(p, &end);
    ok = end != p;
    p = end;
    if (k < 13)
      values[k] = v;
    else
      places[k - 13] = std::min(std::max((int)v, 0), 3);
  }
  if (ok) {
    APitch = values[0];
    memcpy(DCent, values + 1, sizeof DCent);
    memcpy(decimals, places, sizeof decimals);
  }
  compute_temperament(0);
  add_tuning();
  return finish(ok);
}

// A descriptive text as the host file will hold it: cut to the record's
// size, every character outside ASCII a blank for each of its bytes (the
// window's rule), with one message naming those characters.
WEB_EXPORT const char *web_text(const char *label, const char *text) {
  begin_call();
  char field[TEXT_FIELD_SIZE];
  copy_text(field, sizeof field, text);
  std::string named;
  for (const unsigned char *p = (const unsigned char *)field; *p; p++) {
    int n = std::max(utf8_length(p), 1);
    std::string character((const char *)p, n);
    if (*p >= 0x7F && named.find("\"" + character + "\"") == std::string::npos)
      named += (named.empty() ? "\"" : ", \"") + character + "\"";
    p += n - 1;
  }
  Check_for_ASCII(label, field);
  messages.clear();
  if (strlen(text) >= sizeof field)
    alertf("Field %s:\nThe host file holds its first %d bytes only.", label, TEXT_FIELD_SIZE - 1);
  if (!named.empty())
    alertf(
        "Field %s:\nThe host file holds ASCII characters only: %s written as blanks, one for "
        "each byte.",
        label, named.c_str());
  add_key("text");
  add_text(field);
  return finish(1);
}

// ---- Generate -----------------------------------------------------------------------

// The file name proposed: the stem given (a collection entry's), the short
// name or, without one, the name; with the characters file systems refuse
// made '-' as in the collection's names.
static std::string proposal(const char *stem, const char *ending) {
  const char *name = stem[0] ? stem : Temp_ShortName[0] ? Temp_ShortName : Temp_Name;
  // entry_file_stem cleans the entry's name; the entry is parsed anew by every call.
  copy_text(Entry_Name, TEXT_FIELD_SIZE, name[0] ? name : "Temperament");
  char clean[TEXT_FIELD_SIZE];
  entry_file_stem(clean);
  char file[TEXT_FIELD_SIZE + sizeof "/.Temperament.Hauptwerk.xml"];
  propose_file_name(file, sizeof file, "", clean);
  return ending ? std::string(clean) + ending : std::string(file + 1);
}

WEB_EXPORT const char *web_generate(int kind, const char *stem, const char *id, const char *name,
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
  add_key("proposal");
  add_text(proposal(stem, kind == 1 ? ".scl" : nullptr).c_str());
  return finish(1);
}

WEB_EXPORT const char *web_write(const char *filename, int crlf) {
  begin_call();
  if (!download_name(filename))
    return finish(0);
  enter_download();
  int ok = downloaded(write_temperament_file(filename), filename, crlf);
  // What Exit keeps in Vostrel.ini: nothing for a collection entry's ID.
  std::vector<std::string> kept;
  if (Temp_ID < COLLECTION_FIRST_ID || Temp_ID > COLLECTION_LAST_ID)
    kept = {number_text("%d", Temp_ID), number_text("%d", Temp_Supplier_ID), Temp_Supplier_Name};
  add_list("remember", kept);
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
  if (!download_name(filename))
    return finish(0);
  enter_download();
  // The host file Generate File writes, read back and converted as
  // vostrel-convert --to-scl converts it; the record's tuning stays.
  std::string host = folder("scratch/host.xml");
  save_tuning();
  remove(host.c_str());
  int ok = write_temperament_file(host.c_str()) && load_temperament(host.c_str());
  std::string description = Temp_Name[0] ? Temp_Name : Temp_ShortName;
  ok = ok && write_scl(filename, ((tonic % 12) + 12) % 12, description.c_str());
  remove(host.c_str());
  restore_tuning();
  return finish(downloaded(ok, filename, crlf));
}

// ---- Load --------------------------------------------------------------------------

// Load File of path (relative to the working folder): fields and tuning on
// success, at the file's A-Pitch or the present one; on failure the page
// stays as it was.
static const char *load_into_page(const char *path, int keep_apitch) {
  double apitch = APitch;
  int ok = load_temperament(path);
  if (ok) {
    if (keep_apitch)
      APitch = apitch;
    compute_temperament(0);
    memset(decimals, 0, sizeof decimals);
    add_loaded_fields();
    add_tuning();
  }
  return finish(ok);
}

WEB_EXPORT const char *web_load(const char *name) {
  begin_call();
  chdir(folder("upload").c_str());
  return load_into_page(name, 0);
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
  memset(decimals, 0, sizeof decimals);
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
  // The entry explained, and the host file make_collection writes for it, at the page's
  // A-Pitch.
  char about[TABLE_LINE_SIZE], stem[TEXT_FIELD_SIZE];
  entry_about(about, sizeof about);
  add_key("about");
  add_text(about);
  entry_file_stem(stem);
  add_key("stem");
  add_text(stem);
  char path[TEXT_FIELD_SIZE + sizeof "/.Temperament.Hauptwerk.xml"];
  propose_file_name(path, sizeof path, "", stem);
  chdir(folder("collection").c_str());
  return load_into_page(path + 1, 1);
}

// ---- The collection as one zip file ------------------------------------------------
// Written here in the zip format's store method (the files as they are, no
// compression): each file's local header and bytes, then the central
// directory and its end record. A fixed date (1 January 1980) keeps the
// bytes the same from build to build.

static uint32_t crc32_of(const std::string &bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; k++)
      crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// Appends value as `bytes` bytes, least significant first.
static void put(std::string &out, uint32_t value, int bytes) {
  for (int k = 0; k < bytes; k++) {
    out += (char)(value & 0xFF);
    value >>= 8;
  }
}

// Appends a file's local header (offset -1) or its central directory
// record, which gives the offset of the local header.
static void zip_header(std::string &out, const std::string &name, const std::string &bytes,
                       long offset) {
  put(out, offset < 0 ? 0x04034b50 : 0x02014b50, 4);
  if (offset >= 0)
    put(out, 20, 2);    // made by: zip 2.0, MS-DOS attributes
  put(out, 10, 2);      // needed: zip 1.0, stored files
  put(out, 0x0800, 2);  // the name is UTF-8
  put(out, 0, 2);       // stored
  put(out, 0, 2);       // 00:00
  put(out, 0x21, 2);    // 1980-01-01
  put(out, crc32_of(bytes), 4);
  put(out, bytes.size(), 4);
  put(out, bytes.size(), 4);
  put(out, name.size(), 2);
  put(out, 0, 2);  // no extra field
  if (offset >= 0) {
    put(out, 0, 4);  // no comment, disk 0
    put(out, 0, 2);  // internal attributes
    put(out, 0, 4);  // external attributes
    put(out, offset, 4);
  }
  out += name;
}

// The host files in collection/, by name.
static std::vector<std::string> collection_files(void) {
  std::vector<std::string> names;
  DIR *dir = opendir(folder("collection").c_str());
  for (struct dirent *e = dir ? readdir(dir) : nullptr; e; e = readdir(dir)) {
    std::string name = e->d_name;
    if (name.size() > strlen(TEMPERAMENT_SUFFIX) &&
        name.compare(name.size() - strlen(TEMPERAMENT_SUFFIX), std::string::npos,
                     TEMPERAMENT_SUFFIX) == 0)
      names.push_back(name);
  }
  if (dir)
    closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// "Download the whole collection": every host file in collection/ in one
// zip file, written into download/ as filename.
WEB_EXPORT const char *web_zip(const char *filename) {
  begin_call();
  if (!download_name(filename))
    return finish(0);
  std::vector<std::string> names = collection_files();
  std::string zip, central;
  for (const std::string &name : names) {
    std::string bytes = read_whole((folder("collection") + "/" + name).c_str());
    zip_header(central, name, bytes, (long)zip.size());
    zip_header(zip, name, bytes, -1);
    zip += bytes;
  }
  size_t directory = zip.size();
  zip += central;
  put(zip, 0x06054b50, 4);
  put(zip, 0, 4);  // disk 0, directory on disk 0
  put(zip, names.size(), 2);
  put(zip, names.size(), 2);
  put(zip, central.size(), 4);
  put(zip, directory, 4);
  put(zip, 0, 2);  // no comment
  enter_download();
  FILE *f = open_new_output(filename);
  int ok = f && fwrite(zip.data(), 1, zip.size(), f) == zip.size();
  ok = f && close_new_output(f, filename) && ok;
  return finish(downloaded(ok && !names.empty(), filename, 0));
}

// ---- Report --------------------------------------------------------------------------

// Splits a report row into its blank-separated columns (and the fifth's
// fraction of a comma, when given).
static std::string row_json(const char *row, const char *fraction) {
  std::string json;
  char copy[256];
  copy_text(copy, sizeof copy, row);
  for (char *w = strtok(copy, " \n"); w; w = strtok(nullptr, " \n"))
    json += (json.empty() ? "[" : ",") + json_text(w);
  if (fraction)
    json += (json.empty() ? "[" : ",") + json_text(fraction);
  return json.empty() ? "[]" : json + "]";
}

// The twelve rows of print_report after the heading that starts with
// heading, as JSON; the fifths' rows end with the fraction of a comma.
static std::string report_rows(const std::string &report, const char *heading, int fifths) {
  size_t at = report.find(std::string("\n") + heading);
  std::string rows;
  for (int k = 0; k < 12 && at != std::string::npos; k++) {
    at = report.find('\n', at + 1);
    size_t end = report.find('\n', at + 1);
    std::string row = report.substr(at + 1, end - at - 1);
    char fraction[16];
    if (fifths) {
      int lower = 60 + (7 * k) % 12, upper = lower + 7;
      comma_fraction(fraction, sizeof fraction,
                     1200.0 * log2(Pitch[upper] / Pitch[lower]) - PURE_FIFTH);
    }
    rows += (k ? "," : "") + row_json(row.c_str(), fifths ? fraction : nullptr);
  }
  return "[" + rows + "]";
}

// The line of the report that starts with start, without its line end.
static std::string report_line(const std::string &report, const char *start) {
  size_t at = report.find(start);
  return at == std::string::npos ? "" : report.substr(at, report.find('\n', at) - at);
}

// Adds the report of the tuning in APitch and DCent under keys beginning
// with prefix: "offsets" (note, offset, pitch from middle C), "fifths",
// "thirds" and "minor" rows, "apitch" and "sum" lines, and "hz", all 133
// pitches as the host file would hold them. 0 when it cannot be made.
static int add_report(const std::string &prefix) {
  compute_temperament(1);
  std::string report, path = folder("scratch/report.txt");
  FILE *f = fopen(path.c_str(), "w");
  if (f) {
    print_report(f, "");
    fclose(f);
    report = read_whole(path.c_str());
  }
  const char *const TABLES[4][2] = {{"offsets", "Note "},
                                    {"fifths", "Fifth "},
                                    {"thirds", "Major third "},
                                    {"minor", "Minor third "}};
  for (int t = 0; t < 4; t++) {
    add_key((prefix + TABLES[t][0]).c_str());
    answer += report_rows(report, TABLES[t][1], t == 1);
  }
  add_key((prefix + "apitch").c_str());
  add_text(report_line(report, "A = ").c_str());
  add_key((prefix + "sum").c_str());
  add_text(report_line(report, "Sum of").c_str());
  add_key((prefix + "hz").c_str());
  char hz[32];
  for (int n = 0; n < NOTE_COUNT; n++) {
    snprintf(hz, sizeof hz, "%.17g", Pitch[n]);
    answer += (n ? "," : "[") + std::string(std::isfinite(Pitch[n]) ? hz : "null");
  }
  answer += ']';
  return !report.empty();
}

// ---- Compare ---------------------------------------------------------------------------

// The temperament the page compares with: its offsets from A and its name.
static double compare_cents[12];
static std::string compare_name = "Equal temperament";

WEB_EXPORT const char *web_report(void) {
  begin_call();
  // The reports need all notes; the record's pitches stay as the window has them.
  save_tuning();
  int ok = add_report("");
  // The compared temperament at the same A-Pitch, so that both sound side by side.
  memcpy(DCent, compare_cents, sizeof DCent);
  ok = add_report("c_") && ok;
  add_key("c_name");
  add_text(compare_name.c_str());
  restore_tuning();
  return finish(ok);
}

// The descriptive fields of the record, kept while a compared file is read.
static int saved_ids[2];
static char saved_texts[5][TEXT_FIELD_SIZE];
static char *const TEXTS[5] = {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment,
                               Temp_Version};

static void save_record(void) {
  save_tuning();
  saved_ids[0] = Temp_ID;
  saved_ids[1] = Temp_Supplier_ID;
  for (int t = 0; t < 5; t++)
    memcpy(saved_texts[t], TEXTS[t], TEXT_FIELD_SIZE);
}

static void restore_record(void) {
  restore_tuning();
  Temp_ID = saved_ids[0];
  Temp_Supplier_ID = saved_ids[1];
  for (int t = 0; t < 5; t++)
    memcpy(TEXTS[t], saved_texts[t], TEXT_FIELD_SIZE);
}

// Ends a compare call: on success the offsets now in DCent become the
// compared ones, named name; the record is then the page's again.
static const char *compared(int ok, const std::string &name) {
  if (ok) {
    memcpy(compare_cents, DCent, sizeof DCent);
    compare_name = name;
  }
  restore_record();
  add_key("name");
  add_text(compare_name.c_str());
  return finish(ok);
}

WEB_EXPORT const char *web_compare_equal(void) {
  begin_call();
  save_record();
  for (double &d : DCent)
    d = 0.0;
  return compared(1, "Equal temperament");
}

WEB_EXPORT const char *web_compare_entry(int k) {
  begin_call();
  save_record();
  int ok = k >= 0 && parse_table(k, nullptr) == k + 1;
  // The offsets make_collection gives the entry's host file.
  if (ok)
    scale_to_offsets(C_INDEX, APitch);
  return compared(ok, Entry_Name);
}

WEB_EXPORT const char *web_compare_file(const char *name, int tonic) {
  begin_call();
  save_record();
  chdir(folder("upload").c_str());
  size_t len = strlen(name);
  if (len > 4 && strcasecmp(name + len - 4, ".scl") == 0) {
    message_file = std::string(name) + ": ";
    Scale_Description[0] = '\0';
    int ok = read_scl(name);
    if (ok)
      scale_to_offsets(((tonic % 12) + 12) % 12, APitch);
    return compared(ok, Scale_Description[0] ? Scale_Description : file_stem(name));
  }
  int ok = load_temperament(name);
  return compared(ok, Temp_Name[0] ? Temp_Name : file_stem(name));
}

// ---- Fifths ------------------------------------------------------------------------------

// Reads the twelve fifths and walks the circle into the scale; adds "wolf"
// (the wolf's index, -1 for none) and "gap" (the wolf's tempering, or what
// the circle misses closing by) once they are read. 0 after a message.
static int fifths_scale(const char *text) {
  double tempering[FIFTH_COUNT];
  if (!read_fifths(text, tempering))
    return 0;
  int wolves = 0, wolf = -1;
  double gap = fifths_gap(tempering, &wolves);
  for (int k = 0; k < FIFTH_COUNT; k++)
    wolf = std::isnan(tempering[k]) ? k : wolf;
  add_key("wolf");
  answer += number_text("%d", wolf);
  char cents[32];
  snprintf(cents, sizeof cents, "%+.3f", fabs(gap) < 0.0005 ? 0.0 : gap);
  add_key("gap");
  add_text(cents);
  return fifths_to_scale(tempering);
}

WEB_EXPORT const char *web_fifths(const char *text) {
  begin_call();
  add_list("names", std::vector<std::string>(FIFTH_NAMES, FIFTH_NAMES + FIFTH_COUNT));
  return finish(fifths_scale(text));
}

WEB_EXPORT const char *web_apply_fifths(const char *text) {
  begin_call();
  int ok = fifths_scale(text);
  if (ok) {
    // As vostrel-convert --fifths places the scale: its 1/1 on C, A at the A-Pitch.
    scale_to_offsets(C_INDEX, APitch);
    compute_temperament(0);
    add_tuning();
  }
  return finish(ok);
}
