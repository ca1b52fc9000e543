// main_gui.cpp - Vostrel's window: the widgets and their callbacks, the
// dialogs, the Load and Generate actions and start-up.
#include "main_gui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/filename.H>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

// ---- Widget handles ---------------------------------------------------------
Fl_Input *Box_ID, *Box_Name, *Box_ShortName, *Box_SupplierID, *Box_SupplierName, *Box_Comment,
    *Box_Version, *Box_APitch;
Fl_Input *Box_DCent[12];
Fl_Output *Box_Pitch[12];
Fl_Button *Button_Load, *Button_Generate, *Button_Exit;

// ---- Dialog seam ------------------------------------------------------------

// The toolkit's alert, handed the finished text so nothing is reformatted
// (any other format makes FLTK 1.3 cut the text at 1024 bytes).
static void toolkit_alert(const char *text) {
  fl_alert("%s", text);
}

static const char *toolkit_input(const char *prompt, const char *preset) {
  return fl_input("%s", preset, prompt);
}

static const char *toolkit_file(const char *title, const char *pattern, const char *start,
                                int relative) {
  return fl_file_chooser(title, pattern, start, relative);
}

static const char *toolkit_dir(const char *prompt, const char *start, int relative) {
  return fl_dir_chooser(prompt, start, relative);
}

const char *(*dialog_input)(const char *, const char *) = toolkit_input;
const char *(*dialog_file)(const char *, const char *, const char *, int) = toolkit_file;
const char *(*dialog_dir)(const char *, const char *, int) = toolkit_dir;

void use_toolkit_alerts(void) {
  dialog_alert = toolkit_alert;
}

// Gives the window the program's icon (the exe's icon resource 1) for its
// title bar and the task bar; other systems take it from the desktop entry.
void set_window_icon(Fl_Window *window) {
#ifdef _WIN32
  window->icon((const void *)LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(1)));
#else
  (void)window;
#endif
}

// ---- Window -----------------------------------------------------------------
// Positions and texts are fixed; the sizes below keep every label and value
// readable inside the 800 x 300 window with the platform's default font.
enum { LABEL_SIZE = 12, VALUE_SIZE = 12 };

static void style(Fl_Widget *w) {
  w->labelsize(LABEL_SIZE);
}

static Fl_Input *descriptive_input(int x, int y, int w, int h, const char *label,
                                   const char *text) {
  Fl_Input *in = new Fl_Input(x, y, w, h, label);
  style(in);
  in->textsize(VALUE_SIZE);
  in->value(text);
  return in;
}

// True when w is the A-Pitch field or one of the twelve cent fields.
static int is_tuning_field(const Fl_Widget *w) {
  if (w && w == Box_APitch)
    return 1;
  for (int i = 0; i < 12; i++) {
    if (w && w == Box_DCent[i])
      return 1;
  }
  return 0;
}

// Event filter: Enter does nothing in the tuning fields (FLTK would move the
// focus on, which stores the value); everything else passes unchanged, so
// Enter still confirms every dialog.
static int swallow_enter(int event, Fl_Window *win) {
  if ((event == FL_KEYBOARD || event == FL_SHORTCUT) &&
      (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
      is_tuning_field(Fl::focus()))
    return 1;
  return Fl::handle_(event, win);
}

void show_tuning(void) {
  char mystr[DISPLAY_SIZE];
  format_pitch(mystr, APitch);
  Box_APitch->value(mystr);
  for (int i = 0; i < 12; i++) {
    format_cents(mystr, DCent[i]);
    Box_DCent[i]->value(mystr);
    format_pitch(mystr, Pitch[REF_NOTE + i]);
    Box_Pitch[i]->value(mystr);
  }
}

// Computes the reference octave or all notes and shows the tuning column.
static void compute_and_show(int total) {
  compute_temperament(total);
  show_tuning();
}

// The seven descriptive fields, from the top, with the texts they start with.
static void build_descriptive_fields(int spalte, int zeile, int width, int height, int dist) {
  static const char *const LABELS[7] = {"Temperament ID", "Temperament Name", "Short Name",
                                        "Supplier ID",    "Supplier Name",    "Comment",
                                        "Version"};
  Fl_Input **boxes[7] = {&Box_ID,           &Box_Name,    &Box_ShortName, &Box_SupplierID,
                         &Box_SupplierName, &Box_Comment, &Box_Version};
  char text[7][TEXT_FIELD_SIZE];
  start_texts(text);
  for (int k = 0; k < 7; k++)
    *boxes[k] = descriptive_input(spalte, zeile + k * dist, width, height, LABELS[k], text[k]);
}

// One of the three buttons.
static Fl_Button *action_button(int x, int y, int w, int h, const char *label, Fl_Callback *cb,
                                void *data) {
  Fl_Button *b = new Fl_Button(x, y, w, h, label);
  style(b);
  b->callback(cb, data);
  return b;
}

// The A-Pitch field, the heading and the twelve cent fields with their pitches.
static void build_tuning_column(int spalte, int height, int dist) {
  int twidth = 50;
  int pspalte = spalte + twidth + 20;
  int pwidth = 100;
  int zeile = 10;
  Box_APitch = new Fl_Input(pspalte, zeile, pwidth, height, "A-Pitch");
  style(Box_APitch);
  Box_APitch->textsize(VALUE_SIZE);
  Box_APitch->callback(cent_cb, &APitch);
  zeile += dist;
  Fl_Box *heading = new Fl_Box(spalte, zeile, twidth, height, "+/- Cent from Equal");
  style(heading);
  zeile += dist;
  for (int i = 0; i < 12; i++) {
    Box_DCent[i] = new Fl_Input(spalte, zeile, twidth, height, Tonname[i]);
    style(Box_DCent[i]);
    Box_DCent[i]->textsize(VALUE_SIZE);
    DCent[i] = 0.0;
    Box_DCent[i]->callback(cent_cb, &DCent[i]);
    Box_Pitch[i] = new Fl_Output(pspalte, zeile, pwidth, height, "");
    style(Box_Pitch[i]);
    Box_Pitch[i]->textsize(VALUE_SIZE);
    zeile += dist;
  }
}

Fl_Window *build_window(void) {
  Fl_Window *window = new Fl_Window(800, 300, "Vostrel for HW3");
  window->begin();
  int spalte = 150, width = 340, height = 19, dist = 20;
  build_descriptive_fields(spalte, 30, width, height, dist);
  int zeile = 30 + 8 * dist;
  Button_Load = action_button(spalte, zeile, width, height, "Load File", load_file_cb, nullptr);
  zeile += 2 * dist;
  Button_Generate =
      action_button(spalte, zeile, width, height, "Generate File", generate_file_cb, nullptr);
  zeile += 2 * dist;
  Button_Exit = action_button(spalte, zeile, width, height, "Exit", exit_cb, window);
  build_tuning_column(spalte + width + 120, height, dist);
  compute_and_show(0);
  window->end();
  Fl::event_dispatch(swallow_enter);
  return window;
}

// Stores the typed number, narrowed to single precision, and recomputes.
void cent_cb(Fl_Widget *W, void *v) {
  *(double *)v = tuning_value(((Fl_Input *)W)->value());
  compute_and_show(0);
}

void load_file_cb(Fl_Widget *, void *) {
  load_file();
}

void generate_file_cb(Fl_Widget *, void *) {
  generate_file();
}

// Saves the settings (when Vostrel.ini can be written) and hides the window.
void exit_cb(Fl_Widget *, void *v) {
  save_settings();
  ((Fl_Window *)v)->hide();
}

// ---- Commit -----------------------------------------------------------------

void checkout_values(void) {
  const char *const text[7] = {Box_ID->value(),           Box_Name->value(),
                               Box_ShortName->value(),    Box_SupplierID->value(),
                               Box_SupplierName->value(), Box_Comment->value(),
                               Box_Version->value()};
  commit_fields(text);
  compute_and_show(1);
}

// ---- Generate action ------------------------------------------------------------

// Any folder text the program can hold (the folder chooser's answers are at
// most FL_PATH_MAX), a slash, five characters, a dot and the suffix.
enum { NAME_SIZE = FL_PATH_MAX + 1 + 5 + 1 + sizeof "Temperament.Hauptwerk.xml" };

void generate_file(void) {
  static char temperamentdir[NAME_SIZE];
  compute_and_show(1);
  // Refused before anything changes or is asked: the typed values stay.
  if (!check_pitches())
    return;
  checkout_values();
  propose_file_name(temperamentdir, sizeof temperamentdir, get_temperdir(), Temp_ShortName);
  const char *filename = dialog_input("Filename to generate", temperamentdir);
  if (!filename)
    return;
  write_temperament_file(filename);
}

// ---- Load action ----------------------------------------------------------------

// Puts the loaded record into the window; setting texts fires no callback.
static void fill_window(void) {
  char mystr[TEXT_FIELD_SIZE];
  snprintf(mystr, sizeof mystr, "%d", Temp_ID);
  Box_ID->value(mystr);
  Box_Name->value(Temp_Name);
  Box_ShortName->value(Temp_ShortName);
  snprintf(mystr, sizeof mystr, "%06d", Temp_Supplier_ID);
  Box_SupplierID->value(mystr);
  Box_SupplierName->value(Temp_Supplier_Name);
  Box_Comment->value(Temp_Comment);
  Box_Version->value(Temp_Version);
  show_tuning();  // compute_cents has set APitch and DCent from Pitch
}

void load_file(void) {
  // The folder chooser and the file chooser share one text buffer: copy the
  // folder before the file chooser reuses it.
  static char temperamentdir[FL_PATH_MAX];
  static char filename[FL_PATH_MAX];
  copy_text(temperamentdir, sizeof temperamentdir, get_temperdir());
  const char *chosen = dialog_file("Choose file to load", "*.xml", temperamentdir, 0);
  if (!chosen)
    return;
  copy_text(filename, sizeof filename, chosen);
  if (load_temperament(filename))
    fill_window();
}
