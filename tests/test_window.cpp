// test_window.cpp - the main window as built: title, size, each field's label, start text and
// callback. Positions are the real-window tests' business: they click at them.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>

TEST(Window, LabelsStartTextsAndCallbacks) {
  // Only the first build in a process shows what construction does to the record.
  if (Box_ID) GTEST_SKIP() << "window already built by an earlier test in this process";
  for (double &d : DCent) d = 99.0;
  fresh_window();
  Fl_Window *win = Box_ID->window();
  EXPECT_EQ((std::vector<int>{win->w(), win->h(), win->children()}), (std::vector<int>{800, 300, 36}));
  EXPECT_STREQ(win->label(), "Vostrel for HW3");
  struct Row { Fl_Widget *w; const char *label, *text; Fl_Callback *cb; void *data; };
  std::vector<Row> rows = {
      {Box_ID, "Temperament ID", "999900", nullptr, nullptr},
      {Box_Name, "Temperament Name", "Equal Temperament", nullptr, nullptr},
      {Box_ShortName, "Short Name", "Equal", nullptr, nullptr},
      {Box_SupplierID, "Supplier ID", "999999", nullptr, nullptr},
      {Box_SupplierName, "Supplier Name", "", nullptr, nullptr},
      {Box_Comment, "Comment", "", nullptr, nullptr},
      {Box_Version, "Version", "1.00", nullptr, nullptr},
      {Button_Load, "Load File", nullptr, load_file_cb, nullptr},
      {Button_Generate, "Generate File", nullptr, generate_file_cb, nullptr},
      {Button_Exit, "Exit", nullptr, exit_cb, win},
      {Box_APitch, "A-Pitch", " 440.0000000", cent_cb, &APitch}};
  for (int i = 0; i < 12; i++) {
    rows.push_back({Box_DCent[i], Tonname[i], "+0.0", cent_cb, &DCent[i]});
    rows.push_back({Box_Pitch[i], "", nullptr, nullptr, nullptr});
  }
  for (const Row &r : rows) {
    SCOPED_TRACE(r.label);
    EXPECT_STREQ(r.w->label() ? r.w->label() : "", r.label);
    EXPECT_EQ(r.w->callback(), r.cb ? r.cb : (Fl_Callback *)Fl_Widget::default_callback);
    EXPECT_EQ(r.w->user_data(), r.data);
    if (r.text) { EXPECT_STREQ(static_cast<Fl_Input *>(r.w)->value(), r.text); }
  }
  for (double d : DCent) EXPECT_EQ(d, 0.0);
}
