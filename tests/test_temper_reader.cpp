// test_temper_reader.cpp - the temperament handlers, driven by the real
// reader over small files: the file type check, the note number sequence,
// the conversions and the decoded, bounded text copies.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"
#include "xml_parser.h"

#include <climits>
#include <string>
#include <vector>

typedef std::vector<std::string> Alerts;

class Handlers : public ::testing::Test {
protected:
  void SetUp() override {
    script_dialogs();
    for (double &p : Pitch) p = -1.0;
  }
  // Reads text as a file; the alerts are in dialogs.alerts.
  int read(const std::string &text) {
    dialogs.alerts.clear();
    write_file(dir.file("t.xml"), text);
    return parse_xml(dir.file("t.xml").c_str());
  }
  TempDir dir;
};

static std::string note(const std::string &nr, const std::string &hz) {
  return "<note><MIDINoteNumberOnEightFootStop>" + nr +
         "</MIDINoteNumberOnEightFootStop><PitchHz>" + hz + "</PitchHz></note>";
}

static const char NOT_TEMPERAMENT[] = "This is not a Hauptwerk Temperament file!";
static const char BAD_NOTE[] = "Parser error with MIDINoteNumberOnEightFootStop";
static const char NOTE_RANGE[] = "MIDINoteNumberOnEightFootStop out of range";
static const char BAD_PITCH[] = "Parser error with PitchHz";

TEST_F(Handlers, FileFormatCheckedOnEveryHauptwerkElement) {
  for (const char *ok : {"<Hauptwerk FileFormat=\"Temperament\" FileFormatVersion=\"3.00\">",
                         "<Hauptwerk>", "<Hauptwerk FileFormatVersion=\"9\">",
                         "<hauptwerk FileFormat=\"Organ\">", "<Other FileFormat=\"Organ\">"}) {
    std::string tag = ok;
    std::string name = tag.substr(1, tag.find_first_of(" >") - 1);
    EXPECT_EQ(read(tag + "</" + name + ">"), 1) << ok;
    EXPECT_EQ(dialogs.alerts, Alerts{}) << ok;
  }
  for (const char *bad :
       {"<Hauptwerk FileFormat=\"temperament\">", "<Hauptwerk FileFormat=\"Temperament \">",
        "<Hauptwerk FileFormat='Temperament'>", "<Hauptwerk FileFormat=Temperament>",
        "<Hauptwerk FileFormatVersion=\"3.00\" FileFormat=\"Organ\">",
        "<Hauptwerk File Format=\"Organ\">",
        "<Hauptwerk FileFormat=\"Temperament\"><Hauptwerk FileFormat=\"Organ\">"}) {
    EXPECT_EQ(read(std::string(bad) + "</Hauptwerk></Hauptwerk>"), 0) << bad;
    EXPECT_EQ(dialogs.alerts, Alerts{NOT_TEMPERAMENT}) << bad;
  }
}

TEST_F(Handlers, NoteNumberSequence) {
  // Listed notes are stored; a note given twice keeps its later pitch;
  // unlisted notes keep their values; conversions read what they can.
  EXPECT_EQ(read("<r>" + note("0", "8.5") + note("132", "4.4e2") + note(" 69abc", "12x") +
                 note("+5", "abc") + note("0", "9.25") + "</r>"),
            1);
  EXPECT_EQ(dialogs.alerts, Alerts{});
  EXPECT_EQ(Pitch[0], 9.25);
  EXPECT_EQ(Pitch[132], 440.0);
  EXPECT_EQ(Pitch[69], 12.0);
  EXPECT_EQ(Pitch[5], 0.0);
  EXPECT_EQ(Pitch[1], -1.0);

  // A pending number whose pitch never came is dropped by a note tag...
  EXPECT_EQ(read("<r><note><MIDINoteNumberOnEightFootStop>1</MIDINoteNumberOnEightFootStop>"
                 "<PitchHz></PitchHz></note>" + note("2", "7") + "</r>"),
            1);
  EXPECT_EQ(Pitch[1], -1.0);
  EXPECT_EQ(Pitch[2], 7.0);
  // ... but not by anything else.
  EXPECT_EQ(read("<r><note><MIDINoteNumberOnEightFootStop>3</MIDINoteNumberOnEightFootStop>"
                 "<PitchHz> </PitchHz><MIDINoteNumberOnEightFootStop>4"
                 "</MIDINoteNumberOnEightFootStop></note></r>"),
            0);
  EXPECT_EQ(dialogs.alerts, Alerts{BAD_NOTE});

  // A pitch before its number fails, leaving what came before stored.
  EXPECT_EQ(read("<r>" + note("10", "100") + "<note><PitchHz>1</PitchHz></note>" +
                 note("11", "5") + "</r>"),
            0);
  EXPECT_EQ(dialogs.alerts, Alerts{BAD_PITCH});
  EXPECT_EQ(Pitch[10], 100.0);
  EXPECT_EQ(Pitch[11], -1.0);

  // Out of range, including a number beyond 32 bits whose low bits are 69.
  for (const char *nr : {"133", "-1", "4294967365", "99999999999999999999"}) {
    EXPECT_EQ(read("<r>" + note(nr, "1") + "</r>"), 0) << nr;
    EXPECT_EQ(dialogs.alerts, Alerts{NOTE_RANGE}) << nr;
  }
  EXPECT_EQ(Pitch[69], 12.0);
}

TEST_F(Handlers, NoNoteNumberIsPendingAtTheStartOfARead) {
  // This read ends with note 5 pending.
  EXPECT_EQ(read("<r><MIDINoteNumberOnEightFootStop>5</MIDINoteNumberOnEightFootStop></r>"), 1);
  // The next read does not see it: its pitch is refused...
  EXPECT_EQ(read("<r><PitchHz>123</PitchHz></r>"), 0);
  EXPECT_EQ(dialogs.alerts, Alerts{BAD_PITCH});
  EXPECT_EQ(Pitch[5], -1.0);
  // ... and its own first number is accepted without a note tag.
  EXPECT_EQ(read("<r><MIDINoteNumberOnEightFootStop>5</MIDINoteNumberOnEightFootStop></r>"), 1);
  EXPECT_EQ(read("<r><MIDINoteNumberOnEightFootStop>6</MIDINoteNumberOnEightFootStop>"
                 "<PitchHz>66</PitchHz></r>"),
            1);
  EXPECT_EQ(dialogs.alerts, Alerts{});
  EXPECT_EQ(Pitch[6], 66.0);
  EXPECT_EQ(Pitch[5], -1.0);
}

TEST_F(Handlers, DescriptiveFields) {
  std::string name200(200, 'n');
  std::string comment = std::string(1023, 'c') + "  " + std::string(300, 'd');
  EXPECT_EQ(read("<?xml version=\"1.0\"?><Hauptwerk><ObjectList><_General>"
                 "<UniqueTemperamentID>00123</UniqueTemperamentID>"
                 "<Name>" + name200 + "</Name>"
                 "<ShortName>  Bach &amp; Sons \n</ShortName>"
                 "<SupplierID>000042</SupplierID>"
                 "<SupplierName>&lt;A&gt; &quot;B&quot; &apos;C&apos; &copy; &amp &#38; &</SupplierName>"
                 "<Comments>" + comment + "</Comments>"
                 "<TemperamentVersion>1.0</TemperamentVersion><TemperamentVersion></TemperamentVersion>"
                 "<name>other case</name><Unknown>x</Unknown>"
                 "</_General></ObjectList></Hauptwerk>"),
            1);
  EXPECT_EQ(dialogs.alerts, Alerts{});
  EXPECT_EQ(Temp_ID, 123);
  EXPECT_EQ(std::string(Temp_Name), name200.substr(0, 179));
  EXPECT_EQ(std::string(Temp_ShortName), "Bach & Sons \n");
  EXPECT_EQ(Temp_Supplier_ID, 42);
  EXPECT_EQ(std::string(Temp_Supplier_Name), "<A> \"B\" 'C' &copy; &amp &#38; &");
  // The second piece replaces the first.
  EXPECT_EQ(std::string(Temp_Comment), std::string(179, 'd'));
  EXPECT_EQ(std::string(Temp_Version), "1.0");

  // Entities count as one character each against the 179 bound; elements
  // are known by name anywhere; IDs clamp.
  std::string amps;
  for (int k = 0; k < 200; k++) amps += "&amp;";
  EXPECT_EQ(read("<r><note><Name>" + amps + "</Name></note>"
                 "<UniqueTemperamentID>99999999999</UniqueTemperamentID>"
                 "<SupplierID>-99999999999</SupplierID></r>"),
            1);
  EXPECT_EQ(std::string(Temp_Name), std::string(179, '&'));
  EXPECT_EQ(Temp_ID, INT_MAX);
  EXPECT_EQ(Temp_Supplier_ID, INT_MIN);
}

TEST_F(Handlers, MessagesShowPercentSignsAsTheyAre) {
  std::string missing = dir.file("100%s %d%%.xml");
  EXPECT_EQ(parse_xml(missing.c_str()), 0);
  EXPECT_EQ(dialogs.alerts, Alerts{"Can't open file\n" + missing + "\nfor reading!"});
  dialogs.alerts.clear();
  std::string empty = dir.file("%n%s.xml");
  write_file(empty, "no markup");
  EXPECT_EQ(parse_xml(empty.c_str()), 0);
  EXPECT_EQ(dialogs.alerts, Alerts{"File " + empty + "\n is not a xml-file!"});
  EXPECT_EQ(read("<%s%n></%d>"), 0);
  EXPECT_EQ(dialogs.alerts, Alerts{"XML-Parser ERROR: token /%d does not match %s%n"});
}
