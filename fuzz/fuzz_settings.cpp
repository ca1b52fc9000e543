// fuzz_settings.cpp - libFuzzer target: the settings reader over arbitrary
// bytes as Vostrel.ini, read from a temporary working folder.
#include "main_gui.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

static char dir[64];

// Every input is written to a file: on tmpfs where there is one, since a
// disk-backed /tmp slows the run down tenfold.
static int make_dir(void) {
  for (const char *base : {"/dev/shm", "/tmp"}) {
    snprintf(dir, sizeof dir, "%s/vostrel-fuzz-settings-XXXXXX", base);
    if (mkdtemp(dir)) return 1;
  }
  return 0;
}

static void cleanup(void) {
  unlink("Vostrel.ini");
  if (chdir("/") == 0) rmdir(dir);
}

static void check_field(const char *field) {
  if (strnlen(field, TEXT_FIELD_SIZE) >= TEXT_FIELD_SIZE) abort();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_dir() || chdir(dir) != 0) abort();
  atexit(cleanup);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fopen("Vostrel.ini", "wb");
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  fclose(f);
  load_defaults();
  check_field(Tempdirstr);
  check_field(Temp_Supplier_Name);
  if (APitch != 440.0) abort();
  return 0;
}
