// main.cpp - start-up: settings, window, event loop.
#include "main_gui.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

int main(int argc, char **argv) {
  use_toolkit_alerts();
  init_drive_roots();
  load_defaults();
  Fl_Window *window = build_window();
  set_window_icon(window);
  window->show(argc, argv);
  return Fl::run();
}
