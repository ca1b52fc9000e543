// vostrel_bench.cpp - times Vostrel's reader, writer and folder search
// against expat, one plain fwrite and find(1), on files and a folder tree
// made in temporary folders.
//
//   vostrel_bench [benchmark options]     runs the timings
//   vostrel_bench --make-tree DIR          makes the search tree in DIR
//   vostrel_bench --search ROOT NAME DEPTH one search_for_dir, prints the answer
//
// The last two let a system-call counter watch exactly one search.
#include "main_gui.h"
#include "xml_parser.h"

#include <benchmark/benchmark.h>
#include <expat.h>

#include <FL/Fl_Window.H>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// ---- Dialogs: recorded, never opened ------------------------------------------

int dialog_calls = 0;
std::string last_dialog;

void record_alert(const char *text) {
  dialog_calls++;
  last_dialog = text;
}
const char *record_input(const char *prompt, const char *) {
  dialog_calls++;
  last_dialog = prompt;
  return nullptr;
}
const char *record_file(const char *title, const char *, const char *, int) {
  dialog_calls++;
  last_dialog = title;
  return nullptr;
}
const char *record_dir(const char *prompt, const char *, int) {
  dialog_calls++;
  last_dialog = prompt;
  return nullptr;
}

void record_dialogs() {
  dialog_alert = record_alert;
  dialog_input = record_input;
  dialog_file = record_file;
  dialog_dir = record_dir;
}

// Ends a benchmark with an error when any dialog was asked for.
bool dialogs_quiet(benchmark::State &state) {
  if (dialog_calls == 0)
    return true;
  state.SkipWithError(("dialog during the timing: " + last_dialog).c_str());
  return false;
}

void die(const std::string &what) {
  fprintf(stderr, "vostrel_bench: %s\n", what.c_str());
  exit(1);
}

// ---- Temporary folders ----------------------------------------------------------

std::string make_temp_dir(const char *base) {
  std::string templ = std::string(base) + "/vostrel-bench-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data()))
    die("cannot make a folder in " + std::string(base));
  return buf.data();
}

// The tree goes where a listing returns entries in the order they were
// made (tmpfs lists the newest first), so find(1) can be made to visit the
// folders in the same order as the sorted search; elsewhere (ext4 lists in
// hash order) find may stop early, and the counts printed by bench.sh show it.
const char *tree_base() {
  struct statfs fs;
  if (statfs("/dev/shm", &fs) == 0 && fs.f_type == 0x01021994 /* TMPFS_MAGIC */ &&
      access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  const char *t = getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

const char *file_base() {
  const char *t = getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

void remove_tree(const std::string &path) {
  std::string cmd = "rm -rf '" + path + "'";
  if (system(cmd.c_str()) != 0)
    fprintf(stderr, "vostrel_bench: could not remove %s\n", path.c_str());
}

// ---- The search tree ------------------------------------------------------------
// Three levels of 30 folders (Dir00..Dir29) with ten files in every folder
// that the search lists; the wanted folder Temperaments sits in the very last
// folder of the sorted order, so the search lists every folder it may enter:
// the root, 30 at level 1 and 900 at level 2 = 931 listings.
enum { TREE_FOLDERS = 30, TREE_FILES = 10 };
const char WANTED[] = "Temperaments";

void make_file(const std::string &path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || write(fd, "x\n", 2) != 2 || close(fd) != 0)
    die("cannot write " + path);
}

void make_folder(const std::string &path) {
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
    die("cannot make " + path);
}

// Fills one folder: files and folders interleaved, made from the last name
// to the first so a newest-first listing comes out sorted.
void fill_level(const std::string &dir, int level, bool last_branch) {
  if (level == 2 && last_branch)
    make_folder(dir + "/" + WANTED);
  for (int i = TREE_FOLDERS - 1; i >= 0; i--) {
    char name[16];
    if (i < TREE_FILES) {
      snprintf(name, sizeof name, "note%02d.txt", i);
      make_file(dir + "/" + name);
    }
    snprintf(name, sizeof name, "Dir%02d", i);
    std::string sub = dir + "/" + name;
    make_folder(sub);
    if (level < 2)
      fill_level(sub, level + 1, last_branch && i == TREE_FOLDERS - 1);
  }
}

std::string tree_answer(const std::string &root) {
  return root + "/Dir29/Dir29/" + WANTED + "/";
}

void make_tree(const std::string &root) {
  make_folder(root);
  fill_level(root, 0, true);
}

// ---- Shared set-up -----------------------------------------------------------------

struct Setup {
  std::string files;   // folder for the temperament files
  std::string tree;    // root of the search tree, without '/'
  std::string sample;  // the 549-line file to load
  std::string bytes;   // its contents
  double cents[12];    // the temperament written into the sample
};
Setup *setup = nullptr;

std::string read_all(const std::string &path) {
  std::string text;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f)
    die("cannot read " + path);
  char buf[8192];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  fclose(f);
  return text;
}

// A well-tempered tuning (offsets from A upwards), so every pitch is a
// full-precision number rather than a round one.
const double WELL_TEMPERED[12] = {0.0, 0.0, -3.9, 5.9, 0.0, 2.0, 3.9, -2.0, 3.9, 0.0, 2.0, 2.0};

void prepare_record() {
  Temp_ID = 999900;
  Temp_Supplier_ID = 999999;
  snprintf(Temp_Name, sizeof Temp_Name, "Bench Well-Tempered");
  snprintf(Temp_ShortName, sizeof Temp_ShortName, "Bench");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "Vostrel bench & test");
  snprintf(Temp_Comment, sizeof Temp_Comment, "written by the benchmark");
  snprintf(Temp_Version, sizeof Temp_Version, "1.00");
  APitch = 440.0;
  for (int i = 0; i < 12; i++)
    DCent[i] = WELL_TEMPERED[i];
}

void make_setup() {
  setup = new Setup;
  record_dialogs();
  init_drive_roots();
  build_window();  // never shown: no display is opened
  prepare_record();
  for (int i = 0; i < 12; i++)
    setup->cents[i] = DCent[i];
  setup->files = make_temp_dir(file_base());
  setup->tree = make_temp_dir(tree_base()) + "/tree";
  setup->sample = setup->files + "/Bench.Temperament.Hauptwerk.xml";
  compute_temperament(1);
  if (!write_temperament_file(setup->sample.c_str()))
    die("cannot write the sample: " + last_dialog);
  setup->bytes = read_all(setup->sample);
  size_t lines = 0;
  for (char c : setup->bytes)
    lines += c == '\n';
  if (lines != 549)
    die("the sample has " + std::to_string(lines) + " lines, not 549");
  // The sample must load back to the temperament that wrote it.
  if (!parse_xml(setup->sample.c_str()) || !compute_cents())
    die("the sample does not load");
  for (int i = 0; i < 12; i++)
    if (std::fabs(DCent[i] - setup->cents[i]) > 1e-9)
      die("the sample loads with other offsets");
  make_tree(setup->tree);
  if (dialog_calls)
    die("dialog during set-up: " + last_dialog);
}

void drop_setup() {
  remove_tree(setup->files);
  remove_tree(setup->tree.substr(0, setup->tree.size() - 5));
}

// ---- 1. Load ---------------------------------------------------------------------------

void BM_Load_Vostrel(benchmark::State &state) {
  const char *path = setup->sample.c_str();
  for (auto _ : state) {
    int ok = parse_xml(path) && compute_cents();
    benchmark::DoNotOptimize(ok);
    if (!ok) {
      state.SkipWithError("the sample did not load");
      break;
    }
  }
  dialogs_quiet(state);
  state.SetBytesProcessed(state.iterations() * (int64_t)setup->bytes.size());
}

void XMLCALL ignore_start(void *, const XML_Char *, const XML_Char **) {}
void XMLCALL ignore_text(void *, const XML_Char *, int) {}

enum { EXPAT_CHUNK = 8192 };  // fread size, BUFSIZ

// Expat reads the file from disk in fread chunks straight into its own buffer.
bool expat_parse(const char *path) {
  FILE *f = fopen(path, "rb");
  if (!f)
    return false;
  XML_Parser p = XML_ParserCreate(nullptr);
  XML_SetElementHandler(p, ignore_start, nullptr);
  XML_SetCharacterDataHandler(p, ignore_text);
  bool ok = true;
  for (;;) {
    void *buf = XML_GetBuffer(p, EXPAT_CHUNK);
    if (!buf) {
      ok = false;
      break;
    }
    size_t n = fread(buf, 1, EXPAT_CHUNK, f);
    int last = n < EXPAT_CHUNK;
    if (XML_ParseBuffer(p, (int)n, last) != XML_STATUS_OK) {
      ok = false;
      break;
    }
    if (last)
      break;
  }
  XML_ParserFree(p);
  fclose(f);
  return ok;
}

void BM_Load_Expat(benchmark::State &state) {
  const char *path = setup->sample.c_str();
  for (auto _ : state) {
    bool ok = expat_parse(path);
    benchmark::DoNotOptimize(ok);
    if (!ok) {
      state.SkipWithError("expat failed on the sample");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * (int64_t)setup->bytes.size());
}

// ---- 2. Generate -----------------------------------------------------------------------

void BM_Generate_Vostrel(benchmark::State &state) {
  prepare_record();
  std::string path = setup->files + "/Gen.Temperament.Hauptwerk.xml";
  for (auto _ : state) {
    compute_temperament(1);
    int ok = write_temperament_file(path.c_str());
    remove(path.c_str());
    if (!ok) {
      state.SkipWithError(("writing failed: " + last_dialog).c_str());
      break;
    }
  }
  dialogs_quiet(state);
  state.SetBytesProcessed(state.iterations() * (int64_t)setup->bytes.size());
}

void BM_Generate_Fwrite(benchmark::State &state) {
  std::string path = setup->files + "/Plain.xml";
  const std::string &bytes = setup->bytes;
  for (auto _ : state) {
    FILE *f = fopen(path.c_str(), "w");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && fclose(f) != 0)
      ok = false;
    remove(path.c_str());
    if (!ok) {
      state.SkipWithError("plain write failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * (int64_t)bytes.size());
}

// ---- 3. Discovery ----------------------------------------------------------------------

void BM_Discovery_Vostrel(benchmark::State &state) {
  std::string root = setup->tree + "/";
  std::string wanted = std::string(WANTED) + "/";
  std::string expected = tree_answer(setup->tree);
  for (auto _ : state) {
    char *found = search_for_dir(root.c_str(), wanted.c_str(), 2);
    if (!found || expected != found) {
      state.SkipWithError("search_for_dir missed the folder");
      break;
    }
  }
  dialogs_quiet(state);
}

// Runs a program with its output thrown away; its exit status, and in *cpu
// the processor time (user + system) the program used, from wait4.
int run_quiet(const std::vector<std::string> &args, double *cpu) {
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0)
    return -1;
  int status;
  struct rusage ru;
  if (wait4(pid, &status, 0, &ru) != pid)
    return -1;
  *cpu =
      ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> find_args() {
  return {"find", setup->tree, "-maxdepth", "3", "-type", "d", "-name", WANTED, "-print", "-quit"};
}

// find's answer must be the same folder, before any timing.
void check_find() {
  std::string cmd;
  for (const std::string &a : find_args())
    cmd += "'" + a + "' ";
  FILE *p = popen(cmd.c_str(), "r");
  if (!p)
    die("cannot run find");
  char line[4096] = "";
  if (!fgets(line, sizeof line, p))
    line[0] = '\0';
  pclose(p);
  line[strcspn(line, "\n")] = '\0';
  std::string expected = tree_answer(setup->tree);
  expected.pop_back();
  if (expected != line)
    die("find answers '" + std::string(line) + "'");
}

void BM_Discovery_Find(benchmark::State &state) {
  std::vector<std::string> args = find_args();
  for (auto _ : state) {
    double cpu = 0;
    if (run_quiet(args, &cpu) != 0) {
      state.SkipWithError("find failed");
      break;
    }
    state.SetIterationTime(cpu);
  }
}

void BM_Find_Start(benchmark::State &state) {
  std::vector<std::string> args = {"find", "/nonexistent"};
  for (auto _ : state) {
    double cpu = 0;
    if (run_quiet(args, &cpu) != 1) {  // "No such file or directory"
      state.SkipWithError("find /nonexistent did not fail as expected");
      break;
    }
    state.SetIterationTime(cpu);
  }
}

// ---- Drivers for the system-call counts ----------------------------------------------------

int search_once(const char *root, const char *name, const char *depth) {
  record_dialogs();
  char *found = search_for_dir(root, name, atoi(depth));
  printf("%s\n", found ? found : "(none)");
  return found ? 0 : 1;
}

}  // namespace

// The timings are processor time: of this thread for the work done here
// (user and system time, CLOCK_THREAD_CPUTIME_ID), and of the child process
// for find, from wait4. Other load on the machine then changes them little.
BENCHMARK(BM_Load_Vostrel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load_Expat)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Generate_Vostrel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Generate_Fwrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Discovery_Vostrel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Discovery_Find)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_Find_Start)->Unit(benchmark::kMicrosecond)->UseManualTime();

int main(int argc, char **argv) {
  if (argc == 3 && strcmp(argv[1], "--make-tree") == 0) {
    make_tree(argv[2]);
    printf("%s\n", tree_answer(argv[2]).c_str());
    return 0;
  }
  if (argc == 5 && strcmp(argv[1], "--search") == 0)
    return search_once(argv[2], argv[3], argv[4]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  make_setup();
  check_find();
  benchmark::RunSpecifiedBenchmarks();
  drop_setup();
  return 0;
}
