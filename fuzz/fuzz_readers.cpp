// fuzz_readers.cpp - libFuzzer target: every reader over the same arbitrary bytes, written to
// Vostrel.ini in a temporary folder (on tmpfs where there is one): the Load action's reading
// (the XML reader, the temperament handlers, the checks and the recovery of the tuning), the .scl
// and .kbm readers and the settings reader. What a reader accepts must be usable, and each
// failure shows the messages it promises: a load its message and the summary, a Scala read one.
#include "main_gui.h"
#include "scala.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

static char dir[] = "/dev/shm/vostrel-fuzz-XXXXXX";
static int alerts;  // messages since the last check

// Aborts unless ok and the messages since the last check were as many as expected.
static void check(bool ok, int expected_alerts = -1) {
  if (!ok || (expected_alerts >= 0 && alerts != expected_alerts))
    abort();
  alerts = 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  check((mkdtemp(dir) || mkdtemp(strcpy(dir, "/tmp/vostrel-fuzz-XXXXXX"))) && chdir(dir) == 0);
  atexit([] {
    unlink("Vostrel.ini");
    rmdir(dir);
  });
  dialog_alert = [](const char *) {
    alerts++;
  };
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fopen("Vostrel.ini", "wb");
  check(f && fwrite(data, 1, size, f) == size && fclose(f) == 0);
  int loaded = load_temperament("Vostrel.ini");
  for (int n = 0; loaded && n < NOTE_COUNT; n++)
    check(Pitch[n] > 0 && std::isfinite(Pitch[n]) &&
          (n < 12 || fabs(log2(Pitch[n] / Pitch[n - 12]) - 1) < 0.001));
  check(true, loaded ? 0 : 2);
  int scale = read_scl("Vostrel.ini");
  check(scale || alerts == 1);
  scale_to_offsets(C_INDEX, 440.0);
  compute_temperament(1);
  check(!scale || check_pitches());
  int mapping = read_kbm("Vostrel.ini");
  check(!mapping || std::isfinite(kbm_a_pitch()), !mapping);
  load_defaults();
  check(APitch == 440.0 && strnlen(Tempdirstr, TEXT_FIELD_SIZE) < TEXT_FIELD_SIZE &&
            strnlen(Temp_Supplier_Name, TEXT_FIELD_SIZE) < TEXT_FIELD_SIZE,
        0);
  return 0;
}
