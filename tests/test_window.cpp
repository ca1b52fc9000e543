// test_window.cpp - the main window as built: every child in creation order, table-driven.
#include <gtest/gtest.h>
#include "support.h"
#include "main_gui.h"
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>
#include <typeinfo>

TEST(Window, LayoutOrderTextsAndCallbacks) {
  // Only the first build in a process shows what construction does to the record.
  if (Box_ID) GTEST_SKIP() << "window already built by an earlier test in this process";
  for (double &d : DCent) d = 99.0;
  fresh_window();
  Fl_Window *win = Box_ID->window();
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(typeid(*win) == typeid(Fl_Window));
  EXPECT_EQ((std::vector<int>{win->w(), win->h()}), (std::vector<int>{800, 300}));
  EXPECT_STREQ(win->label(), "Vostrel for HW3");
  for (double d : DCent) EXPECT_EQ(d, 0.0);
  const std::type_info &in = typeid(Fl_Input), &out = typeid(Fl_Output), &but = typeid(Fl_Button);
  struct Row { const std::type_info &type; Fl_Widget *handle; int x, y, w, h;
               const char *label, *text; Fl_Callback *cb; void *data; };
  std::vector<Row> rows = {
      {in, Box_ID, 150, 30, 340, 19, "Temperament ID", "999900", nullptr, nullptr},
      {in, Box_Name, 150, 50, 340, 19, "Temperament Name", "Equal Temperament", nullptr, nullptr},
      {in, Box_ShortName, 150, 70, 340, 19, "Short Name", "Equal", nullptr, nullptr},
      {in, Box_SupplierID, 150, 90, 340, 19, "Supplier ID", "999999", nullptr, nullptr},
      {in, Box_SupplierName, 150, 110, 340, 19, "Supplier Name", "", nullptr, nullptr},
      {in, Box_Comment, 150, 130, 340, 19, "Comment", "", nullptr, nullptr},
      {in, Box_Version, 150, 150, 340, 19, "Version", "1.00", nullptr, nullptr},
      {but, Button_Load, 150, 190, 340, 19, "Load File", nullptr, load_file_cb, nullptr},
      {but, Button_Generate, 150, 230, 340, 19, "Generate File", nullptr, generate_file_cb, nullptr},
      {but, Button_Exit, 150, 270, 340, 19, "Exit", nullptr, exit_cb, win},
      {in, Box_APitch, 680, 10, 100, 19, "A-Pitch", " 440.0000000", cent_cb, &APitch},
      {typeid(Fl_Box), nullptr, 610, 30, 50, 19, "+/- Cent from Equal", nullptr, nullptr, nullptr}};
  const char *pitches[12] = {" 440.0000000", " 466.1637615", " 493.8833013", " 523.2511306",
                             " 554.3652620", " 587.3295358", " 622.2539674", " 659.2551138",
                             " 698.4564629", " 739.9888454", " 783.9908720", " 830.6093952"};
  for (int i = 0; i < 12; i++) {
    rows.push_back({in, Box_DCent[i], 610, 50 + 20 * i, 50, 19, Tonname[i], "+0.0", cent_cb, &DCent[i]});
    rows.push_back({out, Box_Pitch[i], 680, 50 + 20 * i, 100, 19, "", pitches[i], nullptr, nullptr});
  }
  ASSERT_EQ(win->children(), (int)rows.size());
  for (int k = 0; k < win->children(); k++) {
    const Row &r = rows[k];
    Fl_Widget *w = win->child(k);
    SCOPED_TRACE("child " + std::to_string(k) + " " + r.label);
    EXPECT_TRUE(!r.handle || w == r.handle);
    EXPECT_TRUE(typeid(*w) == r.type) << typeid(*w).name();
    EXPECT_EQ((std::vector<int>{w->x(), w->y(), w->w(), w->h()}), (std::vector<int>{r.x, r.y, r.w, r.h}));
    EXPECT_STREQ(w->label() ? w->label() : "", r.label);
    EXPECT_EQ(w->when(), FL_WHEN_RELEASE);
    EXPECT_EQ(w->callback(), r.cb ? r.cb : (Fl_Callback *)Fl_Widget::default_callback);
    EXPECT_EQ(w->user_data(), r.data);
    if (r.text) { EXPECT_STREQ(static_cast<Fl_Input *>(w)->value(), r.text); }
  }
}
