// test_load.cpp - the Load action through the dialog seam: writer files loaded
// back and written again, window texts, cancelled and failed loads.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <unistd.h>
#include <algorithm>
#include <map>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

typedef std::vector<std::string> Texts;

// ID, name, short name, supplier ID, supplier, comment, version, A, then cents and pitch per note.
static Texts window_texts() {
  Texts t = {Box_ID->value(), Box_Name->value(), Box_ShortName->value(), Box_SupplierID->value(),
             Box_SupplierName->value(), Box_Comment->value(), Box_Version->value(), Box_APitch->value()};
  for (int i = 0; i < 12; i++) t.insert(t.end(), {Box_DCent[i]->value(), Box_Pitch[i]->value()});
  return t;
}

static double file_pitch(const std::string &file, int n) {  // note n's pitch in the file text
  size_t at = file.find("<MIDINoteNumberOnEightFootStop>" + std::to_string(n) + "<");
  return at == std::string::npos ? NAN : strtod(file.c_str() + file.find("<PitchHz>", at) + 9, nullptr);
}

// A temperament file of all 133 equal-tempered notes, listed from 132 down to
// 0, with `general` in front; `change` gives some notes another PitchHz text,
// or "-" to leave the note out.
static std::string temperament_file(const std::string &general,
                                    const std::map<int, std::string> &change = {}) {
  std::string text = "<Hauptwerk>" + general;
  for (int n = 132; n >= 0; n--) {
    char hz[40];
    snprintf(hz, sizeof hz, "%.15g", 440.0 * std::exp2((n - 69) / 12.0));
    auto it = change.find(n);
    if (it != change.end() && it->second == "-") continue;
    text += "<note><MIDINoteNumberOnEightFootStop>" + std::to_string(n) +
            "</MIDINoteNumberOnEightFootStop><PitchHz>" + (it != change.end() ? it->second : hz) +
            "</PitchHz></note>";
  }
  return text + "</Hauptwerk>";
}

class Load : public ::testing::Test {
protected:
  void SetUp() override { reset(); }
  void reset() {  // start-up state, scripted dialogs, a known folder: no disk search
    fresh_window();
    script_dialogs();
    for (char *root : {Drive_Root1, Drive_Root2}) snprintf(root, ROOT_SIZE, "%s/", dir.path.c_str());
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", dir.path.c_str());
  }
  void load(const std::string &path) { dialogs.files.push_back(answer(path)), load_file(); }
  std::string generate() {  // writes a.xml afresh, returns its text
    unlink(dir.file("a.xml").c_str());
    dialogs.inputs.push_back(answer(dir.file("a.xml")));
    generate_file();
    EXPECT_EQ(dialogs.alerts, Texts{});
    return read_file(dir.file("a.xml"));
  }
  TempDir dir;
};

TEST_F(Load, WriterFilesLoadBackAndRegenerate) {
  const struct { double apitch, cents[12]; const char *apitch_text; } cases[] = {
      {440.0, {0}, " 440.0000000"},
      {440.0, {0, -9.8, -3.9, 5.9, -9.8, 2.0, -3.9, -2.0, 3.9, -7.8, 3.9, -5.9}, " 440.0000000"},
      {415.0, {0}, " 415.0000000"},
      {440.0, {2}, " 440.5086017"},  // 440 * 2^(2/1200) by bc -l: 440.50860165568238...
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.apitch_text);
    reset();
    Texts typed = {"4711", "Bach & Sons <1722>", "Bach", "42", "Fa\"ber\" & Co", "a 'comment' &amp; more", "2.1"};
    Fl_Input *boxes[] = {Box_ID, Box_Name, Box_ShortName, Box_SupplierID, Box_SupplierName, Box_Comment, Box_Version};
    for (int k = 0; k < 7; k++) boxes[k]->value(typed[k].c_str());
    APitch = c.apitch;
    std::copy(c.cents, c.cents + 12, DCent);
    std::string text = generate();
    reset();
    load(dir.file("a.xml"));
    ASSERT_EQ(dialogs.alerts, Texts{});
    Texts shown = window_texts();
    typed[3] = "000042";
    EXPECT_EQ(Texts(shown.begin(), shown.begin() + 7), typed);
    EXPECT_EQ(shown[7], c.apitch_text);
    for (int i = 0; i < 12; i++) {
      char want[40];
      snprintf(want, sizeof want, "%+.1f", c.cents[i] - c.cents[0]);
      if (!strcmp(want, "+0.0") && shown[8 + 2 * i] == "-0.0") strcpy(want, "-0.0");  // tiny negative
      EXPECT_EQ(shown[8 + 2 * i], want) << i;
      snprintf(want, sizeof want, "%12.7f", file_pitch(text, 69 + i));
      EXPECT_EQ(shown[9 + 2 * i], want) << i;
    }
    // Again: a pitch may differ in its 15th digit, every other byte is the same.
    std::string again = generate();
    for (int n = 0; n < 133; n++)
      EXPECT_NEAR(file_pitch(again, n), file_pitch(text, n), file_pitch(text, n) * 2e-14) << n;
    size_t a = text.find("<ObjectList ObjectType=\"note\">");
    EXPECT_EQ(again.substr(0, a), text.substr(0, a));
    EXPECT_EQ(std::count(again.begin(), again.end(), '\n'), 549);
  }
}

TEST_F(Load, WindowShowsResetValuesAndIdFormats) {
  compute_temperament(1);
  Texts before = window_texts();
  const struct { std::string general; Texts shown; } cases[] = {
      {"", {"999900", "", "", "999999", "", "", ""}},
      // Notes in any order, and a note given twice keeps its later pitch.
      {"<note><MIDINoteNumberOnEightFootStop>69</MIDINoteNumberOnEightFootStop>"
       "<PitchHz>1000</PitchHz></note>", {"999900", "", "", "999999", "", "", ""}},
      {"<SupplierID>1234567</SupplierID><UniqueTemperamentID>-3</UniqueTemperamentID>",
       {"-3", "", "", "1234567", "", "", ""}},
      {"<SupplierID>-5</SupplierID><Name>N</Name><Comments>C</Comments>", {"999900", "N", "", "-00005", "", "C", ""}},
  };
  for (auto &c : cases) {
    for (char *field : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
      strcpy(field, "stale");
    write_file(dir.file("g.xml"), temperament_file(c.general));
    load(dir.file("g.xml"));
    EXPECT_EQ(dialogs.alerts, Texts{});
    Texts shown = window_texts();
    EXPECT_EQ(Texts(shown.begin(), shown.begin() + 7), c.shown) << c.general;
    for (int i = 7; i < 32; i++)  // equal temperament: offsets 0 or a tiny negative
      EXPECT_TRUE(shown[i] == before[i] || (i % 2 == 0 && shown[i] == "-0.0")) << i << shown[i];
  }
}

TEST_F(Load, CancelOrFailureLeavesTheWindow) {
  compute_temperament(1);
  APitch = 432.0;  // not shown: a completed load would change it
  Temp_ID = 5;
  Texts before = window_texts();
  dialogs.files.push_back(cancelled());
  load_file();
  EXPECT_EQ(dialogs.file_requests, Texts{"Choose file to load|*.xml|" + dir.path + "/|0"});
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ(Temp_ID, 5);
  EXPECT_EQ(window_texts(), before);
  std::map<int, std::string> negative;  // a whole chain of octaves, ratio 2 throughout
  for (int n = 1; n < NOTE_COUNT; n += 12) negative[n] = std::to_string(-440.0 * std::exp2((n - 69) / 12.0));
  const struct { std::string file, content, first, second; } cases[] = {
      {dir.file("bad.xml"), "<Hauptwerk><Name>F</Name><note><PitchHz>1</PitchHz></note></Hauptwerk>",
       "Parser error with PitchHz", "Loading " + dir.file("bad.xml") + " failed"},
      {dir.file("gone 100%d.xml"), "", "Can't open file\n" + dir.file("gone 100%d.xml") + "\nfor reading!",
       "Loading " + dir.file("gone 100%d.xml") + " failed"},
      {dir.file("octave.xml"), temperament_file("<Name>F</Name>", {{0, "100"}, {12, "300"}}),
       "No clean octaves in this temperament:\n"
       "Notenr 0, Pitch=100.000000, Octave=300.000000, fact=3.000000", "computing cents failed"},
      // Every note must be given, each with a positive, finite pitch; an earlier
      // load (the window's equal temperament) never fills a gap.
      {dir.file("gap.xml"), temperament_file("", {{60, "-"}, {61, "-"}, {80, "-"}}),
       "Missing note in this temperament:\nNotenr 60 has no PitchHz", ""},
      {dir.file("empty.xml"), temperament_file("", {{7, ""}, {9, "   "}}),
       "Missing note in this temperament:\nNotenr 7 has no PitchHz", ""},
      {dir.file("nan.xml"), temperament_file("", {{5, "nan"}, {17, "nan"}}),
       "Impossible pitch in this temperament:\nNotenr 5, Pitch=nan", ""},
      {dir.file("inf.xml"), temperament_file("", {{130, "inf"}, {118, "inf"}}),
       "Impossible pitch in this temperament:\nNotenr 118, Pitch=inf", ""},
      {dir.file("zero.xml"), temperament_file("", {{44, "0"}, {56, "0"}}),
       "Impossible pitch in this temperament:\nNotenr 44, Pitch=0.000000", ""},
      {dir.file("neg.xml"), temperament_file("", negative),
       "Impossible pitch in this temperament:\nNotenr 1, Pitch=-8.661957", ""},
  };
  for (auto &c : cases) {
    if (!c.content.empty()) write_file(c.file, c.content);
    dialogs.alerts.clear();
    load(c.file);
    EXPECT_EQ(dialogs.alerts, Texts({c.first, c.second.empty() ? "Loading " + c.file + " failed" : c.second}));
    EXPECT_EQ(window_texts(), before);
    EXPECT_EQ(APitch, 432.0);
  }
}
