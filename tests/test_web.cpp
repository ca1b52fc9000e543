// test_web.cpp - the browser page's binding, driven by the case file tests/web/binding.ini: the
// calls one after another as the page makes them, each followed by what its answer must hold and
// what it leaves in the page's folders. Runs natively and, compiled to WebAssembly, under Node.
#include <gtest/gtest.h>

#include "support.h"
#include "vostrel_web.h"

#include <fstream>
#include <sys/stat.h>

// The page's table in small: a comment, an entry, then a line the parser refuses.
extern "C" const char COLLECTION_TABLE[] =
    "# comment\n"
    "7\tWerk3\tWerckmeister III\twell\tfifths -1/4P*3 0*2 -1/4P 0*6\tw\t-\t-\t-\t-\t-\n"
    "9\tBad\tBroken\twell\tfifths 1/4X\tw\t-\t-\t-\t-\t-\n";

using Args = std::vector<std::string>;

static const char *text(const Args &a, size_t k) {
  return a.at(k) == "null" ? nullptr : a.at(k).c_str();
}

static int number(const Args &a, size_t k) {
  return std::stoi(a.at(k));
}

// Each call of the binding by its name, its arguments as the case file gives them.
static const std::map<std::string, const char *(*)(const Args &)> CALLS = {
    {"web_start",
     [](const Args &a) {
       return web_start(text(a, 0), text(a, 1), text(a, 2), text(a, 3));
     }},
    {"web_reset",
     [](const Args &a) {
       return web_reset(text(a, 0), text(a, 1), text(a, 2));
     }},
    {"web_tuning",
     [](const Args &a) {
       return web_tuning(number(a, 0), text(a, 1));
     }},
    {"web_restore",
     [](const Args &a) {
       return web_restore(text(a, 0));
     }},
    {"web_text",
     [](const Args &a) {
       return web_text(text(a, 0), text(a, 1));
     }},
    {"web_generate",
     [](const Args &a) {
       return web_generate(number(a, 0), text(a, 1), text(a, 2), text(a, 3), text(a, 4), text(a, 5),
                           text(a, 6), text(a, 7), text(a, 8));
     }},
    {"web_write",
     [](const Args &a) {
       return web_write(text(a, 0), number(a, 1));
     }},
    {"web_write_scl",
     [](const Args &a) {
       return web_write_scl(text(a, 0), number(a, 1), number(a, 2));
     }},
    {"web_load",
     [](const Args &a) {
       return web_load(text(a, 0));
     }},
    {"web_scale",
     [](const Args &a) {
       return web_scale(text(a, 0), text(a, 1), number(a, 2));
     }},
    {"web_collection",
     [](const Args &) {
       return web_collection();
     }},
    {"web_entry",
     [](const Args &a) {
       return web_entry(number(a, 0));
     }},
    {"web_zip",
     [](const Args &a) {
       return web_zip(text(a, 0));
     }},
    {"web_report",
     [](const Args &) {
       return web_report();
     }},
};

// The text with \n, \r, \t, \\ and \xHH made the characters they stand for.
static std::string unescape(const std::string &s) {
  std::string out;
  for (size_t k = 0; k < s.size(); k++) {
    char c = s[k];
    if (c == '\\' && k + 1 < s.size()) {
      c = s[++k];
      if (strchr("nrt", c))
        c = "\n\r\t"[strchr("nrt", c) - "nrt"];
      else if (c == 'x')
        c = (char)std::stoi(s.substr(k + 1, 2), nullptr, 16), k += 2;
    }
    out += c;
  }
  return out;
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
    if (line.empty() || line[0] == ';' || eq == std::string::npos)
      continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 3);
    for (size_t at; (at = value.find("{tmp}")) != std::string::npos;)
      value.replace(at, 5, tmp.path);
    Args args = split(value);
    SCOPED_TRACE("binding.ini:" + std::to_string(n));
    struct stat st;
    if (key == "call")
      answer = CALLS.at(args[0])(Args(args.begin() + 1, args.end()));
    else if (key == "has")
      EXPECT_NE(answer.find(value), std::string::npos) << answer;
    else if (key == "write")
      write_file(tmp.file(args[0]), args[1]);
    else if (key == "copy")
      write_file(tmp.file(args[1]), read_file(tmp.file(args[0])));
    else if (key == "size")
      EXPECT_EQ(stat(tmp.file(args[0]).c_str(), &st) ? -1 : st.st_size, number(args, 1));
    else if (key == "holds")
      EXPECT_NE(read_file(tmp.file(args[0])).find(args[1]), std::string::npos) << args[0];
    else
      ADD_FAILURE() << "unknown key " << key;
  }
}
