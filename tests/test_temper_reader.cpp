// test_temper_reader.cpp - the temperament handlers behind the real reader:
// file type check, note number sequence, conversions, decoded bounded texts.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include "xml_parser.h"
#include <climits>

typedef std::vector<std::string> Alerts;
typedef std::vector<double> Pitches;

class Handlers : public ::testing::Test {
protected:
  void SetUp() override {
    script_dialogs();
    for (double &p : Pitch) p = -1.0;
  }
  int read(const std::string &text) {  // alerts land in dialogs.alerts
    dialogs.alerts.clear();
    write_file(dir.file("t.xml"), text);
    return parse_xml(dir.file("t.xml").c_str());
  }
  TempDir dir;
};

static std::string nr(const std::string &n) {
  return "<MIDINoteNumberOnEightFootStop>" + n + "</MIDINoteNumberOnEightFootStop>";
}
static std::string note(const std::string &n, const std::string &hz) {
  return "<note>" + nr(n) + "<PitchHz>" + hz + "</PitchHz></note>";
}

TEST_F(Handlers, FileFormatCheckedOnEveryHauptwerkElement) {
  const struct { const char *in; int ok; } cases[] = {
      {"<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\"></Hauptwerk>", 1},
      {"<Hauptwerk></Hauptwerk>", 1}, {"<hauptwerk FileFormat=\"Organ\"></hauptwerk>", 1},
      {"<Other FileFormat=\"Organ\"></Other>", 1}, {"<Hauptwerk FileFormat=\"temperament\">", 0},
      {"<Hauptwerk FileFormat=\"Temperament \">", 0}, {"<Hauptwerk A=\"3\" FileFormat='Temperament'>", 0},
      {"<Hauptwerk FileFormat=\"Temperament\"><Hauptwerk FileFormat=\"Organ\">", 0}};
  for (const auto &c : cases) {
    EXPECT_EQ(read(c.in), c.ok) << c.in;
    EXPECT_EQ(dialogs.alerts, c.ok ? Alerts{} : Alerts{"This is not a Hauptwerk Temperament file!"}) << c.in;
  }
}

TEST_F(Handlers, NoteNumberSequence) {
  // Stored in order, a later pitch replaces an earlier; conversions read what they can.
  EXPECT_EQ(read("<r>" + note("0", "8.5") + note("132", "4.4e2") + note(" 69abc", "12x") +
                 note("+5", "abc") + note("0", "9.25") + "</r>"), 1);
  EXPECT_EQ(dialogs.alerts, Alerts{});
  EXPECT_EQ(Pitches({Pitch[0], Pitch[132], Pitch[69], Pitch[5], Pitch[1]}), Pitches({9.25, 440, 12, 0, -1}));
  // A note tag drops the pending number: a pitch without one fails, keeping what came before.
  const std::string RANGE = "MIDINoteNumberOnEightFootStop out of range";
  const struct { std::string in, alert; } cases[] = {
      {note("2", "7") + "<note><PitchHz>1</PitchHz></note>", "Parser error with PitchHz"},
      {"<note>" + nr("3") + "<PitchHz> </PitchHz>" + nr("4") + "</note>",
       "Parser error with MIDINoteNumberOnEightFootStop"},
      {note("133", "1"), RANGE}, {note("-1", "1"), RANGE}, {note("4294967365", "1"), RANGE}};  // 69 in the low 32 bits
  for (const auto &c : cases) {
    EXPECT_EQ(read(c.in), 0) << c.in;
    EXPECT_EQ(dialogs.alerts, Alerts{c.alert}) << c.in;
  }
  EXPECT_EQ(Pitches({Pitch[2], Pitch[69]}), Pitches({7, 12}));
  EXPECT_EQ(read(nr("7")), 1);  // pending at the end: the next read starts clean
  EXPECT_EQ(read("<PitchHz>123</PitchHz>"), 0);
}

TEST_F(Handlers, DescriptiveFieldsDecodedAndBounded) {
  std::string amps;
  for (int k = 0; k < 200; k++) amps += "&amp;";
  EXPECT_EQ(read("<Hauptwerk><_General><UniqueTemperamentID>99999999999</UniqueTemperamentID>"
                 "<Name>" + amps + "</Name><ShortName>  Bach &amp; Sons \n</ShortName><SupplierID>-000042</SupplierID>"
                 "<SupplierName>&lt;A&gt; &quot;B&quot; &apos;C&apos; &copy; &amp &#38; &</SupplierName>"
                 "<Comments>" + std::string(1023, 'c') + "  " + std::string(300, 'd') + "</Comments>"
                 "<name>other case</name></_General></Hauptwerk>"), 1);
  EXPECT_EQ(dialogs.alerts, Alerts{});
  EXPECT_EQ((std::vector<int>{Temp_ID, Temp_Supplier_ID}), (std::vector<int>{INT_MAX, -42}));  // clamped to 32 bits
  EXPECT_EQ(std::string(Temp_Name), std::string(179, '&'));  // an entity is one character against the bound
  EXPECT_STREQ(Temp_ShortName, "Bach & Sons \n");
  EXPECT_STREQ(Temp_Supplier_Name, "<A> \"B\" 'C' &copy; &amp &#38; &");
  EXPECT_EQ(std::string(Temp_Comment), std::string(179, 'd'));  // the second piece replaces the first
}
