// test_writer.cpp - Generate File: the proposed name, the file byte for byte, refusals, failures.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include "xml_parser.h"
#include <FL/Fl_Input.H>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

using Texts = std::vector<std::string>;
static const char EXISTS[] = "Cant write over existing file (for security reasons)\n"
                             "Please delete file before generating it or use another name.";

// Pitch of MIDI note n from A and the twelve offsets, in long double.
static long double pitch_of(int n, long double a, const double *cents) {
  int k = ((n - 69) % 12 + 12) % 12;
  return a * powl(2.0L, (n - 69 - k) / 12 + (100.0L * k + cents[k]) / 1200.0L);
}

// The file from the format table: ID, name, short name, supplier ID and name, comment, version.
static std::string expected_file(const Texts &g, const Texts &pitch) {
  std::string f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\">\n"
                  "<ObjectList ObjectType=\"_General\">\n\t<_General>\n"
                  "\t\t<Sys_ObjectID>1</Sys_ObjectID>\n";
  const char *tags[] = {"UniqueTemperamentID", "Name", "ShortName", "SupplierID",
                        "SupplierName", "Comments", "TemperamentVersion"};
  for (int i = 0; i < 7; i++) f += std::string("\t\t<") + tags[i] + ">" + g[i] + "</" + tags[i] + ">\n";
  f += "\t</_General>\n</ObjectList>\n<ObjectList ObjectType=\"note\">\n";
  for (size_t n = 0; n < pitch.size(); n++)
    f += "\t<note>\n\t\t<MIDINoteNumberOnEightFootStop>" + std::to_string(n) +
         "</MIDINoteNumberOnEightFootStop>\n\t\t<PitchHz>" + pitch[n] + "</PitchHz>\n\t</note>\n";
  return text_lines(f + "</ObjectList>\n</Hauptwerk>\n");
}

struct Writer : ::testing::Test {
  TempDir tmp;
  void SetUp() override {
    fresh_window(), script_dialogs();
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", tmp.path.c_str());
  }
  void generate(const Answer &confirm) { dialogs.inputs.push_back(confirm), generate_file(); }
};

TEST_F(Writer, WholeFileByteForByte) {
  const double zero[12] = {0};
  Texts pitch(NOTE_COUNT, std::string(64, '\0'));
  for (int n = 0; n < NOTE_COUNT; n++)
    pitch[n].resize(snprintf(&pitch[n][0], 64, "%.15Lg", pitch_of(n, 440, zero)));
  EXPECT_EQ((Texts{pitch[0], pitch[21], pitch[60], pitch[69], pitch[70], pitch[132]}),
            (Texts{"8.17579891564371", "27.5", "261.625565300599", "440", "466.16376151809",
                   "16744.0361792383"}));
  const std::string name = tmp.file("Equal.Temperament.Hauptwerk.xml");
  generate(answer(name));
  EXPECT_EQ(dialogs.input_prompts, Texts{"Filename to generate|" + name});
  EXPECT_EQ(read_file(name),
            expected_file({"999900", "Equal Temperament", "Equal", "999999", "", "", "1.00"}, pitch));
  // Supplier IDs in six digits; the five text fields empty, escaped (& < >, quotes not) or plain.
  struct Case { int id; const char *id_text, *text; std::string want; } cases[] = {
      {42, "000042", "", ""},
      {-5, "-00005", "<a & \"b\">", "&lt;a &amp; \"b\"&gt;"},
      {1234567, "1234567", "x'y", "x'y"}};
  for (const Case &c : cases) {
    Temp_Supplier_ID = c.id;
    for (char *f : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
      snprintf(f, TEXT_FIELD_SIZE, "%s", c.text);
    std::string file = tmp.file("J\xc3\xbcrgen " + std::to_string(c.id) + ".xml");  // UTF-8
    ASSERT_EQ(write_temperament_file(file.c_str()), 1);
    EXPECT_EQ(read_file(file), expected_file({"999900", c.want, c.want, c.id_text, c.want, c.want,
                                              c.want}, pitch)) << c.id;
  }
  EXPECT_EQ(parse_xml(tmp.file("J\xc3\xbcrgen 42.xml").c_str()), 1);  // and read by that name
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Writer, OtherTemperamentAndPitch) {
  const double cents[12] = {0, -9.8, 3.9, 5.9, -3.9, 2, -7.8, 2, -5.9, -2, 3.9, -3.9};
  APitch = 415.3;
  for (int i = 0; i < 12; i++) DCent[i] = cents[i];
  generate(answer(tmp.file("w3.xml")));
  const std::string file = read_file(tmp.file("w3.xml"));
  // The exact pitch rounded to 15 digits (give or take the doubles'), in at most 16 bytes.
  Texts pitch;
  for (size_t n = 0, at = 0; n < NOTE_COUNT && (at = file.find("<PitchHz>", at)) != file.npos; n++) {
    at += 9;
    pitch.push_back(file.substr(at, file.find('<', at) - at));
    long double want = pitch_of(n, 415.3L, cents), unit = powl(10.0L, floorl(log10l(want)) - 14);
    EXPECT_NEAR(strtold(pitch[n].c_str(), nullptr), want, unit / 2 + want * 5e-16L) << n;
    EXPECT_LE(pitch[n].size(), 16u) << pitch[n];
  }
  ASSERT_EQ(pitch.size(), size_t(NOTE_COUNT));
  EXPECT_EQ(pitch[69], "415.3");
}

TEST_F(Writer, ProposedNameAndCancel) {
  // A slash and a dot only where missing; cancelling writes nothing, but the commit took effect.
  struct Case { std::string dir; const char *shortname; std::string proposal; } cases[] = {
      {tmp.path, "Eq.", tmp.path + "/Eq.Temperament.Hauptwerk.xml"},
      {"/x/dir/", "", "/x/dir/.Temperament.Hauptwerk.xml"},
      {"/x/dir//", "a/b", "/x/dir//a/b.Temperament.Hauptwerk.xml"}};
  Box_Name->value("Kirnberger III");
  for (const Case &c : cases) {
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s", c.dir.c_str());
    Box_ShortName->value(c.shortname);
    generate(cancelled());
    EXPECT_EQ(dialogs.input_prompts.back(), "Filename to generate|" + c.proposal);
  }
  EXPECT_STREQ(Temp_Name, "Kirnberger III");
  EXPECT_NEAR(Pitch[132], 16744.0361792383, 1e-10);
  EXPECT_TRUE(is_empty_dir(tmp.path));
}

TEST_F(Writer, NeverReplacesAndReportsFailures) {
  compute_temperament(1);
  const std::string old = tmp.file("old.xml"), ro = tmp.file("ro.xml"),
                    missing = tmp.file("no/such/x.xml");
  write_file(old, "keep me"), write_file(ro, "read-only");
  chmod(ro.c_str(), S_IRUSR);
  EXPECT_EQ(write_temperament_file(old.c_str()) + write_temperament_file(ro.c_str()) +
            write_temperament_file(missing.c_str()), 0);
  EXPECT_EQ(dialogs.alerts, (Texts{EXISTS, EXISTS, "Cant create file\n" + missing}));
  EXPECT_EQ(read_file(old) + read_file(ro), "keep meread-only");
}

TEST_F(Writer, FailuresInAChild) {
  compute_temperament(1);
  const std::string locked = tmp.file("locked.xml"), cut = tmp.file("cut.xml");
  int rc = in_child_limited(1000, [&] {  // a write failing part-way leaves no file behind
    return int(write_temperament_file(cut.c_str()) != 0 ||
               dialogs.alerts != Texts{"Cant write file\n" + cut});
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_NE(access(cut.c_str(), F_OK), 0);
  write_file(locked, "locked");  // unreadable: refused when the exclusive create fails
  chmod(locked.c_str(), 0);
  rc = in_child([&] {
    if (!become_nobody()) return int(CHILD_SKIPPED);
    int r = write_temperament_file(locked.c_str());
    return int(access(locked.c_str(), R_OK) == 0 || r != 0 || dialogs.alerts != Texts{EXISTS});
  });
  if (rc == CHILD_SKIPPED) GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(read_file(locked), "locked");
}

#ifdef _WIN32
static const char NEGATIVE_NAN[] = "nan";  // MinGW's printf shows no sign of a NaN
#else
static const char NEGATIVE_NAN[] = "-nan";
#endif

TEST_F(Writer, ImpossiblePitchesAreRefusedBeforeAnything) {
  // Typed as a user would: each gives non-finite or non-positive pitches.
  struct Case { Fl_Input *box; const char *text; std::string alert_tail; } cases[] = {
      {Box_APitch, "nan", "Notenr 0, Pitch=nan"},
      {Box_APitch, "0", "Notenr 0, Pitch=0.000000"},
      {Box_APitch, "-440", "Notenr 0, Pitch=-8.175799"},
      {Box_APitch, "1e39", "Notenr 0, Pitch=inf"},  // infinite in single precision
      {Box_DCent[4], "inf", "Notenr 1, Pitch=inf"},
      {Box_DCent[11], "-nan", std::string("Notenr 8, Pitch=") + NEGATIVE_NAN},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    fresh_window(), script_dialogs();
    Box_Name->value("typed but never committed");
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", tmp.path.c_str());
    c.box->value(c.text), c.box->set_changed(), c.box->handle(FL_UNFOCUS);
    generate(answer(tmp.file("x.xml")));
    EXPECT_EQ(dialogs.alerts, Texts{std::string("Cant generate a file with impossible pitches:\n") +
                                    c.alert_tail + "\nPlease correct A-Pitch or the cent offsets."});
    EXPECT_EQ(dialogs.input_prompts, Texts{});  // no name asked, nothing committed
    EXPECT_STREQ(Temp_Name, "");
    dialogs.inputs.clear();
  }
  EXPECT_TRUE(is_empty_dir(tmp.path));
  // The writer itself refuses too.
  Pitch[100] = -1.0;
  EXPECT_EQ(write_temperament_file(tmp.file("y.xml").c_str()), 0);
  EXPECT_NE(access(tmp.file("y.xml").c_str(), F_OK), 0);
}
