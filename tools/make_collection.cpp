// make_collection.cpp - makes the collection of historical temperaments
// from its table: for every line a .scl file, and the host file converted
// from that .scl as vostrel-convert does it (C as tonic, A = 440 Hz), with
// the temperament IDs 999901 upward and the supplier ID 999999. With
// --readme it prints the collection as a Markdown table instead.
//
//   make_collection TABLE OUTDIR      (OUTDIR must exist; no file is replaced)
//   make_collection TABLE --readme
#include "collection.h"
#include "temperament_file.h"
#include "scala.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

enum { FIRST_ID = 999901 };   // the first line's temperament ID
enum { LINE_SIZE = 1024 };    // a table line

// Messages of the shared code: one line each on standard error.
static void print_alert(const char *text) { fprintf(stderr, "make_collection: %s\n", text); }

// Writes the entry's .scl (C as its tonic), reads it back and writes the host file from it.
static int make_files(const std::string &dir, int id) {
  scale_to_offsets(C_INDEX, 440.0);
  std::string scl = dir + "/" + Entry_Short + ".scl";
  if (!write_scl(scl.c_str(), C_INDEX, Entry_Name) || !read_scl(scl.c_str())) return 0;
  scale_to_offsets(C_INDEX, 440.0);
  std::string id_text = std::to_string(id);
  const char *text[7] = {id_text.c_str(), Entry_Name, Entry_Short, "999999",
                         "Vostrel collection", Entry_Text, "1.00"};
  commit_fields(text);
  compute_temperament(1);
  // Room for the whole proposal: a cut name would be another file.
  std::string name(dir.size() + strlen(Temp_ShortName) + sizeof ".Temperament.Hauptwerk.xml" + 1, '\0');
  propose_file_name(&name[0], name.size(), dir.c_str(), Temp_ShortName);
  return write_temperament_file(name.c_str());
}

// One row of the README's table: name, construction, offsets A to G#/Ab.
static void print_row(void) {
  scale_to_offsets(C_INDEX, 440.0);
  printf("| %s | %s |", Entry_Name, Entry_Text);
  for (int i = 0; i < 12; i++) {  // what rounds to zero as " 0", never "-0.000"
    if (fabs(DCent[i]) < 0.0005) printf(" 0");
    else printf(" %+.3f", DCent[i]);
  }
  printf(" |\n");
}

// Makes the files (or the README table) of every line of the table.
int main(int argc, char **argv) {
  dialog_alert = print_alert;
  if (argc != 3) {
    fprintf(stderr, "usage: make_collection TABLE OUTDIR|--readme\n");
    return 2;
  }
  int readme = strcmp(argv[2], "--readme") == 0;
  FILE *table = fopen(argv[1], "r");
  if (!table) return fprintf(stderr, "make_collection: cannot read %s\n", argv[1]), 1;
  if (readme)
    printf("| Name | Construction | Offsets A, A#/Bb, B, C, C#/Db, D, D#/Eb, E, F, F#/Gb, G, "
           "G#/Ab |\n|---|---|---|\n");
  char line[LINE_SIZE];
  int id = FIRST_ID, ok = 1;
  while (ok && fgets(line, sizeof line, table)) {
    int r = parse_entry(line);
    if (r < 0) continue;
    ok = r && (readme ? (print_row(), 1) : make_files(argv[2], id));
    id++;
  }
  fclose(table);
  return ok ? 0 : 1;
}
