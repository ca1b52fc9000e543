// test_settings.cpp - Vostrel.ini: defaults, reading it at start, writing it at Exit.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
  void SetUp() override { fs::current_path(tmp.path), fresh_window(), script_dialogs(); }
  void TearDown() override { fs::current_path(old); }
  void load(const std::string &text) { write_file("Vostrel.ini", text), load_defaults(); }
};

TEST_F(Settings, DefaultsExitAndRoundTrip) {
  Temp_ID = Temp_Supplier_ID = 5, APitch = 415;
  snprintf(Tempdirstr, sizeof Tempdirstr, "/old/");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "old");
  load_defaults();
  EXPECT_EQ(record(), "|999999||999900");
  EXPECT_EQ(APitch, 440.0);
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
  // As nobody, in writable folders: a read-only Vostrel.ini; where the new file cannot be
  // created, an unreadable Vostrel.ini (it still exists) or none (none is left).
  struct Case { std::string dir; mode_t file_mode; bool commits; } cases[] = {
      {"ro", 0444, false}, {"wo", 0222, true}, {"new", 0, true}};
  for (const Case &c : cases) {
    fs::create_directory(c.dir), chmod(c.dir.c_str(), 0777);
    if (!c.file_mode) continue;
    write_file(c.dir + "/Vostrel.ini", "TemperamID=1\n");
    chmod((c.dir + "/Vostrel.ini").c_str(), c.file_mode);
  }
  fs::create_directory("wo/Vostrel.ini.tmp"), fs::create_directory("new/Vostrel.ini.tmp");
  int rc = in_child([&] {
    if (!become_nobody()) return int(CHILD_SKIPPED);
    for (const Case &c : cases) {
      Box_ID->value("555"), Temp_ID = 1;  // Temp_ID stays 1 when nothing is committed
      if (chdir((tmp.path + "/" + c.dir).c_str()) != 0 || !exit_hides() ||
          (Temp_ID == 555) != c.commits)
        return 1;
    }
    return int(!dialogs.alerts.empty());
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  for (const Case &c : cases) {
    EXPECT_EQ(fs::exists(c.dir + "/Vostrel.ini"), c.file_mode != 0) << c.dir;
    EXPECT_EQ(read_file(c.dir + "/Vostrel.ini"), c.file_mode ? "TemperamID=1\n" : "") << c.dir;
    EXPECT_FALSE(fs::is_regular_file(c.dir + "/Vostrel.ini.tmp")) << c.dir;
  }
}

TEST_F(Settings, FailedWriteKeepsOldFile) {
  auto kept = [] {  // the old file as it was, no new one left
    return read_file("Vostrel.ini") == "SupplierID=1\r\n" && !fs::exists("Vostrel.ini.tmp");
  };
  write_file("Vostrel.ini", "SupplierID=1\r\n");
  fs::create_directory("Vostrel.ini.tmp");  // the new file cannot be created
  EXPECT_EQ(save_settings(), 0);
  fs::remove("Vostrel.ini.tmp");
  EXPECT_TRUE(kept());
  int rc = in_child([] { return save_settings() + int(!dialogs.alerts.empty()); }, 8);
  EXPECT_TRUE(rc == 0 || rc == CHILD_SKIPPED) << rc;  // the new file cannot be written whole
  EXPECT_TRUE(kept());
  chmod("Vostrel.ini", S_IRUSR);  // read-only (on Windows the attribute)
  if (access("Vostrel.ini", W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  EXPECT_TRUE(exit_hides());
  EXPECT_TRUE(kept());
  EXPECT_TRUE(dialogs.alerts.empty());
}
