// support_gui.cpp - the scripted dialogs of the window and the headless window.
#include <gtest/gtest.h>

#include "support.h"

#include "main_gui.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>

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

void fresh_window() {
  // Start-up state of the record, as load_defaults leaves it without a file.
  Temp_ID = 999900, Temp_Supplier_ID = 999999;
  Temp_Name[0] = Temp_ShortName[0] = Temp_Supplier_Name[0] = '\0';
  Temp_Comment[0] = Temp_Version[0] = Tempdirstr[0] = '\0';
  APitch = 440.0;
  for (double &p : Pitch)
    p = 0.0;
  // Built once per process, from the state above; building sets the offsets to 0 itself.
  if (!Box_ID)
    build_window();
  else
    for (double &d : DCent)
      d = 0.0;
  Fl_Input *boxes[] = {Box_ID,           Box_Name,    Box_ShortName, Box_SupplierID,
                       Box_SupplierName, Box_Comment, Box_Version};
  const char *texts[] = {"999900", "Equal Temperament", "Equal", "999999", "", "", "1.00"};
  for (int i = 0; i < 7; i++)
    boxes[i]->value(texts[i]);
  compute_temperament(0);
  show_tuning();
}
