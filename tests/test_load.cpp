// test_load.cpp - the Load action through the dialog seam: window texts, cancelled and failed
// loads (a writer file loaded and written again byte for byte: the real-window test).
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <map>
#include <cmath>
#include <cstdio>
#include <cstring>

typedef std::vector<std::string> Texts;

// ID, name, short name, supplier ID, supplier, comment, version, A, then cents and pitch per note.
static Texts window_texts() {
  Texts t = {Box_ID->value(), Box_Name->value(), Box_ShortName->value(), Box_SupplierID->value(),
             Box_SupplierName->value(), Box_Comment->value(), Box_Version->value(), Box_APitch->value()};
  for (int i = 0; i < 12; i++) t.insert(t.end(), {Box_DCent[i]->value(), Box_Pitch[i]->value()});
  return t;
}

struct Load : ::testing::Test {
  TempDir dir;
  void SetUp() override {  // start-up state, scripted dialogs, a known folder: no disk search
    fresh_window();
    script_dialogs();
    for (char *root : {Drive_Root1, Drive_Root2}) snprintf(root, ROOT_SIZE, "%s/", dir.path.c_str());
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", dir.path.c_str());
  }
  void load(const std::string &path) { dialogs.files.push_back(answer(path)), load_file(); }
};

TEST_F(Load, WindowShowsResetValuesAndIdFormats) {
  compute_temperament(1);
  Texts before = window_texts();
  for (char *field : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
    strcpy(field, "stale");
  // Fields the file leaves out are reset. Notes in any order, and a note given
  // twice keeps its later pitch.
  write_file(dir.file("g.xml"), temperament_file(
      "<SupplierID>-5</SupplierID><Name>N</Name><Comments>C</Comments><note>"
      "<MIDINoteNumberOnEightFootStop>69</MIDINoteNumberOnEightFootStop><PitchHz>1</PitchHz></note>"));
  load(dir.file("g.xml"));
  EXPECT_EQ(dialogs.alerts, Texts{});
  Texts shown = window_texts();
  EXPECT_EQ(Texts(shown.begin(), shown.begin() + 7),
            Texts({"999900", "N", "", "-00005", "", "C", ""}));
  for (int i = 7; i < 32; i++)  // equal temperament: offsets 0 or a tiny negative
    EXPECT_TRUE(shown[i] == before[i] || (i % 2 == 0 && shown[i] == "-0.0")) << i << shown[i];
}

TEST_F(Load, CancelOrFailureLeavesTheWindow) {
  compute_temperament(1);
  APitch = 432.0;  // not shown: a completed load would change it
  Temp_ID = 5;
  Texts before = window_texts();
  dialogs.files.push_back(cancelled());
  load_file();
  EXPECT_EQ(dialogs.requests, Texts{"Choose file to load|*.xml|" + dir.path + "/|0"});
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ(Temp_ID, 5);
  std::map<int, std::string> negative;  // a whole chain of octaves, ratio 2 throughout
  for (int n = 1; n < NOTE_COUNT; n += 12) negative[n] = std::to_string(-440.0 * std::exp2((n - 69) / 12.0));
  const std::string gone = dir.file("gone 100%d.xml");
  const std::string bad = "Impossible pitch in this temperament:\n";
  // The file (none: not there), the first alert and the last (none: "Loading <file> failed").
  // Every note must be given, each with a positive, finite pitch; an earlier
  // load (the window's equal temperament) never fills a gap.
  const struct { std::string content, first, last; } cases[] = {
      {"", "Can't open file\n" + gone + "\nfor reading!", ""},
      {"<Hauptwerk><Name>F</Name><note><PitchHz>1</PitchHz></note></Hauptwerk>",
       "Parser error with PitchHz", ""},
      {temperament_file("<Name>F</Name>", {{0, "100"}, {12, "300"}}),
       "No clean octaves in this temperament:\n"
       "Notenr 0, Pitch=100.000000, Octave=300.000000, fact=3.000000", "computing cents failed"},
      {temperament_file("", {{60, "-"}, {61, "-"}, {80, "-"}}),
       "Missing note in this temperament:\nNotenr 60 has no PitchHz", ""},
      {temperament_file("", {{7, ""}, {9, "   "}}),
       "Missing note in this temperament:\nNotenr 7 has no PitchHz", ""},
      {temperament_file("", {{130, "inf"}, {118, "inf"}}), bad + "Notenr 118, Pitch=inf", ""},
      {temperament_file("", negative), bad + "Notenr 1, Pitch=-8.661957", ""}};
  for (auto &c : cases) {
    std::string file = c.content.empty() ? gone : dir.file("f.xml");
    if (!c.content.empty()) write_file(file, c.content);
    dialogs.alerts.clear();
    load(file);
    EXPECT_EQ(dialogs.alerts,
              Texts({c.first, c.last.empty() ? "Loading " + file + " failed" : c.last}));
    EXPECT_EQ(window_texts(), before);
    EXPECT_EQ(APitch, 432.0);
  }
}
