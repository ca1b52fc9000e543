// support.cpp - recorded messages, temporary folders, files and child processes.
#include <gtest/gtest.h>

#include "support.h"

#include "temperament.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

DialogLog dialogs;

void script_alerts() {
  dialogs = DialogLog();
  dialog_alert = [](const char *text) {
    dialogs.alerts.push_back(text);
  };
}

// A new folder in the system's temporary folder (under Wine, inside the prefix), named after the
// process and a counter, reachable by a test that drops its privileges.
TempDir::TempDir() {
  static int counter = 0;
  std::string base = fs::temp_directory_path().generic_string();
  while (!base.empty() && base.back() == '/')
    base.pop_back();
  for (int tries = 0; tries < 100 && path.empty(); tries++) {
    std::string p =
        base + "/vostrel-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    std::error_code ec;
    if (fs::create_directory(fs::u8path(p), ec))
      path = p, chmod(p.c_str(), 0755);
  }
  if (path.empty())
    ADD_FAILURE() << "cannot make a temporary folder";
}

// Files and folders left without permissions (read-only on Windows) are made the owner's again.
TempDir::~TempDir() {
  std::error_code ec, ignored;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path, ec);
  if (ec)
    fprintf(stderr, "could not remove %s: %s\n", path.c_str(), ec.message().c_str());
}

std::string TempDir::file(const std::string &name) const {
  return path + "/" + name;
}

void write_file(const std::string &path, const std::string &text) {
  std::ofstream out(fs::u8path(path), std::ios::binary);
  out << text;
  if (!out)
    ADD_FAILURE() << "cannot write " << path;
}

std::string read_file(const std::string &path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

#ifdef _WIN32
const char *child_skip_reason() {
  return "needs fork, a file size limit or a POSIX user: not on Windows";
}
int in_child(const std::function<int()> &, long) {
  return CHILD_SKIPPED;
}
bool become_nobody() {
  return false;
}
#else
const char *child_skip_reason() {
  return "cannot drop privileges to nobody";
}

int in_child(const std::function<int()> &body, long max_bytes) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0)
    return 99;
  if (pid == 0) {
    struct rlimit lim = {rlim_t(max_bytes), rlim_t(max_bytes)};
    signal(SIGXFSZ, SIG_IGN);
    _exit(max_bytes < 0 || setrlimit(RLIMIT_FSIZE, &lim) == 0 ? body() : 98);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

bool become_nobody() {
  struct passwd *pw = getpwnam("nobody");
  return pw && setgroups(0, nullptr) == 0 && setgid(pw->pw_gid) == 0 && setuid(pw->pw_uid) == 0 &&
         getuid() != 0;
}
#endif

std::string text_lines(const std::string &lf_text) {
  std::string text = lf_text;
#ifdef _WIN32
  for (size_t at = 0; (at = text.find('\n', at)) != text.npos; at += 2)
    text.insert(at, 1, '\r');
#endif
  return text;
}

std::string temperament_file(const std::string &general, const std::map<int, std::string> &change) {
  std::string f =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\">\n"
      "<ObjectList ObjectType=\"_General\">\n\t<_General>\n"
      "\t\t<Sys_ObjectID>1</Sys_ObjectID>\n" +
      general + "\t</_General>\n</ObjectList>\n<ObjectList ObjectType=\"note\">\n";
  for (int n = 0; n < NOTE_COUNT; n++) {
    char hz[40];
    snprintf(hz, sizeof hz, "%.15Lg", 440.0L * powl(2.0L, (n - 69) / 12.0L));
    std::string pitch = change.count(n) ? change.at(n) : hz;
    if (pitch != "-")
      f += "\t<note>\n\t\t<MIDINoteNumberOnEightFootStop>" + std::to_string(n) +
           "</MIDINoteNumberOnEightFootStop>\n\t\t<PitchHz>" + pitch + "</PitchHz>\n\t</note>\n";
  }
  return text_lines(f + "</ObjectList>\n</Hauptwerk>\n");
}
