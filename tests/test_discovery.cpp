// test_discovery.cpp - the drive roots, and the search for the host's folders on temporary trees
// as the drive roots.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <pwd.h>
#endif

static std::string text(const char *p) { return p ? p : "(null)"; }

// The first root is the home folder from the password database (not $HOME), ending in '/'.
TEST(Roots, OfThisSystem) {
#ifdef _WIN32
  init_drive_roots();
  EXPECT_EQ(std::string(Drive_Root1) + "|" + Drive_Root2, "C:/|D:/");
#else
  setenv("HOME", "/nowhere", 1);
  init_drive_roots();
  struct passwd *pw = getpwuid(getuid());
  std::string home = pw && pw->pw_dir[0] ? pw->pw_dir : "/";
  if (home.back() != '/') home += '/';
  EXPECT_EQ(std::string(Drive_Root1) + "|" + Drive_Root2, home + "|/");
#endif
}

struct Discovery : ::testing::Test {
  TempDir tmp;
  std::string root1 = tmp.path + "/one/";
  void SetUp() override { script_dialogs(), Tempdirstr[0] = '\0', set_roots(root1); }
  void set_roots(const std::string &first) {
    snprintf(Drive_Root1, sizeof Drive_Root1, "%s", first.c_str());
    snprintf(Drive_Root2, sizeof Drive_Root2, "%s/two/", tmp.path.c_str());
  }
  // Makes the folder tmp/rel and answers its path with a trailing '/'.
  std::string dir(const std::string &rel) {
    return std::filesystem::create_directories(tmp.file(rel)), tmp.file(rel) + "/";
  }
  std::string search(const std::string &rel, int depth) {
    return text(search_for_dir(tmp.file(rel).c_str(), "Hauptwerk/", depth));
  }
  // A folder name below tmp whose path, with its trailing '/', is len bytes long.
  std::string rel_of_length(size_t len) {
    std::string rel(len - tmp.path.size() - 2, 'p');
    for (size_t i = 100; i < rel.size(); i += 101) rel[i] = '/';
    return rel;
  }
};

TEST_F(Discovery, DepthOrderAndNames) {
  for (const char *d : {"d1/Hauptwerk", "d3/a/b/Hauptwerk", "d4/a/b/c/Hauptwerk", "d5/A/Hauptwerk",
                        "d5/Hauptwerk", "s1/B/x/Hauptwerk", "s1/C/Hauptwerk", "s1/a/Hauptwerk",
                        "s2/hauptwerk", "s3/x"})
    dir(d);
  write_file(tmp.file("s3/Hauptwerk"), ""), write_file(tmp.file("s3/x/Hauptwerk"), "");
  // A level's own entries before its folders; strcmp order (B before a), a deeper match in an
  // earlier folder winning; other letter case and files of the name never match (apart: Windows
  // cannot hold a file and a folder whose names differ in case only).
  struct Case { const char *root; int depth; const char *want; } cases[] = {
      {"d1/", 0, "d1/Hauptwerk/"}, {"d3/", 2, "d3/a/b/Hauptwerk/"}, {"d4/", 2, nullptr},
      {"d5/", 2, "d5/Hauptwerk/"}, {"missing/", 2, nullptr}, {"s1/", 2, "s1/B/x/Hauptwerk/"},
      {"s2/", 2, nullptr}, {"s3/", 2, nullptr}};
  for (const Case &c : cases)
    EXPECT_EQ(search(c.root, c.depth), c.want ? tmp.file(c.want) : "(null)") << c.root << c.depth;
  chmod(tmp.file("s1/B").c_str(), 0);  // an unreadable folder is passed over
  int rc = in_child([&] {
    return !become_nobody() ? int(CHILD_SKIPPED) : search("s1/", 2) != tmp.file("s1/C/Hauptwerk/");
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
}

TEST_F(Discovery, CandidateTooLongIsSkipped) {
#ifdef _WIN32
  GTEST_SKIP() << "paths beyond MAX_PATH (260 characters): not on Windows";
#endif
  // root + "Hauptwerk/" needs 300 bytes with its NUL: skipped; 299 fits.
  std::string fits = rel_of_length(289), too_long = rel_of_length(290);
  dir(fits + "/Hauptwerk"), dir(too_long + "/Hauptwerk");
  EXPECT_EQ(search(fits + "/", 0), tmp.file(fits + "/Hauptwerk/"));
  EXPECT_EQ(search(too_long + "/", 0), "(null)");
}

TEST_F(Discovery, RootsChooserAndRemembering) {
  dir("one/Hauptwerk/a/b/c/Temperaments");  // too deep; the second root is not looked at
  std::string second = dir("two/x/Hauptwerk/y/z/Temperaments");
  dialogs.dirs = {cancelled(), answer(""), answer("/chosen/folder")};
  EXPECT_EQ(text(get_temperdir()) + text(get_temperdir()), root1 + root1);  // cancelled, empty
  EXPECT_EQ(text(get_temperdir()), "/chosen/folder");
  EXPECT_STREQ(Tempdirstr, "");
  const std::string request = "Please help me to find directory 'Temperaments'|" + root1 + "|0";
  EXPECT_EQ(dialogs.requests, std::vector<std::string>(3, request));
  set_roots(dir("empty"));  // no Hauptwerk/ in the first root: the second is searched
  EXPECT_EQ(text(get_temperdir()), second);
  Tempdirstr[0] = '\0';
  std::string first = dir("three/a/b/Hauptwerk/Temperaments");
  set_roots(tmp.file("three/"));  // the first root is searched three levels down
  EXPECT_EQ(text(get_temperdir()), first);
  EXPECT_STREQ(Tempdirstr, first.c_str());
  // Remembered: no search and no dialog afterwards, even once it is gone.
  std::filesystem::remove_all(tmp.file("three/a"));
  EXPECT_EQ(text(get_temperdir()), first);
  EXPECT_EQ(dialogs.requests.size(), 3u);
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Discovery, FoundPathTooLongToRemember) {
  // Root + "Hauptwerk/Temperaments/": 156 + 23 = 179 bytes remembered, 180 only used.
  for (size_t len : {156, 157}) {
    Tempdirstr[0] = '\0';
    std::string r = dir(rel_of_length(len)), want = dir(rel_of_length(len) + "/Hauptwerk/Temperaments");
    set_roots(r);
    EXPECT_EQ(text(get_temperdir()), want);
    EXPECT_STREQ(Tempdirstr, len == 156 ? want.c_str() : "");
  }
  EXPECT_TRUE(dialogs.requests.empty());
}
