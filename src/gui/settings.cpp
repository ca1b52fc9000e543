// settings.cpp - the settings file Vostrel.ini in the working folder and the
// search for the host's temperaments folder below the drive roots.
#include "main_gui.h"

#include <FL/filename.H>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

// ---- Platform ---------------------------------------------------------------
// What differs between Windows and the other systems: the drive roots, the
// read-only mark and the replacing rename.

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
  Temp_Supplier_ID = DEFAULT_SUPPLIER_ID;
  memset(Temp_Supplier_Name, 0, sizeof Temp_Supplier_Name);
  Temp_ID = DEFAULT_TEMPERAMENT_ID;
  APitch = 440.0;
  FILE *inif = fopen(SETTINGS_FILE, "r");
  if (!inif)
    return;
  char line[SETTINGS_LINE];
  while (fgets(line, sizeof line, inif)) {
    char *ptr = line + strlen(line);
    while (ptr > line && (ptr[-1] == '\r' || ptr[-1] == '\n'))
      *--ptr = '\0';
    apply_setting(line);
  }
  fclose(inif);
}

// Writes the four settings lines to a new file; 1 when all of it was
// written. A file it created but could not finish is removed again.
static int write_settings_file(const char *name) {
  FILE *f = fopen(name, "w");
  if (!f)
    return 0;
  fprintf(f, "Tempdirstr=%s\n", Tempdirstr);
  fprintf(f, "SupplierID=%d\n", Temp_Supplier_ID);
  fprintf(f, "SupplierNm=%s\n", Temp_Supplier_Name);
  fprintf(f, "TemperamID=%d\n", Temp_ID);
  int ok = !ferror(f);
  if (fclose(f) != 0)
    ok = 0;
  if (!ok)
    remove(name);
  return ok;
}

int save_settings(void) {
  // Opening for appending proves the file can be written, creates it when
  // missing and never truncates it, so the old settings survive a failure.
  // Existence is asked of the file system: a file that cannot be read
  // still exists and must never be removed.
  struct stat st;
  int existed = stat(SETTINGS_FILE, &st) == 0;
  if (read_only_file(SETTINGS_FILE))
    return 0;
  FILE *inif = fopen(SETTINGS_FILE, "a");
  if (!inif)
    return 0;
  fclose(inif);
  checkout_values();
  if (write_settings_file(SETTINGS_TEMP)) {
    if (replace_file(SETTINGS_TEMP, SETTINGS_FILE))
      return 1;
    remove(SETTINGS_TEMP);
  }
  // Only the empty file the append-open created is ours to remove.
  if (!existed)
    remove(SETTINGS_FILE);
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
    if (anz == 0 && dir)
      fl_filename_free_list(&dir, anz);
    return nullptr;
  }
  char *found = nullptr;
  for (int i = 0; i < anz && !found; i++) {
    const char *name = dir[i]->d_name;
    if (is_dot_entry(name) || !build_candidate(recursive, root, name))
      continue;
    if (strcmp(name, dirname) == 0) {
      copy_text(result, sizeof result, recursive);
      found = result;
    }
  }
  for (int i = 0; i < anz && !found && maxdepth > 0; i++) {
    const char *name = dir[i]->d_name;
    size_t len = strlen(name);
    // The listing marks directories with a trailing '/'.
    if (is_dot_entry(name) || len == 0 || name[len - 1] != '/')
      continue;
    if (!build_candidate(recursive, root, name))
      continue;
    found = search_for_dir(recursive, dirname, maxdepth - 1);
  }
  fl_filename_free_list(&dir, anz);
  return found;
}

const char *get_temperdir(void) {
  if (Tempdirstr[0])
    return Tempdirstr;
  char *install = search_for_dir(Drive_Root1, "Hauptwerk/", 2);
  if (!install)
    install = search_for_dir(Drive_Root2, "Hauptwerk/", 2);
  if (install) {
    char hauptwerk[PATH_SIZE];
    copy_text(hauptwerk, sizeof hauptwerk, install);
    char *found = search_for_dir(hauptwerk, "Temperaments/", 2);
    if (found) {
      // A path too long to remember serves this action only: a cut path
      // would name the wrong folder in every later run.
      if (strlen(found) >= sizeof Tempdirstr)
        return found;
      copy_text(Tempdirstr, sizeof Tempdirstr, found);
      return Tempdirstr;
    }
  }
  const char *chosen =
      dialog_dir("Please help me to find directory 'Temperaments'", Drive_Root1, 0);
  if (chosen && chosen[0])
    return chosen;
  return Drive_Root1;
}
