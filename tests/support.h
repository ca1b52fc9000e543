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

using Texts = std::vector<std::string>;
// One scripted dialog answer: a text, or cancelled(), the null of a cancelled dialog.
using Answer = std::optional<std::string>;
inline Answer answer(const std::string &text) {
  return text;
}
inline Answer cancelled() {
  return std::nullopt;
}

// What the scripted dialogs saw, every call in order.
struct DialogLog {
  Texts alerts;  // alert texts, exactly as shown
  // "prompt|preset" (input), "title|pattern|start|relative" (file chooser), "prompt|start|relative"
  Texts requests;                          // (folder chooser)
  std::deque<Answer> inputs, files, dirs;  // scripted answers, used in order
};
extern DialogLog dialogs;

// Points the message seam at the log and clears it.
void script_alerts();
// Points the window's whole dialog seam at the script and clears the log. A dialog with no
// answer left fails the running test and is cancelled.
void script_dialogs();

// Builds the window once per test binary (never shown) and resets the record to its start-up
// state: defaults, preset field texts, A = 440, all offsets 0.
void fresh_window();

// A temporary folder, removed with everything in it by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  std::string path;                                 // without trailing '/'
  std::string file(const std::string &name) const;  // path + "/" + name
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

// Runs body in a forked child and answers its exit status (100 + the signal that ended it, 99
// when fork failed). With max_bytes >= 0 the child's files may grow to max_bytes at most
// (SIGXFSZ ignored, so a write past it fails); 98 when the limit cannot be set.
int in_child(const std::function<int()> &body, long max_bytes = -1);
// In a forked child of root: drops to the user nobody; false when it cannot.
bool become_nobody();
enum { CHILD_SKIPPED = 77 };  // exit status of a child that could not drop privileges
// Why in_child answered CHILD_SKIPPED; on Windows, which cannot fork, every child does.
const char *child_skip_reason();

#endif
