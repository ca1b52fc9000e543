// run_case.cpp - runs one case of tests/cases: a script of actions on Vostrel's modules, each
// followed by what it must give. A case file holds lines "verb=argument" (arguments split at
// '|'), comments (#), headings ([...]) and the expected output: lines "> word text". The runner
// performs each verb, writes the line and the output it gives, and compares this transcript with
// the file; with a third argument it also writes the transcript into the file.
//   run_case CASE DATA [--update]
// In arguments and output $T is the case's temporary folder (the working folder), $D the folder
// DATA of the input files, ~/ the user's home folder; $L<n> in an argument is a folder name
// making "$T/name/" n bytes long. Texts are escaped: \n \\ \xNN.
//
// Files: cd=DIR  write=FILE|TEXT  derive=FILE|NEW|FIND|REPLACE (NEW: FILE with the first FIND
// replaced)  mkdir=DIR  link=TARGET|NAME  chmod=FILE|OCTAL  read=FILE ("file", CR LF read as LF
// on Windows)  same=FILE|GOLDEN ("same" or "differs": FILE against GOLDEN, whose LF is CR LF on
// Windows)  limit=BYTES (files written from now on are cut at that size; none for no limit).
// Readers: load=FILE (Load File's reading and checks: "got 0|1", "record", "tuning") scl=FILE
// kbm=FILE (the Scala readers: "got", then "scale" or "mapping") settings= (Vostrel.ini read).
// The window, built by start= (after the settings are read), its dialogs answered in order by
// answer=TEXT and cancel=: type=LABEL|TEXT (typed into the input of that label, then the focus
// moves on), press=LABEL, show= (every input and output from the top, and the record).
// The temperaments folder: roots=[FIRST|SECOND] (the drive roots, this system's without
// arguments), search=ROOT|NAME|DEPTH, folder= (the folder, then Tempdirstr).
// Every alert shows as "alert TEXT", every other dialog as "asks" with its texts.
// only=posix|windows|all: the lines up to the next only= on that system alone (copied as they
// stand elsewhere).
#include "main_gui.h"
#include "scala.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>

#include <cmath>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#ifndef _WIN32
#include "vostrel_web.h"

#include <pwd.h>
#include <random>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern "C" const char COLLECTION_TABLE[] = "";
#endif

using namespace std;
namespace fs = std::filesystem;
using Args = vector<string>;

#ifdef _WIN32
static const string SYSTEM = "windows", LINE_END = "\r\n";
#else
static const string SYSTEM = "posix", LINE_END = "\n";
#endif

static string tmp, out;                       // $T, the transcript so far
static vector<pair<string, string>> aliases;  // texts shown by their names: $L<n>, $T, $D, ~/
static deque<const char *> answers;           // scripted dialog answers, null for Cancel
static Fl_Window *window;

// ---- Texts ----------------------------------------------------------------------------------

static string replace(string s, const string &from, const string &to) {
  for (size_t at = 0; !from.empty() && (at = s.find(from, at)) != s.npos; at += to.size())
    s.replace(at, from.size(), to);
  return s;
}

// An argument as the program gets it.
static string expand(const string &arg) {
  string s;
  for (size_t k = 0; k < arg.size(); k++) {
    char c = arg[k] == '\\' ? arg[++k] : 0;
    s += c == 'n' ? '\n' : c == 'x' ? stoi(arg.substr(k + 1, 2), 0, 16) : arg[k];
    k += c == 'x' ? 2 : 0;
  }
  for (auto &alias : aliases)
    s = replace(s, alias.second, alias.first);
  size_t at = s.find("$L"), digits = 0;
  if (at != s.npos) {
    string rel(stoul(s.substr(at + 2), &digits) - tmp.size() - 2, 'p');
    for (size_t i = 100; i < rel.size(); i += 101)
      rel[i] = '/';
    aliases.insert(aliases.begin(), {rel, s.substr(at, 2 + digits)});
    s.replace(at, 2 + digits, rel);
  }
  return s;
}

// One line of output: the word, then the texts joined by '|'.
static void say(const char *word, const Args &texts) {
  string text;
  for (const string &t : texts)
    text += (&t == &texts[0] ? "" : "|") + t;
  for (auto &alias : aliases)
    text = replace(text, alias.first, alias.second);
  out += string("> ") + word + " ";
  for (unsigned char c : text) {
    char hex[8];
    snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c == '\n' ? "\\n" : c == '\\' ? "\\\\" : c < ' ' || c > '~' ? hex : string(1, c);
  }
  out += "\n";
}

static string num(double x) {
  char text[64];
  snprintf(text, sizeof text, "%.6f", round(x * 1e6) / 1e6 + 0.0);
  return text;
}

static string read_file(const string &path) {
  stringstream s;
  s << ifstream(fs::u8path(path), ios::binary).rdbuf();
  return s.str();
}

static void say_record(void) {
  say("record", {to_string(Temp_ID), Temp_Name, Temp_ShortName, to_string(Temp_Supplier_ID),
                 Temp_Supplier_Name, Temp_Comment, Temp_Version});
}

// The next scripted answer, the dialog's texts shown.
static const char *next_answer(const Args &request) {
  say("asks", request);
  if (answers.empty())
    answers.push_back(nullptr), say("unscripted", {});
  const char *a = answers.front();
  answers.pop_front();
  return a;
}

static Fl_Widget *widget(const string &label) {
  for (int k = 0; k < window->children(); k++)
    if (label == window->child(k)->label())
      return window->child(k);
  fprintf(stderr, "no widget labelled %s\n", label.c_str());
  exit(2);
}

static void act(const string &verb, const Args &a);

#ifndef _WIN32
// The window (built by start=), the converter and the page's binding on 300 generated
// temperaments (seeded): the seven texts (any bytes, any length), A-Pitch and the offsets typed
// into the window, given to the converter as options and a .scl, and to the binding as the page
// calls it. The host files must be the same byte for byte, and so must the binding's conversion
// of the .scl. The numbers are multiples of 1/64, exact in single precision and in a .scl's six
// decimals, so that every front end starts from the same values. The count of files that differ.
static int differential(const string &converter) {
  string transcript = out, output = tmp + "/convert.xml", input = tmp + "/upload/s.scl";
  Args labels = {"Temperament ID", "Temperament Name", "Short Name", "Supplier ID",
                 "Supplier Name",  "Comment",          "Version",    "A-Pitch"};
  labels.insert(labels.end(), Tonname, Tonname + 12);
  web_start(tmp.c_str(), nullptr, nullptr, nullptr);
  int failed = 0;
  for (int seed = 0; seed < 300; seed++) {
    mt19937 random(seed);
    Args v(20);  // what is typed into the fields from the top, the offsets from A up
    for (int k = 0; k < 7; k++)
      for (size_t n = random() % 200; v[k].size() < n;)
        v[k] += char(1 + random() % 255);
    v[0] = to_string((int)random());
    v[7] = to_string(380 + random() % 6400 / 64.0);
    for (int i = 9; i < 20; i++)
      v[i] = to_string(random() % 6401 / 64.0 - 50);
    v[8] = "0";
    int tonic = random() % 12;
    string scl = "!\nscale\n12\n";
    for (int k = 1; k <= 12; k++)
      scl += to_string(100 * k + stod(v[8 + (tonic + k) % 12]) - stod(v[8 + tonic])) + "\n";
    ofstream(input) << scl;
    for (int k = 0; k < 20; k++)
      act("type", {labels[k], v[k]});
    act("answer", {tmp + "/window.xml"});
    act("press", {"Generate File"});
    const char *args[] = {converter.c_str(),
                          "--id",
                          v[0].c_str(),
                          "--name",
                          v[1].c_str(),
                          "--short-name",
                          v[2].c_str(),
                          "--supplier-id",
                          v[3].c_str(),
                          "--supplier-name",
                          v[4].c_str(),
                          "--comment",
                          v[5].c_str(),
                          "--temperament-version",
                          v[6].c_str(),
                          "--a-pitch",
                          v[7].c_str(),
                          "--tonic",
                          Tonname[tonic],
                          "-o",
                          output.c_str(),
                          input.c_str(),
                          nullptr};
    if (fork() == 0)
      _exit(freopen("/dev/null", "w", stderr) && execv(args[0], (char **)args));
    wait(nullptr);
    Args files = {read_file(tmp + "/window.xml"), read_file(output)};
    // The binding: typed, then the .scl (each download replaces the one before).
    for (int i = -1; i < 12; i++)
      web_tuning(i, v[8 + i].c_str());
    for (int scale = 0; scale < 2; scale++) {
      if (scale)
        web_scale("s.scl", "", tonic);
      web_generate(0, "", args[2], args[4], args[6], args[8], args[10], args[12], args[14]);
      web_write("b.xml", 0);
      files.push_back(read_file(tmp + "/download/b.xml"));
    }
    for (const string &file : files)
      failed += file != files[0] || file.size() < 15000;
    fs::remove(tmp + "/window.xml");
    fs::remove(output);
  }
  out = transcript;
  return failed;
}
#endif

// ---- Verbs ----------------------------------------------------------------------------------

static void act(const string &verb, const Args &a) {
  if (verb == "write") {
    fs::create_directories(fs::absolute(a[0]).parent_path());
    ofstream(a[0], ios::binary) << a[1];
  } else if (verb == "derive") {
    string text = read_file(a[0]);
    ofstream(a[1], ios::binary) << text.replace(text.find(a[2]), a[2].size(), a[3]);
  } else if (verb == "cd") {
    fs::current_path(a[0]);
  } else if (verb == "mkdir") {
    fs::create_directories(a[0]);
  } else if (verb == "link") {
    fs::create_symlink(a[0], a[1]);
  } else if (verb == "chmod") {
    chmod(a[0].c_str(), stoi(a[1], 0, 8));
  } else if (verb == "read") {
    bool there = fs::exists(fs::u8path(a[0]));
    say("file", {there ? replace(read_file(a[0]), LINE_END, "\n") : "(missing)"});
  } else if (verb == "same") {
    say(read_file(a[0]) == replace(read_file(a[1]), "\n", LINE_END) ? "same" : "differs", {a[1]});
  } else if (verb == "limit") {
#ifndef _WIN32
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = a[0] == "none" ? limit.rlim_max : stol(a[0]);
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
#endif
  } else if (verb == "load") {
    say("got", {to_string(load_temperament(a[0].c_str()))});
    say_record();
    Args tuning = {num(APitch)};
    for (double d : DCent)
      tuning.push_back(num(d));
    say("tuning", tuning);
  } else if (verb == "scl") {
    say("got", {to_string(read_scl(a[0].c_str()))});
    Args scale = {Scale_Description};
    for (double c : Scale_Cents)
      scale.push_back(num(c));
    say("scale", scale);
  } else if (verb == "kbm") {
    say("got", {to_string(read_kbm(a[0].c_str()))});
    say("mapping", {to_string(Kbm_Middle), to_string(Kbm_Reference), num(Kbm_Frequency)});
  } else if (verb == "settings") {
    load_defaults();
    say("settings", {Tempdirstr, to_string(Temp_Supplier_ID), Temp_Supplier_Name,
                     to_string(Temp_ID), num(APitch)});
  } else if (verb == "start") {
    load_defaults();
    window = build_window();
  } else if (verb == "answer" || verb == "cancel") {
    static deque<string> texts;  // the answers' texts, kept for the whole run
    texts.push_back(a[0]);
    answers.push_back(verb == "answer" ? texts.back().c_str() : nullptr);
  } else if (verb == "type") {
    Fl_Input *box = (Fl_Input *)widget(a[0]);
    box->value(a[1].c_str());
    box->set_changed();
    box->handle(FL_UNFOCUS);
  } else if (verb == "press") {
    widget(a[0])->do_callback();
  } else if (verb == "show") {
    Args shown;
    for (int k = 0; k < window->children(); k++)
      if (Fl_Input *box = dynamic_cast<Fl_Input *>(window->child(k)))
        shown.push_back(box->value());
    say("shows", shown);
    say_record();
  } else if (verb == "roots") {
    if (a.size() < 2)
      init_drive_roots();
    else
      snprintf(Drive_Root1, sizeof Drive_Root1, "%s", a[0].c_str()),
          snprintf(Drive_Root2, sizeof Drive_Root2, "%s", a[1].c_str());
    say("roots", {Drive_Root1, Drive_Root2});
  } else if (verb == "search") {
    const char *found = search_for_dir(a[0].c_str(), a[1].c_str(), stoi(a[2]));
    say("got", {found ? found : "(none)"});
  } else if (verb == "folder") {
    say("got", {get_temperdir(), Tempdirstr});
#ifndef _WIN32
  } else if (verb == "differential") {
    say("differences", {to_string(differential(a[0]))});
#endif
  } else if (verb != "only") {
    say("unknown", {verb});
  }
}

int main(int argc, char **argv) {
  string expected = read_file(argv[1]), line;
  tmp = (fs::temp_directory_path() / ("vostrel-case-" + to_string(getpid()))).generic_u8string();
  aliases = {{tmp, "$T"}, {argv[2], "$D"}, {getenv("VOSTREL_CONVERTER") ?: "", "$C"}};
#ifndef _WIN32
  aliases.push_back({getpwuid(getuid())->pw_dir + string("/"), "~/"});
#endif
  fs::create_directory(tmp);
  fs::current_path(tmp);
  snprintf(Drive_Root1, sizeof Drive_Root1, "%s/", tmp.c_str());
  strcpy(Drive_Root2, Drive_Root1);
  dialog_alert = [](const char *text) {
    say("alert", {text});
  };
  dialog_input = [](const char *prompt, const char *preset) {
    return next_answer({prompt, preset});
  };
  dialog_file = [](const char *title, const char *pattern, const char *start, int) {
    return next_answer({title, pattern, start});
  };
  dialog_dir = [](const char *prompt, const char *start, int) {
    return next_answer({prompt, start});
  };
  bool skipping = false;
  for (istringstream in(expected); getline(in, line);) {
    size_t eq = line.find('=');
    skipping &= line.rfind("only=", 0) != 0;
    if (!skipping && line.rfind("> ", 0) == 0)
      continue;
    out += line + "\n";
    if (skipping || eq == line.npos || line[0] == '#' || line[0] == '[')
      continue;
    Args args;
    for (string rest = line.substr(eq + 1) + "|"; !rest.empty(); rest.erase(0, rest.find('|') + 1))
      args.push_back(expand(rest.substr(0, rest.find('|'))));
    skipping = line.rfind("only=", 0) == 0 && args[0] != "all" && args[0] != SYSTEM;
    act(line.substr(0, eq), args);
  }
  if (!answers.empty())
    say("unused answers", {to_string(answers.size())});
  fs::current_path(argv[2]);
  fs::remove_all(tmp);
  if (argc > 3)
    ofstream(argv[1], ios::binary) << out;
  if (out == expected)
    return 0;
  fputs(out.c_str(), stdout);
  return 1;
}
