// test_writer.cpp - Generate File: the proposed name, the file byte for byte, refusals, failures.
#include <gtest/gtest.h>

#include "main_gui.h"
#include "support.h"
#include "xml_parser.h"
#include <FL/Fl_Input.H>
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

struct Writer : ::testing::Test {
  TempDir tmp;
  void SetUp() override {  // all 133 pitches computed, as after any typing
    fresh_window(), compute_temperament(1), script_dialogs();
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s/", tmp.path.c_str());
  }
  void generate(const Answer &confirm) {
    dialogs.inputs.push_back(confirm), generate_file();
  }
};

TEST_F(Writer, WholeFileByteForByte) {
  const std::string name = tmp.file("Equal.Temperament.Hauptwerk.xml");
  generate(answer(name));
  EXPECT_EQ(dialogs.requests, Texts{"Filename to generate|" + name});
  EXPECT_EQ(read_file(name),
            expected_file({"999900", "Equal Temperament", "Equal", "999999", "", "", "1.00"}));
  // Supplier IDs in six digits; the five text fields empty or escaped (& < >, quotes not).
  struct Case {
    int id;
    const char *id_text, *text;
    std::string want;
  } cases[] = {{42, "000042", "", ""},
               {-5, "-00005", "<a & \"b\" 'c'>", "&lt;a &amp; \"b\" 'c'&gt;"}};
  for (const Case &c : cases) {
    Temp_Supplier_ID = c.id;
    for (char *f : {Temp_Name, Temp_ShortName, Temp_Supplier_Name, Temp_Comment, Temp_Version})
      snprintf(f, TEXT_FIELD_SIZE, "%s", c.text);
    std::string file = tmp.file("J\xc3\xbcrgen " + std::to_string(c.id) + ".xml");  // UTF-8
    ASSERT_EQ(write_temperament_file(file.c_str()), 1);
    EXPECT_EQ(read_file(file),
              expected_file({"999900", c.want, c.want, c.id_text, c.want, c.want, c.want}))
        << c.id;
  }
  EXPECT_EQ(parse_xml(tmp.file("J\xc3\xbcrgen 42.xml").c_str()), 1);  // and read by that name
  EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(Writer, ProposedNameAndCancel) {
  // A slash and a dot only where missing; cancelling writes nothing, but the commit took effect.
  struct Case {
    std::string dir;
    const char *shortname;
    std::string proposal;
  } cases[] = {{tmp.path, "Eq.", tmp.path + "/Eq.Temperament.Hauptwerk.xml"},
               {"/x/dir/", "", "/x/dir/.Temperament.Hauptwerk.xml"}};
  Box_Name->value("Kirnberger III");
  for (const Case &c : cases) {
    snprintf(Tempdirstr, sizeof Tempdirstr, "%s", c.dir.c_str());
    Box_ShortName->value(c.shortname);
    generate(cancelled());
    EXPECT_EQ(dialogs.requests.back(), "Filename to generate|" + c.proposal);
  }
  EXPECT_STREQ(Temp_Name, "Kirnberger III");
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
}

TEST_F(Writer, NeverReplacesAndReportsFailures) {
  const std::string old = tmp.file("old.xml"), ro = tmp.file("ro.xml"),
                    missing = tmp.file("no/such/x.xml");
  write_file(old, "keep me"), write_file(ro, "read-only");
  chmod(ro.c_str(), S_IRUSR);
  EXPECT_EQ(write_temperament_file(old.c_str()) + write_temperament_file(ro.c_str()) +
                write_temperament_file(missing.c_str()),
            0);
  EXPECT_EQ(dialogs.alerts, (Texts{EXISTS, EXISTS, "Cant create file\n" + missing}));
  EXPECT_EQ(read_file(old) + read_file(ro), "keep meread-only");
}

TEST_F(Writer, CutWriteAndUnreadableFileAsNobody) {
  const std::string old = tmp.file("old.xml"), cut = tmp.file("cut.xml");
  write_file(old, "keep me");
  chmod(old.c_str(), 0), chmod(tmp.path.c_str(), 0777);
  // A write failing part-way leaves no file behind; an unreadable file is refused when the
  // exclusive create fails.
  int rc = in_child(
      [&] {
        if (!become_nobody())
          return int(CHILD_SKIPPED);
        return int(access(old.c_str(), R_OK) == 0 || write_temperament_file(cut.c_str()) != 0 ||
                   dialogs.alerts.back() != "Cant write file\n" + cut ||
                   write_temperament_file(old.c_str()) != 0 || dialogs.alerts.back() != EXISTS);
      },
      1000);
  if (rc == CHILD_SKIPPED)
    GTEST_SKIP() << child_skip_reason();
  EXPECT_EQ(rc, 0);
  EXPECT_NE(access(cut.c_str(), F_OK), 0);
  EXPECT_EQ(read_file(old), "keep me");
}

TEST_F(Writer, ImpossiblePitchesAreRefusedBeforeAnything) {
  // Typed as a user would: each gives non-finite or non-positive pitches.
  struct Case {
    Fl_Input *box;
    const char *text;
    std::string alert_tail;
  } cases[] = {{Box_APitch, "nan", "Notenr 0, Pitch=nan"},
               {Box_APitch, "0", "Notenr 0, Pitch=0.000000"},
               {Box_APitch, "1e39", "Notenr 0, Pitch=inf"},  // infinite in single precision
               {Box_DCent[4], "inf", "Notenr 1, Pitch=inf"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    SetUp();
    Box_Name->value("typed but never committed");
    c.box->value(c.text), c.box->set_changed(), c.box->handle(FL_UNFOCUS);
    generate(answer(tmp.file("x.xml")));
    EXPECT_EQ(dialogs.alerts,
              Texts{std::string("Cant generate a file with impossible pitches:\n") + c.alert_tail +
                    "\nPlease correct A-Pitch or the cent offsets."});
    EXPECT_EQ(dialogs.requests, Texts{});  // no name asked, nothing committed
    EXPECT_STREQ(Temp_Name, "");
  }
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
  // The writer itself refuses too.
  Pitch[100] = -1.0;
  EXPECT_EQ(write_temperament_file(tmp.file("y.xml").c_str()), 0);
  EXPECT_NE(access(tmp.file("y.xml").c_str(), F_OK), 0);
}
