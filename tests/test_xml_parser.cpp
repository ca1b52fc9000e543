// test_xml_parser.cpp - the XML reader on its own, against hand-written
// byte inputs. This binary links the reader with the recording handlers
// below instead of the temperament handlers, so each test sees every call
// in order:
//   "B"                       a read began (xml_begin)
//   "T name [n=v n=v |]"      a start tag and its attribute list, "|" being
//                             the empty name that ends it; "T name null"
//                             when the reader handed over no list
//   "D name|text"             a run of character data
//   "E text"                  a message shown through xml_error
#include <gtest/gtest.h>

#include "Temper_reader.h"
#include "main_gui.h"
#include "xml_parser.h"

#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

static std::vector<std::string> events;
static const char *refuse_token;  // xml_token returns 0 for this name
static const char *refuse_data;   // xml_data returns 0 for this text

void xml_begin(void) { events.push_back("B"); }

int xml_token(const char *tokname, char **attr) {
  std::string e = std::string("T ") + tokname;
  if (!attr) {
    e += " null";
  } else {
    e += " [";
    // The list must end with an empty name within its 20 entries, and the
    // entries must follow one another through the attribute buffer.
    for (int k = 0;; k += 2) {
      if (k >= 20) { e += "!no end"; break; }
      if (!attr[k]) { e += "!null"; break; }
      if (k > 0 && attr[k] != attr[k - 1] + strlen(attr[k - 1]) + 1) e += "!gap";
      if (!attr[k][0]) { e += "|"; break; }
      if (!attr[k + 1]) { e += "!null value"; break; }
      if (attr[k + 1] != attr[k] + strlen(attr[k]) + 1) e += "!gap";
      e += std::string(attr[k]) + "=" + attr[k + 1] + " ";
    }
    e += "]";
  }
  events.push_back(e);
  return !(refuse_token && strcmp(refuse_token, tokname) == 0);
}

int xml_data(const char *tokname, const char *data) {
  events.push_back(std::string("D ") + tokname + "|" + data);
  return !(refuse_data && strcmp(refuse_data, data) == 0);
}

void xml_error(const char *text) { events.push_back(std::string("E ") + text); }

static int open_fds() {
  int n = 0;
  DIR *d = opendir("/proc/self/fd");
  if (!d) return -1;
  while (readdir(d)) n++;
  closedir(d);
  return n;
}

class Reader : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vostrel-xml-XXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    dir = tmpl;
    path = dir + "/in.xml";
    refuse_token = nullptr;
    refuse_data = nullptr;
  }
  void TearDown() override {
    unlink(path.c_str());
    rmdir(dir.c_str());
  }
  // Reads bytes as a file; the events are left in `events`. Every path
  // through the reader must close the file it opened.
  int read(const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (!f) return -1;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    events.clear();
    int before = open_fds();
    int result = parse_xml(path.c_str());
    EXPECT_EQ(open_fds(), before) << "file left open";
    return result;
  }
  typedef std::vector<std::string> Ev;
  std::string dir, path;
};

static std::string rep(size_t n, char c) { return std::string(n, c); }

TEST_F(Reader, TagsAndAttributes) {
  // The declaration: its pairs, the '?' of "?>" dropped, never opened.
  EXPECT_EQ(read("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r></r>"), 1);
  EXPECT_EQ(events, (Ev{"B", "T ?xml [version=1.0 encoding=UTF-8 |]", "T r null"}));

  // Blanks inside a name vanish; values keep every byte but '"'.
  EXPECT_EQ(read("<Hauptwerk File Format=\"Temperament\" FileFormatVersion=\"3.00\">"
                 "<a x=\"<b>=&amp;\n'\"></a></Hauptwerk>"),
            1);
  EXPECT_EQ(events, (Ev{"B", "T Hauptwerk [FileFormat=Temperament FileFormatVersion=3.00 |]",
                        "T a [x=<b>=&amp;\n' |]"}));

  // Single-quoted and unquoted values read as empty; a tag ending while
  // waiting for a value hands that value over empty.
  read("<a x='1'></a><b x=1></b><c x=></c><d x=\t\n></d>");
  EXPECT_EQ(events, (Ev{"B", "T a [x= |]", "T b [x= |]", "T c [x= |]", "T d [x= |]"}));
  // Bytes after '=' are skipped up to the next '"', which opens the value.
  read("<a x=1 y=\"2\"></a>");
  EXPECT_EQ(events, (Ev{"B", "T a [x=2 |]"}));

  // No '=' gives no list; a trailing bare name or '/' is dropped.
  read("<a b></a><c ></c><d\tx=\"1\" junk></d><e x=\"1\"/>");
  EXPECT_EQ(events, (Ev{"B", "T a null", "T c null", "T d [x=1 |]", "T e [x=1 |]",
                        "E Missing correct end of xml-file"}));

  // Empty names, a self-closing tag and a high byte in a name.
  EXPECT_EQ(read("<><\n></\n></><note/>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T  null", "T  null", "T note/ null",
                        "E Missing correct end of xml-file"}));
  EXPECT_EQ(read("<a\xA0" "b></a\xA0" "b>"), 1);
  EXPECT_EQ(events, (Ev{"B", "T a\xA0" "b null"}));

  // Attributes of an end tag are read and ignored.
  EXPECT_EQ(read("<a></a x=\"1\">"), 1);
  EXPECT_EQ(events, (Ev{"B", "T a null"}));
}

TEST_F(Reader, DataDeliveryAndNames) {
  // Before the first tag the name is empty; leading whitespace goes,
  // trailing whitespace stays; whitespace between elements never arrives.
  EXPECT_EQ(read("\xEF\xBB\xBF<r>\n  <Name>  Bach \n</Name>\n  <e></e>\t\n</r>\n"), 1);
  EXPECT_EQ(events, (Ev{"B", "D |\xEF\xBB\xBF", "T r null", "T Name null", "D Name|Bach \n",
                        "T e null"}));

  // After an end tag the data goes with the parent; after the outermost
  // end tag with that tag's own name; after the declaration with "?xml".
  read("<?xml v=\"1\"?>decl<ObjectList>first<note>mid</note>last</ObjectList>tail<s></s>");
  EXPECT_EQ(events, (Ev{"B", "T ?xml [v=1 |]", "D ?xml|decl", "T ObjectList null",
                        "D ObjectList|first", "T note null", "D note|mid", "D ObjectList|last",
                        "D /ObjectList|tail", "T s null"}));

  // Data with no '<' after it is dropped, open element or not.
  EXPECT_EQ(read("<r></r>dropped"), 1);
  EXPECT_EQ(events, (Ev{"B", "T r null"}));

  // 1500 characters arrive as 1023 + 477 with the same name.
  read("<r>" + rep(1500, 'x') + "</r>");
  EXPECT_EQ(events, (Ev{"B", "T r null", "D r|" + rep(1023, 'x'), "D r|" + rep(477, 'x')}));

  // Pieces are cut at 1023 bytes and trimmed one by one: a piece of only
  // whitespace is not delivered.
  read("<r>" + rep(3, ' ') + rep(1020, 'a') + rep(1023, ' ') + "  z</r>");
  EXPECT_EQ(events, (Ev{"B", "T r null", "D r|" + rep(1020, 'a'), "D r|z"}));
}

TEST_F(Reader, NestingAndMismatch) {
  std::string open, close;
  for (int d = 0; d < 20; d++) {
    open += "<e" + std::to_string(d) + ">";
    close = "</e" + std::to_string(d) + ">" + close;
  }
  EXPECT_EQ(read(open + close), 1);
  EXPECT_EQ(events.size(), 21u);

  // A 21st level is refused before its handler call.
  EXPECT_EQ(read(open + "<deep>" + close), 0);
  ASSERT_EQ(events.size(), 22u);
  EXPECT_EQ(events[20], "T e19 null");
  EXPECT_EQ(events[21], "E XML-Parser ERROR: too deeply nested tokens");

  // Twenty open names of 118 characters all fit and close by name.
  open.clear();
  close.clear();
  for (int d = 0; d < 20; d++) {
    std::string name = rep(117, 'a' + d) + (char)('a' + d);
    open += "<" + name + ">";
    close = "</" + name + ">" + close;
  }
  EXPECT_EQ(read(open + close), 1);
  EXPECT_EQ(events.size(), 21u);

  // Names at a depth that was left and entered again are overwritten.
  EXPECT_EQ(read("<r><aaaa></aaaa><b><c>t</c>u</b></r>"), 1);
  EXPECT_EQ(events, (Ev{"B", "T r null", "T aaaa null", "T b null", "T c null", "D c|t",
                        "D b|u"}));

  EXPECT_EQ(read("<note></PitchHz>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T note null", "E XML-Parser ERROR: token /PitchHz does not match note"}));
  // An end tag with nothing open: the second name is empty.
  EXPECT_EQ(read("</a>"), 0);
  EXPECT_EQ(events, (Ev{"B", "E XML-Parser ERROR: token /a does not match "}));
  EXPECT_EQ(read("<a></a></a>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T a null", "E XML-Parser ERROR: token /a does not match "}));
  // Case matters.
  EXPECT_EQ(read("<Note></note>"), 0);
  EXPECT_EQ(events.back(), "E XML-Parser ERROR: token /note does not match Note");
}

TEST_F(Reader, MessagesAndHandlerResults) {
  std::string missing = dir + "/no such %s %d %n file.xml";
  events.clear();
  EXPECT_EQ(parse_xml(missing.c_str()), 0);
  EXPECT_EQ(events, (Ev{"E Can't open file\n" + missing + "\nfor reading!"}));  // no "B"
  events.clear();
  // A long path is shown whole.
  std::string deep = dir + "/" + rep(3000, 'p');
  EXPECT_EQ(parse_xml(deep.c_str()), 0);
  EXPECT_EQ(events, (Ev{"E Can't open file\n" + deep + "\nfor reading!"}));

  EXPECT_EQ(read(""), 0);
  EXPECT_EQ(events, (Ev{"B", "E File " + path + "\n is not a xml-file!"}));
  EXPECT_EQ(read("no tags > here"), 0);
  EXPECT_EQ(events, (Ev{"B", "E File " + path + "\n is not a xml-file!"}));

  EXPECT_EQ(read("<r><ab<c>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T r null", "E XML-Parser ERROR:\nab\nfound '<' within tokenname"}));
  EXPECT_EQ(read("<r><a x=\"1\"></r>"), 0);
  EXPECT_EQ(events.back(), "E XML-Parser ERROR: token /r does not match a");

  // A handler's 0 ends the read without a message of the reader's own.
  refuse_token = "stop";
  EXPECT_EQ(read("<r><stop></stop></r>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T r null", "T stop null"}));
  refuse_token = nullptr;
  refuse_data = "bad";
  EXPECT_EQ(read("<r>ok<a>  bad</a></r>"), 0);
  EXPECT_EQ(events, (Ev{"B", "T r null", "D r|ok", "T a null", "D a|bad"}));
  // ... also for a full 1023-byte piece delivered before the tag.
  std::string piece = rep(1023, 'q');
  refuse_data = piece.c_str();
  EXPECT_EQ(read("<r>" + rep(1024, 'q') + "</r>"), 0);
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(Reader, LimitsOfNamesAndAttributeText) {
  std::string n119 = rep(119, 'n');
  EXPECT_EQ(read("<" + n119 + ">"), 0);
  EXPECT_EQ(events, (Ev{"B", "T " + n119 + " null", "E Missing correct end of xml-file"}));
  EXPECT_EQ(read("<" + n119 + "n>"), 0);
  EXPECT_EQ(events, (Ev{"B", "E XML-Parser ERROR:\nTokenname " + n119 + " too long"}));
  // Its end tag has 120 characters with the '/'.
  EXPECT_EQ(read("<" + n119 + "></" + n119 + ">"), 0);
  EXPECT_EQ(events.back(), "E XML-Parser ERROR:\nTokenname /" + rep(118, 'n') + " too long");
  // Two names of 119 characters in one message, not cut.
  std::string m118 = rep(118, 'm');
  read("<" + n119 + "></" + m118 + ">");
  EXPECT_EQ(events.back(), "E XML-Parser ERROR: token /" + m118 + " does not match " + n119);

  const std::string too_long = "E XML-Parser ERROR:\nTokenattribute of token t too long\n";
  // Names and values may take tokbuf positions 0 to 1021.
  EXPECT_EQ(read("<t " + rep(1022, 'a') + "></t>"), 1);
  EXPECT_EQ(events, (Ev{"B", "T t null"}));
  EXPECT_EQ(read("<t " + rep(1023, 'a') + "></t>"), 0);
  EXPECT_EQ(events, (Ev{"B", too_long + rep(1022, 'a')}));
  // "x", its zero byte, then 1020 value characters reach position 1021.
  read("<t x=\"" + rep(1020, 'v') + "\"></t>");
  EXPECT_EQ(events, (Ev{"B", "T t [x=" + rep(1020, 'v') + " |]"}));
  EXPECT_EQ(read("<t x=\"" + rep(1021, 'v') + "\"></t>"), 0);
  EXPECT_EQ(events, (Ev{"B", too_long + rep(1020, 'v')}));
  // An '=' needs room for the value's zero byte and the ending name.
  read("<t " + rep(1021, 'a') + "=\"\"></t><u " + rep(1021, 'a') + "=></u>");
  EXPECT_EQ(events, (Ev{"B", "T t [" + rep(1021, 'a') + "= |]", "T u [" + rep(1021, 'a') + "= |]"}));
  EXPECT_EQ(read("<t " + rep(1022, 'a') + "=\"\"></t>"), 0);
  EXPECT_EQ(events, (Ev{"B", too_long + rep(1022, 'a')}));

  // Nine pairs fit the 20-entry list; a tenth is refused at its '='.
  std::string nine, list;
  for (int k = 0; k < 9; k++) {
    nine += " a" + std::to_string(k) + "=\"" + std::to_string(k) + "\"";
    list += "a" + std::to_string(k) + "=" + std::to_string(k) + " ";
  }
  EXPECT_EQ(read("<t" + nine + " a9></t>"), 1);
  EXPECT_EQ(events, (Ev{"B", "T t [" + list + "|]"}));
  EXPECT_EQ(read("<t" + nine + " a9=\"9\"></t>"), 0);
  EXPECT_EQ(events, (Ev{"B", too_long + "a9"}));
  EXPECT_EQ(read("<t" + nine + " a9=></t>"), 0);
  EXPECT_EQ(events.back(), too_long + "a9");
}

TEST_F(Reader, EndOfFileInEachState) {
  // With nothing open, a file may end anywhere after its first '<'.
  for (const char *in : {"<abc", "<a b", "<a b=", "<a b=\"open value", "<a b=\"1\" c", "<r></r>text"}) {
    EXPECT_EQ(read(in), 1) << in;
    EXPECT_LE(events.size(), 2u) << in;  // "B" and at most a closed r
  }
  // With an element open it fails in every state, dropping pending data.
  for (const char *in : {"<r>", "<r>text", "<r><a", "<r><a b", "<r><a b=", "<r><a b=\"v"}) {
    EXPECT_EQ(read(in), 0) << in;
    EXPECT_EQ(events.back(), "E Missing correct end of xml-file") << in;
    for (const std::string &e : events) EXPECT_NE(e[0], 'D') << in;
  }
}
