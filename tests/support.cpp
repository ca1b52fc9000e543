// support.cpp - scripted dialogs, temporary folders and the headless window.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

DialogLog dialogs;

Answer answer(const std::string &text) { return Answer{false, text}; }
Answer cancelled() { return Answer{true, ""}; }

// The text of the last answer handed out stays valid until the next one,
// as the toolkit's own dialog buffers do.
static std::string last_answer;

static const char *next_answer(std::deque<Answer> &queue, const char *what) {
  if (queue.empty()) {
    ADD_FAILURE() << "unexpected " << what << " dialog";
    return nullptr;
  }
  Answer a = queue.front();
  queue.pop_front();
  if (a.cancel) return nullptr;
  last_answer = a.text;
  return last_answer.c_str();
}

static void scripted_alert(const char *text) { dialogs.alerts.push_back(text); }

static const char *scripted_input(const char *prompt, const char *preset) {
  dialogs.input_prompts.push_back(std::string(prompt) + "|" + (preset ? preset : ""));
  return next_answer(dialogs.inputs, "input");
}

static const char *scripted_file(const char *title, const char *pattern, const char *start,
                                 int relative) {
  dialogs.file_requests.push_back(std::string(title) + "|" + pattern + "|" + start + "|" +
                                  std::to_string(relative));
  return next_answer(dialogs.files, "file chooser");
}

static const char *scripted_dir(const char *prompt, const char *start, int relative) {
  dialogs.dir_requests.push_back(std::string(prompt) + "|" + start + "|" +
                                 std::to_string(relative));
  return next_answer(dialogs.dirs, "folder chooser");
}

void script_dialogs() {
  dialogs = DialogLog();
  dialog_alert = scripted_alert;
  dialog_input = scripted_input;
  dialog_file = scripted_file;
  dialog_dir = scripted_dir;
}

void fresh_window() {
  static Fl_Window *window = nullptr;
  // Start-up state of the record, as load_defaults leaves it without a file.
  Temp_ID = 999900;
  Temp_Supplier_ID = 999999;
  Temp_Name[0] = Temp_ShortName[0] = Temp_Supplier_Name[0] = '\0';
  Temp_Comment[0] = Temp_Version[0] = Tempdirstr[0] = '\0';
  APitch = 440.0;
  for (double &p : Pitch) p = 0.0;
  if (!window) {
    window = build_window();
  } else {
    for (double &d : DCent) d = 0.0;
    Box_ID->value("999900");
    Box_Name->value("Equal Temperament");
    Box_ShortName->value("Equal");
    Box_SupplierID->value("999999");
    Box_SupplierName->value("");
    Box_Comment->value("");
    Box_Version->value("1.00");
    compute_temperament(0);
  }
}

#ifdef _WIN32
// Windows: a new folder in the user's temporary folder (under Wine, inside
// the prefix), named after the process and a counter.
static std::string make_temp_dir() {
  static int counter = 0;
  std::string base = fs::temp_directory_path().generic_string();
  while (!base.empty() && base.back() == '/') base.pop_back();
  for (int tries = 0; tries < 100; tries++) {
    std::string p = base + "/vostrel-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(counter++);
    if (CreateDirectoryA(p.c_str(), nullptr)) return p;
  }
  return "";
}

// Read-only files and folders cannot be removed: make them writable first.
static void remove_tree(const std::string &path) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(path, ec);
  if (ec) fprintf(stderr, "could not remove %s: %s\n", path.c_str(), ec.message().c_str());
}
#else
static std::string make_temp_dir() {
  char tmpl[] = "/tmp/vostrel-test-XXXXXX";
  if (!mkdtemp(tmpl)) return "";
  chmod(tmpl, 0755);  // reachable by a test that drops its privileges
  return tmpl;
}

// chmod first: tests leave folders and files without permissions.
static void remove_tree(const std::string &path) {
  std::string cmd = "chmod -R u+rwx '" + path + "' 2>/dev/null; rm -rf '" + path + "'";
  if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", path.c_str());
}
#endif

TempDir::TempDir() : path(make_temp_dir()) {
  if (path.empty()) ADD_FAILURE() << "cannot make a temporary folder";
}

TempDir::~TempDir() {
  if (!path.empty()) remove_tree(path);
}

std::string TempDir::file(const std::string &name) const { return path + "/" + name; }

void make_dirs(const std::string &path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec) ADD_FAILURE() << "cannot make " << path << ": " << ec.message();
}

void remove_dirs(const std::string &path) {
  std::error_code ec;
  fs::remove_all(path, ec);
  if (ec) ADD_FAILURE() << "cannot remove " << path << ": " << ec.message();
}

bool is_empty_dir(const std::string &path) {
  std::error_code ec;
  return fs::is_empty(path, ec) && !ec;
}

void write_file(const std::string &path, const std::string &text) {
  std::ofstream out(fs::u8path(path), std::ios::binary);
  out << text;
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string read_file(const std::string &path, bool *ok) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (ok) *ok = bool(in);
  if (!in) return "";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

InDir::InDir(const std::string &dir) {
  char buf[4096];
  old = getcwd(buf, sizeof buf) ? buf : "/";
  if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "chdir " << dir;
}

InDir::~InDir() {
  if (chdir(old.c_str()) != 0) fprintf(stderr, "cannot return to %s\n", old.c_str());
}

#ifdef _WIN32
// Windows has no fork, no file size limit and no user to drop to: tests
// that need them are skipped with this reason.
const char *child_skip_reason() {
  return "needs fork, a file size limit or a POSIX user: not on Windows";
}
int in_child(const std::function<int()> &) { return CHILD_SKIPPED; }
int in_child_limited(long, const std::function<int()> &) { return CHILD_SKIPPED; }
bool become_nobody() { return false; }
#else
const char *child_skip_reason() { return "cannot drop privileges to nobody"; }

int in_child(const std::function<int()> &body) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return 99;
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

int in_child_limited(long max_bytes, const std::function<int()> &body) {
  return in_child([&] {
    struct rlimit lim = {rlim_t(max_bytes), rlim_t(max_bytes)};
    signal(SIGXFSZ, SIG_IGN);
    return setrlimit(RLIMIT_FSIZE, &lim) == 0 ? body() : 98;
  });
}

bool become_nobody() {
  struct passwd *pw = getpwnam("nobody");
  return pw && setgroups(0, nullptr) == 0 && setgid(pw->pw_gid) == 0 &&
         setuid(pw->pw_uid) == 0 && getuid() != 0;
}
#endif

std::string text_lines(const std::string &lf_text) {
#ifdef _WIN32
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
#else
  return lf_text;
#endif
}
