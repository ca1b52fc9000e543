// support.h - shared helpers of the test suite: scripted dialogs recording
// every message, temporary folders and files, a child process run as nobody,
// and the headless window.
#ifndef VOSTREL_TEST_SUPPORT_H
#define VOSTREL_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class Fl_Input;

using Texts = std::vector<std::string>;
// One scripted dialog answer: a text, or std::nullopt for a cancelled dialog.
using Answer = std::optional<std::string>;
inline Answer answer(const std::string &text) {
  return text;
}

// What the scripted dialogs saw, every call in order.
struct DialogLog {
  Texts alerts;  // alert texts, exactly as shown
  // "prompt|preset" (input), "title|pattern|start|relative" (file chooser),
  // "prompt|start|relative" (folder chooser)
  Texts requests;
  std::deque<Answer> inputs, files, dirs;  // scripted answers, used in order
};
extern DialogLog dialogs;

// Points the message seam at the log and clears it.
void script_alerts();
// Points the window's whole dialog seam at the script and clears the log. A dialog with no
// answer left fails the running test and is cancelled.
void script_dialogs();

// The texts the seven descriptive fields start with, from the top.
extern const Texts START_TEXTS;
// Builds the window once per test binary (never shown) and resets the record and the window to
// their start-up state: defaults, START_TEXTS, A = 440, all offsets 0, all 133 pitches computed.
void fresh_window();
// The seven descriptive inputs, from the top.
std::vector<Fl_Input *> text_boxes();
// What the window shows: the seven descriptive texts, A-Pitch, then cents and pitch per note.
Texts window_texts();
// Types text into an input and moves the focus away, which stores the value.
void type_into(Fl_Input *box, const char *text);

// A temporary folder, removed with everything in it by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  std::string path;                                 // without trailing '/'
  std::string file(const std::string &name) const;  // path + "/" + name
};

// A test of the window at its start-up state, with scripted dialogs and a temporary folder as
// the remembered temperaments folder, so nothing searches the disk.
struct WindowTest : ::testing::Test {
  TempDir tmp;
  void SetUp() override;
};

// Writes text to a file, replacing it; reads a whole file ("" when it cannot). Paths are UTF-8.
void write_file(const std::string &path, const std::string &text);
std::string read_file(const std::string &path);
// Text lines as this system writes them: "\n" becomes CR LF on Windows.
std::string text_lines(const std::string &lf_text);

// A temperament file as the writer writes it: the _General element holding `general`, then the
// notes 0 to 132 equal-tempered from A = 440 Hz to 15 digits; `change` gives some notes another
// PitchHz text, or "-" to leave the note out.
std::string temperament_file(const std::string &general,
                             const std::map<int, std::string> &change = {});

enum { CHILD_SKIPPED = 77 };
// Runs body in a forked child that has dropped to the user nobody, its files limited to
// max_bytes when that is >= 0 (SIGXFSZ ignored, so a write past it fails). The child's exit
// status: 0 when body answered true, 1 when false, 100 + the signal that ended it;
// CHILD_SKIPPED where it cannot drop privileges (not root, or Windows, which cannot fork).
int as_nobody(const std::function<bool()> &body, long max_bytes = -1);

#endif
