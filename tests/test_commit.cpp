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

TEST(Commit, IdsCutBoundsAndClosingComputation) {
  fresh_window();  // leaves Pitch all zero
  script_dialogs();
  std::string text;
  for (int i = 0; i < 200; i++) text += char('a' + i % 26);
  std::string version = text;
  version[178] = '\xE9';  // the last byte kept is still cleaned
  Box_ID->value("99999999999");
  Box_SupplierID->value("-99999999999");
  Box_Comment->value("tab\tand \x01\x1f~ stay");
  Box_ShortName->value("Meantone");
  Box_Name->value(text.c_str());
  Box_SupplierName->value(text.c_str());
  Box_Version->value(version.c_str());
  checkout_values();
  EXPECT_EQ(dialogs.alerts, (std::vector<std::string>{CUT, char_alert("Version")}));
  EXPECT_EQ(Temp_ID, INT_MAX);
  EXPECT_EQ(Temp_Supplier_ID, INT_MIN);
  EXPECT_STREQ(Temp_Comment, "tab\tand \x01\x1f~ stay");
  EXPECT_STREQ(Temp_ShortName, "Meant");
  EXPECT_STREQ(Box_ShortName->value(), "Meantone");
  EXPECT_EQ(Temp_Name, text.substr(0, 179));
  EXPECT_EQ(Temp_Supplier_Name, text.substr(0, 179));
  EXPECT_EQ(Temp_Version, text.substr(0, 178) + " ");
  EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);
  EXPECT_NEAR(Pitch[132], 16744.0361792383, 1e-10);
}

TEST(Commit, ForbiddenBytesBecomeBlanksWithOneAlertPerField) {
  fresh_window();
  script_dialogs();
  Box_Name->value("Werckmeister \xC3\xA9\xC3\xA8 \x7F!");
  Box_ShortName->value("Equ\xE4le");  // six bytes, the fourth forbidden
  Box_SupplierName->value("\xFF");
  Box_Comment->value("x\x80");
  Box_Version->value("1.0\xB0");
  const std::vector<std::string> want = {char_alert("Temperament Name"), char_alert("Short Name"),
      CUT, char_alert("Supplier Name"), char_alert("Comment"), char_alert("Version")};
  for (int round = 1; round <= 2; round++) {
    dialogs.alerts.clear();
    checkout_values();
    EXPECT_EQ(dialogs.alerts, want) << "commit " << round;
    EXPECT_STREQ(Temp_Name, "Werckmeister       !");
    EXPECT_STREQ(Temp_ShortName, "Equ l");
    EXPECT_STREQ(Temp_Supplier_Name, " ");
    EXPECT_STREQ(Temp_Comment, "x ");
    EXPECT_STREQ(Temp_Version, "1.0 ");
  }
  EXPECT_STREQ(Box_Name->value(), "Werckmeister \xC3\xA9\xC3\xA8 \x7F!");
}
