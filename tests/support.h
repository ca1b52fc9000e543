// support.h - shared helpers of the test suite: scripted dialogs recording
// every message, temporary folders, and the headless window.
#ifndef VOSTREL_TEST_SUPPORT_H
#define VOSTREL_TEST_SUPPORT_H

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One scripted dialog answer: nullopt (cancelled()) gives the null a
// cancelled dialog returns, otherwise the text is the answer.
using Answer = std::optional<std::string>;
inline Answer answer(const std::string &text) { return text; }
inline Answer cancelled() { return std::nullopt; }

// What the scripted dialogs saw. Every call is recorded in order.
struct DialogLog {
  std::vector<std::string> alerts;    // alert texts, exactly as shown
  // Per call, "prompt|preset" (input), "title|pattern|start|relative" (file
  // chooser) or "prompt|start|relative" (folder chooser).
  std::vector<std::string> requests;
  std::deque<Answer> inputs, files, dirs;   // scripted answers, used in order
};
extern DialogLog dialogs;

// Points the dialog seam at the script and clears the log. A dialog with no
// scripted answer left fails the running test and answers "cancel".
void script_dialogs();

// Builds the window once per test binary (never shown) and resets the record
// to its start-up state: defaults, preset field texts, A = 440, all offsets 0.
void fresh_window();

// A temporary folder, removed with everything in it by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  std::string path;                         // without trailing '/'
  std::string file(const std::string &name) const;  // path + "/" + name
};

// Writes text to a file, replacing it. Paths are UTF-8, as the program's.
void write_file(const std::string &path, const std::string &text);
// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string &path);

// The lines of a text file as this system writes them: each "\n" becomes
// CR LF on Windows and stays LF elsewhere.
std::string text_lines(const std::string &lf_text);

// A temperament file as the writer writes it, lines as text_lines gives them:
// the _General element holding `general`, then the notes 0 to 132 equal-tempered
// from A = 440 Hz to 15 digits; `change` gives some notes another PitchHz text,
// or "-" to leave the note out.
std::string temperament_file(const std::string &general,
                             const std::map<int, std::string> &change = {});

// Runs body in a forked child and answers the child's exit status (100 plus
// the signal number when a signal ended it, 99 when fork failed). With
// max_bytes >= 0 the child's files may grow to max_bytes at most (SIGXFSZ
// ignored, so a write past it fails); 98 when the limit cannot be set.
int in_child(const std::function<int()> &body, long max_bytes = -1);
// In a forked child of root: drops to the user nobody; false when it cannot.
bool become_nobody();
enum { CHILD_SKIPPED = 77 };  // exit status of a child that could not drop privileges
// Why in_child answered CHILD_SKIPPED; on Windows, which cannot fork, every
// child answers it without running.
const char *child_skip_reason();

#endif
