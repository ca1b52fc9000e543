// test_tuning.cpp - pitch arithmetic, its display texts, the typed-value
// callback, the octave check with the recovery of APitch/DCent, and to_int.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

static std::string g15(double v) {
  char buf[40];
  snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// Types text into a tuning field and leaves it, as a Tab would.
static void type_and_leave(Fl_Input *box, const char *text) {
  box->value(text);
  box->set_changed();
  box->handle(FL_UNFOCUS);
}

TEST(Tuning, EqualTemperamentAt440) {
  fresh_window();
  // 440 * 2^(i/12), worked out with bc to twenty digits, rounded to seven.
  const char *expected[12] = {" 440.0000000", " 466.1637615", " 493.8833013", " 523.2511306",
                              " 554.3652620", " 587.3295358", " 622.2539674", " 659.2551138",
                              " 698.4564629", " 739.9888454", " 783.9908720", " 830.6093952"};
  EXPECT_STREQ(Box_APitch->value(), " 440.0000000");
  for (int i = 0; i < 12; i++) {
    EXPECT_STREQ(Box_Pitch[i]->value(), expected[i]) << Tonname[i];
    EXPECT_STREQ(Box_DCent[i]->value(), "+0.0");
  }
  compute_temperament(1);
  EXPECT_EQ(g15(Pitch[0]), "8.17579891564371");
  EXPECT_EQ(g15(Pitch[60]), "261.625565300599");
  EXPECT_EQ(Pitch[69], 440.0);
  EXPECT_EQ(g15(Pitch[132]), "16744.0361792383");
}

TEST(Tuning, FullComputationDoublesExactlyAndDisplayLeavesOtherNotes) {
  fresh_window();
  APitch = 415.3;
  const double offsets[12] = {0, -5.9, 13.7, 3.14159, -100, 1200, 0.5, 5.9, -1200, 7, 0, -2};
  for (int i = 0; i < 12; i++) DCent[i] = offsets[i];
  for (double &p : Pitch) p = -1.0;
  compute_temperament(0);
  for (int n = 0; n < NOTE_COUNT; n++)
    if (n < 69 || n > 80) {
      ASSERT_EQ(Pitch[n], -1.0) << "note " << n;
    }
  // -100 cents on C# is C of equal temperament; -1200 on F is F an octave down.
  EXPECT_NEAR(Pitch[73], 415.3 * std::exp2(3.0 / 12), 1e-9);
  EXPECT_NEAR(Pitch[77], 415.3 * std::exp2(-4.0 / 12), 1e-9);
  EXPECT_STREQ(Box_DCent[1]->value(), "-5.9");
  EXPECT_STREQ(Box_DCent[5]->value(), "+1200.0");
  compute_temperament(1);
  for (int n = 0; n + 12 < NOTE_COUNT; n++) ASSERT_EQ(Pitch[n + 12], 2 * Pitch[n]) << n;
  EXPECT_NEAR(Pitch[70], 415.3 * std::exp2((100 - 5.9) / 1200), 1e-9);
}

TEST(Tuning, TypedValuesAreNarrowedToSinglePrecision) {
  fresh_window();
  script_dialogs();
  type_and_leave(Box_APitch, "415.3");
  EXPECT_EQ(g15(APitch), "415.299987792969");
  EXPECT_EQ(APitch, 415.29998779296875);
  EXPECT_STREQ(Box_APitch->value(), " 415.2999878");
  EXPECT_EQ(Pitch[69], 415.29998779296875);
  type_and_leave(Box_DCent[7], "5.9");
  EXPECT_EQ(DCent[7], 5.900000095367431640625);
  EXPECT_STREQ(Box_DCent[7]->value(), "+5.9");
  type_and_leave(Box_DCent[2], "3.14159");
  EXPECT_EQ(DCent[2], 3.1415901184082031250);
  EXPECT_STREQ(Box_DCent[2]->value(), "+3.1");
  EXPECT_DOUBLE_EQ(Pitch[71], 415.29998779296875 * std::pow(2.0, 203.14159011840820 / 1200));
  type_and_leave(Box_DCent[4], "12abc");
  EXPECT_EQ(DCent[4], 12.0);
  EXPECT_STREQ(Box_DCent[4]->value(), "+12.0");
  type_and_leave(Box_DCent[4], "abc");
  EXPECT_EQ(DCent[4], 0.0);
  EXPECT_STREQ(Box_DCent[4]->value(), "+0.0");
  // Leaving a field whose text the program set fires nothing.
  Box_DCent[9]->value("+8.0");
  Box_DCent[9]->handle(FL_UNFOCUS);
  EXPECT_EQ(DCent[9], 0.0);
  type_and_leave(Box_APitch, "0");
  for (int i = 0; i < 12; i++) EXPECT_STREQ(Box_Pitch[i]->value(), "   0.0000000");
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST(Tuning, AbsurdValuesStayBounded) {
  fresh_window();
  // A fixed-point text of 79 characters still fits the 80-byte buffer.
  APitch = 1e70;
  compute_temperament(0);
  std::string fixed = Box_APitch->value();
  EXPECT_EQ(fixed.size(), 79u);
  EXPECT_EQ(fixed.substr(71, 1), ".");
  // From 1e71 on it would not; the value is shown as "%12.7g".
  APitch = 1e80;
  compute_temperament(0);
  EXPECT_STREQ(Box_APitch->value(), "       1e+80");
  EXPECT_STREQ(Box_Pitch[1]->value(), "1.059463e+80");
  // A single-precision field cannot hold 1e80: typed, it becomes infinite.
  type_and_leave(Box_APitch, "1e80");
  EXPECT_TRUE(std::isinf(APitch));
  EXPECT_STREQ(Box_APitch->value(), "         inf");
  EXPECT_STREQ(Box_Pitch[11]->value(), "         inf");
  type_and_leave(Box_APitch, "nan");
  EXPECT_TRUE(std::isnan(APitch));
  EXPECT_EQ(std::string(Box_Pitch[3]->value()).find("nan"), 9u);
  APitch = 440.0;
  DCent[0] = 1e80;
  DCent[1] = -1e80;
  compute_temperament(0);
  EXPECT_STREQ(Box_DCent[0]->value(), "+1e+80");
  EXPECT_STREQ(Box_DCent[1]->value(), "-1e+80");
  EXPECT_STREQ(Box_Pitch[0]->value(), "         inf");
  EXPECT_STREQ(Box_Pitch[1]->value(), "   0.0000000");
}

// Equal temperament on A = 440, every octave an exact doubling.
static void equal_pitches() {
  for (int i = 0; i < 12; i++) Pitch[69 + i] = 440.0 * std::exp2(i / 12.0);
  for (int n = 0; n < NOTE_COUNT; n++) {
    int steps = n - 69 + 132;  // shifted so that / and % round downward
    Pitch[n] = std::ldexp(Pitch[69 + steps % 12], steps / 12 - 11);
  }
}

TEST(Tuning, OctaveCheckBoundsAndMessage) {
  script_dialogs();
  struct Case { int upper; double ratio; int ok; } cases[] = {
      {132, 1.9995, 1}, {132, 2.0005, 1}, {132, 1.998, 0}, {132, 2.002, 0}, {100, 0.0, 0}};
  for (const Case &c : cases) {
    equal_pitches();
    Pitch[c.upper] = c.ratio * Pitch[c.upper - 12];
    dialogs.alerts.clear();
    EXPECT_EQ(compute_cents(), c.ok) << c.ratio;
    EXPECT_EQ(dialogs.alerts.size(), c.ok ? 0u : 1u) << c.ratio;
  }
  // Two failing pairs (57/69 and 69/81): only the lower one is reported.
  equal_pitches();
  Pitch[69] = 445.0;
  APitch = 123.0;
  DCent[5] = 7.0;
  dialogs.alerts.clear();
  EXPECT_EQ(compute_cents(), 0);
  ASSERT_EQ(dialogs.alerts.size(), 1u);
  EXPECT_EQ(dialogs.alerts[0], "No clean octaves in this temperament:\n"
                               "Notenr 57, Pitch=220.000000, Octave=445.000000, fact=2.022727");
  EXPECT_EQ(APitch, 123.0);
  EXPECT_EQ(DCent[5], 7.0);
  // Zero under a non-zero pitch: an infinite ratio fails.
  equal_pitches();
  Pitch[0] = 0.0;
  dialogs.alerts.clear();
  EXPECT_EQ(compute_cents(), 0);
  ASSERT_EQ(dialogs.alerts.size(), 1u);
  EXPECT_NE(dialogs.alerts[0].find("Notenr 0, Pitch=0.000000, Octave=16.351598, fact=inf"),
            std::string::npos) << dialogs.alerts[0];
  // A whole pitch class of zeros: every ratio is 0/0, which passes.
  equal_pitches();
  for (int n = 72 % 12; n < NOTE_COUNT; n += 12) Pitch[n] = 0.0;
  dialogs.alerts.clear();
  EXPECT_EQ(compute_cents(), 1);
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST(Tuning, RecoveryFoldsTheOffsetOfAIntoAPitch) {
  fresh_window();
  script_dialogs();
  const double offsets[12] = {2, 0, -3.5, 0, 0, 0, 0, 5.9, 0, 0, 0, 14};
  for (int i = 0; i < 12; i++) DCent[i] = offsets[i];
  compute_temperament(1);
  for (double &d : DCent) d = 99.0;
  APitch = 1.0;
  ASSERT_EQ(compute_cents(), 1);
  char a[20];
  snprintf(a, sizeof a, "%.4f", APitch);
  EXPECT_STREQ(a, "440.5086");
  EXPECT_EQ(DCent[0], 0.0);
  for (int i = 1; i < 12; i++) EXPECT_NEAR(DCent[i], offsets[i] - 2, 1e-9) << i;
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST(Tuning, ToIntHasAtoiSemanticsAndClamps) {
  struct Case { const char *text; int value; } cases[] = {
      {"12abc", 12}, {" -7", -7}, {"\t+15", 15}, {"abc", 0}, {"", 0}, {"12.9", 12},
      {"- 5", 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX}, {"-2147483649", INT_MIN}, {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN}, {"123456789012345678901234567890", INT_MAX},
      {"0000000000000000000000042", 42}};
  for (const Case &c : cases) EXPECT_EQ(to_int(c.text), c.value) << '"' << c.text << '"';
}
