// test_settings.cpp - Vostrel.ini (defaults, reading it at start, writing it at Exit) and the
// temperaments folder it remembers: the drive roots, and the search on temporary trees as roots.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <pwd.h>
#endif

namespace fs = std::filesystem;
// The four remembered values as "folder|supplier ID|supplier name|temperament ID".
static std::string record() {
  return std::string(Tempdirstr) + "|" + std::to_string(Temp_Supplier_ID) + "|" +
         Temp_Supplier_Name + "|" + std::to_string(Temp_ID);
}

// Presses Exit for a window marked visible; true when it was hidden.
static bool exit_hides() {
  Fl_Window win(10, 10);
  win.end(), win.set_visible();
  exit_cb(Button_Exit, &win);
  return !win.visible();
}

// Runs in a temporary folder: Vostrel.ini is read and written in the working directory.
struct Settings : ::testing::Test {
  TempDir tmp;
  fs::path old = fs::current_path();
  void SetUp() override {
    fs::current_path(tmp.path), fresh_window(), script_dialogs();
  }
  void TearDown() override {
    fs::current_path(old);
  }
  void load(const std::string &text) {
    write_file("Vostrel.ini", text), load_defaults();
  }
};

TEST_F(Settings, DefaultsExitAndRoundTrip) {
  Temp_ID = Temp_Supplier_ID = 5, APitch = 415;
  strcpy(Tempdirstr, "/old/"), strcpy(Temp_Supplier_Name, "old");
  load_defaults();  // no Vostrel.ini
  EXPECT_EQ(record() + " " + std::to_string(APitch), "|999999||999900 440.000000");
  // Exit commits and saves: a 175-character value round-trips whole; "000042" is saved as 42.
  const std::string name(175, 'n');
  strcpy(Tempdirstr, "/x/T/");
  Box_SupplierID->value("000042"), Box_SupplierName->value(name.c_str()), Box_ID->value("31");
  EXPECT_TRUE(exit_hides());
  EXPECT_EQ(
      read_file("Vostrel.ini"),
      text_lines("Tempdirstr=/x/T/\nSupplierID=42\nSupplierNm=" + name + "\nTemperamID=31\n"));
  load_defaults();
  EXPECT_EQ(record(), "/x/T/|42|" + name + "|31");
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Settings, ReadingLines) {
  for (std::string eol : {"\n", "\r\n"}) {
    load("Tempdirstr=/a b/ " + eol + "SupplierNm=B & S=1 " + eol + "TemperamID=7" + eol +
         "SupplierID= -12abc" + eol);
    EXPECT_EQ(record(), "/a b/ |-12|B & S=1 |7");
  }
  // Keys count only in their own case at the start of a line; the last line wins; IDs clamp.
  load("supplierID=5\n SupplierID=6\nTemperamID=100\n# TemperamID=300\nTemperamID=99999999999\n");
  EXPECT_EQ(record(), "|999999||" + std::to_string(INT_MAX));
  // A line longer than the key, 179 characters and CR LF is taken in pieces.
  load("SupplierNm=" + std::string(181, 'b') + "TemperamID=77\n");
  EXPECT_EQ(record(), "|999999|" + std::string(179, 'b') + "|77");
}

TEST_F(Settings, ExitWithoutWriteAccess) {
  // As nobody, with files of at most 8 bytes, in writable folders: a read-only Vostrel.ini; one
  // whose new version cannot be written whole; where the new file cannot be created, an
  // unreadable Vostrel.ini (it still exists) or none (none is left).
  struct Case {
    std::string dir;
    mode_t file_mode;
    bool commits;
  } cases[] = {{"ro", 0444, false}, {"cut", 0666, true}, {"wo", 0222, true}, {"new", 0, true}};
  for (const Case &c : cases) {
    fs::create_directory(c.dir), chmod(c.dir.c_str(), 0777);
    if (!c.file_mode)
      continue;
    write_file(c.dir + "/Vostrel.ini", "TemperamID=1\n");
    chmod((c.dir + "/Vostrel.ini").c_str(), c.file_mode);
  }
  fs::create_directory("wo/Vostrel.ini.tmp"), fs::create_directory("new/Vostrel.ini.tmp");
  int rc = in_child(
      [&] {
        if (!become_nobody())
          return int(CHILD_SKIPPED);
        for (const Case &c : cases) {
          Box_ID->value("555"), Temp_ID = 1;  // Temp_ID stays 1 when nothing is committed
          if (chdir((tmp.path + "/" + c.dir).c_str()) != 0 || !exit_hides() ||
              (Temp_ID == 555) != c.commits)
            return 1;
        }
        return int(!dialogs.alerts.empty());
      },
      8);
  if (rc == CHILD_SKIPPED)
    GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  for (const Case &c : cases) {
    EXPECT_EQ(read_file(c.dir + "/Vostrel.ini"), c.file_mode ? "TemperamID=1\n" : "") << c.dir;
    EXPECT_EQ(fs::exists(c.dir + "/Vostrel.ini"), c.file_mode != 0) << c.dir;
    EXPECT_FALSE(fs::is_regular_file(c.dir + "/Vostrel.ini.tmp")) << c.dir;
  }
}

TEST_F(Settings, FailedWriteKeepsOldFile) {
  write_file("Vostrel.ini", "SupplierID=1\r\n");
  fs::create_directory("Vostrel.ini.tmp");  // the new file cannot be created
  EXPECT_EQ(save_settings(), 0);
#ifdef _WIN32  // marked read-only (elsewhere the permission bits decide: as nobody above)
  fs::remove("Vostrel.ini.tmp");
  chmod("Vostrel.ini", S_IRUSR);
  EXPECT_TRUE(exit_hides());
#endif
  EXPECT_EQ(read_file("Vostrel.ini"), "SupplierID=1\r\n");
  EXPECT_FALSE(fs::is_regular_file("Vostrel.ini.tmp"));
  EXPECT_TRUE(dialogs.alerts.empty());
}

static std::string text(const char *p) {
  return p ? p : "(null)";
}

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
  if (home.back() != '/')
    home += '/';
  EXPECT_EQ(std::string(Drive_Root1) + "|" + Drive_Root2, home + "|/");
#endif
}

struct Discovery : ::testing::Test {
  TempDir tmp;
  std::string root1 = tmp.path + "/one/";
  void SetUp() override {
    script_dialogs(), Tempdirstr[0] = '\0', set_roots(root1);
  }
  void set_roots(const std::string &first) {
    snprintf(Drive_Root1, sizeof Drive_Root1, "%s", first.c_str());
    snprintf(Drive_Root2, sizeof Drive_Root2, "%s/two/", tmp.path.c_str());
  }
  // Makes the folder tmp/rel and answers its path with a trailing '/'; the search below tmp/rel.
  std::string dir(const std::string &rel) {
    return fs::create_directories(tmp.file(rel)), tmp.file(rel) + "/";
  }
  std::string search(const std::string &rel, int depth) {
    return text(search_for_dir(tmp.file(rel).c_str(), "Hauptwerk/", depth));
  }
  // A folder name below tmp whose path, with its trailing '/', is len bytes long.
  std::string rel_of_length(size_t len) {
    std::string rel(len - tmp.path.size() - 2, 'p');
    for (size_t i = 100; i < rel.size(); i += 101)
      rel[i] = '/';
    return rel;
  }
};

TEST_F(Discovery, DepthOrderAndNames) {
  for (const char *d :
       {"d1/Hauptwerk", "d3/a/b/Hauptwerk", "d4/a/b/c/Hauptwerk", "d5/A/Hauptwerk", "d5/Hauptwerk",
        "s1/B/x/Hauptwerk", "s1/C/Hauptwerk", "s1/a/Hauptwerk", "s2/hauptwerk", "s3/x"})
    dir(d);
  write_file(tmp.file("s3/Hauptwerk"), ""), write_file(tmp.file("s3/x/Hauptwerk"), "");
  // A level's own entries before its folders; strcmp order (B before a), a deeper match in an
  // earlier folder winning; other letter case and files of the name never match (apart: Windows
  // cannot hold a file and a folder whose names differ in case only).
  struct Case {
    const char *root;
    int depth;
    const char *want;
  } cases[] = {{"d1/", 0, "d1/Hauptwerk/"}, {"d3/", 2, "d3/a/b/Hauptwerk/"},
               {"d4/", 2, nullptr},         {"d5/", 2, "d5/Hauptwerk/"},
               {"missing/", 2, nullptr},    {"s1/", 2, "s1/B/x/Hauptwerk/"},
               {"s2/", 2, nullptr},         {"s3/", 2, nullptr}};
  for (const Case &c : cases)
    EXPECT_EQ(search(c.root, c.depth), c.want ? tmp.file(c.want) : "(null)") << c.root << c.depth;
}

TEST_F(Discovery, UnreadableFolderPassedOver) {
  dir("B/x/Hauptwerk"), dir("C/Hauptwerk");
  chmod(tmp.file("B").c_str(), 0);
  int rc = in_child([&] {
    return !become_nobody() ? int(CHILD_SKIPPED) : search("", 2) != tmp.file("C/Hauptwerk/");
  });
  if (rc == CHILD_SKIPPED)
    GTEST_SKIP() << child_skip_reason();
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
  EXPECT_EQ(dialogs.requests, Texts(3, request));
  set_roots(dir("empty"));  // no Hauptwerk/ in the first root: the second is searched
  EXPECT_EQ(text(get_temperdir()), second);
  Tempdirstr[0] = '\0';
  std::string first = dir("three/a/b/Hauptwerk/Temperaments");
  set_roots(tmp.file("three/"));  // the first root is searched three levels down
  EXPECT_EQ(text(get_temperdir()), first);
  EXPECT_STREQ(Tempdirstr, first.c_str());
  // Remembered: no search and no dialog afterwards, even once it is gone.
  fs::remove_all(tmp.file("three/a"));
  EXPECT_EQ(text(get_temperdir()), first);
  EXPECT_EQ(dialogs.requests.size(), 3u);
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Discovery, FoundPathTooLongToRemember) {
  // Root + "Hauptwerk/Temperaments/": 156 + 23 = 179 bytes remembered, 180 only used.
  for (size_t len : {156, 157}) {
    Tempdirstr[0] = '\0';
    std::string r = dir(rel_of_length(len)),
                want = dir(rel_of_length(len) + "/Hauptwerk/Temperaments");
    set_roots(r);
    EXPECT_EQ(text(get_temperdir()), want);
    EXPECT_STREQ(Tempdirstr, len == 156 ? want.c_str() : "");
  }
  EXPECT_TRUE(dialogs.requests.empty());
}
