// test_tuning.cpp - the main window as built, typed values and their display, the octave check,
// committing the fields (to_int's clamping with the IDs). Size, title and positions: the
// real-window tests.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>
#include <climits>
#include <cmath>

static void type_and_leave(Fl_Input *b, const char *t) {
  b->value(t);
  b->set_changed();
  b->handle(FL_UNFOCUS);
}

// First in the file: only the first build in a process shows what construction does to the record.
// Labels, and the buttons and typing at work: the real-window tests.
TEST(Window, StartTextsAndTuningCallbacks) {
  if (Box_ID)
    GTEST_SKIP() << "window already built by an earlier test in this process";
  for (double &d : DCent)
    d = 99.0;
  fresh_window();
  Fl_Input *boxes[] = {Box_ID,           Box_Name,    Box_ShortName, Box_SupplierID,
                       Box_SupplierName, Box_Comment, Box_Version};
  const char *texts[] = {"999900", "Equal Temperament", "Equal", "999999", "", "", "1.00"};
  for (int k = 0; k < 7; k++)
    EXPECT_STREQ(boxes[k]->value(), texts[k]) << k;
  EXPECT_STREQ(Box_APitch->value(), " 440.0000000");
  for (int i = 0; i < 12; i++) {  // each field typing into its own offset
    EXPECT_STREQ(Box_DCent[i]->value(), "+0.0") << i;
    EXPECT_TRUE(Box_DCent[i]->callback() == cent_cb && Box_DCent[i]->user_data() == &DCent[i]) << i;
    EXPECT_EQ(DCent[i], 0.0);
  }
}

TEST(Tuning, TypedValuesNarrowedToSinglePrecisionAndBounded) {
  fresh_window();
  struct Case {
    Fl_Input *box;
    double *var;
    const char *text;
    double value;
    const char *shown;
  };
  const Case cases[] = {{Box_APitch, &APitch, "415.3", 415.29998779296875, " 415.2999878"},
                        {Box_DCent[7], &DCent[7], "5.9", 5.900000095367431640625, "+5.9"},
                        {Box_DCent[4], &DCent[4], "12abc", 12.0, "+12.0"},
                        {Box_DCent[4], &DCent[4], "abc", 0.0, "+0.0"}};
  for (const Case &c : cases) {
    type_and_leave(c.box, c.text);
    EXPECT_EQ(*c.var, c.value) << c.text;
    EXPECT_STREQ(c.box->value(), c.shown) << c.text;
  }
  EXPECT_EQ(Pitch[69], 415.29998779296875);
  // Absurd values: 79 characters in fixed point still fit the 80-byte buffer, then %g.
  APitch = 1e70;
  compute_temperament(0);
  show_tuning();
  EXPECT_EQ(std::string(Box_APitch->value()).size(), 79u);
  APitch = 1e80;
  compute_temperament(0);
  show_tuning();
  EXPECT_EQ(std::string(Box_APitch->value()) + "|" + Box_Pitch[1]->value(),
            "       1e+80|1.059463e+80");
}

TEST(Tuning, OctaveCheck) {
  fresh_window();
  script_dialogs();
  // Octaves from 1.999 to 2.001 pass; a NaN ratio fails too (offsets recovered: the Load tests).
  const struct {
    int upper;
    double ratio;
    int ok;
  } cases[] = {{132, 1.9995, 1}, {132, 2.0005, 1},  {132, 1.998, 0},
               {132, 2.002, 0},  {12, INFINITY, 0}, {100, NAN, 0}};
  for (const auto &c : cases) {
    for (int n = 0; n < NOTE_COUNT; n++)
      Pitch[n] = 440.0 * std::exp2((n - 69) / 12.0);
    Pitch[c.upper] = c.ratio * Pitch[c.upper - 12];
    dialogs.alerts.clear();
    EXPECT_EQ(compute_cents(), c.ok) << c.ratio;
    EXPECT_EQ(dialogs.alerts.size(), c.ok ? 0u : 1u) << c.ratio;
  }
}

static std::string char_alert(const char *field) {
  return std::string("Field ") + field +
         ":\nOnly ASCII-Characters allowed in strings!\n"
         "Substituting forbidden characters by blanks.";
}

TEST(Commit, FieldsCleanedCutAndBounded) {
  const std::string CUT = "Only first five characters of ShortName used!";
  std::string long_text;
  for (int i = 0; i < 200; i++)
    long_text += char('a' + i % 26);
  std::string late_e = long_text;
  late_e[178] = '\xE9';  // the last byte kept is still cleaned
  // ID, name, short name, supplier ID, supplier name, comment, version: typed, then committed.
  const struct {
    Texts typed, committed, alerts;
    int id, supplier;
  } cases[] = {
      {{std::string(30, '9'), long_text, "Meantone", "-99999999999", long_text,
        "tab\tand \x01\x1f~ stay", late_e},
       {long_text.substr(0, 179), "Meant", long_text.substr(0, 179), "tab\tand \x01\x1f~ stay",
        long_text.substr(0, 178) + " "},
       {CUT, char_alert("Version")},
       INT_MAX,
       INT_MIN},
      // Every byte from 0x7F up is a blank, with one alert per field in field order.
      {{"12abc", "Werckmeister \xC3\xA9\xC3\xA8 \x7F!", "Equ\xE4le", " 7", "\xFF", "x\x80",
        "1.0\xB0"},
       {"Werckmeister       !", "Equ l", " ", "x ", "1.0 "},
       {char_alert("Temperament Name"), char_alert("Short Name"), CUT, char_alert("Supplier Name"),
        char_alert("Comment"), char_alert("Version")},
       12,
       7},
  };
  for (const auto &c : cases) {
    fresh_window();  // leaves Pitch all zero
    script_dialogs();
    Fl_Input *boxes[] = {Box_ID,           Box_Name,    Box_ShortName, Box_SupplierID,
                         Box_SupplierName, Box_Comment, Box_Version};
    for (int k = 0; k < 7; k++)
      boxes[k]->value(c.typed[k].c_str());
    for (int round = 1; round <= 2; round++) {  // the window keeps the text: the alerts come again
      SCOPED_TRACE(c.typed[1].substr(0, 20) + " round " + std::to_string(round));
      dialogs.alerts.clear();
      checkout_values();
      EXPECT_EQ(dialogs.alerts, c.alerts);
      EXPECT_EQ((Texts{Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version}),
                c.committed);
      EXPECT_EQ((std::vector<int>{Temp_ID, Temp_Supplier_ID}),
                (std::vector<int>{c.id, c.supplier}));
    }
    EXPECT_EQ(std::string(Box_ShortName->value()), c.typed[2]);
    EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);  // the commit ends with a full computation
  }
}
