// test_web.cpp - the browser page's binding: one call after another as the page makes them, each
// answer holding what the page shows. Runs natively and, compiled to WebAssembly, under Node.
#include <gtest/gtest.h>

#include "support.h"
#include "vostrel_web.h"

// The page's table in small: a comment, an entry, then a line the parser refuses.
extern "C" const char COLLECTION_TABLE[] =
    "# comment\n"
    "7\tWerk3\tWerckmeister III\twell\tfifths -1/4P*3 0*2 -1/4P 0*6\tw\t-\t-\t-\t-\tE=390.225\n"
    "9\tBad\tBroken\twell\tfifths 1/4X\tw\t-\t-\t-\t-\t-\n";

static const char *const WERK3[12] = {"0",     "7.820", "3.910", "11.730", "1.955", "3.910",
                                      "5.865", "1.955", "9.775", "0",      "7.820", "3.910"};

// Werckmeister III at 415 Hz typed, then Generate File's first half.
static const char *generate(const char *shortname) {
  web_tuning(-1, "415");
  for (int i = 0; i < 12; i++)
    web_tuning(i, WERK3[i]);
  return web_generate(0, "7", "Werckmeister III", shortname, "42", "Org", "", "1.00");
}

TEST(Web, EachCallAnswersWhatThePageShows) {
  TempDir tmp;
  // Remembered values as the settings file gives them.
  std::string start = web_start(tmp.path.c_str(), "99999999999x", " -42", "S");
  write_file(tmp.file("upload/x.kbm"), "0\n0\n127\n60\n69\n0\n12\n");
  write_file(tmp.file("upload/werck.scl"), "! w\nWerck\n12\n");
  write_file(tmp.file("upload/broken.xml"), "<Hauptwerk");
  struct Case {
    std::string answer;
    const char *part;
  } cases[] = {
      {start,
       "\"fields\":[\"2147483647\",\"Equal Temperament\",\"Equal\",\"-42\",\"S\",\"\",\"1.00\"]"},
      {web_tuning(-1, "0"), "\"apitch\":\"   0.0000000\""},
      {web_generate(0, "1", "T", "T", "1", "", "", ""),
       "\"ok\":false,\"messages\":[\"Cant generate a file with impossible pitches:"},
      // The proposal escaped for JSON; the short name cut with the window's message.
      {generate("W\"\\\t3x"),
       "\"proposal\":\"W\\\"\\\\\\u00093.Temperament.Hauptwerk.xml\",\"ok\":true,\"messages\":"
       "[\"Only first five characters of ShortName used!\"]"},
      {generate("Werk3"), "\"ok\":true,\"messages\":[]"},
      {web_write("no/such/folder.xml", 0),
       "\"ok\":false,\"messages\":[\"Cant create file\\u000ano/such/folder.xml\"]"},
      // Entry 0's host file where make_collection puts it, with CR LF.
      {web_write("../collection/Werckmeister III.Temperament.Hauptwerk.xml", 1),
       "\"remember\":[\"7\",\"42\",\"Org\"],\"ok\":true"},
      {web_report(), "[\"C\",\"G\",\"696.090\",\"-5.865\",\"-2.521\",\"-1/4\"]"},
      {web_collection(), "\"entries\":[\"Werckmeister III\"],\"ok\":false,\"messages\":[\"Bad:"},
      {web_entry(0),
       "\"fields\":[\"7\",\"Werckmeister III\",\"Werk3\",\"000042\",\"Org\",\"\",\"1.00\"],"
       "\"apitch\":\" 415.0000000\",\"cents\":[\"+0.0\",\"+7.8\""},
      {web_entry(1), "{\"ok\":false,\"messages\":[\"Bad:"},
      {web_load("broken.xml"),
       "{\"ok\":false,\"messages\":[\"Missing note in this temperament:\\u000aNotenr 0 has no "
       "PitchHz\",\"Loading broken.xml failed\"]}"},
      {web_scale("werck.scl", "x.kbm", 3),
       "{\"ok\":false,\"messages\":[\"x.kbm: line 6: the reference frequency"},
      {web_scale("werck.scl", "", 3),
       "{\"ok\":false,\"messages\":[\"werck.scl: the file ends before the first pitch\"]}"},
      {web_tuning(12, ""), "\"cents\":[\"+0.0\",\"+7.8\""},
  };
  for (const Case &c : cases)
    EXPECT_NE(c.answer.find(c.part), std::string::npos) << c.answer;
  std::string file = read_file(tmp.file("collection/Werckmeister III.Temperament.Hauptwerk.xml"));
  size_t lines = 0;
  for (size_t at = 0; (at = file.find("\r\n", at)) != file.npos; at++)
    lines++;
  EXPECT_EQ(lines, 549u);
}
