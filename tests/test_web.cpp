// test_web.cpp - the browser page's binding: what its answers hold, the files it writes in its
// folders, and the messages it collects. Runs natively and, compiled to WebAssembly, under Node.
#include <gtest/gtest.h>

#include "support.h"
#include "vostrel_web.h"

// The page's table in small: a comment, two entries, then a line the parser refuses.
extern "C" const char COLLECTION_TABLE[] =
    "# comment\n"
    "7\tWerk3\tWerckmeister III\twell\tfifths -1/4P*3 0*2 -1/4P 0*6\tw\t-\t-\t-\t-\t-\n"
    "8\tEqual\tEqual temperament\tmodern\tfifths -1/12P*12\tw\t-\t-\t-\t-\t-\n"
    "9\tBad\tBroken\twell\tfifths 1/4X\tw\t-\t-\t-\t-\t-\n";

static const char *const WERK3[12] = {"0",     "7.820", "3.910", "11.730", "1.955", "3.910",
                                      "5.865", "1.955", "9.775", "0",      "7.820", "3.910"};

struct Web : ::testing::Test {
  TempDir tmp;
  void SetUp() override {
    web_start(tmp.path.c_str(), nullptr, nullptr, nullptr);
  }
  // Werckmeister III at 415 Hz typed, then committed with the short name given.
  std::string generate(const char *shortname) {
    web_tuning(-1, "415");
    for (int i = 0; i < 12; i++)
      web_tuning(i, WERK3[i]);
    return web_generate(0, "7", "Werckmeister III", shortname, "42", "Org", "", "1.00");
  }
};

static bool has(const std::string &answer, const std::string &part) {
  return answer.find(part) != std::string::npos;
}

TEST_F(Web, RememberedValuesAsTheSettingsFileGivesThem) {
  std::string r =
      web_start(tmp.path.c_str(), "99999999999x", " -42", std::string(200, 's').c_str());
  EXPECT_TRUE(has(r, "\"fields\":[\"2147483647\",\"Equal Temperament\",\"Equal\",\"-42\",\"" +
                         std::string(179, 's') + "\",\"\",\"1.00\"]"))
      << r;
  EXPECT_TRUE(has(r, "\"apitch\":\" 440.0000000\"")) << r;
}

TEST_F(Web, GenerateWritesTheFileWithThePlatformsLineEnds) {
  // The proposal escaped for JSON; the short name cut with the window's message.
  std::string r = generate("W\"\\\t3x");
  EXPECT_TRUE(has(r, "\"proposal\":\"W\\\"\\\\\\u00093.Temperament.Hauptwerk.xml\"")) << r;
  EXPECT_TRUE(has(r, "\"messages\":[\"Only first five characters of ShortName used!\"]")) << r;
  for (int crlf : {0, 1}) {
    r = web_write("Werk3.xml", crlf);
    EXPECT_TRUE(has(r, "\"remember\":[\"7\",\"42\",\"Org\"],\"ok\":true")) << r;
    std::string file = read_file(tmp.file("download/Werk3.xml"));
    size_t lf = 0, crlfs = 0;
    for (size_t at = 0; (at = file.find('\n', at)) != file.npos; at++) {
      lf++;
      crlfs += at > 0 && file[at - 1] == '\r';
    }
    EXPECT_EQ(lf, 549u);
    EXPECT_EQ(crlfs, crlf ? 549u : 0u);
  }
  // A name the file system refuses: the window's message.
  r = web_write("no/such/folder.xml", 0);
  EXPECT_TRUE(has(r, "\"ok\":false,\"messages\":[\"Cant create file\\u000ano/such/folder.xml\"]"))
      << r;
}

TEST_F(Web, ImpossiblePitchesAreRefusedBeforeTheCommit) {
  web_tuning(-1, "0");
  std::string r = web_generate(0, "1", "Typed", "Typed", "1", "", "", "");
  EXPECT_TRUE(has(r, "\"ok\":false,\"messages\":[\"Cant generate a file with impossible pitches:"))
      << r;
  EXPECT_FALSE(has(r, "proposal")) << r;
}

TEST_F(Web, CollectionEntriesLoadTheirHostFiles) {
  std::string r = web_collection();
  EXPECT_TRUE(has(r, "\"entries\":[\"Werckmeister III\",\"Equal temperament\"],\"ok\":false")) << r;
  EXPECT_TRUE(has(r, "Bad: \\\"1/4X\\\" is not a tempering")) << r;
  // Entry 0's host file where make_collection puts it; entry 1 has none, 2 is the bad line.
  generate("Werk3");
  web_write("../collection/Werckmeister III.Temperament.Hauptwerk.xml", 0);
  r = web_entry(0);
  EXPECT_TRUE(has(r, "\"fields\":[\"7\",\"Werckmeister III\",\"Werk3\",\"000042\",\"Org\"")) << r;
  EXPECT_TRUE(has(r, "\"apitch\":\" 415.0000000\",\"cents\":[\"+0.0\",\"+7.8\"")) << r;
  EXPECT_TRUE(
      has(web_entry(1), "[\"Can't open file\\u000aEqual temperament.Temperament.Hauptwerk.xml"));
  EXPECT_TRUE(has(web_entry(2), "\"ok\":false,\"messages\":[\"Bad: \\\"1/4X\\\""));
}

TEST_F(Web, ScalesCarryTheirFilesNameInMessages) {
  write_file(tmp.file("upload/x.kbm"), "0\n0\n127\n60\n69\n0\n12\n");
  write_file(tmp.file("upload/werck.scl"), "! w\nWerck\n12\n");
  std::string before = web_tuning(0, "3");
  struct Case {
    const char *kbm, *message;
  } cases[] = {
      {"x.kbm",
       "x.kbm: line 6: the reference frequency \\\"0\\\" is not a pitch from 0 to 1e+06 Hz"},
      {"", "werck.scl: the file ends before the first pitch"}};
  for (const Case &c : cases) {
    std::string r = web_scale("werck.scl", c.kbm, 3);
    EXPECT_TRUE(has(r, std::string("\"ok\":false,\"messages\":[\"") + c.message + "\"]")) << r;
  }
  EXPECT_EQ(web_tuning(0, "3"), before);
}

TEST_F(Web, ReportNamesTheFifthsInPythagoreanCommas) {
  // Offsets typed to three decimals still give their fractions.
  struct Case {
    bool werck3;
    const char *fifths;
  } cases[] = {{false, "\"-1/12\"]"}, {true, "\"-1/4\"]"}};
  for (const Case &c : cases) {
    if (c.werck3)
      generate("W");
    std::string r = web_report();
    EXPECT_TRUE(has(r, std::string("[\"C\",\"G\",") + (c.werck3 ? "\"696.090\",\"-5.865\"," : "")))
        << r;
    size_t count = 0;
    for (size_t at = 0; (at = r.find(c.fifths, at)) != r.npos; at++)
      count++;
    EXPECT_EQ(count, c.werck3 ? 4u : 12u) << r;
  }
}
