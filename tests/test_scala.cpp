// test_scala.cpp - the .scl and .kbm readers: accepted files, every refusal
// with its message, and the scale put onto the tonic and A's pitch.
#include <gtest/gtest.h>

#include "scala.h"
#include "support.h"

#include <cmath>

using Texts = std::vector<std::string>;

struct Scala : ::testing::Test {
  TempDir tmp;
  void SetUp() override { script_dialogs(); }
  std::string put(const std::string &text) {
    write_file(tmp.file("t"), text);
    return tmp.file("t");
  }
};

static const std::string HEAD = "! a comment\nMy scale\n 12\n!\n";
static const std::string ET = " 100.0\n 200.\n 300.0\n 400.0\n 500.0\n 600.0\n 700.0\n 800.0\n"
                              " 900.0\n 1000.0\n 1100.0\n";

TEST_F(Scala, ReadsCentsRatiosAndWholeNumbers) {
  std::string just = "16/15 x\r\n9/8\r\n6/5\r\n5/4\r\n4/3\r\n45/32\r\n3/2 fifth\r\n8/5\r\n5/3\r\n"
                     "9/5\r\n15/8\r\n2\r\n";
  ASSERT_EQ(read_scl(put("!\n  Just \t\r\n12\n" + just).c_str()), 1);
  EXPECT_STREQ(Scale_Description, "Just");
  EXPECT_NEAR(Scale_Cents[4], 386.3137139, 1e-7);
  EXPECT_NEAR(Scale_Cents[7], 701.9550009, 1e-7);
  ASSERT_EQ(read_scl(put("!\n\n12\n" + ET + "1200.00009\n").c_str()), 1);
  EXPECT_STREQ(Scale_Description, "");
  EXPECT_EQ(Scale_Cents[0], 0.0);
  EXPECT_EQ(Scale_Cents[2], 200.0);
  EXPECT_EQ(dialogs.alerts, Texts{});
}

TEST_F(Scala, RefusesWithOneMessage) {
  const struct { std::string text, message; } cases[] = {
      {HEAD.substr(0, 22) + "7\n", "line 3: the scale has 7 pitches; only scales of 12 are accepted"},
      {HEAD + ET + "1200.001\n", "line 16: the period 1200.001 is not 2/1; only octave-repeating scales are accepted"},
      {HEAD + ET + "3/1\n", "line 16: the period 3/1 is not 2/1; only octave-repeating scales are accepted"},
      {"! only\nA description\n", "the file ends before the number of pitches"},
      {"x\n\n", "line 2: the number of pitches is missing"},
      {"x\ntwelve\n", "line 2: \"twelve\" is not a valid number of pitches"},
      {HEAD + ET, "the file ends before all 12 pitches"},
      {HEAD + "1.2.3\n", "line 5: \"1.2.3\" is not a number"},
      {HEAD + "1e3.0\n", "line 5: \"1e3.0\" is not a number"},
      {HEAD + "3/x\n", "line 5: \"3/x\" is not a ratio or a number of cents"},
      {HEAD + "0/1\n", "line 5: 0/1 is not a positive ratio"},
      {HEAD + "-3/2\n", "line 5: -3/2 is not a positive ratio"},
      {HEAD + "3/0\n", "line 5: 3/0 is not a positive ratio"},
      {HEAD + "120000.1\n", "line 5: 120000.1 is too large to be a pitch (more than 100 octaves)"},
      {HEAD + std::string(400, '9') + "\n",
       "line 5: " + std::string(40, '9') + " is too large to be a pitch (more than 100 octaves)"},
      {HEAD + std::string(1 << 20, '1') + "\n", "line 5: longer than 4095 characters"},
      {std::string("\x7f" "ELF\x02\x01\x01\0\0", 9), "line 1: NUL byte: this is not a text file"},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    EXPECT_EQ(read_scl(put(c.text).c_str()), 0) << c.message;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
  dialogs.alerts.clear();
  EXPECT_EQ(read_scl(tmp.file("missing").c_str()), 0);
  EXPECT_EQ(read_kbm(tmp.file("missing").c_str()), 0);
  EXPECT_EQ(dialogs.alerts, Texts(2, "Can't open file " + tmp.file("missing") + " for reading!"));
}

TEST_F(Scala, KeyboardMappings) {
  std::string map12;
  for (int k = 0; k < 12; k++) map12 += std::to_string(k) + "\n";
  ASSERT_EQ(read_kbm(put("! size\n0\n0\n127\n62\n69\n415.0\n0\n").c_str()), 1);
  EXPECT_EQ(Kbm_Middle, 62);
  EXPECT_EQ(Kbm_Reference, 69);
  EXPECT_EQ(Kbm_Frequency, 415.0);
  ASSERT_EQ(read_kbm(put("12\n0\n127\n60\n57\n220\n12\n" + map12).c_str()), 1);
  EXPECT_EQ(Kbm_Reference, 57);
  EXPECT_EQ(Kbm_Frequency, 220.0);
  EXPECT_EQ(dialogs.alerts, Texts{});
  const struct { std::string text, message; } cases[] = {
      {"7\n", "line 1: a map of 7 entries; only a linear map (0) or a map of 12 is accepted"},
      {"0\n0\n127\n128\n", "line 4: the middle note 128 is not a MIDI note 0 to 127"},
      {"0\n0\n127\n60\n69\n0.0\n", "line 6: the reference frequency \"0.0\" is not a pitch from 0 to 1e+06 Hz"},
      {"0\n0\n127\n60\n69\n440\n7\n", "line 7: the formal octave is degree 7; only 12 is accepted"},
      {"12\n0\n127\n60\n69\n440\n12\n0\n1\nx\n", "line 10: map entry 2 is \"x\"; only the entries 0 to 11 in order are accepted"},
      {"12\n0\n127\n60\n69\n440\n12\n0\n", "the file ends before the end of the map"},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    EXPECT_EQ(read_kbm(put(c.text).c_str()), 0) << c.message;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
}

TEST_F(Scala, TonicAndPitchOfA) {
  // Just intonation on D: its 5/3 falls on B, its 4/3 on G; A's offset is 0.
  ASSERT_EQ(read_scl(put(HEAD + "16/15\n9/8\n6/5\n5/4\n4/3\n45/32\n3/2\n8/5\n5/3\n9/5\n15/8\n2/1\n").c_str()), 1);
  EXPECT_EQ(note_index("D"), 5);
  scale_to_offsets(note_index("D"), 415.0);
  EXPECT_EQ(APitch, 415.0);
  EXPECT_EQ(DCent[0], 0.0);
  double fifth = 1200 * log2(1.5) - 700;  // A is the fifth above D
  EXPECT_NEAR(DCent[2], 1200 * log2(5.0 / 3) - 900 - fifth, 1e-9);   // B
  EXPECT_NEAR(DCent[10], 1200 * log2(4.0 / 3) - 500 - fifth, 1e-9);  // G
  // The mapping puts middle C (60) at 261 Hz: A follows through the offsets.
  Kbm_Reference = 60, Kbm_Frequency = 261.0;
  APitch = kbm_a_pitch();
  compute_temperament(1);
  EXPECT_NEAR(Pitch[60], 261.0, 1e-9);
  const Texts names = {"A", "A#/Bb", "A#", "Bb", "G#/Ab", "Ab", "H", "a", "A#/", ""};
  std::vector<int> want = {0, 1, 1, 1, 11, 11, -1, -1, -1, -1}, got;
  for (auto &n : names) got.push_back(note_index(n.c_str()));
  EXPECT_EQ(got, want);
}
