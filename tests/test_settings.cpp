// test_settings.cpp - Vostrel.ini: defaults, reading it at start, writing it at Exit.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <pwd.h>
#endif

static bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }
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

struct Settings : ::testing::Test {
  TempDir tmp;
  InDir in{tmp.path};
  void SetUp() override { fresh_window(), script_dialogs(); }
  void load(const std::string &text) { write_file("Vostrel.ini", text), load_defaults(); }
};

TEST_F(Settings, DefaultsExitAndRoundTrip) {
  Temp_ID = Temp_Supplier_ID = 5, APitch = 415;
  snprintf(Tempdirstr, sizeof Tempdirstr, "/old/");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "old");
  load_defaults();
  EXPECT_EQ(record(), "|999999||999900");
  EXPECT_EQ(APitch, 440.0);
  EXPECT_TRUE(exit_hides());
  EXPECT_EQ(read_file("Vostrel.ini"),
            text_lines("Tempdirstr=\nSupplierID=999999\nSupplierNm=\nTemperamID=999900\n"));
  // A 175-character value round-trips whole; "000042" is saved as 42.
  const std::string name(175, 'n');
  snprintf(Tempdirstr, sizeof Tempdirstr, "/x/T/");
  Box_SupplierID->value("000042"), Box_SupplierName->value(name.c_str()), Box_ID->value("31");
  EXPECT_TRUE(exit_hides());
  EXPECT_EQ(read_file("Vostrel.ini"),
            text_lines("Tempdirstr=/x/T/\nSupplierID=42\nSupplierNm=" + name + "\nTemperamID=31\n"));
  load_defaults();
  EXPECT_EQ(record(), "/x/T/|42|" + name + "|31");
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Settings, ReadingLines) {
  for (std::string eol : {"\n", "\r\n"}) {
    load("Tempdirstr=/a b/ " + eol + "SupplierNm=B & S=1 " + eol + "TemperamID=7" + eol);
    EXPECT_EQ(record(), "/a b/ |999999|B & S=1 |7");
  }
  // Keys count only in their own case at the start of a line; the last line wins.
  load("supplierID=5\n SupplierID=6\nTemperamID=100\n# TemperamID=300\nTemperamID=200\n");
  EXPECT_EQ(record(), "|999999||200");
  struct Case { const char *text; int value; } ids[] = {
      {" 12", 12}, {"12abc", 12}, {"abc", 0}, {"-3", -3}, {"99999999999", INT_MAX}};
  for (const Case &c : ids) {
    load(std::string("SupplierID=") + c.text + "\n");
    EXPECT_EQ(Temp_Supplier_ID, c.value) << c.text;
  }
  // A line longer than the key, 179 characters and CR LF is taken in pieces.
  load("SupplierNm=" + std::string(181, 'b') + "TemperamID=77\n");
  EXPECT_EQ(record(), "|999999|" + std::string(179, 'b') + "|77");
}

TEST_F(Settings, UnwritableDirectoryCommitsNothing) {
  make_dirs(tmp.file("empty")), make_dirs(tmp.file("kept"));
  write_file(tmp.file("kept/Vostrel.ini"), "TemperamID=1\n");
  int rc = in_child([&] {
    if (!become_nobody()) return int(CHILD_SKIPPED);
    Box_ID->value("555"), Temp_ID = 1;  // Temp_ID stays 1 when nothing is committed
    for (std::string dir : {"/empty", "/kept"})
      if (chdir((tmp.path + dir).c_str()) != 0 || !exit_hides() || Temp_ID != 1) return 1;
    return int(!dialogs.alerts.empty());
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file("kept/Vostrel.ini"), "TemperamID=1\n");
  for (const char *left : {"empty/Vostrel.ini", "kept/Vostrel.ini.tmp"}) EXPECT_FALSE(exists(left)) << left;
}

TEST_F(Settings, FailedWriteKeepsOldFile) {
  write_file("Vostrel.ini", "SupplierID=1\r\n");
  make_dirs(tmp.file("new"));
  int rc = in_child_limited(8, [&] {  // the new file cannot be written whole
    int saved = save_settings();
    if (chdir((tmp.path + "/new").c_str()) != 0) return 11;
    return saved + save_settings() == 0 && dialogs.alerts.empty() ? 0 : 1;
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file("Vostrel.ini"), "SupplierID=1\r\n");
  for (const char *left : {"Vostrel.ini.tmp", "new/Vostrel.ini", "new/Vostrel.ini.tmp"})
    EXPECT_FALSE(exists(left)) << left;
}

TEST_F(Settings, BlockedWriteKeepsOldFile) {
  write_file("Vostrel.ini", "SupplierID=1\r\n");
  make_dirs(tmp.file("Vostrel.ini.tmp"));  // the new file cannot be created
  EXPECT_EQ(save_settings(), 0);
  EXPECT_EQ(read_file("Vostrel.ini"), "SupplierID=1\r\n");
  remove_dirs(tmp.file("Vostrel.ini.tmp"));
  chmod("Vostrel.ini", S_IRUSR);  // read-only
  if (access("Vostrel.ini", W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  Box_ID->value("555");
  EXPECT_TRUE(exit_hides());
  EXPECT_EQ(read_file("Vostrel.ini"), "SupplierID=1\r\n");
  EXPECT_FALSE(exists("Vostrel.ini.tmp"));
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Settings, FailedWriteKeepsUnreadableOldFile) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX owners and permission bits: not on Windows";
#else
  struct passwd *pw = getpwnam("nobody");
  make_dirs(tmp.file("wo"));
  write_file(tmp.file("wo/Vostrel.ini"), "SupplierID=1\n");
  if (!pw || chown(tmp.file("wo").c_str(), pw->pw_uid, pw->pw_gid) != 0 ||
      chown(tmp.file("wo/Vostrel.ini").c_str(), pw->pw_uid, pw->pw_gid) != 0)
    GTEST_SKIP() << "cannot hand a folder to nobody";
  chmod(tmp.file("wo/Vostrel.ini").c_str(), 0200);  // writable, not readable
  int rc = in_child_limited(8, [&] {
    if (!become_nobody()) return int(CHILD_SKIPPED);
    return chdir((tmp.path + "/wo").c_str()) == 0 && save_settings() == 0 ? 0 : 1;
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file("wo/Vostrel.ini"), "SupplierID=1\n");
#endif
}
