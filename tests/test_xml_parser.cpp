// test_xml_parser.cpp - the XML reader alone, linked with recording handlers: "B" read began,
// "T name [n=v |]" or "T name null" start tag and list, "D name|text" data, "E text" message.
// Handlers refuse texts starting "stop". A file that cannot be opened: the Load tests.
#include <gtest/gtest.h>
#include "Temper_reader.h"
#include "temperament.h"
#include "xml_parser.h"
#include <unistd.h>
#include <cstdio>
#include <cstring>

typedef std::vector<std::string> Ev;
static Ev events;
static int go_on(const char *s) {
  return strncmp(s, "stop", 4) != 0;
}

void xml_begin(void) {
  events.push_back("B");
}
int xml_token(const char *tokname, char **attr) {
  std::string e = std::string("T ") + tokname + (attr ? " [" : " null");
  for (int k = 0; attr && k < 20; k += 2) {  // ended by an empty name within ten entries
    if (!attr[k][0]) {
      e += "|]";
      break;
    }
    e += std::string(attr[k]) + "=" + attr[k + 1] + " ";
  }
  events.push_back(e);
  return go_on(tokname);
}
int xml_data(const char *tokname, const char *data) {
  events.push_back(std::string("D ") + tokname + "|" + data);
  return go_on(data);
}

static std::string rep(size_t n, char c) {
  return std::string(n, c);
}

struct Reader : ::testing::Test {  // reads bytes from a file of its own, '%' in its name
  std::string path =
      ::testing::TempDir() + "vostrel-xml-" + std::to_string(getpid()) + " 100%s%n.xml";
  void TearDown() override {
    unlink(path.c_str());
  }
  int read(const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    EXPECT_TRUE(f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && !fclose(f));
    events.clear();
    dialog_alert = [](const char *text) {
      events.push_back(std::string("E ") + text);
    };
    return parse_xml(path.c_str());
  }
};

TEST_F(Reader, InputsGiveExactCallsAndMessages) {
  const std::string n119 = rep(119, 'n'), m118 = rep(118, 'm');
  const std::string too_long = "E XML-Parser ERROR:\nTokenattribute of token t too long\n";
  std::string nine, list, open, close;
  for (int k = 0; k < 9; k++) {
    nine += " a" + std::to_string(k) + "=\"" + std::to_string(k) + "\"";
    list += "a" + std::to_string(k) + "=" + std::to_string(k) + " ";
  }
  Ev nested;  // 20 names of 118 characters fill the name stack
  for (int d = 0; d < 20; d++) {
    open += "<" + rep(118, 'a' + d) + ">";
    close = "</" + rep(118, 'a' + d) + ">" + close;
    nested.push_back("T " + rep(118, 'a' + d) + " null");
  }
  Ev too_deep = nested;
  too_deep.push_back("E XML-Parser ERROR: too deeply nested tokens");
  const struct {
    std::string in;
    int result;
    Ev ev;
  } cases[] = {
      // Tags and attributes.
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Hauptwerk File Format=\"T\"><a "
       "x=\"<b>=&amp;\n'\"></a></Hauptwerk>",
       1,
       {"T ?xml [version=1.0 encoding=UTF-8 |]", "T Hauptwerk [FileFormat=T |]",
        "T a [x=<b>=&amp;\n' |]"}},
      {"<a x='1'></a><b x=1></b><c x=></c><d x=\t\n></d><e x=1 y=\"2\"></e>",
       1,
       {"T a [x= |]", "T b [x= |]", "T c [x= |]", "T d [x= |]", "T e [x=2 |]"}},
      {"<a b></a><c ></c><d\tx=\"1\" junk></d><e></e x=\"1\">",
       1,
       {"T a null", "T c null", "T d [x=1 |]", "T e null"}},
      {"<><\n></\n></><a\xA0"
       "b></a\xA0"
       "b><note/>",
       0,
       {"T  null", "T  null",
        "T a\xA0"
        "b null",
        "T note/ null", "E Missing correct end of xml-file"}},
      // Data: pieces of 1023 trimmed in front only, named after the tag before it.
      {"\xEF\xBB\xBF<r>\n  <Name>  Bach \n</Name>\n  <e></e>\t\n</r>\ndropped",
       1,
       {"D |\xEF\xBB\xBF", "T r null", "T Name null", "D Name|Bach \n", "T e null"}},
      {"<?xml v=\"1\"?>decl<L>first<note>mid</note>last</L>tail<s></s>no end<a b=\"1\" c",
       1,
       {"T ?xml [v=1 |]", "D ?xml|decl", "T L null", "D L|first", "T note null", "D note|mid",
        "D L|last", "D /L|tail", "T s null", "D /s|no end"}},
      {"<r><aaaa></aaaa><b><c>t</c>u</b></r>",
       1,
       {"T r null", "T aaaa null", "T b null", "T c null", "D c|t", "D b|u"}},
      {"<r>" + rep(3, ' ') + rep(1020, 'a') + rep(1023, ' ') + "  z</r>",
       1,
       {"T r null", "D r|" + rep(1020, 'a'), "D r|z"}},
      // Handler refusals end the read without a message.
      {"<r><stop></stop></r>", 0, {"T r null", "T stop null"}},
      {"<r>ok<a>stop" + rep(1020, 'q') + "</a></r>",
       0,
       {"T r null", "D r|ok", "T a null", "D a|stop" + rep(1019, 'q')}},
      // Messages; an end tag must match the open element whole.
      {"no tags > here", 0, {"E File " + path + "\n is not a xml-file!"}},
      {"<r><ab<c>", 0, {"T r null", "E XML-Parser ERROR:\nab\nfound '<' within tokenname"}},
      {"<note></notes>",
       0,
       {"T note null", "E XML-Parser ERROR: token /notes does not match note"}},
      {"<a></a></a>", 0, {"T a null", "E XML-Parser ERROR: token /a does not match "}},
      // End of file: with an element open it fails, pending data dropped (with none open: above).
      {"<r>text", 0, {"T r null", "E Missing correct end of xml-file"}},
      {"<r><a b=\"v", 0, {"T r null", "E Missing correct end of xml-file"}},
      // Nesting: 20 levels, the 21st refused before its handler call.
      {open + close, 1, nested},
      {open + "<deep>" + close, 0, too_deep},
      // Limits: names of 119, tokbuf positions up to 1021, nine attribute pairs.
      {"<" + n119 + "n>", 0, {"E XML-Parser ERROR:\nTokenname " + n119 + " too long"}},
      {"<" + n119 + "></" + n119 + ">",
       0,
       {"T " + n119 + " null", "E XML-Parser ERROR:\nTokenname /" + rep(118, 'n') + " too long"}},
      {"<" + n119 + "></" + m118 + ">",
       0,
       {"T " + n119 + " null", "E XML-Parser ERROR: token /" + m118 + " does not match " + n119}},
      {"<t " + rep(1022, 'a') + "></t>", 1, {"T t null"}},
      {"<t " + rep(1023, 'a') + "></t>", 0, {too_long + rep(1022, 'a')}},
      {"<t x=\"" + rep(1020, 'v') + "\"></t>", 1, {"T t [x=" + rep(1020, 'v') + " |]"}},
      {"<t x=\"" + rep(1021, 'v') + "\"></t>", 0, {too_long + rep(1020, 'v')}},
      {"<t" + nine + " a9></t>", 1, {"T t [" + list + "|]"}},
      {"<t" + nine + " a9=\"9\"></t>", 0, {too_long + "a9"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.in.substr(0, 60));
    EXPECT_EQ(read(c.in), c.result);
    Ev want = c.ev;
    want.insert(want.begin(), "B");
    EXPECT_EQ(events, want);
  }
}
