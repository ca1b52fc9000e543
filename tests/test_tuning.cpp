// test_tuning.cpp - pitch arithmetic and display, typed values, the octave check, to_int.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <climits>
#include <cmath>
#include <cstdio>

static std::string g15(double v) { char b[40]; snprintf(b, 40, "%.15g", v); return b; }
static void type_and_leave(Fl_Input *b, const char *t) { b->value(t); b->set_changed(); b->handle(FL_UNFOCUS); }

TEST(Tuning, EqualTemperamentDisplayAndFullComputation) {
  fresh_window();
  // 440 * 2^(i/12), worked out with bc to twenty digits, rounded to seven.
  const char *expected[12] = {" 440.0000000", " 466.1637615", " 493.8833013", " 523.2511306",
                              " 554.3652620", " 587.3295358", " 622.2539674", " 659.2551138",
                              " 698.4564629", " 739.9888454", " 783.9908720", " 830.6093952"};
  for (double &p : Pitch) p = -1.0;
  compute_temperament(0);
  for (int i = 0; i < 12; i++) {
    EXPECT_STREQ(Box_Pitch[i]->value(), expected[i]) << Tonname[i];
    EXPECT_STREQ(Box_DCent[i]->value(), "+0.0");
  }
  for (int n = 0; n < NOTE_COUNT; n++) {
    if (n < 69 || n > 80) { ASSERT_EQ(Pitch[n], -1.0) << "note " << n; }
  }
  compute_temperament(1);
  EXPECT_EQ(g15(Pitch[0]), "8.17579891564371");
  EXPECT_EQ(g15(Pitch[60]), "261.625565300599");
  EXPECT_EQ(g15(Pitch[132]), "16744.0361792383");
  for (int n = 0; n + 12 < NOTE_COUNT; n++) ASSERT_EQ(Pitch[n + 12], 2 * Pitch[n]) << n;
}

TEST(Tuning, TypedValuesAreNarrowedToSinglePrecision) {
  fresh_window();
  struct Case { Fl_Input *box; double *var; const char *text; double value; const char *shown; };
  const Case cases[] = {{Box_APitch, &APitch, "415.3", 415.29998779296875, " 415.2999878"},
                        {Box_DCent[7], &DCent[7], "5.9", 5.900000095367431640625, "+5.9"},
                        {Box_DCent[2], &DCent[2], "3.14159", 3.1415901184082031250, "+3.1"},
                        {Box_DCent[4], &DCent[4], "12abc", 12.0, "+12.0"},
                        {Box_DCent[4], &DCent[4], "abc", 0.0, "+0.0"}};
  for (const Case &c : cases) {
    type_and_leave(c.box, c.text);
    EXPECT_EQ(*c.var, c.value) << c.text;
    EXPECT_STREQ(c.box->value(), c.shown) << c.text;
  }
  EXPECT_EQ(Pitch[69], 415.29998779296875);
}

TEST(Tuning, AbsurdValuesStayBounded) {
  fresh_window();
  APitch = 1e70;  // 79 characters in fixed point still fit the 80-byte buffer
  compute_temperament(0);
  EXPECT_EQ(std::string(Box_APitch->value()).size(), 79u);
  APitch = 1e80;
  compute_temperament(0);
  EXPECT_STREQ(Box_APitch->value(), "       1e+80");
  EXPECT_STREQ(Box_Pitch[1]->value(), "1.059463e+80");
  type_and_leave(Box_APitch, "1e80");  // beyond single precision: infinite
  EXPECT_STREQ(Box_Pitch[11]->value(), "         inf");
  type_and_leave(Box_APitch, "nan");
  EXPECT_EQ(std::string(Box_Pitch[3]->value()).find("nan"), 9u);
}

static void equal_pitches() {
  for (int n = 0; n < NOTE_COUNT; n++) Pitch[n] = 440.0 * std::exp2((n - 69) / 12.0);
}

TEST(Tuning, OctaveCheckAndRecovery) {
  fresh_window();
  script_dialogs();
  // Recovery folds the offset of A into APitch; then the octave check.
  const double offsets[12] = {2, 0, -3.5, 0, 0, 0, 0, 5.9, 0, 0, 0, 14};
  for (int i = 0; i < 12; i++) DCent[i] = offsets[i];
  compute_temperament(1);
  APitch = 1.0;
  ASSERT_EQ(compute_cents(), 1);
  EXPECT_NEAR(APitch, 440.5086, 5e-5);  // 440 * 2^(2/1200)
  EXPECT_EQ(DCent[0], 0.0);
  for (int i = 1; i < 12; i++) EXPECT_NEAR(DCent[i], offsets[i] - 2, 1e-9) << i;
  struct Case { int upper; double ratio; int ok; } cases[] = {
      {132, 1.9995, 1}, {132, 2.0005, 1}, {132, 1.998, 0}, {132, 2.002, 0},
      {12, INFINITY, 0}, {100, NAN, 0}};  // a NaN ratio fails too
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
  EXPECT_EQ(dialogs.alerts, std::vector<std::string>{"No clean octaves in this temperament:\n"
            "Notenr 57, Pitch=220.000000, Octave=445.000000, fact=2.022727"});
  EXPECT_EQ(APitch, 123.0);
  EXPECT_EQ(DCent[5], 7.0);
}

TEST(Tuning, ToIntHasAtoiSemanticsAndClamps) {
  struct Case { const char *text; int value; } cases[] = {
      {"12abc", 12}, {" -7", -7}, {"\t+15", 15}, {"abc", 0}, {"- 5", 0},
      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
      {"-2147483649", INT_MIN}, {"123456789012345678901234567890", INT_MAX}};
  for (const Case &c : cases) EXPECT_EQ(to_int(c.text), c.value) << '"' << c.text << '"';
}
