// make_collection.cpp - makes the collection of historical temperaments
// from its table: for every line a .scl file (C as its 1/1) and the host
// file (A = 440 Hz), both from the construction and named after the
// temperament's full name, with the table's temperament IDs, the default
// supplier ID and the entry explained in the host file's Comment and the
// .scl's description. Every line is checked as it is read (its values
// against its sources, its ID and short name unique); a line that fails
// stops the run. With --readme it prints the collection as Markdown
// tables instead, one for each group.
//
//   make_collection TABLE OUTDIR      (OUTDIR must exist; no file is replaced)
//   make_collection TABLE --readme
#include "collection.h"
#include "temperament_file.h"
#include "scala.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

// Messages of the shared code: one line each on standard error.
static void print_alert(const char *text) {
  fprintf(stderr, "make_collection: %s\n", text);
}

// Writes the entry's .scl (C as its tonic) and its host file.
static int make_files(const std::string &dir) {
  scale_to_offsets(C_INDEX, 440.0);
  char stem[TEXT_FIELD_SIZE], about[TABLE_LINE_SIZE], comment[TEXT_FIELD_SIZE];
  entry_file_stem(stem);
  entry_about(about, sizeof about);
  std::string scl = dir + "/" + stem + ".scl";
  if (!write_scl(scl.c_str(), C_INDEX, (Entry_Name + std::string(": ") + about).c_str()))
    return 0;
  entry_about(comment, sizeof comment);
  std::string id_text = std::to_string(Entry_ID);
  std::string supplier = std::to_string(DEFAULT_SUPPLIER_ID);
  const char *text[7] = {id_text.c_str(),      Entry_Name, Entry_Short, supplier.c_str(),
                         "Vostrel collection", comment,    "1.00"};
  commit_fields(text);
  compute_temperament(1);
  // Room for the whole proposal: a cut name would be another file.
  std::string name(dir.size() + strlen(stem) + sizeof ".Temperament.Hauptwerk.xml" + 1, '\0');
  propose_file_name(&name[0], name.size(), dir.c_str(), stem);
  return write_temperament_file(name.c_str());
}

// One row of the README's table: name, construction, source, offsets A to G#/Ab.
static void print_row(void) {
  scale_to_offsets(C_INDEX, 440.0);
  char source[TABLE_LINE_SIZE];
  entry_source(source, sizeof source);
  printf("| %s | %s | %s |", Entry_Name, Entry_Text, source[0] ? source : "-");
  for (int i = 0; i < 12; i++) {  // what rounds to zero as " 0", never "-0.000"
    if (fabs(DCent[i]) < 0.0005)
      printf(" 0");
    else
      printf(" %+.3f", DCent[i]);
  }
  printf(" |\n");
}

// Parses a line, refusing an ID or a short name an earlier line has; 1 for
// an entry, -1 for a comment, 0 after a message.
static int parse_unique(const char *line, std::set<std::string> &seen) {
  int r = parse_entry(line);
  if (r <= 0)
    return r;
  for (std::string key :
       {"ID " + std::to_string(Entry_ID), "short name " + std::string(Entry_Short)})
    if (!seen.insert(key).second) {
      fprintf(stderr, "make_collection: %s: the %s is an earlier line's\n", Entry_Name,
              key.c_str());
      return 0;
    }
  return 1;
}

// Makes the files of every line of the table, or with group the README rows of
// that group's lines; 0 after a message.
static int each_entry(const char *path, const char *outdir, const char *group) {
  FILE *table = fopen(path, "r");
  if (!table) {
    fprintf(stderr, "make_collection: cannot read %s\n", path);
    return 0;
  }
  char line[TABLE_LINE_SIZE];
  std::set<std::string> seen;
  int ok = 1;
  while (ok && fgets(line, sizeof line, table)) {
    int r = strchr(line, '\n') || feof(table) ? parse_unique(line, seen) : 0;
    if (!r && !strchr(line, '\n') && !feof(table))
      fprintf(stderr, "make_collection: a line longer than %d characters\n", TABLE_LINE_SIZE - 2);
    if (!r)
      ok = 0;
    else if (r > 0 && !group)
      ok = make_files(outdir);
    else if (r > 0 && strcmp(group, Entry_Group) == 0)
      print_row();
  }
  fclose(table);
  return ok;
}

int main(int argc, char **argv) {
  dialog_alert = print_alert;
  if (argc != 3) {
    fprintf(stderr, "usage: make_collection TABLE OUTDIR|--readme\n");
    return 2;
  }
  if (strcmp(argv[2], "--readme") != 0)
    return each_entry(argv[1], argv[2], nullptr) ? 0 : 1;
  for (int g = 0; g < COLLECTION_GROUP_COUNT; g++) {
    printf("%s#### %s\n\n", g ? "\n" : "", COLLECTION_GROUPS[g][1]);
    printf(
        "| Name | Construction | Source | Offsets A, A#/Bb, B, C, C#/Db, D, D#/Eb, E, F, "
        "F#/Gb, G, G#/Ab |\n|---|---|---|---|\n");
    if (!each_entry(argv[1], nullptr, COLLECTION_GROUPS[g][0]))
      return 1;
  }
  return 0;
}
