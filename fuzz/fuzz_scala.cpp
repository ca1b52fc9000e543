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

static char dir[64];                // the temporary folder of the input file
static char path[sizeof dir + 16];  // the input file

static void quiet(const char *) {}

static void cleanup(void) {
  unlink(path);
  rmdir(dir);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_fuzz_dir(dir, sizeof dir, "scala"))
    abort();
  snprintf(path, sizeof path, "%s/in", dir);
  atexit(cleanup);
  dialog_alert = quiet;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  write_input(path, data, size);
  if (read_scl(path)) {
    check_field(Scale_Description, sizeof Scale_Description);
    for (double c : Scale_Cents)
      if (!(fabs(c) <= MAX_OCTAVES * 1200.0))
        abort();
    scale_to_offsets(C_INDEX, 440.0);
    compute_temperament(1);
    if (!check_pitches())
      abort();
  }
  if (read_kbm(path)) {
    if (Kbm_Middle < 0 || Kbm_Middle > 127 || Kbm_Reference < 0 || Kbm_Reference > 127)
      abort();
    if (!(Kbm_Frequency > 0 && Kbm_Frequency <= 1e6))
      abort();
    if (!(kbm_a_pitch() > 0 && std::isfinite(kbm_a_pitch())))
      abort();
  }
  return 0;
}
