// test_commit.cpp - committing the fields: forbidden bytes, short-name cut, bounds, IDs.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Input.H>
#include <climits>

static std::string char_alert(const char *field) {
  return std::string("Field ") + field + ":\nOnly ASCII-Characters allowed in strings!\n"
         "Substituting forbidden characters by blanks.";
}
static const std::string CUT = "Only first five characters of ShortName used!";

TEST(Commit, FieldsCleanedCutAndBounded) {
  std::string long_text;
  for (int i = 0; i < 200; i++) long_text += char('a' + i % 26);
  std::string late_e = long_text;
  late_e[178] = '\xE9';  // the last byte kept is still cleaned
  // ID, name, short name, supplier ID, supplier name, comment, version: typed, then committed.
  const struct { std::vector<std::string> typed, committed, alerts; int id, supplier; } cases[] = {
      {{"99999999999", long_text, "Meantone", "-99999999999", long_text, "tab\tand \x01\x1f~ stay", late_e},
       {long_text.substr(0, 179), "Meant", long_text.substr(0, 179), "tab\tand \x01\x1f~ stay",
        long_text.substr(0, 178) + " "},
       {CUT, char_alert("Version")}, INT_MAX, INT_MIN},
      // Every byte from 0x7F up is a blank, with one alert per field in field order.
      {{"12abc", "Werckmeister \xC3\xA9\xC3\xA8 \x7F!", "Equ\xE4le", " 7", "\xFF", "x\x80", "1.0\xB0"},
       {"Werckmeister       !", "Equ l", " ", "x ", "1.0 "},
       {char_alert("Temperament Name"), char_alert("Short Name"), CUT, char_alert("Supplier Name"),
        char_alert("Comment"), char_alert("Version")}, 12, 7},
  };
  for (const auto &c : cases) {
    fresh_window();  // leaves Pitch all zero
    script_dialogs();
    Fl_Input *boxes[] = {Box_ID, Box_Name, Box_ShortName, Box_SupplierID, Box_SupplierName, Box_Comment, Box_Version};
    for (int k = 0; k < 7; k++) boxes[k]->value(c.typed[k].c_str());
    for (int round = 1; round <= 2; round++) {  // the window keeps the text: the alerts come again
      SCOPED_TRACE(c.typed[1].substr(0, 20) + " round " + std::to_string(round));
      dialogs.alerts.clear();
      checkout_values();
      EXPECT_EQ(dialogs.alerts, c.alerts);
      EXPECT_EQ((std::vector<std::string>{Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version}),
                c.committed);
      EXPECT_EQ((std::vector<int>{Temp_ID, Temp_Supplier_ID}), (std::vector<int>{c.id, c.supplier}));
    }
    EXPECT_EQ(std::string(Box_ShortName->value()), c.typed[2]);
    EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);  // the commit ends with a full computation
    EXPECT_NEAR(Pitch[132], 16744.0361792383, 1e-10);
  }
}
