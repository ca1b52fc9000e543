// test_convert.cpp - vostrel-convert's core: the .scl and .kbm readers with their refusals and
// messages, the converter's file against the window's, byte for byte, and the collection table
// against values known independently of it.
#include <gtest/gtest.h>

#include "collection.h"
#include "main_gui.h"
#include "report.h"
#include "scala.h"
#include "support.h"

#include <FL/Fl_Input.H>
#include <cmath>
#include <fstream>
#include <map>
#include <set>

struct Scala : WindowTest {
  std::string path = tmp.file("t");
  // Writes text to the test's file and names it.
  const char *put(const std::string &text) {
    write_file(path, text);
    return path.c_str();
  }
};

static double cents(double ratio) {
  return 1200 * log2(ratio);
}

static const std::string HEAD = "! a comment\nMy scale\n 12\n!\n";
static const std::string ET =
    " 100.0\n 200.\n 300.0\n 400.0\n 500.0\n 600.0\n 700.0\n 800.0\n"
    " 900.0\n 1000.0\n 1100.0\n";

TEST_F(Scala, ReadsTheNoteNamesOfTheTonic) {
  std::vector<int> got;
  for (const char *n : {"A#/Bb", "A#", "Bb", "H", "a", "A#/"})
    got.push_back(note_index(n));
  EXPECT_EQ(got, (std::vector<int>{1, 1, 1, 2, -1, -1}));
}

TEST_F(Scala, RefusesWithOneMessage) {
  const struct {
    bool kbm;
    std::string text, message;
  } cases[] = {
      {0, HEAD.substr(0, 22) + "7\n",
       "line 3: the scale has 7 pitches; only scales of 12 are accepted"},
      {0, HEAD + ET + "1200.001\n",
       "line 16: the period 1200.001 is not 2/1; only octave-repeating scales are accepted"},
      {0, HEAD + ET + "3/1\n",
       "line 16: the period 3/1 is not 2/1; only octave-repeating scales are accepted"},
      {0, "x\n\n", "line 2: the number of pitches is missing"},
      {0, "x\ntwelve\n", "line 2: \"twelve\" is not a valid number of pitches"},
      {0, HEAD + ET, "the file ends before all 12 pitches"},
      {0, HEAD + "-.!\n", "line 5: \"-.!\" is not a number"},
      {0, HEAD + "+3/2\n", "line 5: \"+3/2\" is not a ratio or a number of cents"},
      {0, HEAD + "x3/2\n", "line 5: \"x3/2\" is not a ratio or a number of cents"},
      {0, HEAD + "-3/2\n", "line 5: -3/2 is not a positive ratio"},
      {0, HEAD + std::string(400, '9') + "\n",
       "line 5: " + std::string(40, '9') + " is too large to be a pitch (more than 100 octaves)"},
      {0, HEAD + std::string(1 << 20, '1') + "\n", "line 5: longer than 4095 characters"},
      {0, std::string("\177ELF\2\1\1\0\0", 9), "line 1: NUL byte: this is not a text file"},
      {1, "7\n", "line 1: a map of 7 entries; only a linear map (0) or a map of 12 is accepted"},
      {1, "0\n0\n127\n128\n", "line 4: the middle note 128 is not a MIDI note 0 to 127"},
      {1, "0\n0\n127\n60\n69\n0.0\n",
       "line 6: the reference frequency \"0.0\" is not a pitch from 0 to 1e+06 Hz"},
      {1, "0\n0\n127\n60\n69\n440\n7\n",
       "line 7: the formal octave is degree 7; only 12 is accepted"},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    EXPECT_EQ((c.kbm ? read_kbm : read_scl)(put(c.text)), 0) << c.message;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
}

// A pitch is the longest value at its start, whatever follows (a CR of CR LF lines too), and the
// period 2/1 or 1200 cents within the tolerance; a degree far from its place in equal temperament
// is read with a warning.
TEST_F(Scala, ReadsTheValueAtTheStartOfAPitch) {
  const std::string off_place = " cents, more than 100 cents from its place in equal temperament ";
  const struct {
    int degree;
    std::string text;
    double cents;
    std::string warning;
  } cases[] = {
      {1, "99.! B", 99, ""},
      {1, "21/20!C#", cents(21 / 20.), ""},
      {1, "1.5e3", 1.5, ""},
      {1, "-.5x", -0.5, "line 5: degree 1 is -0.500" + off_place + "(100)"},
      {2, "200,0", cents(200), "line 6: degree 2 is 9172.627" + off_place + "(200)"},
      {11, "3/x", cents(3), "line 15: degree 11 is 1901.955" + off_place + "(1100)"},
      {7, "3/2 fifth\r", cents(1.5), ""},
      {12, "2/1!Low_C3=131.4", 0, ""},
      {12, "1200.00009\r", 0, ""},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    std::string pitches;
    for (int k = 1; k <= 12; k++)
      pitches += (k == c.degree ? c.text : std::to_string(100 * k) + ".0") + "\n";
    ASSERT_EQ(read_scl(put(HEAD + pitches)), 1) << c.text;
    EXPECT_EQ(dialogs.alerts, c.warning.empty() ? Texts{} : Texts{c.warning}) << c.text;
    EXPECT_NEAR(Scale_Cents[c.degree % 12], c.cents, 1e-9) << c.text;
  }
}

// The options and the defaults (the name the description without its blanks, the short name the
// file's) typed into the window, and the file it generates.
TEST_F(WindowTest, ConverterWritesTheWindowsFile) {
  // Offsets with few binary digits survive every step exactly: typing, the
  // .scl's six decimals, and the change of reference from C to A.
  const double d[12] = {0, 2.5, -3.25, 1.5, -0.125, 4, 0.75, -1.5, 2.25, -2, 0.5, 3.125};
  std::string scl = "!\n Dyadic \t\n 12\n";
  for (int k = 1; k < 12; k++)
    scl += std::to_string(100.0 * k + d[(3 + k) % 12] - d[3]) + "\n";
  write_file(tmp.file("dyad.scl"), scl + " 2/1\n");
  const char *typed[7] = {"4711", "Dyadic", "dyad", "999999", "", "typed", "2.0"};
  for (int k = 0; k < 7; k++)
    text_boxes()[k]->value(typed[k]);
  Box_APitch->value("415");
  cent_cb(Box_APitch, &APitch);
  for (int i = 0; i < 12; i++) {
    Box_DCent[i]->value(std::to_string(d[i]).c_str());
    cent_cb(Box_DCent[i], &DCent[i]);
  }
  dialogs.inputs.push_back(answer(tmp.file("window.xml")));
  generate_file();
  EXPECT_EQ(dialogs.alerts, Texts{});
  // Double quotes and 2> mean the same to the POSIX shell and to cmd.
  std::string cmd = "\"" + std::string(CONVERTER) +
                    "\" --a-pitch 415 --id=4711 --comment typed "
                    "--temperament-version 2.0 -o \"" +
                    tmp.file("conv.xml") + "\" \"" + tmp.file("dyad.scl") + "\" 2> \"" +
                    tmp.file("err") + "\"";
#ifdef _WIN32
  cmd = "\"" + cmd + "\"";  // cmd /c takes off the first and the last quote
#endif
  EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
  EXPECT_EQ(read_file(tmp.file("err")), "");
  EXPECT_EQ(read_file(tmp.file("conv.xml")), read_file(tmp.file("window.xml")));
}

// Every entry of the table: its fifths are the ones it declares, it matches its published values
// to 0.05 cent, and its ID, short name and file name are its own. Two meantones' thirds and Young
// No. 2 as Vallotti a fifth higher are known without the table.
TEST(Collection, MatchesIndependentValues) {
  script_dialogs();
  std::map<std::string, std::vector<double>> all;
  std::map<std::string, long> ids;
  std::set<std::string> stems;
  std::ifstream table(COLLECTION_TABLE);
  for (std::string line; std::getline(table, line);) {
    int r = parse_entry(line.c_str());
    EXPECT_NE(r, 0) << line;
    if (r != 1)
      continue;
    char stem[TEXT_FIELD_SIZE];
    entry_file_stem(stem);
    EXPECT_TRUE(stems.insert(stem).second && all.count(Entry_Short) == 0) << Entry_Short;
    ids[Entry_Short] = Entry_ID;
    all[Entry_Short].assign(Scale_Cents, Scale_Cents + 12);
    for (int k = 0; k < 12; k++) {
      double dev =
          fmod(Scale_Cents[7 * (k + 1) % 12] - Scale_Cents[7 * k % 12] + 2400, 1200) - PURE_FIFTH;
      if (!std::isnan(Entry_Tempering[k])) {
        EXPECT_NEAR(dev, Entry_Tempering[k], 1e-9) << Entry_Short << k;
      }
      if (!std::isnan(Entry_Published[k])) {
        EXPECT_NEAR(Scale_Cents[k], Entry_Published[k], 0.05 + 1e-9) << Entry_Short << k;
      }
    }
  }
  EXPECT_GE(all.size(), 30u);
  // IDs are unique, and the first twenty keep the ones they were made with: users' files carry
  // them.
  std::set<long> unique;
  for (auto &id : ids)
    unique.insert(id.second);
  EXPECT_EQ(unique.size(), ids.size());
  const char *first[] = {"Equal", "Pytha", "MT1-3", "MT2-7", "MT2-9", "MT1-4", "MT1-5",
                         "MT1-6", "Werk3", "Werk4", "Werk5", "Werk6", "Kirn2", "Kirn3",
                         "Vallo", "Youn1", "Youn2", "Kelln", "Lehma", "JustC"};
  for (int i = 0; i < 20; i++)
    EXPECT_EQ(ids[first[i]], 999901 + i) << first[i];
  // The meantones of two sevenths and two ninths of a comma: their major thirds are a seventh of a
  // comma narrow and a ninth wide.
  EXPECT_NEAR(all["MT2-7"][4], cents(1.25) - SYNTONIC_COMMA / 7, 1e-9);
  EXPECT_NEAR(all["MT2-9"][4], cents(1.25) + SYNTONIC_COMMA / 9, 1e-9);
  for (int k = 0; k < 12; k++)
    EXPECT_NEAR(fmod(all["Youn2"][(k + 7) % 12] - all["Youn2"][7] + 1200, 1200), all["Vallo"][k],
                1e-9)
        << k;
  // Lines the parser refuses, each with one message: a field missing, no ID, an unknown group, a
  // fifth too many, a circle left open, a ratio that is none, published cents that are none.
  const std::string tail = "\tw\tx\ta\ty\ts\t";
  const std::string bad_lines[] = {
      tail,
      "x\tX\tn\twell\tfifths w 0*11" + tail + "-",
      "1\tX\tn\tbad\tfifths w 0*11" + tail + "-",
      "1\tX\tn\twell\tfifths w 0*12" + tail + "-",
      "1\tX\tn\twell\tfifths 0*12" + tail + "-",
      "1\tX\tn\tjust\tratios 3/0" + tail + "-",
      "1\tX\tn\twell\tfifths w 0*11" + tail + "C 1.5 x",
  };
  for (const std::string &bad : bad_lines) {
    dialogs.alerts.clear();
    EXPECT_EQ(parse_entry(bad.c_str()), 0) << bad;
    EXPECT_EQ(dialogs.alerts.size(), 1u) << bad;
  }
}
