// test_discovery.cpp - the search for the host's folders on temporary trees
// standing in for the two drive roots.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static const int SKIPPED = 77;  // a child that could not drop its privileges

// Runs body in a forked child; its result is the child's exit status.
static int in_child(const std::function<int()> &body) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

static bool become_nobody() {
  struct passwd *pw = getpwnam("nobody");
  return pw && setgroups(0, nullptr) == 0 && setgid(pw->pw_gid) == 0 &&
         setuid(pw->pw_uid) == 0 && getuid() != 0;
}

static std::string text(const char *p) { return p ? p : "(null)"; }

struct Discovery : ::testing::Test {
  TempDir tmp;
  std::string root1, root2;
  void SetUp() override {
    script_dialogs();
    Tempdirstr[0] = '\0';
    root1 = tmp.path + "/one/";
    root2 = tmp.path + "/two/";
    make_dirs(root1);
    make_dirs(root2);
    set_roots(root1, root2);
  }
  static void set_roots(const std::string &a, const std::string &b) {
    snprintf(Drive_Root1, sizeof Drive_Root1, "%s", a.c_str());
    snprintf(Drive_Root2, sizeof Drive_Root2, "%s", b.c_str());
  }
  // Makes the folder tmp/rel and answers its path with a trailing '/'.
  std::string dir(const std::string &rel) {
    make_dirs(tmp.file(rel));
    return tmp.file(rel) + "/";
  }
  // A folder below tmp whose path, with its trailing '/', is len bytes long.
  std::string dir_of_length(size_t len) {
    std::string rel;
    while (tmp.path.size() + 1 + rel.size() + 1 < len) {
      size_t room = len - (tmp.path.size() + 1 + rel.size() + 1);
      if (!rel.empty()) rel += "/", room--;
      rel += std::string(room > 100 ? 100 : room, 'p');
    }
    std::string d = dir(rel);
    EXPECT_EQ(d.size(), len);
    return d;
  }
};

TEST_F(Discovery, DepthLimits) {
  std::string child = dir("d1/Hauptwerk"), grand = dir("d2/a/Hauptwerk"),
              great = dir("d3/a/b/Hauptwerk");
  dir("d4/a/b/c/Hauptwerk");
  EXPECT_EQ(text(search_for_dir(tmp.file("d1/").c_str(), "Hauptwerk/", 2)), child);
  EXPECT_EQ(text(search_for_dir(tmp.file("d2/").c_str(), "Hauptwerk/", 2)), grand);
  EXPECT_EQ(text(search_for_dir(tmp.file("d3/").c_str(), "Hauptwerk/", 2)), great);
  EXPECT_EQ(search_for_dir(tmp.file("d4/").c_str(), "Hauptwerk/", 2), nullptr);
  EXPECT_EQ(text(search_for_dir(tmp.file("d1/").c_str(), "Hauptwerk/", 0)), child);
  EXPECT_EQ(search_for_dir(tmp.file("d2/").c_str(), "Hauptwerk/", 0), nullptr);
  EXPECT_EQ(text(search_for_dir(tmp.file("d2/").c_str(), "Hauptwerk/", 1)), grand);
  EXPECT_EQ(search_for_dir(tmp.file("d3/").c_str(), "Hauptwerk/", 1), nullptr);
  EXPECT_EQ(search_for_dir(tmp.file("missing/").c_str(), "Hauptwerk/", 2), nullptr);
}

TEST_F(Discovery, OrderAndNames) {
  // A deeper match in an earlier folder wins over a later folder's own.
  std::string a = dir("s1/A/x/Hauptwerk");
  dir("s1/B/Hauptwerk");
  EXPECT_EQ(text(search_for_dir(tmp.file("s1/").c_str(), "Hauptwerk/", 2)), a);
  // Byte order: upper case sorts before lower case.
  std::string z = dir("s2/Z/Hauptwerk");
  dir("s2/a/Hauptwerk");
  EXPECT_EQ(text(search_for_dir(tmp.file("s2/").c_str(), "Hauptwerk/", 2)), z);
  // A level compares its own entries before it enters any folder.
  dir("s3/A/Hauptwerk");
  std::string own = dir("s3/Hauptwerk");
  EXPECT_EQ(text(search_for_dir(tmp.file("s3/").c_str(), "Hauptwerk/", 2)), own);
  // Other letter case and files of the name never match.
  dir("s4/hauptwerk");
  dir("s4/x");
  write_file(tmp.file("s4/Hauptwerk"), "");
  write_file(tmp.file("s4/x/Hauptwerk"), "");
  EXPECT_EQ(search_for_dir(tmp.file("s4/").c_str(), "Hauptwerk/", 2), nullptr);
}

TEST_F(Discovery, UnreadableFolderPassedOver) {
  dir("u/A/Hauptwerk");
  std::string b = dir("u/B/Hauptwerk");
  chmod(tmp.file("u/A").c_str(), 0);
  int rc = in_child([&] {
    if (!become_nobody()) return SKIPPED;
    return text(search_for_dir(tmp.file("u/").c_str(), "Hauptwerk/", 2)) == b ? 0 : 1;
  });
  if (rc == SKIPPED) GTEST_SKIP() << "cannot drop privileges to nobody";
  EXPECT_EQ(rc, 0);
}

TEST_F(Discovery, CandidateTooLongIsSkipped) {
  // root + "Hauptwerk/" needs 300 bytes with its NUL: skipped; 299 fits.
  std::string fits = dir_of_length(289), too_long = dir_of_length(290);
  dir(fits.substr(tmp.path.size() + 1) + "Hauptwerk");
  dir(too_long.substr(tmp.path.size() + 1) + "Hauptwerk");
  EXPECT_EQ(text(search_for_dir(fits.c_str(), "Hauptwerk/", 0)), fits + "Hauptwerk/");
  EXPECT_EQ(search_for_dir(too_long.c_str(), "Hauptwerk/", 0), nullptr);
}

TEST_F(Discovery, SecondRootAndRemembering) {
  std::string want = dir("two/x/Hauptwerk/y/z/Temperaments");
  EXPECT_EQ(text(get_temperdir()), want);
  EXPECT_STREQ(Tempdirstr, want.c_str());
  // Remembered: no search and no dialog afterwards, even once it is gone.
  ASSERT_EQ(system(("rm -rf '" + tmp.file("two/x") + "'").c_str()), 0);
  EXPECT_EQ(get_temperdir(), (const char *)Tempdirstr);
  EXPECT_STREQ(Tempdirstr, want.c_str());
  EXPECT_TRUE(dialogs.dir_requests.empty());
}

TEST_F(Discovery, ChooserWhenFirstRootHasNoTemperaments) {
  dir("one/Hauptwerk/a/b/c/Temperaments");  // too deep
  dir("two/Hauptwerk/Temperaments");       // never looked at
  dialogs.dirs.push_back(cancelled());
  dialogs.dirs.push_back(answer("/chosen/folder"));
  EXPECT_EQ(text(get_temperdir()), root1);
  EXPECT_STREQ(Tempdirstr, "");
  EXPECT_EQ(text(get_temperdir()), "/chosen/folder");
  EXPECT_STREQ(Tempdirstr, "");
  const std::string request = "Please help me to find directory 'Temperaments'|" + root1 + "|0";
  EXPECT_EQ(dialogs.dir_requests, std::vector<std::string>(2, request));
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Discovery, FoundPathTooLongToRemember) {
  // root + "Hauptwerk/Temperaments/" (23 bytes) of 179 characters fits
  // Tempdirstr; one of 180 is used but not remembered.
  std::string r = dir_of_length(156);
  dir(r.substr(tmp.path.size() + 1) + "Hauptwerk/Temperaments");
  set_roots(r, root2);
  EXPECT_EQ(text(get_temperdir()), r + "Hauptwerk/Temperaments/");
  EXPECT_STREQ(Tempdirstr, (r + "Hauptwerk/Temperaments/").c_str());

  Tempdirstr[0] = '\0';
  r = dir_of_length(157);
  dir(r.substr(tmp.path.size() + 1) + "Hauptwerk/Temperaments");
  set_roots(r, root2);
  EXPECT_EQ(text(get_temperdir()), r + "Hauptwerk/Temperaments/");
  EXPECT_STREQ(Tempdirstr, "");
  EXPECT_TRUE(dialogs.dir_requests.empty());
}
