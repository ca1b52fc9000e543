// test_writer.cpp - Generate File: the proposed name, the temperament file
// byte for byte, and the refusals and failures that leave files alone.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>

#include <cmath>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

static const char EXISTS[] =
    "Cant write over existing file (for security reasons)\n"
    "Please delete file before generating it or use another name.";

// Pitch of MIDI note n from A and the twelve offsets, in long double.
static long double pitch_of(int n, long double a, const double *cents) {
  int k = ((n - 69) % 12 + 12) % 12;
  long double octaves = (n - 69 - k) / 12;
  return a * powl(2.0L, octaves + (100.0L * k + cents[k]) / 1200.0L);
}

static std::string pitch_text(long double v) {
  char buf[64];
  snprintf(buf, sizeof buf, "%.15Lg", v);
  return buf;
}

// Digits of a plain decimal text without its leading zeros; 99 for any
// other text (a blank, a sign, an exponent).
static size_t significant_digits(const std::string &t) {
  if (t.empty() || t.find_first_not_of("0123456789.") != std::string::npos) return 99;
  std::string digits;
  for (char c : t)
    if (c != '.' && (c != '0' || !digits.empty())) digits += c;
  return digits.size();
}

// The whole file, line by line from the format table: general fields in
// the order ID, name, short name, supplier ID, supplier name, comment,
// version, then one note object per pitch text.
static std::string expected_file(const std::vector<std::string> &g,
                                 const std::vector<std::string> &pitch) {
  std::string f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\">\n"
                  "<ObjectList ObjectType=\"_General\">\n\t<_General>\n"
                  "\t\t<Sys_ObjectID>1</Sys_ObjectID>\n";
  const char *tags[] = {"UniqueTemperamentID", "Name", "ShortName", "SupplierID",
                        "SupplierName", "Comments", "TemperamentVersion"};
  for (int i = 0; i < 7; i++)
    f += std::string("\t\t<") + tags[i] + ">" + g[i] + "</" + tags[i] + ">\n";
  f += "\t</_General>\n</ObjectList>\n<ObjectList ObjectType=\"note\">\n";
  for (size_t n = 0; n < pitch.size(); n++)
    f += "\t<note>\n\t\t<MIDINoteNumberOnEightFootStop>" + std::to_string(n) +
         "</MIDINoteNumberOnEightFootStop>\n\t\t<PitchHz>" + pitch[n] + "</PitchHz>\n\t</note>\n";
  return f + "</ObjectList>\n</Hauptwerk>\n";
}

static std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

struct Writer : ::testing::Test {
  TempDir tmp;
  void SetUp() override {
    fresh_window();
    script_dialogs();
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", tmp.path.c_str());
  }
  // Runs Generate File, confirming the name with `confirm`.
  void generate(const Answer &confirm) {
    dialogs.inputs.push_back(confirm);
    generate_file();
  }
};

TEST_F(Writer, DefaultTemperamentByteForByte) {
  const std::string name = tmp.file("Equal.Temperament.Hauptwerk.xml");
  generate(answer(name));
  ASSERT_EQ(dialogs.input_prompts.size(), 1u);
  EXPECT_EQ(dialogs.input_prompts[0], "Filename to generate|" + name);
  EXPECT_TRUE(dialogs.alerts.empty());

  const double zero[12] = {0};
  std::vector<std::string> pitch;
  for (int n = 0; n < NOTE_COUNT; n++) pitch.push_back(pitch_text(pitch_of(n, 440, zero)));
  const char *known[][2] = {{"0", "8.17579891564371"}, {"21", "27.5"},
                            {"60", "261.625565300599"}, {"69", "440"},
                            {"70", "466.16376151809"},  {"132", "16744.0361792383"}};
  for (auto &k : known) EXPECT_EQ(pitch[atoi(k[0])], k[1]) << "note " << k[0];
  const std::string file = read_file(name);
  EXPECT_EQ(file, expected_file({"999900", "Equal Temperament", "Equal", "999999", "", "",
                                 "1.00"}, pitch));
  EXPECT_EQ(lines_of(file).size(), 549u);
}

TEST_F(Writer, OtherTemperamentAndPitch) {
  const double cents[12] = {0, -9.8, 3.9, 5.9, -3.9, 2, -7.8, 2, -5.9, -2, 3.9, -3.9};
  for (int i = 0; i < 12; i++) DCent[i] = cents[i];
  APitch = 415.3;
  Box_Name->value("Werckmeister III");
  Box_ShortName->value("WIII");
  Box_ID->value("-17");
  Box_SupplierID->value("42");
  const std::string name = tmp.file("w3.xml");
  generate(answer(name));
  std::vector<std::string> got = lines_of(read_file(name)), pitch;
  ASSERT_EQ(got.size(), 549u);
  // Pitch texts come from the record's doubles: each must be the exact value
  // rounded to 15 digits, give or take the doubles' own rounding.
  for (int n = 0; n < NOTE_COUNT; n++) {
    long double want = pitch_of(n, 415.3L, cents);
    std::string line = got[15 + 4 * n + 2], head = "\t\t<PitchHz>";
    std::string t = line.substr(head.size(), line.size() - head.size() - 10);
    long double unit = powl(10.0L, floorl(log10l(want)) - 14);  // 15th digit
    EXPECT_NEAR(strtold(t.c_str(), nullptr), want, unit / 2 + want * 5e-16L) << "note " << n;
    EXPECT_LE(significant_digits(t), 15u) << t;
    pitch.push_back(t);
  }
  EXPECT_EQ(got, lines_of(expected_file({"-17", "Werckmeister III", "WIII", "000042", "", "",
                                         "1.00"}, pitch)));
  EXPECT_EQ(pitch[69], "415.3");
}

TEST_F(Writer, GeneralFieldTexts) {
  compute_temperament(1);
  struct Case { int id; const char *text; } ids[] = {
      {42, "000042"}, {-5, "-00005"}, {1234567, "1234567"}};
  int k = 0;
  for (const Case &c : ids) {
    Temp_Supplier_ID = c.id;
    std::string name = tmp.file("id" + std::to_string(k++) + ".xml");
    ASSERT_EQ(write_temperament_file(name.c_str()), 1);
    EXPECT_EQ(lines_of(read_file(name))[8], std::string("\t\t<SupplierID>") + c.text +
                                                "</SupplierID>");
  }
  // Empty texts give an empty element; & < > are escaped, quotes are not.
  snprintf(Temp_Name, sizeof Temp_Name, "Bach & Sons <1> \"q\"");
  snprintf(Temp_ShortName, sizeof Temp_ShortName, "a<&b");
  snprintf(Temp_Supplier_Name, sizeof Temp_Supplier_Name, "&&");
  snprintf(Temp_Comment, sizeof Temp_Comment, ">'");
  Temp_Version[0] = '\0';
  std::string name = tmp.file("text.xml");
  ASSERT_EQ(write_temperament_file(name.c_str()), 1);
  std::vector<std::string> got = lines_of(read_file(name));
  const std::vector<std::string> want = {
      "\t\t<Name>Bach &amp; Sons &lt;1&gt; \"q\"</Name>", "\t\t<ShortName>a&lt;&amp;b</ShortName>",
      "\t\t<SupplierID>1234567</SupplierID>", "\t\t<SupplierName>&amp;&amp;</SupplierName>",
      "\t\t<Comments>&gt;'</Comments>", "\t\t<TemperamentVersion></TemperamentVersion>"};
  EXPECT_EQ(std::vector<std::string>(got.begin() + 6, got.begin() + 12), want);
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Writer, ProposedNameAndCancel) {
  struct Case { const char *dir, *shortname, *proposal; } cases[] = {
      {"/x/dir", "Eq.", "/x/dir/Eq.Temperament.Hauptwerk.xml"},
      {"/x/dir/", "", "/x/dir/.Temperament.Hauptwerk.xml"},
      {"/x/dir//", "a/b", "/x/dir//a/b.Temperament.Hauptwerk.xml"}};
  for (const Case &c : cases) {
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s", c.dir);
    Box_ShortName->value(c.shortname);
    generate(cancelled());
    EXPECT_EQ(dialogs.input_prompts.back(), std::string("Filename to generate|") + c.proposal);
  }
  // Cancelling writes nothing, but the commit and the full computation
  // have taken effect.
  snprintf(Tempdirstr, sizeof Tempdirstr, "%s", tmp.path.c_str());
  Box_ShortName->value("Kirnberger");
  Box_Name->value("Kirnberger III");
  generate(cancelled());
  EXPECT_EQ(dialogs.input_prompts.back(),
            "Filename to generate|" + tmp.path + "/Kirnb.Temperament.Hauptwerk.xml");
  EXPECT_EQ(dialogs.alerts,
            std::vector<std::string>{"Only first five characters of ShortName used!"});
  EXPECT_STREQ(Temp_Name, "Kirnberger III");
  EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);
  EXPECT_NEAR(Pitch[132], 16744.0361792383, 1e-10);
  EXPECT_EQ(system(("test -z \"$(ls -A '" + tmp.path + "')\"").c_str()), 0);
}

TEST_F(Writer, NeverReplacesAndReportsFailures) {
  compute_temperament(1);
  const std::string old = tmp.file("old.xml"), locked = tmp.file("locked.xml");
  write_file(old, "keep me");
  EXPECT_EQ(write_temperament_file(old.c_str()), 0);
  EXPECT_EQ(read_file(old), "keep me");

  const std::string missing = tmp.file("no/such/folder/x.xml");
  EXPECT_EQ(write_temperament_file(missing.c_str()), 0);
  EXPECT_EQ(dialogs.alerts, (std::vector<std::string>{EXISTS, "Cant create file\n" + missing}));

  // A write failing part-way leaves no file behind.
  const std::string cut = tmp.file("cut.xml");
  int rc = in_child([&] {
    struct rlimit lim = {1000, 1000};
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return 10;
    dialogs.alerts.clear();
    int r = write_temperament_file(cut.c_str());
    return r == 0 && dialogs.alerts == std::vector<std::string>{"Cant write file\n" + cut} ? 0 : 1;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_NE(access(cut.c_str(), F_OK), 0);

  // An existing file that cannot even be read is not replaced either.
  write_file(locked, "locked");
  chmod(locked.c_str(), 0);
  rc = in_child([&] {
    if (!become_nobody()) return SKIPPED;
    if (access(locked.c_str(), R_OK) == 0) return 11;
    dialogs.alerts.clear();
    int r = write_temperament_file(locked.c_str());
    return r == 0 && dialogs.alerts == std::vector<std::string>{EXISTS} ? 0 : 1;
  });
  if (rc == SKIPPED) GTEST_SKIP() << "cannot drop privileges to nobody";
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file(locked), "locked");
}
