// fuzz_parse.cpp - libFuzzer target: the XML reader with the temperament
// handlers over arbitrary bytes, followed by the recovery of the tuning.
// The reader takes a path, so every input goes through one temporary file.
#include "main_gui.h"
#include "xml_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

static char dir[64];
static char path[sizeof dir + 16];
static int alerts;

static void count_alert(const char *text) {
  if (!text) abort();
  alerts++;
}

// Every input is written to a file: on tmpfs where there is one, since a
// disk-backed /tmp slows the run down tenfold.
static int make_dir(void) {
  for (const char *base : {"/dev/shm", "/tmp"}) {
    snprintf(dir, sizeof dir, "%s/vostrel-fuzz-parse-XXXXXX", base);
    if (mkdtemp(dir)) return 1;
  }
  return 0;
}

static void cleanup(void) {
  unlink(path);
  rmdir(dir);
}

static void check_field(const char *field) {
  if (strnlen(field, TEXT_FIELD_SIZE) >= TEXT_FIELD_SIZE) abort();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_dir()) abort();
  snprintf(path, sizeof path, "%s/in.xml", dir);
  atexit(cleanup);
  dialog_alert = count_alert;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fopen(path, "wb");
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  fclose(f);
  alerts = 0;
  int ok = parse_xml(path);
  // A read that fails has shown exactly one message, one that succeeds none.
  if (ok ? alerts != 0 : alerts != 1) abort();
  check_field(Temp_Name);
  check_field(Temp_ShortName);
  check_field(Temp_Supplier_Name);
  check_field(Temp_Comment);
  check_field(Temp_Version);
  if (ok) {
    alerts = 0;
    if (compute_cents() ? alerts != 0 : alerts != 1) abort();
  }
  return 0;
}
