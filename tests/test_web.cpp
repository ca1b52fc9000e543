// test_web.cpp - the browser page's binding, driven by the case file tests/web/binding.ini: the
// calls one after another as the page makes them, each followed by what its answer must hold and
// what it leaves in the page's folders. Runs natively and, compiled to WebAssembly, under Node.
#include <gtest/gtest.h>

#include "support.h"
#include "vostrel_web.h"

#include <fstream>

// The page's table in small: a comment, an entry, then a line the parser refuses.
extern "C" const char COLLECTION_TABLE[] =
    "# comment\n"
    "7\tWerk3\tWerckmeister III\twell\tfifths -1/4P*3 0*2 -1/4P 0*6\tw\t-\t-\t-\t-\tE=390.225\n"
    "9\tBad\tBroken\twell\tfifths 1/4X\tw\t-\t-\t-\t-\t-\n";

using Args = std::vector<std::string>;

// Argument k of a call as a text ("null": none) or a number.
#define T(k) (a.at(k) == "null" ? nullptr : a.at(k).c_str())
#define N(k) std::stoi(a.at(k))
#define CALL(f, ...)                         \
  {                                          \
#f, []([[maybe_unused]] const Args &a) { \
      return f(__VA_ARGS__);                 \
    }                                        \
  }

// Each call of the binding by its name, its arguments as the case file gives them.
static const std::map<std::string, const char *(*)(const Args &)> CALLS = {
    CALL(web_start, T(0), T(1), T(2), T(3)),
    CALL(web_reset, T(0), T(1), T(2)),
    CALL(web_tuning, N(0), T(1)),
    CALL(web_restore, T(0)),
    CALL(web_text, T(0), T(1)),
    CALL(web_generate, N(0), T(1), T(2), T(3), T(4), T(5), T(6), T(7), T(8)),
    CALL(web_write, T(0), N(1)),
    CALL(web_write_scl, T(0), N(1), N(2)),
    CALL(web_load, T(0)),
    CALL(web_scale, T(0), T(1), N(2)),
    CALL(web_collection, ),
    CALL(web_entry, N(0)),
    CALL(web_zip, T(0)),
    CALL(web_report, ),
    CALL(web_compare_equal, ),
    CALL(web_compare_entry, N(0)),
    CALL(web_compare_file, T(0), N(1)),
    CALL(web_fifths, T(0)),
    CALL(web_apply_fifths, T(0)),
};

// The text with each \xHH made the byte it stands for.
static std::string unescape(std::string s) {
  for (size_t at = 0; (at = s.find("\\x", at)) != std::string::npos; at++)
    s.replace(at, 4, 1, (char)std::stoi(s.substr(at + 2, 2), nullptr, 16));
  return s;
}

static Args split(const std::string &s) {
  Args parts;
  for (size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 3) {
    bar = s.find(" | ", at);
    parts.push_back(unescape(s.substr(at, bar - at)));
  }
  return parts;
}

TEST(Web, CallsAnswerAsTheCaseFileSays) {
  TempDir tmp;
  std::ifstream cases(VOSTREL_WEB_CASES);
  ASSERT_TRUE(cases) << VOSTREL_WEB_CASES;
  std::string answer, line;
  for (int n = 1; std::getline(cases, line); n++) {
    size_t eq = line.find(" = ");
    if (eq == std::string::npos || line[0] == ';')
      continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 3);
    for (size_t at; (at = value.find("{tmp}")) != std::string::npos;)
      value.replace(at, 5, tmp.path);
    Args args = split(value);
    SCOPED_TRACE("binding.ini:" + std::to_string(n));
    if (key == "call")
      answer = CALLS.at(args[0])(Args(args.begin() + 1, args.end()));
    else if (key == "has")
      EXPECT_NE(answer.find(value), std::string::npos) << answer;
    else if (key == "write")
      write_file(tmp.file(args[0]), args[1]);
    else if (key == "copy")
      write_file(tmp.file(args[1]), read_file(tmp.file(args[0])));
    else if (key == "size")
      EXPECT_EQ(read_file(tmp.file(args[0])).size(), std::stoul(args[1])) << args[0];
    else if (key == "holds")
      EXPECT_NE(read_file(tmp.file(args[0])).find(args[1]), std::string::npos) << args[0];
    else
      ADD_FAILURE() << "unknown key " << key;
  }
}
