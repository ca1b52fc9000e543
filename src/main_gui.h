// main_gui.h - the temperament record, the window's widget handles and the
// operations of the main module: arithmetic, window, commit, writer, loader,
// settings and the search for the host's temperaments folder.
#ifndef VOSTREL_MAIN_GUI_H
#define VOSTREL_MAIN_GUI_H

#include <cstddef>
#include <cstdio>

class Fl_Widget;
class Fl_Window;
class Fl_Input;
class Fl_Output;
class Fl_Button;

// ---- Temperament record ---------------------------------------------------
enum { TEXT_FIELD_SIZE = 180 };    // every text field: 179 characters + NUL
enum { NOTE_COUNT = 133 };         // MIDI notes 0 to 132
enum { REF_NOTE = 69 };            // the reference A; the octave 69..80

extern int Temp_ID;                           // unique temperament ID
extern char Temp_Name[TEXT_FIELD_SIZE];       // temperament name
extern char Temp_ShortName[TEXT_FIELD_SIZE];  // short name, five characters used
extern int Temp_Supplier_ID;                  // supplier ID
extern char Temp_Supplier_Name[TEXT_FIELD_SIZE];
extern char Temp_Comment[TEXT_FIELD_SIZE];
extern char Temp_Version[TEXT_FIELD_SIZE];
extern char Tempdirstr[TEXT_FIELD_SIZE];      // remembered temperaments folder, "" = unknown
extern double APitch;                         // pitch of A (note 69) in Hz
extern double DCent[12];                      // offsets of notes 69..80 in cents
extern double Pitch[NOTE_COUNT];              // pitch of every MIDI note in Hz
extern const char *const Tonname[12];         // note names, A upwards

// ---- Widget handles (owned by the window) ---------------------------------
extern Fl_Input *Box_ID, *Box_Name, *Box_ShortName, *Box_SupplierID,
    *Box_SupplierName, *Box_Comment, *Box_Version, *Box_APitch;
extern Fl_Input *Box_DCent[12];
extern Fl_Output *Box_Pitch[12];
extern Fl_Button *Button_Load, *Button_Generate, *Button_Exit;

// ---- Dialog seam ------------------------------------------------------------
// Every modal dialog goes through these pointers. The program uses the
// toolkit's dialogs; tests point them at scripted answers.
extern void (*dialog_alert)(const char *text);
extern const char *(*dialog_input)(const char *prompt, const char *preset);
extern const char *(*dialog_file)(const char *title, const char *pattern,
                                  const char *start, int relative);
extern const char *(*dialog_dir)(const char *prompt, const char *start,
                                 int relative);

// Shows one message text unchanged (never used as a format).
void xml_error(const char *text);
// Composes a message in full and shows it through the alert seam.
void alertf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

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

// ---- Arithmetic -----------------------------------------------------------
// atoi semantics, but values beyond a 32-bit int clamp to its limits.
int to_int(const char *text);
// Computes the reference octave (total = 0) or all 133 notes and, when the
// window exists, refreshes its tuning column.
void compute_temperament(int total);
// Checks the octaves of Pitch and recovers APitch and DCent; 1 on success.
int compute_cents(void);
// 1 when every pitch in Pitch is positive and finite, so it may be written;
// otherwise 0 after one alert naming the first impossible pitch.
int check_pitches(void);

// ---- Window ---------------------------------------------------------------
// Builds the main window with all widgets, showing the reference octave.
Fl_Window *build_window(void);
void cent_cb(Fl_Widget *W, void *v);
void load_file_cb(Fl_Widget *W, void *v);
void generate_file_cb(Fl_Widget *W, void *v);
void exit_cb(Fl_Widget *W, void *v);

// ---- Commit ---------------------------------------------------------------
void checkout_values(void);
// Commits the seven descriptive texts (ID, name, short name, supplier ID,
// supplier name, comment, version) into the record by the window's rules:
// IDs as whole numbers, texts bounded and cleaned, the short name cut.
void commit_fields(const char *const text[7]);
void Check_for_ASCII(const char *name, char *str);

// ---- Settings -------------------------------------------------------------
void load_defaults(void);
// Commits the fields and saves the settings; 1 when Vostrel.ini was replaced.
int save_settings(void);

// ---- Temperaments folder --------------------------------------------------
char *search_for_dir(const char *root, const char *dirname, int maxdepth);
const char *get_temperdir(void);

// ---- Generate / Load ------------------------------------------------------
// Opens filename as a new file for writing; null after the alert when a
// file of that name exists or it cannot be created. Never touches a file.
FILE *open_new_output(const char *filename);
// Closes a file from open_new_output; 1 when all of it was written,
// otherwise it removes the file and alerts.
int close_new_output(FILE *f, const char *filename);
// Builds folder + '/' + short name + '.' + "Temperament.Hauptwerk.xml" into
// buf of size n, adding the slash and the dot only where missing.
void propose_file_name(char *buf, size_t n, const char *dir, const char *shortname);
// Writes the temperament file to filename, which must not exist yet.
// 1 on success; otherwise it has shown its alert.
int write_temperament_file(const char *filename);
void generate_file(void);
// Resets the descriptive fields, reads the temperament file at path into the
// record and recovers APitch and DCent, with Load File's messages; 1 on
// success, otherwise 0 after them.
int load_temperament(const char *path);
void load_file(void);

#endif
