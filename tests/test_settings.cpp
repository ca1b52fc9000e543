// test_settings.cpp - Vostrel.ini: the defaults, reading it at start and
// writing it at Exit, in a temporary working directory.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>

#include <climits>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
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

// A window whose hide() is counted, standing in for the main window.
struct SpyWindow : Fl_Window {
  int hides = 0;
  SpyWindow() : Fl_Window(10, 10) { end(); }
  void hide() override { hides++; Fl_Window::hide(); }
};

struct Settings : ::testing::Test {
  TempDir tmp;
  InDir in{tmp.path};
  void SetUp() override {
    fresh_window();
    script_dialogs();
  }
  void load(const std::string &text) {
    write_file("Vostrel.ini", text);
    load_defaults();
  }
};

TEST_F(Settings, DefaultsAndImmediateExit) {
  Temp_ID = Temp_Supplier_ID = 5;
  snprintf(Tempdirstr, sizeof Tempdirstr, "/old/");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "old");
  APitch = 415;
  load_defaults();
  EXPECT_EQ(Temp_ID, 999900);
  EXPECT_EQ(Temp_Supplier_ID, 999999);
  EXPECT_STREQ(Tempdirstr, "");
  EXPECT_STREQ(Temp_Supplier_Name, "");
  EXPECT_EQ(APitch, 440.0);

  SpyWindow win;
  exit_cb(Button_Exit, &win);
  EXPECT_EQ(win.hides, 1);
  EXPECT_FALSE(win.visible());
  EXPECT_TRUE(dialogs.alerts.empty());
  EXPECT_EQ(read_file("Vostrel.ini"),
            "Tempdirstr=\nSupplierID=999999\nSupplierNm=\nTemperamID=999900\n");
}

TEST_F(Settings, ReadingLines) {
  const std::string lf = "Tempdirstr=/a b/c/ \nSupplierNm=Bach & Sons=1  \nTemperamID=7\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string &text : {lf, crlf, lf + "\r\r\n\n"}) {
    load(text);
    EXPECT_STREQ(Tempdirstr, "/a b/c/ ");
    EXPECT_STREQ(Temp_Supplier_Name, "Bach & Sons=1  ");
    EXPECT_EQ(Temp_ID, 7);
    EXPECT_EQ(Temp_Supplier_ID, 999999);
  }
  // Keys count only in their own case and at the start of the line; the
  // last of several lines wins.
  load("supplierID=5\n SupplierID=6\nTemperamID=100\n# TemperamID=300\n"
       "TemperamID=200\nTempdirstr=\n");
  EXPECT_EQ(Temp_Supplier_ID, 999999);
  EXPECT_EQ(Temp_ID, 200);
  EXPECT_STREQ(Tempdirstr, "");

  struct Case { const char *text; int value; } ids[] = {
      {" 12", 12}, {"12abc", 12}, {"abc", 0}, {"-3", -3}, {"99999999999", INT_MAX}};
  for (const Case &c : ids) {
    load(std::string("SupplierID=") + c.text + "\n");
    EXPECT_EQ(Temp_Supplier_ID, c.value) << c.text;
  }
}

TEST_F(Settings, LongValues) {
  // One read holds the key, 179 characters and CR LF: a line longer than
  // that is taken in pieces, and a piece that starts with a key counts.
  load("SupplierNm=" + std::string(181, 'b') + "TemperamID=77\n");
  EXPECT_EQ(std::string(Temp_Supplier_Name), std::string(179, 'b'));
  EXPECT_EQ(Temp_ID, 77);
  load("SupplierNm=" + std::string(179, 'c') + "\r\nTemperamID=8\r\n");
  EXPECT_EQ(std::string(Temp_Supplier_Name), std::string(179, 'c'));
  EXPECT_EQ(Temp_ID, 8);

  // Round trip through Exit and the next start.
  std::string name;
  for (int i = 0; i < 175; i++) name += char('a' + i % 26);
  snprintf(Tempdirstr, sizeof Tempdirstr, "/x/Temperaments/");
  Box_SupplierID->value("000042");
  Box_SupplierName->value(name.c_str());
  Box_ID->value("31");
  SpyWindow win;
  exit_cb(Button_Exit, &win);
  EXPECT_EQ(read_file("Vostrel.ini"), "Tempdirstr=/x/Temperaments/\nSupplierID=42\nSupplierNm=" +
                                          name + "\nTemperamID=31\n");
  fresh_window();
  load_defaults();
  EXPECT_STREQ(Tempdirstr, "/x/Temperaments/");
  EXPECT_EQ(Temp_Supplier_ID, 42);
  EXPECT_EQ(std::string(Temp_Supplier_Name), name);
  EXPECT_EQ(Temp_ID, 31);
}

TEST_F(Settings, UnwritableDirectory) {
  make_dirs(tmp.file("empty"));
  make_dirs(tmp.file("kept"));
  write_file(tmp.file("kept/Vostrel.ini"), "TemperamID=1\n");
  int rc = in_child([&] {
    if (!become_nobody()) return SKIPPED;
    Box_ID->value("555");
    Temp_ID = 1;
    SpyWindow win;
    int bad = 0;
    for (const char *dir : {"empty", "kept"}) {
      if (chdir((tmp.path + "/" + dir).c_str()) != 0) return 10;
      exit_cb(Button_Exit, &win);
      if (Temp_ID != 1) bad |= 1;  // committed although nothing was saved
    }
    if (win.hides != 2) bad |= 2;
    if (!dialogs.alerts.empty()) bad |= 4;
    return bad;
  });
  if (rc == SKIPPED) GTEST_SKIP() << "cannot drop privileges to nobody";
  EXPECT_EQ(rc, 0);
  EXPECT_NE(access(tmp.file("empty/Vostrel.ini").c_str(), F_OK), 0);
  EXPECT_EQ(read_file(tmp.file("kept/Vostrel.ini")), "TemperamID=1\n");
  EXPECT_NE(access(tmp.file("kept/Vostrel.ini.tmp").c_str(), F_OK), 0);
}

TEST_F(Settings, FailedWriteKeepsOldFile) {
  const std::string old = "SupplierID=1\r\n";
  write_file("Vostrel.ini", old);
  make_dirs(tmp.file("new"));
  int rc = in_child([&] {
    struct rlimit lim = {8, 8};
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return 10;
    int saved = save_settings();
    if (chdir((tmp.path + "/new").c_str()) != 0) return 11;
    saved += save_settings();
    return saved == 0 && dialogs.alerts.empty() ? 0 : 1;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file("Vostrel.ini"), old);
  EXPECT_NE(access("Vostrel.ini.tmp", F_OK), 0);
  // Where there was no file before, a failed Exit leaves none.
  EXPECT_NE(access("new/Vostrel.ini", F_OK), 0);
  EXPECT_NE(access("new/Vostrel.ini.tmp", F_OK), 0);
}
