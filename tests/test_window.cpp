// test_window.cpp - the main window as built: every child in creation (Tab)
// order with its class, place, label, text, callback and user data.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>

#include <cstring>
#include <string>
#include <typeinfo>

namespace {
enum Kind { INPUT, OUTPUT, BUTTON, BOX };
struct Row {
  Kind kind;
  int x, y, w, h;
  const char *label;
  const char *text;  // initial value of inputs and outputs
  Fl_Callback *cb;   // null: the toolkit's default callback
  void *data;
};
}  // namespace

TEST(Window, LayoutOrderTextsAndCallbacks) {
  // The window is built once per process; only the first build shows what
  // the construction itself does to the record and the fields.
  if (Box_ID) GTEST_SKIP() << "window already built by an earlier test in this process";
  for (double &d : DCent) d = 99.0;
  fresh_window();
  Fl_Window *win = Box_ID->window();
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(typeid(*win) == typeid(Fl_Window));
  EXPECT_EQ(win->w(), 800);
  EXPECT_EQ(win->h(), 300);
  EXPECT_STREQ(win->label(), "Vostrel for HW3");
  // No callback of its own: closing hides it through the toolkit's default.
  EXPECT_EQ(win->callback(), (Fl_Callback *)Fl_Window::default_callback);
  for (double d : DCent) EXPECT_EQ(d, 0.0);

  std::vector<Row> rows = {
      {INPUT, 150, 30, 340, 19, "Temperament ID", "999900", nullptr, nullptr},
      {INPUT, 150, 50, 340, 19, "Temperament Name", "Equal Temperament", nullptr, nullptr},
      {INPUT, 150, 70, 340, 19, "Short Name", "Equal", nullptr, nullptr},
      {INPUT, 150, 90, 340, 19, "Supplier ID", "999999", nullptr, nullptr},
      {INPUT, 150, 110, 340, 19, "Supplier Name", "", nullptr, nullptr},
      {INPUT, 150, 130, 340, 19, "Comment", "", nullptr, nullptr},
      {INPUT, 150, 150, 340, 19, "Version", "1.00", nullptr, nullptr},
      {BUTTON, 150, 190, 340, 19, "Load File", nullptr, load_file_cb, nullptr},
      {BUTTON, 150, 230, 340, 19, "Generate File", nullptr, generate_file_cb, nullptr},
      {BUTTON, 150, 270, 340, 19, "Exit", nullptr, exit_cb, win},
      {INPUT, 680, 10, 100, 19, "A-Pitch", " 440.0000000", cent_cb, &APitch},
      {BOX, 610, 30, 50, 19, "+/- Cent from Equal", nullptr, nullptr, nullptr},
  };
  const char *pitches[12] = {" 440.0000000", " 466.1637615", " 493.8833013", " 523.2511306",
                             " 554.3652620", " 587.3295358", " 622.2539674", " 659.2551138",
                             " 698.4564629", " 739.9888454", " 783.9908720", " 830.6093952"};
  for (int i = 0; i < 12; i++) {
    rows.push_back({INPUT, 610, 50 + 20 * i, 50, 19, Tonname[i], "+0.0", cent_cb, &DCent[i]});
    rows.push_back({OUTPUT, 680, 50 + 20 * i, 100, 19, "", pitches[i], nullptr, nullptr});
  }
  ASSERT_EQ(win->children(), (int)rows.size());

  Fl_Widget *handles[36] = {Box_ID, Box_Name, Box_ShortName, Box_SupplierID, Box_SupplierName,
                            Box_Comment, Box_Version, Button_Load, Button_Generate,
                            Button_Exit, Box_APitch, nullptr};
  for (int i = 0; i < 12; i++) {
    handles[12 + 2 * i] = Box_DCent[i];
    handles[13 + 2 * i] = Box_Pitch[i];
  }
  for (int k = 0; k < win->children(); k++) {
    const Row &r = rows[k];
    Fl_Widget *w = win->child(k);
    SCOPED_TRACE("child " + std::to_string(k) + " " + r.label);
    if (handles[k]) {
      EXPECT_EQ(w, handles[k]);
    }
    const std::type_info &want = r.kind == INPUT    ? typeid(Fl_Input)
                                 : r.kind == OUTPUT ? typeid(Fl_Output)
                                 : r.kind == BUTTON ? typeid(Fl_Button)
                                                    : typeid(Fl_Box);
    EXPECT_TRUE(typeid(*w) == want) << typeid(*w).name();
    EXPECT_EQ(w->x(), r.x);
    EXPECT_EQ(w->y(), r.y);
    EXPECT_EQ(w->w(), r.w);
    EXPECT_EQ(w->h(), r.h);
    EXPECT_STREQ(w->label() ? w->label() : "", r.label);
    EXPECT_EQ(w->when(), FL_WHEN_RELEASE);
    if (r.kind == BOX) {
      EXPECT_EQ(w->box(), FL_NO_BOX);
      continue;
    }
    EXPECT_EQ(w->callback(), r.cb ? r.cb : (Fl_Callback *)Fl_Widget::default_callback);
    EXPECT_EQ(w->user_data(), r.data);
    if (r.text) {
      EXPECT_STREQ(static_cast<Fl_Input *>(w)->value(), r.text);
    }
  }
  // Building the window fills only the reference octave.
  EXPECT_EQ(Pitch[68], 0.0);
  EXPECT_EQ(Pitch[81], 0.0);
  EXPECT_EQ(Pitch[69], 440.0);
}
