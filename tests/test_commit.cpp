// test_commit.cpp - committing the descriptive fields into the record:
// bounded copies, forbidden bytes, the short-name cut, the IDs and the
// closing full computation.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>

#include <climits>
#include <string>
#include <vector>

static std::string char_alert(const char *field) {
  return std::string("Field ") + field +
         ":\nOnly ASCII-Characters allowed in strings!\n"
         "Substituting forbidden characters by blanks.";
}
static const char *const LENGTH_ALERT = "Only first five characters of ShortName used!";

TEST(Commit, PlainFieldsAndIds) {
  fresh_window();
  script_dialogs();
  Box_ID->value("12abc");
  Box_SupplierID->value(" -7");
  Box_Comment->value("tab\tand \x01\x1f~ stay");
  checkout_values();
  EXPECT_TRUE(dialogs.alerts.empty());
  EXPECT_EQ(Temp_ID, 12);
  EXPECT_EQ(Temp_Supplier_ID, -7);
  EXPECT_STREQ(Temp_Name, "Equal Temperament");
  EXPECT_STREQ(Temp_ShortName, "Equal");
  EXPECT_STREQ(Temp_Supplier_Name, "");
  EXPECT_STREQ(Temp_Comment, "tab\tand \x01\x1f~ stay");
  EXPECT_STREQ(Temp_Version, "1.00");
  // The commit ends with the full computation.
  EXPECT_NEAR(Pitch[0], 8.17579891564371, 1e-13);
  EXPECT_NEAR(Pitch[132], 16744.0361792383, 1e-10);

  struct Case { const char *text; int value; } ids[] = {
      {"abc", 0}, {"12.9", 12}, {"99999999999", INT_MAX}};
  for (const Case &c : ids) {
    Box_ID->value(c.text);
    Box_SupplierID->value(c.text);
    checkout_values();
    EXPECT_EQ(Temp_ID, c.value) << c.text;
    EXPECT_EQ(Temp_Supplier_ID, c.value) << c.text;
  }
}

TEST(Commit, ForbiddenBytesBecomeBlanksWithOneAlertPerField) {
  fresh_window();
  script_dialogs();
  Box_Name->value("Werckmeister \xC3\xA9\xC3\xA8 \x7F!");
  Box_ShortName->value("Equ\xE4le");  // six bytes, the fourth forbidden
  Box_SupplierName->value("\xFF");
  Box_Comment->value("x\x80");
  Box_Version->value("1.0\xB0");
  for (int round = 0; round < 2; round++) {
    dialogs.alerts.clear();
    checkout_values();
    std::vector<std::string> want = {char_alert("Temperament Name"), char_alert("Short Name"),
                                     LENGTH_ALERT, char_alert("Supplier Name"),
                                     char_alert("Comment"), char_alert("Version")};
    EXPECT_EQ(dialogs.alerts, want) << "commit " << round + 1;
    EXPECT_STREQ(Temp_Name, "Werckmeister       !");
    EXPECT_STREQ(Temp_ShortName, "Equ l");
    EXPECT_STREQ(Temp_Supplier_Name, " ");
    EXPECT_STREQ(Temp_Comment, "x ");
    EXPECT_STREQ(Temp_Version, "1.0 ");
  }
  // The window keeps what was typed.
  EXPECT_STREQ(Box_Name->value(), "Werckmeister \xC3\xA9\xC3\xA8 \x7F!");
  EXPECT_STREQ(Box_ShortName->value(), "Equ\xE4le");

  // Called directly: bytes from 0x7F up are replaced, those below are kept.
  char text[] = "\x7E\x7F\x80\xFF\x1F";
  dialogs.alerts.clear();
  Check_for_ASCII("Comment", text);
  EXPECT_STREQ(text, "\x7E   \x1F");
  EXPECT_EQ(dialogs.alerts, std::vector<std::string>{char_alert("Comment")});
}

TEST(Commit, ShortNameCutAndLongTextsBounded) {
  fresh_window();
  script_dialogs();
  Box_ShortName->value("Meantone");
  checkout_values();
  EXPECT_EQ(dialogs.alerts, std::vector<std::string>{LENGTH_ALERT});
  EXPECT_STREQ(Temp_ShortName, "Meant");
  EXPECT_STREQ(Box_ShortName->value(), "Meantone");

  std::string longtext(200, 'a');
  for (size_t i = 0; i < longtext.size(); i++) longtext[i] = char('a' + i % 26);
  std::string tail = longtext;
  tail[178] = '\xE9';  // the last byte kept is cleaned, the cut-off ones are not seen
  tail[190] = '\xE9';
  Box_Name->value(longtext.c_str());
  Box_SupplierName->value(longtext.c_str());
  Box_Comment->value(longtext.c_str());
  Box_Version->value(tail.c_str());
  dialogs.alerts.clear();
  checkout_values();
  EXPECT_EQ(Temp_Name, longtext.substr(0, 179));
  EXPECT_EQ(Temp_Supplier_Name, longtext.substr(0, 179));
  EXPECT_EQ(Temp_Comment, longtext.substr(0, 179));
  EXPECT_EQ(Temp_Version, longtext.substr(0, 178) + " ");
  EXPECT_EQ(dialogs.alerts, (std::vector<std::string>{LENGTH_ALERT, char_alert("Version")}));
}
