// fuzz_settings.cpp - libFuzzer target: the settings reader over arbitrary
// bytes as Vostrel.ini, read from a temporary working folder.
#include "main_gui.h"

#include "fuzz_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

static char dir[64];

static void cleanup(void) {
  unlink("Vostrel.ini");
  if (chdir("/") == 0)
    rmdir(dir);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_fuzz_dir(dir, sizeof dir, "settings") || chdir(dir) != 0)
    abort();
  atexit(cleanup);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  write_input("Vostrel.ini", data, size);
  load_defaults();
  check_field(Tempdirstr, sizeof Tempdirstr);
  check_field(Temp_Supplier_Name, sizeof Temp_Supplier_Name);
  if (APitch != 440.0)
    abort();
  return 0;
}
