// test_convert.cpp - the converter's file against the window's, byte for
// byte, and the collection table against values known independently of it.
#include <gtest/gtest.h>

#include "collection.h"
#include "report.h"
#include "scala.h"
#include "support.h"

#include <FL/Fl_Input.H>
#include <cmath>
#include <fstream>
#include <map>

using Texts = std::vector<std::string>;

TEST(Convert, SameFileAsTheWindow) {
  TempDir tmp;
  // Offsets with few binary digits survive every step exactly: typing, the
  // .scl's six decimals, and the change of reference from C to A.
  const double d[12] = {0, 2.5, -3.25, 1.5, -0.125, 4, 0.75, -1.5, 2.25, -2, 0.5, 3.125};
  std::string scl = "!\nDyadic\n 12\n";
  for (int k = 1; k < 12; k++) scl += std::to_string(100.0 * k + d[(3 + k) % 12] - d[3]) + "\n";
  write_file(tmp.file("dyad.scl"), scl + " 2/1\n");
  // Without options the name is the description and the short name the file's.
  const struct { Texts fields; const char *a, *options; } cases[] = {
      {{"999900", "Dyadic", "dyad", "999999", "", "", "1.00"}, "440", ""},
      {{"4711", "Dyadic scale", "Dyadi", "42", "Tester", "typed", "2.0"}, "415",
       "--a-pitch 415 --id 4711 --name \"Dyadic scale\" --short-name Dyadi --supplier-id=42 "
       "--supplier-name Tester --comment typed --temperament-version 2.0"}};
  for (auto &c : cases) {
    // Typed into the window as a user would, then generated through the dialog seam.
    fresh_window();
    script_dialogs();
    snprintf(Tempdirstr, sizeof Tempdirstr, "/");  // no folder search
    Fl_Input *boxes[] = {Box_ID, Box_Name, Box_ShortName, Box_SupplierID, Box_SupplierName, Box_Comment, Box_Version};
    for (int k = 0; k < 7; k++) boxes[k]->value(c.fields[k].c_str());
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
    std::string cmd = "\"" + std::string(CONVERTER) + "\" " + c.options + " -o \"" + tmp.file("conv.xml") +
                      "\" \"" + tmp.file("dyad.scl") + "\" 2> \"" + tmp.file("err") + "\"";
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";  // cmd /c takes off the first and the last quote
#endif
    EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
    EXPECT_EQ(read_file(tmp.file("err")), "");
    EXPECT_EQ(read_file(tmp.file("conv.xml")), read_file(tmp.file("window.xml"))) << c.options;
    remove(tmp.file("conv.xml").c_str()), remove(tmp.file("window.xml").c_str());
  }
}

// Every entry of the table, by short name: cents of C to B above C.
static std::map<std::string, std::vector<double>> collection() {
  std::map<std::string, std::vector<double>> all;
  std::ifstream table(COLLECTION_TABLE);
  for (std::string line; std::getline(table, line);) {
    int r = parse_entry(line.c_str());
    EXPECT_NE(r, 0) << line;
    if (r != 1) continue;
    all[Entry_Short].assign(Scale_Cents, Scale_Cents + 12);
    // The fifths around the circle from C are the ones the entry declares.
    double sum = 0;
    for (int k = 0; k < 12; k++) {
      double dev = fmod(Scale_Cents[7 * (k + 1) % 12] - Scale_Cents[7 * k % 12] + 2400, 1200) - PURE_FIFTH;
      sum += dev;
      if (!std::isnan(Entry_Tempering[k])) {
        EXPECT_NEAR(dev, Entry_Tempering[k], 1e-9) << Entry_Short << k;
      }
    }
    EXPECT_NEAR(sum, -PYTHAGOREAN_COMMA, 1e-9) << Entry_Short;
  }
  return all;
}

static double cents(double ratio) { return 1200 * log2(ratio); }

TEST(Collection, MatchesIndependentValues) {
  script_dialogs();
  auto all = collection();
  EXPECT_GE(all.size(), 20u);
  EXPECT_EQ(dialogs.alerts, Texts{});
  // Offsets from A to three decimals, as published (and as the README listed them before the
  // collection), and C4, E4 and G#4 at A = 440 Hz as the README gives them.
  const struct { const char *name; std::vector<double> offsets; std::map<int, double> hz; } from_a[] = {
      {"MT1-4", {0, 17.108, -6.843, 10.265, -13.686, 3.422, 20.529, -3.422, 13.686, -10.265, 6.843, -17.108},
       {{60, 263.1814}, {64, 328.9767}}},
      {"Werk3", {0, 7.820, 3.910, 11.730, 1.955, 3.910, 5.865, 1.955, 9.775, 0, 7.820, 3.910},
       {{60, 263.4042}, {64, 330.0}, {68, 416.2437}}},
      {"Kirn3", {0, 6.355, -1.467, 10.265, 0.490, 3.422, 4.400, -3.422, 8.310, 0.489, 6.843, 2.445}, {}},
      {"Vallo", {0, 5.865, -3.910, 5.865, 0, 1.955, 3.910, -1.955, 7.820, -1.955, 3.910, 1.955}, {}},
      {"Youn1", {0, 5.987, -1.955, 6.232, 0.122, 2.077, 4.032, -2.077, 6.110, -1.833, 4.155, 2.077}, {}}};
  for (auto &r : from_a) {
    std::copy(all[r.name].begin(), all[r.name].end(), Scale_Cents);
    scale_to_offsets(3, 440.0);
    for (int i = 0; i < 12; i++) EXPECT_NEAR(DCent[i], r.offsets[i], 0.0006) << r.name << i;
    compute_temperament(1);
    for (auto &n : r.hz) EXPECT_NEAR(Pitch[n.first], n.second, 0.00005) << r.name << n.first;
  }
  // Published cents above C: Pythagorean and Kirnberger II from ratios, Werckmeister IV and V to 0.1.
  const double S = SYNTONIC_COMMA;
  const std::map<std::string, std::vector<double>> above_c = {
      {"Pytha", {0, cents(2187 / 2048.), cents(9 / 8.), cents(32 / 27.), cents(81 / 64.), cents(4 / 3.),
                 cents(729 / 512.), cents(1.5), cents(6561 / 4096.), cents(27 / 16.), cents(16 / 9.), cents(243 / 128.)}},
      {"Kirn2", {0, cents(256 / 243.), cents(9 / 8.), cents(32 / 27.), cents(1.25), cents(4 / 3.), cents(45 / 32.),
                 cents(1.5), cents(128 / 81.), cents(27 / 16.) - S / 2, cents(16 / 9.), cents(15 / 8.)}},
      {"Werk4", {0, 82.4, 196.1, 294.1, 392.2, 498.0, 588.3, 694.1, 784.4, 890.2, 1003.9, 1086.3}},
      {"Werk5", {0, 96.1, 203.9, 300.0, 396.1, 503.9, 600.0, 702.0, 792.2, 900.0, 1002.0, 1098.0}},
      {"Equal", {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100}}};
  for (auto &r : above_c)
    for (int k = 0; k < 12; k++)
      EXPECT_NEAR(all[r.first][k], r.second[k], r.first[0] == 'W' ? 0.05 + 1e-9 : 1e-9) << r.first << k;
  // Pure intervals of the meantones and just intonation, in cents above C.
  const struct { const char *name; int note; double want; } pure[] = {
      {"MT1-3", 3, cents(1.2)}, {"MT1-4", 4, cents(1.25)}, {"MT1-5", 11, cents(15 / 8.)},
      {"MT1-6", 6, cents(45 / 32.)}, {"MT2-7", 4, cents(1.25) - S / 7}, {"MT2-7", 3, cents(1.2) - S / 7},
      {"MT2-9", 4, cents(1.25) + S / 9}, {"JustC", 4, cents(1.25)}, {"JustC", 7, cents(1.5)},
      {"JustC", 9, cents(5 / 3.)}, {"JustC", 11, cents(15 / 8.)}, {"JustC", 2, cents(9 / 8.)}};
  for (auto &p : pure) EXPECT_NEAR(all[p.name][p.note], p.want, 1e-9) << p.name << p.note;
  // Young No. 2 is Vallotti a fifth higher.
  for (int k = 0; k < 12; k++)
    EXPECT_NEAR(fmod(all["Youn2"][(k + 7) % 12] - all["Youn2"][7] + 1200, 1200), all["Vallo"][k], 1e-9) << k;
}

TEST(Collection, RefusesConstructionsThatDoNotClose) {
  script_dialogs();
  const struct { const char *line, *message; } cases[] = {
      {"Bad\tB\tfifths -1/4P*3 0*9\tx", "Bad: the fifths do not close the circle (+5.865002596 cents left)"},
      {"Bad\tB\tfifths -1/12P*11\tx", "Bad: 11 fifths instead of 12"},
      {"Bad\tB\tfifths -1/4Q*12\tx", "Bad: \"-1/4Q*12\" is not a tempering"},
      {"Bad\tB\tratios 16/15 9/8\tx", "Bad: 2 ratios instead of 11"},
      {"Bad\tB\tfifths 0*12", "Bad\tB\tfifths 0*12: a line needs four fields: short name, name, construction, words"}};
  for (auto &c : cases) {
    dialogs.alerts.clear();
    EXPECT_EQ(parse_entry(c.line), 0) << c.line;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
}
