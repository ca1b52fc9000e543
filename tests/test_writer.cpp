// test_writer.cpp - Generate File: the proposed name, the file byte for byte, refusals, failures.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include "xml_parser.h"

#include <FL/Fl_Input.H>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

static const char EXISTS[] =
    "Cant write over existing file (for security reasons)\n"
    "Please delete file before generating it or use another name.";

// The file from the format table: ID, name, short name, supplier ID and name, comment, version.
static std::string expected_file(const Texts &g) {
  const char *tags[] = {"UniqueTemperamentID", "Name",     "ShortName",         "SupplierID",
                        "SupplierName",        "Comments", "TemperamentVersion"};
  std::string general;
  for (int i = 0; i < 7; i++)
    general += std::string("\t\t<") + tags[i] + ">" + g[i] + "</" + tags[i] + ">\n";
  return temperament_file(general);
}

struct Writer : WindowTest {
  void generate(const Answer &confirm) {
    dialogs.inputs.push_back(confirm);
    generate_file();
  }
};

TEST_F(Writer, WholeFileByteForByte) {
  const std::string name = tmp.file("Equal.Temperament.Hauptwerk.xml");
  generate(name);
  EXPECT_EQ(dialogs.requests, Texts{"Filename to generate|" + name});
  EXPECT_EQ(read_file(name), expected_file(START_TEXTS));
  // Supplier IDs in six digits; the five text fields escaped (& < >, quotes not).
  Temp_Supplier_ID = -5;
  for (char *f : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
    strcpy(f, "<a & \"b\" 'c'>");
  const std::string file = tmp.file("J\xc3\xbcrgen.xml");  // a UTF-8 name
  ASSERT_EQ(write_temperament_file(file.c_str()), 1);
  const std::string esc = "&lt;a &amp; \"b\" 'c'&gt;";
  EXPECT_EQ(read_file(file), expected_file({"999900", esc, esc, "-00005", esc, esc, esc}));
  EXPECT_EQ(parse_xml(file.c_str()), 1);  // and read by that name
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Writer, ProposedNameAndCancel) {
  // A separator and a dot only where missing; on Windows a folder named with backslashes gets a
  // backslash. Cancelling writes nothing, but the commit took effect.
#ifdef _WIN32
  const std::string after_backslash = "";
  const std::string after_backslashes = "\\";
#else
  const std::string after_backslash = "/";
  const std::string after_backslashes = "/";
#endif
  const struct {
    std::string dir;
    const char *shortname;
    std::string proposal;
  } cases[] = {{tmp.path, "Eq.", tmp.path + "/Eq.Temperament.Hauptwerk.xml"},
               {"/x/dir/", "", "/x/dir/.Temperament.Hauptwerk.xml"},
               {"C:\\T", "Eq", "C:\\T" + after_backslashes + "Eq.Temperament.Hauptwerk.xml"},
               {"C:\\T\\", "Eq", "C:\\T\\" + after_backslash + "Eq.Temperament.Hauptwerk.xml"}};
  Box_Name->value("Kirnberger III");
  for (const auto &c : cases) {
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s", c.dir.c_str());
    Box_ShortName->value(c.shortname);
    generate(std::nullopt);
    EXPECT_EQ(dialogs.requests.back(), "Filename to generate|" + c.proposal);
  }
  EXPECT_STREQ(Temp_Name, "Kirnberger III");
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
}

TEST_F(Writer, NeverReplacesAndReportsFailures) {
  const std::string old = tmp.file("old.xml");
  const std::string missing = tmp.file("no/such/x.xml");
  write_file(old, "keep me");
  EXPECT_EQ(write_temperament_file(old.c_str()), 0);
  EXPECT_EQ(write_temperament_file(missing.c_str()), 0);
  EXPECT_EQ(dialogs.alerts, (Texts{EXISTS, "Cant create file\n" + missing}));
  EXPECT_EQ(read_file(old), "keep me");
}

TEST_F(Writer, CutWriteAndUnreadableFileAsNobody) {
  const std::string old = tmp.file("old.xml");
  const std::string cut = tmp.file("cut.xml");
  write_file(old, "keep me");
  chmod(old.c_str(), 0);
  chmod(tmp.path.c_str(), 0777);
  // A write failing part-way leaves no file behind; an unreadable file is refused when the
  // exclusive create fails.
  int rc = as_nobody(
      [&] {
        return access(old.c_str(), R_OK) != 0 && write_temperament_file(cut.c_str()) == 0 &&
               dialogs.alerts.back() == "Cant write file\n" + cut &&
               write_temperament_file(old.c_str()) == 0 && dialogs.alerts.back() == EXISTS;
      },
      1000);
  if (rc == CHILD_SKIPPED)
    GTEST_SKIP() << "needs fork and the user nobody";
  EXPECT_EQ(rc, 0);
  EXPECT_NE(access(cut.c_str(), F_OK), 0);
  EXPECT_EQ(read_file(old), "keep me");
}

TEST_F(Writer, ImpossiblePitchesAreRefusedBeforeAnything) {
  // Typed as a user would: each gives non-finite or non-positive pitches.
  const struct {
    const char *text, *alert_tail;
  } cases[] = {{"nan", "Notenr 0, Pitch=nan"},
               {"0", "Notenr 0, Pitch=0.000000"},
               {"1e39", "Notenr 0, Pitch=inf"}};  // infinite in single precision
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    SetUp();
    Box_Name->value("typed but never committed");
    type_into(Box_APitch, c.text);
    generate(tmp.file("x.xml"));
    EXPECT_EQ(dialogs.alerts,
              Texts{std::string("Cant generate a file with impossible pitches:\n") + c.alert_tail +
                    "\nPlease correct A-Pitch or the cent offsets."});
    EXPECT_EQ(dialogs.requests, Texts{});  // no name asked, nothing committed
    EXPECT_STREQ(Temp_Name, "");
  }
  // The writer itself refuses the infinite pitches left by the last case.
  EXPECT_EQ(write_temperament_file(tmp.file("y.xml").c_str()), 0);
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
}
