// fuzz_parse.cpp - libFuzzer target: the Load action over arbitrary bytes,
// that is the XML reader with the temperament handlers, the checks of the
// notes and the recovery of the tuning, in a window that is never shown.
// It asserts what a load promises: after success every pitch is positive and
// finite with clean octaves; after a failure the window shows what it showed.
#include "main_gui.h"

#include "fuzz_file.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <unistd.h>

static char dir[64];                // the temporary folder of the input file
static char path[sizeof dir + 16];  // the input file: every input goes through it
static int alerts;                  // alerts shown during the current load

static void count_alert(const char *text) {
  if (!text)
    abort();
  alerts++;
}

// The file chooser's answer is always the input file.
static const char *choose_input(const char *, const char *, const char *, int) {
  return path;
}

static void cleanup(void) {
  unlink(path);
  rmdir(dir);
}

// Every text the window shows, one after the other.
static std::string window_texts(void) {
  std::string all;
  for (Fl_Input *b : {Box_ID, Box_Name, Box_ShortName, Box_SupplierID, Box_SupplierName,
                      Box_Comment, Box_Version, Box_APitch})
    all += std::string(b->value()) + '\n';
  for (int i = 0; i < 12; i++)
    all += std::string(Box_DCent[i]->value()) + '\n' + Box_Pitch[i]->value() + '\n';
  return all;
}

// What a successful load promises of Pitch.
static void check_pitches_loaded(void) {
  for (int n = 0; n < NOTE_COUNT; n++)
    if (!(Pitch[n] > 0 && std::isfinite(Pitch[n])))
      abort();
  for (int n = 0; n + 12 < NOTE_COUNT; n++) {
    double ratio = Pitch[n + 12] / Pitch[n];
    if (!(ratio >= 1.999 && ratio <= 2.001))
      abort();
  }
  if (APitch != Pitch[REF_NOTE])
    abort();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!make_fuzz_dir(dir, sizeof dir, "parse"))
    abort();
  snprintf(path, sizeof path, "%s/in.xml", dir);
  snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", dir);  // no folder search
  atexit(cleanup);
  dialog_alert = count_alert;
  dialog_file = choose_input;
  build_window();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  write_input(path, data, size);
  std::string before = window_texts();
  alerts = 0;
  load_file();
  // A load that fails shows its message and the summary; one that succeeds none.
  if (alerts != 0 && alerts != 2)
    abort();
  if (alerts == 0)
    check_pitches_loaded();
  else if (window_texts() != before)
    abort();
  check_field(Temp_Name, sizeof Temp_Name);
  check_field(Temp_ShortName, sizeof Temp_ShortName);
  check_field(Temp_Supplier_Name, sizeof Temp_Supplier_Name);
  check_field(Temp_Comment, sizeof Temp_Comment);
  check_field(Temp_Version, sizeof Temp_Version);
  return 0;
}
