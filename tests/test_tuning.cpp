// test_tuning.cpp - the main window as built, typed values and their display, the octave check,
// committing the fields (to_int's clamping with the IDs). Size, title, positions and typing into
// every field: the real-window tests.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <cmath>
#include <cstring>

// Only the first build in a process shows what construction does to the record (CTest runs each
// test in a process of its own): the IDs and supplier from the settings, preset texts, and every
// offset reset.
TEST(Window, BuiltFromTheRecord) {
  if (Box_ID)
    GTEST_SKIP() << "window already built by an earlier test in this process";
  Temp_ID = 12;
  Temp_Supplier_ID = 34;
  strcpy(Temp_Supplier_Name, "S");
  APitch = 415.0;
  for (double &d : DCent)
    d = 99.0;
  build_window();
  Texts shown = window_texts();
  EXPECT_EQ(Texts(shown.begin(), shown.begin() + 10),
            (Texts{"12", "Equal Temperament", "Equal", "34", "S", "", "1.00", " 415.0000000",
                   "+0.0", " 415.0000000"}));
  for (int i = 0; i < 12; i++)
    EXPECT_EQ(DCent[i], 0.0) << i;
}

TEST(Tuning, TypedValuesNarrowedToSinglePrecisionAndBounded) {
  fresh_window();
  const struct {
    Fl_Input *box;
    double *var;
    const char *text;
    double value;
    const char *shown;
  } cases[] = {{Box_APitch, &APitch, "415.3", 415.29998779296875, " 415.2999878"},
               {Box_DCent[7], &DCent[7], "5.9", 5.900000095367431640625, "+5.9"},
               {Box_DCent[4], &DCent[4], "12abc", 12.0, "+12.0"},
               {Box_DCent[4], &DCent[4], "abc", 0.0, "+0.0"}};
  for (const auto &c : cases) {
    type_into(c.box, c.text);
    EXPECT_EQ(*c.var, c.value) << c.text;
    EXPECT_STREQ(c.box->value(), c.shown) << c.text;
  }
  EXPECT_EQ(Pitch[69], 415.29998779296875);
  // Absurd values: 79 characters in fixed point still fit the 80-byte buffer, then exponent form.
  APitch = 1e70;
  compute_temperament(0);
  show_tuning();
  EXPECT_EQ(strlen(Box_APitch->value()), 79u);
  APitch = 1e80;
  compute_temperament(0);
  show_tuning();
  EXPECT_EQ(std::string(Box_APitch->value()) + "|" + Box_Pitch[1]->value(),
            "       1e+80|1.059463e+80");
}

TEST(Tuning, OctaveCheck) {
  script_alerts();
  // Octaves from 1.999 to 2.001 pass, up to the last note; a NaN ratio fails too (offsets
  // recovered: the Load tests).
  const struct {
    double ratio;
    int ok;
  } cases[] = {{1.9995, 1}, {2.0005, 1}, {1.998, 0}, {2.002, 0}, {NAN, 0}};
  for (const auto &c : cases) {
    for (int n = 0; n < NOTE_COUNT; n++)
      Pitch[n] = 440.0 * std::exp2((n - 69) / 12.0);
    Pitch[132] = c.ratio * Pitch[120];
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
  const std::string kept = long_text.substr(0, 179);
  // ID, name, short name, supplier ID, supplier name, comment, version: typed, then committed.
  const struct {
    Texts typed, committed, alerts;
  } cases[] = {
      {{std::string(30, '9'), long_text, "Meantone", "-99999999999", long_text,
        "tab\tand \x01\x1f~ stay", long_text},
       {"2147483647", kept, "Meant", "-2147483648", kept, "tab\tand \x01\x1f~ stay", kept},
       {CUT}},
      // Every byte from 0x7F up is a blank, with one alert per field in field order.
      {{"12abc", "Werckmeister \xC3\xA9\xC3\xA8 \x7F!", "Equ\xE4le", " 7", "\xFF", "x\x80",
        "1.0\xB0"},
       {"12", "Werckmeister       !", "Equ l", "7", " ", "x ", "1.0 "},
       {char_alert("Temperament Name"), char_alert("Short Name"), CUT, char_alert("Supplier Name"),
        char_alert("Comment"), char_alert("Version")}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed[1].substr(0, 20));
    fresh_window();
    script_dialogs();
    Pitch[0] = 0.0;
    for (int k = 0; k < 7; k++)
      text_boxes()[k]->value(c.typed[k].c_str());
    checkout_values();
    EXPECT_EQ(dialogs.alerts, c.alerts);
    EXPECT_EQ(
        (Texts{std::to_string(Temp_ID), Temp_Name, Temp_ShortName, std::to_string(Temp_Supplier_ID),
               Temp_Supplier_Name, Temp_Comment, Temp_Version}),
        c.committed);
    EXPECT_EQ(window_texts()[2], c.typed[2]);        // the window keeps what was typed
    EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);  // the commit ends with a full computation
  }
}
