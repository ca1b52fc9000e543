// test_discovery.cpp - the search for the host's folders on temporary trees as the drive roots.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include <cstdio>
#include <sys/stat.h>

static std::string text(const char *p) { return p ? p : "(null)"; }

struct Discovery : ::testing::Test {
  TempDir tmp;
  std::string root1 = tmp.path + "/one/";
  void SetUp() override { script_dialogs(), Tempdirstr[0] = '\0', set_roots(root1); }
  void set_roots(const std::string &first) {
    snprintf(Drive_Root1, sizeof Drive_Root1, "%s", first.c_str());
    snprintf(Drive_Root2, sizeof Drive_Root2, "%s/two/", tmp.path.c_str());
  }
  // Makes the folder tmp/rel and answers its path with a trailing '/'.
  std::string dir(const std::string &rel) { return make_dirs(tmp.file(rel)), tmp.file(rel) + "/"; }
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

TEST_F(Discovery, DepthLimits) {
  dir("d1/Hauptwerk"), dir("d2/a/Hauptwerk"), dir("d3/a/b/Hauptwerk"), dir("d4/a/b/c/Hauptwerk");
  dir("d5/A/Hauptwerk"), dir("d5/Hauptwerk");  // a level's own entries before its folders
  struct Case { const char *root; int depth; const char *want; } cases[] = {
      {"d1/", 0, "d1/Hauptwerk/"}, {"d2/", 0, nullptr}, {"d2/", 1, "d2/a/Hauptwerk/"},
      {"d3/", 1, nullptr}, {"d3/", 2, "d3/a/b/Hauptwerk/"}, {"d4/", 2, nullptr},
      {"d5/", 2, "d5/Hauptwerk/"}, {"missing/", 2, nullptr}};
  for (const Case &c : cases)
    EXPECT_EQ(search(c.root, c.depth), c.want ? tmp.file(c.want) : "(null)") << c.root << c.depth;
}

TEST_F(Discovery, OrderNamesAndUnreadable) {
  // strcmp order (B before a), a deeper match in an earlier folder winning.
  std::string deep = dir("s1/B/x/Hauptwerk"), later = dir("s1/C/Hauptwerk");
  dir("s1/a/Hauptwerk");
  EXPECT_EQ(search("s1/", 2), deep);
  // Other letter case and files of the name never match (apart: Windows
  // cannot hold a file and a folder whose names differ in case only).
  dir("s2/hauptwerk"), dir("s3/x");
  write_file(tmp.file("s3/Hauptwerk"), ""), write_file(tmp.file("s3/x/Hauptwerk"), "");
  EXPECT_EQ(search("s2/", 2) + search("s3/", 2), "(null)(null)");
  chmod(tmp.file("s1/B").c_str(), 0);  // an unreadable folder is passed over
  int rc = in_child([&] { return !become_nobody() ? int(CHILD_SKIPPED) : search("s1/", 2) != later; });
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
  std::string want = dir("two/x/Hauptwerk/y/z/Temperaments");
  dialogs.dirs = {cancelled(), answer("/chosen/folder")};
  EXPECT_EQ(text(get_temperdir()), root1);
  EXPECT_EQ(text(get_temperdir()), "/chosen/folder");
  EXPECT_STREQ(Tempdirstr, "");
  EXPECT_EQ(dialogs.dir_requests,
            std::vector<std::string>(2, "Please help me to find directory 'Temperaments'|" + root1 + "|0"));
  set_roots(dir("empty"));  // no Hauptwerk/ in the first root: the second is searched
  EXPECT_EQ(text(get_temperdir()), want);
  EXPECT_STREQ(Tempdirstr, want.c_str());
  // Remembered: no search and no dialog afterwards, even once it is gone.
  remove_dirs(tmp.file("two/x"));
  EXPECT_EQ(text(get_temperdir()), want);
  EXPECT_EQ(dialogs.dir_requests.size(), 2u);
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
  EXPECT_TRUE(dialogs.dir_requests.empty());
}
