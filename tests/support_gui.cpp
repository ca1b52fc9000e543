// support_gui.cpp - the scripted dialogs of the window and the headless window.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>

// Records one dialog call (texts joined by '|') and hands out the next scripted answer, valid
// until the next one, as the toolkit's own dialog buffers are.
static const char *next_answer(std::deque<Answer> &queue, const std::string &call) {
  static std::string text;
  dialogs.requests.push_back(call);
  if (queue.empty()) {
    ADD_FAILURE() << "unexpected dialog " << call;
    return nullptr;
  }
  Answer a = queue.front();
  queue.pop_front();
  return a ? (text = *a).c_str() : nullptr;
}

void script_dialogs() {
  script_alerts();
  dialog_input = [](const char *prompt, const char *preset) {
    return next_answer(dialogs.inputs, std::string(prompt) + "|" + (preset ? preset : ""));
  };
  dialog_file = [](const char *title, const char *pattern, const char *start, int relative) {
    return next_answer(dialogs.files, std::string(title) + "|" + pattern + "|" + start + "|" +
                                          std::to_string(relative));
  };
  dialog_dir = [](const char *prompt, const char *start, int relative) {
    return next_answer(dialogs.dirs,
                       std::string(prompt) + "|" + start + "|" + std::to_string(relative));
  };
}

const Texts START_TEXTS = {"999900", "Equal Temperament", "Equal", "999999", "", "", "1.00"};

std::vector<Fl_Input *> text_boxes() {
  return {Box_ID,           Box_Name,    Box_ShortName, Box_SupplierID,
          Box_SupplierName, Box_Comment, Box_Version};
}

Texts window_texts() {
  Texts shown;
  for (Fl_Input *box : text_boxes())
    shown.push_back(box->value());
  shown.push_back(Box_APitch->value());
  for (int i = 0; i < 12; i++)
    shown.insert(shown.end(), {Box_DCent[i]->value(), Box_Pitch[i]->value()});
  return shown;
}

void type_into(Fl_Input *box, const char *text) {
  box->value(text);
  box->set_changed();
  box->handle(FL_UNFOCUS);
}

void WindowTest::SetUp() {
  fresh_window();
  script_dialogs();
  snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", tmp.path.c_str());
}

void fresh_window() {
  // Start-up state of the record, as load_defaults leaves it without a file.
  Temp_ID = 999900;
  Temp_Supplier_ID = 999999;
  for (char *field :
       {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version, Tempdirstr})
    field[0] = '\0';
  APitch = 440.0;
  // Built once per process; the window test builds it itself to see what building does.
  if (!Box_ID)
    build_window();
  for (double &d : DCent)
    d = 0.0;
  for (size_t k = 0; k < START_TEXTS.size(); k++)
    text_boxes()[k]->value(START_TEXTS[k].c_str());
  compute_temperament(1);
  show_tuning();
}
