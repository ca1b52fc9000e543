// test_scala.cpp - the .scl and .kbm readers: accepted files, every refusal
// with its message, A's pitch from a mapping, and the note names.
#include <gtest/gtest.h>

#include "scala.h"
#include "support.h"

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

TEST_F(Scala, ReadsScalesAndMappings) {
  ASSERT_EQ(read_scl(put("!\n\n12\n" + ET + "1200.00009\n").c_str()), 1);
  EXPECT_STREQ(Scale_Description, "");
  EXPECT_EQ(Scale_Cents[0], 0.0);
  EXPECT_EQ(Scale_Cents[2], 200.0);
  std::string just = "16/15 x\r\n9/8\r\n6/5\r\n5/4\r\n4/3\r\n45/32\r\n3/2 fifth\r\n8/5\r\n5/3\r\n"
                     "9/5\r\n15/8\r\n2\r\n";
  ASSERT_EQ(read_scl(put("!\n  Just \t\r\n12\n" + just).c_str()), 1);
  EXPECT_STREQ(Scale_Description, "Just");
  EXPECT_NEAR(Scale_Cents[4], 386.3137139, 1e-7);
  EXPECT_NEAR(Scale_Cents[7], 701.9550009, 1e-7);
  // Keyboard mappings, linear and of 12.
  std::string map12;
  for (int k = 0; k < 12; k++) map12 += std::to_string(k) + "\n";
  ASSERT_EQ(read_kbm(put("! size\n0\n0\n127\n62\n69\n415.0\n0\n").c_str()), 1);
  EXPECT_EQ((std::vector<double>{double(Kbm_Middle), double(Kbm_Reference), Kbm_Frequency}),
            (std::vector<double>{62, 69, 415}));
  ASSERT_EQ(read_kbm(put("12\n0\n127\n60\n57\n220\n12\n" + map12).c_str()), 1);
  EXPECT_EQ((std::vector<double>{double(Kbm_Reference), Kbm_Frequency}), (std::vector<double>{57, 220}));
  EXPECT_EQ(dialogs.alerts, Texts{});
  // On D (the tonic's offsets: the command line's business), with a mapping that puts middle C
  // (60) at 261 Hz: A follows through the offsets.
  scale_to_offsets(note_index("D"), 415.0);
  Kbm_Reference = 60, Kbm_Frequency = 261.0;
  APitch = kbm_a_pitch();
  compute_temperament(1);
  EXPECT_NEAR(Pitch[60], 261.0, 1e-9);
  const Texts names = {"A", "A#/Bb", "A#", "Bb", "G#/Ab", "Ab", "H", "a", "A#/", ""};
  std::vector<int> want = {0, 1, 1, 1, 11, 11, -1, -1, -1, -1}, got;
  for (auto &n : names) got.push_back(note_index(n.c_str()));
  EXPECT_EQ(got, want);
}

TEST_F(Scala, RefusesWithOneMessage) {
  const struct { bool kbm; std::string text, message; } cases[] = {
      {0, HEAD.substr(0, 22) + "7\n", "line 3: the scale has 7 pitches; only scales of 12 are accepted"},
      {0, HEAD + ET + "1200.001\n", "line 16: the period 1200.001 is not 2/1; only octave-repeating scales are accepted"},
      {0, HEAD + ET + "3/1\n", "line 16: the period 3/1 is not 2/1; only octave-repeating scales are accepted"},
      {0, "! only\nA description\n", "the file ends before the number of pitches"},
      {0, "x\n\n", "line 2: the number of pitches is missing"},
      {0, "x\ntwelve\n", "line 2: \"twelve\" is not a valid number of pitches"},
      {0, HEAD + ET, "the file ends before all 12 pitches"},
      {0, HEAD + "1e3.0\n", "line 5: \"1e3.0\" is not a number"},
      {0, HEAD + "3/x\n", "line 5: \"3/x\" is not a ratio or a number of cents"},
      {0, HEAD + "-3/2\n", "line 5: -3/2 is not a positive ratio"},
      {0, HEAD + "3/0\n", "line 5: 3/0 is not a positive ratio"},
      {0, HEAD + "120000.1\n", "line 5: 120000.1 is too large to be a pitch (more than 100 octaves)"},
      {0, HEAD + std::string(400, '9') + "\n",
       "line 5: " + std::string(40, '9') + " is too large to be a pitch (more than 100 octaves)"},
      {0, HEAD + std::string(1 << 20, '1') + "\n", "line 5: longer than 4095 characters"},
      {0, std::string("\x7f" "ELF\x02\x01\x01\0\0", 9), "line 1: NUL byte: this is not a text file"},
      {1, "7\n", "line 1: a map of 7 entries; only a linear map (0) or a map of 12 is accepted"},
      {1, "0\n0\n127\n128\n", "line 4: the middle note 128 is not a MIDI note 0 to 127"},
      {1, "0\n0\n127\n60\n69\n0.0\n", "line 6: the reference frequency \"0.0\" is not a pitch from 0 to 1e+06 Hz"},
      {1, "0\n0\n127\n60\n69\n440\n7\n", "line 7: the formal octave is degree 7; only 12 is accepted"},
      {1, "12\n0\n127\n60\n69\n440\n12\n0\n1\nx\n",
       "line 10: map entry 2 is \"x\"; only the entries 0 to 11 in order are accepted"},
      {1, "12\n0\n127\n60\n69\n440\n12\n0\n", "the file ends before the end of the map"},
      {0, "", "Can't open file " + tmp.file("missing") + " for reading!"},
      {1, "", "Can't open file " + tmp.file("missing") + " for reading!"},
  };
  for (auto &c : cases) {
    dialogs.alerts.clear();
    std::string path = c.text.empty() ? tmp.file("missing") : put(c.text);
    EXPECT_EQ((c.kbm ? read_kbm : read_scl)(path.c_str()), 0) << c.message;
    EXPECT_EQ(dialogs.alerts, Texts{c.message});
  }
}
