// main_gui.h - the window program: the widget handles, the window and its
// callbacks, the Load, Generate and Exit actions, the dialogs, the settings
// file and the search for the host's temperaments folder.
#ifndef VOSTREL_MAIN_GUI_H
#define VOSTREL_MAIN_GUI_H

#include "temperament.h"
#include "temperament_file.h"

class Fl_Widget;
class Fl_Window;
class Fl_Input;
class Fl_Output;
class Fl_Button;

// ---- Widget handles (owned by the window) ---------------------------------
extern Fl_Input *Box_ID, *Box_Name, *Box_ShortName, *Box_SupplierID, *Box_SupplierName,
    *Box_Comment, *Box_Version, *Box_APitch;
extern Fl_Input *Box_DCent[12];
extern Fl_Output *Box_Pitch[12];
extern Fl_Button *Button_Load, *Button_Generate, *Button_Exit;

// ---- Dialog seam ------------------------------------------------------------
// Every modal dialog goes through these pointers (alerts through the core's
// dialog_alert). They start as the toolkit's dialogs; tests point them at
// scripted answers.
extern const char *(*dialog_input)(const char *prompt, const char *preset);
extern const char *(*dialog_file)(const char *title, const char *pattern, const char *start,
                                  int relative);
extern const char *(*dialog_dir)(const char *prompt, const char *start, int relative);
// Points the core's alerts at the toolkit's alert box (they go to standard
// error until then).
void use_toolkit_alerts(void);

// ---- Platform -------------------------------------------------------------
enum { ROOT_SIZE = 300 };
// The two drive roots searched for the host's folder, each ending in '/'.
// The first is also the folder chooser's start and the answer on cancel.
extern char Drive_Root1[ROOT_SIZE];
extern char Drive_Root2[ROOT_SIZE];
// Sets the drive roots for this platform ("C:/" and "D:/" on Windows).
void init_drive_roots(void);
// Sets the program's icon on the main window where the system needs that.
void set_window_icon(Fl_Window *window);

// ---- Window ---------------------------------------------------------------
// Builds the main window with all widgets, showing the reference octave.
Fl_Window *build_window(void);
// Shows APitch, the offsets and the reference octave's pitches.
void show_tuning(void);
void cent_cb(Fl_Widget *W, void *v);
void load_file_cb(Fl_Widget *W, void *v);
void generate_file_cb(Fl_Widget *W, void *v);
void exit_cb(Fl_Widget *W, void *v);

// ---- Commit ---------------------------------------------------------------
// Commits the descriptive fields of the window and computes all 133 notes.
void checkout_values(void);

// ---- Settings -------------------------------------------------------------
void load_defaults(void);
// Commits the fields and saves the settings; 1 when Vostrel.ini was replaced.
int save_settings(void);

// ---- Temperaments folder --------------------------------------------------
char *search_for_dir(const char *root, const char *dirname, int maxdepth);
const char *get_temperdir(void);

// ---- Generate / Load ------------------------------------------------------
void generate_file(void);
void load_file(void);

#endif
