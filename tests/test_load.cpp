// test_load.cpp - the Load action through the dialog seam: the chooser
// request, loading files the writer made and generating them again, the
// window texts after a load, and failed or cancelled loads.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

typedef std::vector<std::string> Texts;

// Every text the window shows.
static Texts window_texts() {
  Texts t = {Box_ID->value(),           Box_Name->value(),    Box_ShortName->value(),
             Box_SupplierID->value(),   Box_SupplierName->value(), Box_Comment->value(),
             Box_Version->value(),      Box_APitch->value()};
  for (int i = 0; i < 12; i++) {
    t.push_back(Box_DCent[i]->value());
    t.push_back(Box_Pitch[i]->value());
  }
  return t;
}

// The pitch the file gives for note n, read straight from its text.
static double file_pitch(const std::string &file, int n) {
  std::string key = "<MIDINoteNumberOnEightFootStop>" + std::to_string(n) + "<";
  size_t at = file.find(key);
  if (at == std::string::npos) return NAN;
  at = file.find("<PitchHz>", at);
  return strtod(file.c_str() + at + strlen("<PitchHz>"), nullptr);
}

class Load : public ::testing::Test {
protected:
  void SetUp() override { reset(); }
  // Start-up state, the scripted dialogs and a known temperaments folder,
  // so nothing searches the disk.
  void reset() {
    fresh_window();
    script_dialogs();
    snprintf(Drive_Root1, sizeof Drive_Root1, "%s/", dir.path.c_str());
    snprintf(Drive_Root2, sizeof Drive_Root2, "%s/", dir.path.c_str());
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", dir.path.c_str());
  }
  void load(const std::string &path) {
    dialogs.files.push_back(answer(path));
    load_file();
  }
  void generate(const std::string &path) {
    dialogs.inputs.push_back(answer(path));
    generate_file();
  }
  // Generates a consistent set of 133 pitches for files that give none.
  void consistent_pitches() { compute_temperament(1); }
  TempDir dir;
};

TEST_F(Load, ChooserRequestAndCancel) {
  Box_Name->value("typed before");
  Box_SupplierID->value("17");
  Texts before = window_texts();
  dialogs.files.push_back(cancelled());
  load_file();
  EXPECT_EQ(dialogs.file_requests,
            Texts{"Choose file to load|*.xml|" + dir.path + "/|0"});
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ(window_texts(), before);
  EXPECT_EQ(Temp_ID, 999900);
  EXPECT_EQ(APitch, 440.0);
}

struct RoundTrip {
  const char *what;
  double apitch;
  double cents[12];
  double loaded_apitch;     // expected A-Pitch after the load
  const char *apitch_text;  // its window text
};

TEST_F(Load, WriterFilesLoadBackAndRegenerate) {
  const RoundTrip cases[] = {
      {"equal", 440.0, {0}, 440.0, " 440.0000000"},
      {"historical", 440.0, {0, -9.8, -3.9, 5.9, -9.8, 2.0, -3.9, -2.0, 3.9, -7.8, 3.9, -5.9},
       440.0, " 440.0000000"},
      {"baroque", 415.0, {0}, 415.0, " 415.0000000"},
      // 440 * 2^(2/1200): bc -l gives 440.50860165568238553560.
      {"A offset", 440.0, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 440.5086016557, " 440.5086"},
  };
  int k = 0;
  for (const RoundTrip &c : cases) {
    SCOPED_TRACE(c.what);
    reset();
    Box_ID->value("4711");
    Box_Name->value("Bach & Sons <1722>");
    Box_ShortName->value("Bach");
    Box_SupplierID->value("42");
    Box_SupplierName->value("Fa\"ber\" & Co");
    Box_Comment->value("a 'comment' &amp; more");
    Box_Version->value("2.1");
    APitch = c.apitch;
    for (int i = 0; i < 12; i++) DCent[i] = c.cents[i];
    std::string first = dir.file(std::to_string(k) + "a.xml");
    std::string second = dir.file(std::to_string(k++) + "b.xml");
    generate(first);
    ASSERT_EQ(dialogs.alerts, Texts{});
    std::string text = read_file(first);

    // Start from another state, then load.
    reset();
    Box_Name->value("something else");
    load(first);
    ASSERT_EQ(dialogs.alerts, Texts{});
    EXPECT_EQ(Temp_ID, 4711);
    EXPECT_STREQ(Temp_Name, "Bach & Sons <1722>");
    EXPECT_STREQ(Temp_ShortName, "Bach");
    EXPECT_EQ(Temp_Supplier_ID, 42);
    EXPECT_STREQ(Temp_Supplier_Name, "Fa\"ber\" & Co");
    EXPECT_STREQ(Temp_Comment, "a 'comment' &amp; more");
    EXPECT_STREQ(Temp_Version, "2.1");
    EXPECT_NEAR(APitch, c.loaded_apitch, 5e-7);
    for (int i = 0; i < 12; i++) EXPECT_NEAR(DCent[i], c.cents[i] - c.cents[0], 1e-9) << i;

    EXPECT_STREQ(Box_ID->value(), "4711");
    EXPECT_STREQ(Box_Name->value(), "Bach & Sons <1722>");
    EXPECT_STREQ(Box_SupplierID->value(), "000042");
    EXPECT_STREQ(Box_SupplierName->value(), "Fa\"ber\" & Co");
    EXPECT_EQ(std::string(Box_APitch->value()).substr(0, strlen(c.apitch_text)), c.apitch_text);
    EXPECT_EQ(strlen(Box_APitch->value()), 12u);
    for (int i = 0; i < 12; i++) {
      char want[40];
      snprintf(want, sizeof want, "%+.1f", c.cents[i] - c.cents[0] + 0.0);
      // A recovered 0 may come out as a tiny negative number: -0.0.
      if (std::string(want) == "+0.0" && std::string(Box_DCent[i]->value()) == "-0.0")
        strcpy(want, "-0.0");
      EXPECT_STREQ(Box_DCent[i]->value(), want) << i;
      snprintf(want, sizeof want, "%12.7f", file_pitch(text, 69 + i));
      EXPECT_STREQ(Box_Pitch[i]->value(), want) << i;
    }

    // Name and comment escapes in the file; then the same bytes again.
    EXPECT_NE(text.find("<Name>Bach &amp; Sons &lt;1722&gt;</Name>"), std::string::npos);
    generate(second);
    ASSERT_EQ(dialogs.alerts, Texts{});
    // The file keeps 15 significant digits, so the recovered offsets carry
    // the rounding of the reference octave into the other octaves: a pitch
    // may differ in its last digit (even in equal temperament, e.g. note
    // 121 at 440 Hz); every other byte is the same.
    std::string again = read_file(second);
    for (int n = 0; n < 133; n++)
      EXPECT_NEAR(file_pitch(again, n), file_pitch(text, n), file_pitch(text, n) * 2e-14) << n;
    size_t a = again.find("<ObjectList ObjectType=\"note\">");
    ASSERT_NE(a, std::string::npos);
    EXPECT_EQ(again.substr(0, a), text.substr(0, a));
    EXPECT_EQ(std::count(again.begin(), again.end(), '\n'), 549);
  }
}

TEST_F(Load, WindowShowsResetValuesAndIdFormats) {
  consistent_pitches();
  Texts pitches_before = window_texts();
  struct {
    const char *general;
    Texts shown;  // ID, name, short name, supplier ID, supplier, comment, version
  } cases[] = {
      {"", {"999900", "", "", "999999", "", "", ""}},
      {"<SupplierID>1234567</SupplierID><UniqueTemperamentID>-3</UniqueTemperamentID>",
       {"-3", "", "", "1234567", "", "", ""}},
      {"<SupplierID>-5</SupplierID><Name>N</Name><Comments>C</Comments>",
       {"999900", "N", "", "-00005", "", "C", ""}},
  };
  for (auto &c : cases) {
    Temp_Supplier_ID = 1;
    for (char *field : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
      strcpy(field, "stale");
    Box_Name->value("typed");
    write_file(dir.file("g.xml"), std::string("<Hauptwerk FileFormat=\"Temperament\">") +
                                      c.general + "</Hauptwerk>");
    load(dir.file("g.xml"));
    EXPECT_EQ(dialogs.alerts, Texts{});
    Texts shown = window_texts();
    EXPECT_EQ(Texts(shown.begin(), shown.begin() + 7), c.shown) << c.general;
    // No pitches in the file: the tuning column shows the pitches kept,
    // and offsets recovered from them of zero or a tiny negative number.
    EXPECT_EQ(shown[7], pitches_before[7]);
    for (int i = 0; i < 12; i++) {
      EXPECT_TRUE(shown[8 + 2 * i] == "+0.0" || shown[8 + 2 * i] == "-0.0") << shown[8 + 2 * i];
      EXPECT_EQ(shown[9 + 2 * i], pitches_before[9 + 2 * i]);
    }
  }
}

TEST_F(Load, FailedLoadsShowTwoAlertsAndLeaveTheWindow) {
  consistent_pitches();
  Box_Name->value("typed");
  Box_ID->value("77");
  APitch = 432.0;  // not shown yet: a successful load would change it
  DCent[3] = 7.0;
  Texts before = window_texts();

  std::string bad = dir.file("bad.xml");
  write_file(bad, "<Hauptwerk FileFormat=\"Temperament\"><Name>From file</Name>" +
                      std::string("<note><PitchHz>1</PitchHz></note></Hauptwerk>"));
  load(bad);
  EXPECT_EQ(dialogs.alerts, Texts({"Parser error with PitchHz", "Loading " + bad + " failed"}));
  EXPECT_EQ(window_texts(), before);
  EXPECT_STREQ(Temp_Name, "From file");  // what was read before the error stays
  EXPECT_EQ(Temp_ID, 999900);
  EXPECT_EQ(APitch, 432.0);
  EXPECT_EQ(DCent[3], 7.0);

  std::string missing = dir.file("gone 100%d.xml");
  dialogs.alerts.clear();
  load(missing);
  EXPECT_EQ(dialogs.alerts, Texts({"Can't open file\n" + missing + "\nfor reading!",
                                   "Loading " + missing + " failed"}));
  EXPECT_EQ(window_texts(), before);

  // Notes 0 and 12 a ratio of 3 apart fail the octave check.
  std::string octave = dir.file("octave.xml");
  write_file(octave, "<Hauptwerk><Name>Loaded</Name>"
                     "<note><MIDINoteNumberOnEightFootStop>0</MIDINoteNumberOnEightFootStop>"
                     "<PitchHz>100</PitchHz></note>"
                     "<note><MIDINoteNumberOnEightFootStop>12</MIDINoteNumberOnEightFootStop>"
                     "<PitchHz>300</PitchHz></note></Hauptwerk>");
  dialogs.alerts.clear();
  load(octave);
  EXPECT_EQ(dialogs.alerts,
            Texts({"No clean octaves in this temperament:\n"
                   "Notenr 0, Pitch=100.000000, Octave=300.000000, fact=3.000000",
                   "computing cents failed"}));
  EXPECT_EQ(window_texts(), before);
  EXPECT_STREQ(Temp_Name, "Loaded");
  EXPECT_EQ(Pitch[12], 300.0);
  EXPECT_EQ(APitch, 432.0);
  EXPECT_EQ(DCent[3], 7.0);
}
