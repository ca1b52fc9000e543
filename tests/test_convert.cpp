// test_convert.cpp - vostrel-convert's core: the .scl and .kbm readers with every refusal and its
// message, the converter's file against the window's, byte for byte, and the collection table
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

struct Scala : ::testing::Test {
  TempDir tmp;
  void SetUp() override {
    script_dialogs();
  }
  std::string put(const std::string &text) {
    write_file(tmp.file("t"), text);
    return tmp.file("t");
  }
};

static double cents(double ratio) {
  return 1200 * log2(ratio);
}

static const std::string HEAD = "! a comment\nMy scale\n 12\n!\n";
static const std::string ET =
    " 100.0\n 200.\n 300.0\n 400.0\n 500.0\n 600.0\n 700.0\n 800.0\n"
    " 900.0\n 1000.0\n 1100.0\n";

TEST_F(Scala, ReadsScalesAndMappings) {
  ASSERT_EQ(read_scl(put("!\n\n12\n" + ET + "1200.00009\n").c_str()), 1);
  EXPECT_STREQ(Scale_Description, "");
  EXPECT_EQ(std::vector<double>(Scale_Cents, Scale_Cents + 3), (std::vector<double>{0, 100, 200}));
  std::string just =
      "16/15 x\r\n9/8\r\n6/5\r\n5/4\r\n4/3\r\n45/32\r\n3/2 fifth\r\n8/5\r\n5/3\r\n"
      "9/5\r\n15/8\r\n2\r\n";
  ASSERT_EQ(read_scl(put("!\n  Just \t\r\n12\n" + just).c_str()), 1);
  EXPECT_STREQ(Scale_Description, "Just");
  EXPECT_NEAR(Scale_Cents[4], 386.3137139, 1e-7);
  EXPECT_NEAR(Scale_Cents[7], 701.9550009, 1e-7);
  // A keyboard mapping of 12 (a linear one: cli.sh).
  ASSERT_EQ(
      read_kbm(put("12\n0\n127\n60\n57\n220\n12\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n").c_str()),
      1);
  EXPECT_EQ((std::vector<double>{double(Kbm_Reference), Kbm_Frequency}),
            (std::vector<double>{57, 220}));
  EXPECT_EQ(dialogs.alerts, Texts{});
  std::vector<int> got;
  for (const char *n : {"A", "A#/Bb", "A#", "Bb", "G#/Ab", "Ab", "H", "a", "A#/", ""})
    got.push_back(note_index(n));
  EXPECT_EQ(got, (std::vector<int>{0, 1, 1, 1, 11, 11, 2, -1, -1, -1}));
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
      {0, "! only\nA description\n", "the file ends before the number of pitches"},
      {0, "x\n\n", "line 2: the number of pitches is missing"},
      {0, "x\ntwelve\n", "line 2: \"twelve\" is not a valid number of pitches"},
      {0, HEAD + ET, "the file ends before all 12 pitches"},
      {0, HEAD + "-.!\n", "line 5: \"-.!\" is not a number"},
      {0, HEAD + "+3/2\n", "line 5: \"+3/2\" is not a ratio or a number of cents"},
      {0, HEAD + "x3/2\n", "line 5: \"x3/2\" is not a ratio or a number of cents"},
      {0, HEAD + "-3/2\n", "line 5: -3/2 is not a positive ratio"},
      {0, HEAD + "3/0\n", "line 5: 3/0 is not a positive ratio"},
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
      {1, "12\n0\n127\n60\n69\n440\n12\n0\n1\nx\n",
       "line 10: map entry 2 is \"x\"; only the entries 0 to 11 in order are accepted"},
      {1, "12\n0\n127\n60\n69\n440\n12\n0\n", "the file ends before the end of the map"},
      {1, "", "Can't open file " + tmp.file("missing") + " for reading!"},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    std::string path = c.text.empty() ? tmp.file("missing") : put(c.text);
    EXPECT_EQ((c.kbm ? read_kbm : read_scl)(path.c_str()), 0) << c.message;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
}

// A pitch is the longest value at its start, whatever follows; a degree far from its place in
// equal temperament is read with a warning.
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
      {1, "0.", 0, ""},
      {2, "200,0", cents(200), "line 6: degree 2 is 9172.627" + off_place + "(200)"},
      {11, "3/x", cents(3), "line 15: degree 11 is 1901.955" + off_place + "(1100)"},
      {12, "2/1!Low_C3=131.4", 1200, ""},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    std::string pitches;
    for (int k = 1; k <= 12; k++)
      pitches += (k == c.degree ? c.text : std::to_string(100 * k) + ".0") + "\n";
    ASSERT_EQ(read_scl(put(HEAD + pitches).c_str()), 1) << c.text;
    EXPECT_EQ(dialogs.alerts, c.warning.empty() ? Texts{} : Texts{c.warning}) << c.text;
    EXPECT_NEAR(Scale_Cents[c.degree % 12], c.degree < 12 ? c.cents : 0, 1e-9) << c.text;
  }
}

TEST(Convert, SameFileAsTheWindow) {
  TempDir tmp;
  // Offsets with few binary digits survive every step exactly: typing, the
  // .scl's six decimals, and the change of reference from C to A.
  const double d[12] = {0, 2.5, -3.25, 1.5, -0.125, 4, 0.75, -1.5, 2.25, -2, 0.5, 3.125};
  std::string scl = "!\nDyadic\n 12\n";
  for (int k = 1; k < 12; k++)
    scl += std::to_string(100.0 * k + d[(3 + k) % 12] - d[3]) + "\n";
  write_file(tmp.file("dyad.scl"), scl + " 2/1\n");
  // Without options the name is the description and the short name the file's.
  const struct {
    Texts fields;
    const char *a, *options;
  } cases[] = {
      {{"999900", "Dyadic", "dyad", "999999", "", "", "1.00"}, "440", ""},
      {{"4711", "Dyadic scale", "Dyadi", "42", "Tester", "typed", "2.0"},
       "415",
       "--a-pitch 415 --id 4711 --name \"Dyadic scale\" --short-name Dyadi --supplier-id=42 "
       "--supplier-name Tester --comment typed --temperament-version 2.0"}};
  for (auto &c : cases) {
    // Typed into the window as a user would, then generated through the dialog seam.
    fresh_window();
    script_dialogs();
    snprintf(Tempdirstr, sizeof Tempdirstr, "/");  // no folder search
    Fl_Input *boxes[] = {Box_ID,           Box_Name,    Box_ShortName, Box_SupplierID,
                         Box_SupplierName, Box_Comment, Box_Version};
    for (int k = 0; k < 7; k++)
      boxes[k]->value(c.fields[k].c_str());
    Box_APitch->value(c.a);
    cent_cb(Box_APitch, &APitch);
    for (int i = 0; i < 12; i++) {
      Box_DCent[i]->value(std::to_string(d[i]).c_str());
      cent_cb(Box_DCent[i], &DCent[i]);
    }
    dialogs.inputs.push_back(answer(tmp.file("window.xml")));
    generate_file();
    EXPECT_EQ(dialogs.alerts, Texts{});
    // Double quotes and 2> mean the same to the POSIX shell and to cmd.
    std::string cmd = "\"" + std::string(CONVERTER) + "\" " + c.options + " -o \"" +
                      tmp.file("conv.xml") + "\" \"" + tmp.file("dyad.scl") + "\" 2> \"" +
                      tmp.file("err") + "\"";
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";  // cmd /c takes off the first and the last quote
#endif
    EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
    EXPECT_EQ(read_file(tmp.file("err")), "");
    EXPECT_EQ(read_file(tmp.file("conv.xml")), read_file(tmp.file("window.xml"))) << c.options;
    remove(tmp.file("conv.xml").c_str());
    remove(tmp.file("window.xml").c_str());
  }
}

// Every entry of the table, by short name: cents of C to B above C. On the way each is checked: its
// fifths are the ones it declares and close the circle, it matches its published values to 0.05
// cent, and its ID, short name and file name are its own.
static std::map<std::string, std::vector<double>> collection(std::map<std::string, long> &ids) {
  std::map<std::string, std::vector<double>> all;
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
    for (auto &id : ids)
      EXPECT_NE(id.second, Entry_ID) << Entry_Short;
    ids[Entry_Short] = Entry_ID;
    all[Entry_Short].assign(Scale_Cents, Scale_Cents + 12);
    double sum = 0;
    for (int k = 0; k < 12; k++) {
      double dev =
          fmod(Scale_Cents[7 * (k + 1) % 12] - Scale_Cents[7 * k % 12] + 2400, 1200) - PURE_FIFTH;
      sum += dev;
      if (!std::isnan(Entry_Tempering[k])) {
        EXPECT_NEAR(dev, Entry_Tempering[k], 1e-9) << Entry_Short << k;
      }
      if (!std::isnan(Entry_Published[k])) {
        EXPECT_NEAR(Scale_Cents[k], Entry_Published[k], 0.05 + 1e-9) << Entry_Short << k;
      }
    }
    EXPECT_NEAR(sum, -PYTHAGOREAN_COMMA, 1e-9) << Entry_Short;
  }
  return all;
}

TEST(Collection, MatchesIndependentValues) {
  script_dialogs();
  std::map<std::string, long> ids;
  auto all = collection(ids);
  EXPECT_GE(all.size(), 30u);
  EXPECT_EQ(dialogs.alerts, Texts{});
  // The first twenty keep the IDs they were made with: users' files carry them.
  const char *first[] = {"Equal", "Pytha", "MT1-3", "MT2-7", "MT2-9", "MT1-4", "MT1-5",
                         "MT1-6", "Werk3", "Werk4", "Werk5", "Werk6", "Kirn2", "Kirn3",
                         "Vallo", "Youn1", "Youn2", "Kelln", "Lehma", "JustC"};
  for (int i = 0; i < 20; i++)
    EXPECT_EQ(ids[first[i]], 999901 + i) << first[i];
  // Pure intervals of the meantones and just intonation, in cents above C.
  const double S = SYNTONIC_COMMA;
  const struct {
    const char *name;
    int note;
    double want;
  } pure[] = {{"MT1-3", 3, cents(1.2)},          {"MT1-4", 4, cents(1.25)},
              {"MT1-5", 11, cents(15 / 8.)},     {"MT1-6", 6, cents(45 / 32.)},
              {"MT2-7", 4, cents(1.25) - S / 7}, {"MT2-7", 3, cents(1.2) - S / 7},
              {"MT2-9", 4, cents(1.25) + S / 9}, {"JustC", 4, cents(1.25)},
              {"JustC", 7, cents(1.5)},          {"JustC", 9, cents(5 / 3.)},
              {"JustC", 11, cents(15 / 8.)},     {"JustC", 2, cents(9 / 8.)}};
  for (auto &p : pure)
    EXPECT_NEAR(all[p.name][p.note], p.want, 1e-9) << p.name << p.note;
  // Young No. 2 is Vallotti a fifth higher.
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
