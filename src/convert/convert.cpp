// convert.cpp - vostrel-convert, the companion command-line program: Scala
// scales and temperaments given by their fifths to host temperament files,
// host files to .scl, and the tuner's report. It uses the window program's
// reader, arithmetic, commit and writer; every message of theirs comes
// through the alert seam and goes to standard error as one line, "FILE: text".
#include "temperament_file.h"
#include "console.h"
#include "fifths.h"
#include "names.h"
#include "report.h"
#include "scala.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#ifndef VOSTREL_VERSION
#define VOSTREL_VERSION "unknown"
#endif

// ---- Options ----------------------------------------------------------------
enum { OUTPUT_NAME_SIZE = 4200 };  // an output file name
// The IDs of a batch without --id: below the single default and the
// collection's 999901 upward, so they never meet either.
enum { BATCH_FIRST_ID = 900001, BATCH_LAST_ID = DEFAULT_TEMPERAMENT_ID - 1 };
static const double MAX_A_PITCH = 1e6;  // Hz; anything above is no pitch

static const char PROGRAM[] = "vostrel-convert";
static int to_scl;                    // --to-scl: host files in, .scl out
static int report;                    // --report: print, write nothing
static int tonic = C_INDEX;           // --tonic, as an index into Tonname (C by default)
static double a_pitch = 440.0;        // --a-pitch
static int tuning_given;              // --tonic or --a-pitch was given
static int tonic_given;               // --tonic was given
static const char *kbm;               // --kbm FILE, or null
static const char *output;            // -o FILE, or null
static const char *output_dir = ".";  // --output-dir
static const char *fifths;            // --fifths TEXT, or null
// --id, --name, --short-name, --supplier-id, --supplier-name, --comment,
// --temperament-version; null = the default.
static const char *fields[7];
static const char *current_file = PROGRAM;  // the name messages start with
// --fifths in place of an input: its messages, the files' name and the name.
static const char FIFTHS_INPUT[] = "--fifths", FIFTHS_STEM[] = "5ths", FIFTHS_NAME[] = "Fifths ";

// ---- The run ----------------------------------------------------------------
static int batch;            // more than one input: outputs named after them, IDs numbered
static int first_id;         // the first input's ID in a batch
static int input_number;     // the current input's place among the inputs, from 0
static const char *writing;  // the output file being written, or null
static std::map<std::string, std::string> written;  // output file -> its input, this run

// ---- Messages ---------------------------------------------------------------

// The alert seam: "FILE: text" as one line, a line break as a blank.
static void print_alert(const char *text) {
  fprintf(stderr, "%s: ", current_file);
  for (const char *p = text; *p; p++)
    fputc(*p == '\n' ? ' ' : *p, stderr);
  fputc('\n', stderr);
}

static const char USAGE[] =
    "Usage: vostrel-convert [OPTIONS] FILE...\n"
    "       vostrel-convert [OPTIONS] --fifths \"C-G G-D ... F-C\"\n"
    "Converts Scala scales (.scl) into HW3 host temperament files, host files\n"
    "into .scl (--to-scl), or prints a tuner's report of either (--report).\n"
    "--fifths makes the temperament of the twelve fifths from C instead, each\n"
    "its tempering from pure: 0, w (the wolf), -1/4P, -1/6S, -1s (Pythagorean,\n"
    "syntonic comma, schisma), sums as -1/4P+1/16S, cents as -3.910; *n for n\n"
    "fifths alike: --fifths \"-1/4P*3 0 0 -1/4P 0*6\" is Werckmeister III.\n"
    "\n"
    "  --tonic NOTE              the note of the scale's 1/1 (default C; H is B);\n"
    "                            with --fifths, of the .scl that --to-scl writes\n"
    "  --a-pitch HZ              the pitch of A, MIDI note 69 (default 440)\n"
    "  --kbm FILE                tonic and pitch from a Scala keyboard mapping\n"
    "  --name TEXT               temperament name (default: the description;\n"
    "                            with --fifths, \"Fifths\" and the fifths)\n"
    "  --short-name TEXT         short name (default: from the file name;\n"
    "                            with --fifths, 5ths)\n"
    "  --id N                    unique temperament ID (default 999900; with\n"
    "                            several inputs N upward, default 900001 upward)\n"
    "  --supplier-id N           supplier ID (default 999999)\n"
    "  --supplier-name TEXT      supplier name (default empty)\n"
    "  --comment TEXT            comment (default empty)\n"
    "  --temperament-version T   temperament version (default 1.00)\n"
    "  --output-dir DIR          folder of the output files (default .)\n"
    "  -o FILE                   the output file, for a single input\n"
    "  --to-scl                  host temperament files to .scl\n"
    "  --report                  print the report, write nothing\n"
    "  --fifths TEXT             the temperament of these twelve fifths\n"
    "  --help, --version\n";

// A name as a key of written: Windows' file names ignore the letter case
// of ASCII and take '\\' for '/'.
static std::string output_key(const std::string &name) {
  std::string key = name;
#ifdef _WIN32
  for (char &c : key)
    c = c == '\\' ? '/' : c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
#endif
  return key;
}

// The converter's alerts: the window's refusal of an existing output
// becomes a line naming it.
static void convert_alert(const char *text) {
  if (!writing || strcmp(text, EXISTING_FILE_ALERT) != 0)
    return print_alert(text);
  std::string line = std::string(writing) + " exists already and is never replaced";
  print_alert(line.c_str());
}

// ---- Names ------------------------------------------------------------------

// Copies an output file name into buf of OUTPUT_NAME_SIZE; 0 after a message
// when it does not fit.
static int take_name(char *buf, const std::string &name) {
  if (name.size() >= OUTPUT_NAME_SIZE) {
    alertf("the output file name is too long");
    return 0;
  }
  snprintf(buf, OUTPUT_NAME_SIZE, "%s", name.c_str());
  return 1;
}

// output_dir + separator + name, the separator only where missing.
static std::string in_output_dir(const std::string &name) {
  return output_dir + std::string(path_separator(output_dir)) + name;
}

// An output of stem + ending in the output folder, or when
// this run wrote that already "stem (2)" + ending, "stem (3)", ..., with one
// line saying so: every input of a batch gets a file of its own.
static std::string distinct_output(const std::string &stem, const std::string &ending) {
  std::string name = in_output_dir(stem + ending);
  auto earlier = written.find(output_key(name));
  if (earlier == written.end())
    return name;
  std::string first = name;
  for (int k = 2; written.count(output_key(name)); k++)
    name = in_output_dir(stem + " (" + std::to_string(k) + ")" + ending);
  alertf("%s was written from %s in this run; this one is %s", first.c_str(),
         earlier->second.c_str(), name.c_str());
  return name;
}

// Ends the writing of output name from the input path, remembering it
// when ok; ok, as given.
static int wrote(const char *path, const char *name, int ok) {
  if (ok)
    written[output_key(name)] = path ? path : FIFTHS_INPUT;
  writing = nullptr;
  return ok;
}

// ---- One input --------------------------------------------------------------

// Puts the scale read into the record with the tonic and A's pitch.
static void place_scale(void) {
  if (kbm) {
    scale_to_offsets(note_class(Kbm_Middle), 440.0);
    APitch = kbm_a_pitch();
  } else {
    scale_to_offsets(fifths ? C_INDEX : tonic, a_pitch);
  }
  compute_temperament(1);
}

// The temperament of --fifths as a scale on C, named after its fifths; 0
// after a message.
static int read_fifths_scale(void) {
  double tempering[FIFTH_COUNT];
  if (!read_fifths(fifths, tempering) || !fifths_to_scale(tempering))
    return 0;
  snprintf(Scale_Description, sizeof Scale_Description, "%s%s", FIFTHS_NAME, fifths);
  return 1;
}

// True for a name ending in .scl or .SCL.
static int is_scl(const char *path) {
  size_t n = strlen(path);
  return n >= 4 && (strcmp(path + n - 4, ".scl") == 0 || strcmp(path + n - 4, ".SCL") == 0);
}

// Reads the input into the record: the fifths, a .scl, or a host file (for
// --to-scl, and for --report when not a .scl); 0 after a message.
static int load_input(const char *path) {
  if (!fifths && (to_scl || (report && !is_scl(path))))
    return load_temperament(path);
  if (!fifths && !is_scl(path)) {
    alertf("not a .scl file; use --to-scl to convert a host temperament file");
    return 0;
  }
  if (!(fifths ? read_fifths_scale() : read_scl(path)))
    return 0;
  place_scale();
  return 1;
}

// The input's name as a name of files: the fifths' or the file's stem.
static std::string input_stem(const char *path) {
  return fifths ? FIFTHS_STEM : file_stem(path);
}

// The temperament's name: --name, else the scale's description or the host
// file's name, else the input's stem.
static std::string temperament_name(const char *path) {
  const char *given = fifths || (!to_scl && is_scl(path)) ? Scale_Description : Temp_Name;
  return fields[1] ? fields[1] : given[0] ? given : input_stem(path);
}

// Commits the descriptive fields: the options, else the defaults.
static void commit_options(const char *path) {
  std::string name = temperament_name(path);
  std::string shortname = fifths ? FIFTHS_STEM : short_name_from(path);
  std::string id = std::to_string(batch ? first_id + input_number : DEFAULT_TEMPERAMENT_ID);
  std::string supplier = std::to_string(DEFAULT_SUPPLIER_ID);
  const char *defaults[7] = {id.c_str(), name.c_str(), shortname.c_str(), supplier.c_str(), "",
                             "",         "1.00"};
  const char *text[7];
  for (int k = 0; k < 7; k++)
    text[k] = fields[k] && (k > 0 || !batch) ? fields[k] : defaults[k];
  commit_fields(text);
}

// The record into a host file in the output folder (or -o).
static int write_host(const char *path) {
  static char name[OUTPUT_NAME_SIZE];
  commit_options(path);
  // A batch names each file after its input; otherwise the file is named as
  // Generate File proposes it, never longer than this text, which take_name checks.
  std::string ending = std::string(".") + TEMPERAMENT_SUFFIX;
  std::string longest = in_output_dir(Temp_ShortName) + ending;
  if (!take_name(name, output  ? output
                       : batch ? distinct_output(input_stem(path), ending)
                               : longest))
    return 0;
  if (!output && !batch)
    propose_file_name(name, sizeof name, output_dir, Temp_ShortName);
  writing = name;
  return wrote(path, name, write_temperament_file(name));
}

// The record into a .scl in the output folder (or -o), its 1/1 on the tonic.
static int write_scale(const char *path) {
  static char name[OUTPUT_NAME_SIZE];
  if (!take_name(name, output ? output : distinct_output(input_stem(path), ".scl")))
    return 0;
  writing = name;
  return wrote(path, name, write_scl(name, tonic, temperament_name(path).c_str()));
}

// Does what the options ask with one input (the fifths when path is null);
// 1 on success.
static int convert_one(const char *path) {
  current_file = path ? path : FIFTHS_INPUT;
  Scale_Description[0] = '\0';
  if (!load_input(path))
    return 0;
  if (!report)
    return to_scl ? write_scale(path) : write_host(path);
  print_report(stdout, temperament_name(path).c_str());
  fputc('\n', stdout);
  return 1;
}

// ---- Command line -----------------------------------------------------------

// One line about a wrong command line; always 0.
static int usage_error(const char *what, const char *arg) {
  fprintf(stderr, "%s: %s%s (see --help)\n", PROGRAM, what, arg);
  return 0;
}

// --tonic: a note name of the window; 0 after a message.
static int set_tonic(const char *arg) {
  tonic = note_index(arg);
  return tonic >= 0 ||
         usage_error("--tonic: not a note name (A, A#/Bb, A#, Bb, B or H, C, ...): ", arg);
}

// --a-pitch: a number of Hz, above 0 and up to 1 MHz; 0 after a message.
static int set_a_pitch(const char *arg) {
  char *end = nullptr;
  a_pitch = strtod(arg, &end);
  if (end != arg && !*end && a_pitch > 0 && a_pitch <= MAX_A_PITCH)
    return 1;
  return usage_error("--a-pitch: not a pitch from 0 to 1000000 Hz: ", arg);
}

// The options that take a value, and where the value goes.
static const char *const FIELD_OPTIONS[7] = {"--id",
                                             "--name",
                                             "--short-name",
                                             "--supplier-id",
                                             "--supplier-name",
                                             "--comment",
                                             "--temperament-version"};

// Takes the value of option opt; 0 after a message.
static int take_value(const std::string &opt, const char *value) {
  for (int k = 0; k < 7; k++)
    if (opt == FIELD_OPTIONS[k])
      return fields[k] = value, 1;
  if (opt == "--tonic")
    return tuning_given = tonic_given = 1, set_tonic(value);
  if (opt == "--fifths")
    return fifths = value, 1;
  if (opt == "--a-pitch")
    return tuning_given = 1, set_a_pitch(value);
  if (opt == "--kbm")
    return kbm = value, 1;
  if (opt == "--output-dir")
    return output_dir = value, 1;
  if (opt == "-o")
    return output = value, 1;
  return usage_error("unknown option: ", opt.c_str());
}

// True for every option but the four flags.
static int takes_value(const std::string &opt) {
  return opt != "--to-scl" && opt != "--report" && opt != "--help" && opt != "--version";
}

// Parses argv into the options and the inputs; 0 after a message, -1 when
// --help or --version has been answered.
static int parse_args(int argc, char **argv, std::vector<const char *> &inputs) {
  int only_inputs = 0;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (only_inputs || arg.size() < 2 || arg[0] != '-') {
      inputs.push_back(argv[i]);
      continue;
    }
    size_t eq = arg.find('=');
    std::string opt = arg.substr(0, eq);
    if (arg == "--")
      only_inputs = 1;
    else if (arg == "--help")
      return fputs(USAGE, stdout), -1;
    else if (arg == "--version")
      return printf("%s %s\n", PROGRAM, VOSTREL_VERSION), -1;
    else if (arg == "--to-scl")
      to_scl = 1;
    else if (arg == "--report")
      report = 1;
    else if (!takes_value(opt) || (eq == std::string::npos && i + 1 >= argc))
      return usage_error(takes_value(opt) ? "missing value: " : "no value taken: ", opt.c_str());
    else if (!take_value(opt, eq == std::string::npos ? argv[++i] : argv[i] + eq + 1))
      return 0;
  }
  return 1;
}

// Refuses combinations that cannot be meant; 0 after a message.
static int check_args(const std::vector<const char *> &inputs) {
  if (fifths && !inputs.empty())
    return usage_error("--fifths takes the place of the input files: ", inputs[0]);
  if (inputs.empty() && !fifths)
    return usage_error("no input file", "");
  if (output && inputs.size() > 1)
    return usage_error("-o takes a single input", "");
  if (report && to_scl)
    return usage_error("--report and --to-scl exclude each other", "");
  if (kbm && tuning_given)
    return usage_error("--kbm sets the tonic and A's pitch: leave out --tonic and --a-pitch", "");
  if (to_scl && (kbm || a_pitch != 440.0))
    return usage_error("--kbm and --a-pitch apply to .scl input only", "");
  if (fifths && kbm)
    return usage_error("--kbm places a scale's 1/1; the fifths start on C: give --a-pitch", "");
  if (fifths && tonic_given && !to_scl)
    return usage_error(
        "--tonic with --fifths places the 1/1 of the .scl that --to-scl writes; the fifths start "
        "on C",
        "");
  return 1;
}

// Numbers the IDs of a batch of count scales from --id, else from
// BATCH_FIRST_ID; 0 after a message when the last would leave the range.
static int number_ids(size_t count) {
  long long first = fields[0] ? to_int(fields[0]) : BATCH_FIRST_ID;
  long long last = fields[0] ? INT_MAX : BATCH_LAST_ID;
  if (first + (long long)count - 1 > last) {
    std::string what = "the IDs of " + std::to_string(count) + " inputs from " +
                       std::to_string(first) + " go beyond " + std::to_string(last);
    return usage_error(what.c_str(), "");
  }
  first_id = (int)first;
  return 1;
}

// Converts every input, going on past failures: 0 when all succeeded.
int main(int argc, char **argv) {
  console_start(&argc, &argv);
  dialog_alert = convert_alert;
  if (argc == 1 && console_alone()) {  // started by a double-click: the usage, then the pause
    fputs(USAGE, stdout);
    return 0;
  }
  std::vector<const char *> inputs;
  int parsed = parse_args(argc, argv, inputs);
  if (parsed <= 0)
    return parsed < 0 ? 0 : 1;
  if (!check_args(inputs))
    return 1;
  batch = inputs.size() > 1;
  if (batch && !report && !to_scl && !number_ids(inputs.size()))
    return 1;
  if (kbm) {
    current_file = kbm;
    if (!read_kbm(kbm))
      return 1;
  }
  if (fifths)
    return convert_one(nullptr) ? 0 : 1;
  int failed = 0;
  for (const char *path : inputs) {
    failed |= !convert_one(path);
    input_number++;
  }
  return failed ? 1 : 0;
}
