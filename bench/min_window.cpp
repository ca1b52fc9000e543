// min_window.cpp - the start-up baseline: the smallest FLTK program that
// opens one empty 800 x 300 window, shown the same way Vostrel shows its own.
// Built a second time with MIN_WINDOW_LABEL, the same window holds one text
// label, to show what drawing any text at all costs.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

int main(int argc, char **argv) {
#ifdef MIN_WINDOW_LABEL
  Fl_Window window(800, 300, "Minimal FLTK window with a label");
  new Fl_Box(10, 10, 200, 20, "A-Pitch");
#else
  Fl_Window window(800, 300, "Minimal FLTK window");
#endif
  window.end();
  window.show(argc, argv);
  return Fl::run();
}
