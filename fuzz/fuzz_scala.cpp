// fuzz_scala.cpp - libFuzzer target: the .scl and .kbm readers over
// arbitrary bytes. Whatever a reader accepts must make possible pitches.
#include "scala.h"

#include "fuzz_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

static char path[80];

static void quiet(const char *) {}

// Every input is written to a file: on tmpfs where there is one.
static int make_file(void) {
  for (const char *base : {"/dev/shm", "/tmp"}) {
    snprintf(path, sizeof path, "%s/vostrel-fuzz-scala-XXXXXX", base);
    int fd = mkstemp(path);
    if (fd >= 0) return close(fd), 1;
  }
  return 0;
}

static void cleanup(void) { unlink(path); }

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_file()) abort();
  atexit(cleanup);
  dialog_alert = quiet;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  write_input(path, data, size);
  if (read_scl(path)) {
    if (strnlen(Scale_Description, TEXT_FIELD_SIZE) >= TEXT_FIELD_SIZE) abort();
    for (double c : Scale_Cents)
      if (!(fabs(c) <= MAX_OCTAVES * 1200.0)) abort();
    scale_to_offsets(3, 440.0);
    compute_temperament(1);
    if (!check_pitches()) abort();
  }
  if (read_kbm(path)) {
    if (Kbm_Middle < 0 || Kbm_Middle > 127 || Kbm_Reference < 0 || Kbm_Reference > 127) abort();
    if (!(Kbm_Frequency > 0 && Kbm_Frequency <= 1e6)) abort();
    if (!(kbm_a_pitch() > 0 && std::isfinite(kbm_a_pitch()))) abort();
  }
  return 0;
}
