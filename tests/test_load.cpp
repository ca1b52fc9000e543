// test_load.cpp - reading a temperament file: the handlers behind the real reader (file type,
// note numbers, conversions, decoded bounded texts), then the Load action through the dialog
// seam: window texts, cancelled and failed loads (a writer file loaded and written again byte for
// byte: the real-window test).
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include "xml_parser.h"
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

typedef std::vector<double> Pitches;

struct Load : ::testing::Test {
  TempDir dir;
  void SetUp() override {  // start-up state, scripted dialogs, a known folder: no disk search
    fresh_window(), compute_temperament(1), script_dialogs();
    for (char *root : {Drive_Root1, Drive_Root2})
      snprintf(root, ROOT_SIZE, "%s/", dir.path.c_str());
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", dir.path.c_str());
  }
  void load(const std::string &path) {
    dialogs.files.push_back(answer(path)), load_file();
  }
  int read(const std::string &text) {  // the reader alone; alerts land in dialogs.alerts
    dialogs.alerts.clear();
    write_file(dir.file("t.xml"), text);
    return parse_xml(dir.file("t.xml").c_str());
  }
};

static std::string nr(const std::string &n) {
  return "<MIDINoteNumberOnEightFootStop>" + n + "</MIDINoteNumberOnEightFootStop>";
}
static std::string note(const std::string &n, const std::string &hz) {
  return "<note>" + nr(n) + "<PitchHz>" + hz + "</PitchHz></note>";
}

TEST_F(Load, FileFormatCheckedOnEveryHauptwerkElement) {
  const struct {
    const char *in;
    int ok;
  } cases[] = {{"<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\"></Hauptwerk>", 1},
               {"<Hauptwerk></Hauptwerk>", 1},
               {"<hauptwerk FileFormat=\"Organ\"></hauptwerk>", 1},
               {"<Other FileFormat=\"Organ\"></Other>", 1},
               {"<Hauptwerk FileFormat=\"temperament\">", 0},
               {"<Hauptwerk FileFormat=\"Temperament \">", 0},
               {"<Hauptwerk A=\"3\" FileFormat='Temperament'>", 0},
               {"<Hauptwerk FileFormat=\"Temperament\"><Hauptwerk FileFormat=\"Organ\">", 0}};
  for (const auto &c : cases) {
    EXPECT_EQ(read(c.in), c.ok) << c.in;
    EXPECT_EQ(dialogs.alerts, c.ok ? Texts{} : Texts{"This is not a Hauptwerk Temperament file!"})
        << c.in;
  }
}

TEST_F(Load, NoteNumberSequence) {
  for (double &p : Pitch)
    p = -1.0;
  // Stored in order, a later pitch replaces an earlier; conversions read what they can.
  EXPECT_EQ(read("<r>" + note("0", "8.5") + note("132", "4.4e2") + note(" 69abc", "12x") +
                 note("+5", "abc") + note("0", "9.25") + "</r>"),
            1);
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ(Pitches({Pitch[0], Pitch[132], Pitch[69], Pitch[5], Pitch[1]}),
            Pitches({9.25, 440, 12, 0, -1}));
  // A note tag drops the pending number: a pitch without one fails, keeping what came before.
  const std::string RANGE = "MIDINoteNumberOnEightFootStop out of range";
  const struct {
    std::string in, alert;
  } cases[] = {{note("2", "7") + "<note><PitchHz>1</PitchHz></note>", "Parser error with PitchHz"},
               {"<note>" + nr("3") + "<PitchHz> </PitchHz>" + nr("4") + "</note>",
                "Parser error with MIDINoteNumberOnEightFootStop"},
               {note("133", "1"), RANGE},
               {note("-1", "1"), RANGE},
               {note("4294967365", "1"), RANGE}};  // 69 in the low 32 bits
  for (const auto &c : cases) {
    EXPECT_EQ(read(c.in), 0) << c.in;
    EXPECT_EQ(dialogs.alerts, Texts{c.alert}) << c.in;
  }
  EXPECT_EQ(Pitches({Pitch[2], Pitch[69]}), Pitches({7, 12}));
  EXPECT_EQ(read(nr("7")), 1);  // pending at the end: the next read starts clean
  EXPECT_EQ(read("<PitchHz>123</PitchHz>"), 0);
}

TEST_F(Load, DescriptiveFieldsDecodedAndBounded) {
  std::string amps;
  for (int k = 0; k < 200; k++)
    amps += "&amp;";
  EXPECT_EQ(
      read("<Hauptwerk><_General><UniqueTemperamentID>99999999999</UniqueTemperamentID>"
           "<Name>" +
           amps +
           "</Name><ShortName>  Bach &amp; Sons \n</ShortName><SupplierID>-000042</SupplierID>"
           "<SupplierName>&lt;A&gt; &quot;B&quot; &apos;C&apos; &copy; &amp &#38; &</SupplierName>"
           "<Comments>" +
           std::string(1023, 'c') + "  " + std::string(300, 'd') +
           "</Comments>"
           "<name>other case</name></_General></Hauptwerk>"),
      1);
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ((std::vector<int>{Temp_ID, Temp_Supplier_ID}),
            (std::vector<int>{INT_MAX, -42}));  // clamped to 32 bits
  EXPECT_EQ(std::string(Temp_Name),
            std::string(179, '&'));  // an entity is one character against the bound
  EXPECT_STREQ(Temp_ShortName, "Bach & Sons \n");
  EXPECT_STREQ(Temp_Supplier_Name, "<A> \"B\" 'C' &copy; &amp &#38; &");
  EXPECT_EQ(std::string(Temp_Comment),
            std::string(179, 'd'));  // the second piece replaces the first
}

// ID, name, short name, supplier ID, supplier, comment, version, A, then cents and pitch per note.
static Texts window_texts() {
  Texts t = {Box_ID->value(),         Box_Name->value(),         Box_ShortName->value(),
             Box_SupplierID->value(), Box_SupplierName->value(), Box_Comment->value(),
             Box_Version->value(),    Box_APitch->value()};
  for (int i = 0; i < 12; i++)
    t.insert(t.end(), {Box_DCent[i]->value(), Box_Pitch[i]->value()});
  return t;
}

TEST_F(Load, WindowShowsResetValuesAndIdFormats) {
  Texts before = window_texts();
  for (char *field : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
    strcpy(field, "stale");
  // Fields the file leaves out are reset. Notes in any order, and a note given
  // twice keeps its later pitch.
  write_file(
      dir.file("g.xml"),
      temperament_file("<SupplierID>-5</SupplierID><Name>N</Name><Comments>C</Comments><note>"
                       "<MIDINoteNumberOnEightFootStop>69</"
                       "MIDINoteNumberOnEightFootStop><PitchHz>1</PitchHz></note>"));
  load(dir.file("g.xml"));
  EXPECT_EQ(dialogs.alerts, Texts{});
  Texts shown = window_texts();
  EXPECT_EQ(Texts(shown.begin(), shown.begin() + 7),
            Texts({"999900", "N", "", "-00005", "", "C", ""}));
  for (int i = 7; i < 32; i++)  // equal temperament: offsets 0 or a tiny negative
    EXPECT_TRUE(shown[i] == before[i] || (i % 2 == 0 && shown[i] == "-0.0")) << i << shown[i];
}

TEST_F(Load, CancelOrFailureLeavesTheWindow) {
  APitch = 432.0;  // not shown: a completed load would change it
  Temp_ID = 5;
  Texts before = window_texts();
  dialogs.files.push_back(cancelled());
  load_file();
  EXPECT_EQ(dialogs.requests, Texts{"Choose file to load|*.xml|" + dir.path + "/|0"});
  EXPECT_EQ(dialogs.alerts, Texts{});
  EXPECT_EQ(Temp_ID, 5);
  std::map<int, std::string> negative;  // a whole chain of octaves, ratio 2 throughout
  for (int n = 1; n < NOTE_COUNT; n += 12)
    negative[n] = std::to_string(-440.0 * std::exp2((n - 69) / 12.0));
  const std::string gone = dir.file("gone 100%d.xml");
  const std::string bad = "Impossible pitch in this temperament:\n";
  // The file (none: not there), the first alert and the last (none: "Loading <file> failed").
  // Every note must be given, each with a positive, finite pitch; an earlier
  // load (the window's equal temperament) never fills a gap.
  const struct {
    std::string content, first, last;
  } cases[] = {
      {"", "Can't open file\n" + gone + "\nfor reading!", ""},
      {"<Hauptwerk><Name>F</Name><note><PitchHz>1</PitchHz></note></Hauptwerk>",
       "Parser error with PitchHz", ""},
      {temperament_file("<Name>F</Name>", {{0, "100"}, {12, "300"}}),
       "No clean octaves in this temperament:\n"
       "Notenr 0, Pitch=100.000000, Octave=300.000000, fact=3.000000",
       "computing cents failed"},
      {temperament_file("", {{60, "-"}, {61, "-"}, {80, "-"}}),
       "Missing note in this temperament:\nNotenr 60 has no PitchHz", ""},
      {temperament_file("", {{7, ""}, {9, "   "}}),
       "Missing note in this temperament:\nNotenr 7 has no PitchHz", ""},
      {temperament_file("", {{130, "inf"}, {118, "inf"}}), bad + "Notenr 118, Pitch=inf", ""},
      {temperament_file("", negative), bad + "Notenr 1, Pitch=-8.661957", ""}};
  for (auto &c : cases) {
    std::string file = c.content.empty() ? gone : dir.file("f.xml");
    if (!c.content.empty())
      write_file(file, c.content);
    dialogs.alerts.clear();
    load(file);
    EXPECT_EQ(dialogs.alerts,
              Texts({c.first, c.last.empty() ? "Loading " + file + " failed" : c.last}));
    EXPECT_EQ(window_texts(), before);
    EXPECT_EQ(APitch, 432.0);
  }
}
