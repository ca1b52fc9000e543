// collection.h - the historical temperaments: one line of the collection
// table (data/temperaments/collection.tsv) parsed into its fields, turned
// into cents above C and checked against what its sources print.
#ifndef VOSTREL_COLLECTION_H
#define VOSTREL_COLLECTION_H

#include "fifths.h"
#include "temperament.h"

#include <cstddef>

enum { TABLE_LINE_SIZE = 2048 };  // a line of the table, its end included
enum { CHECK_SIZE = 1024 };       // the checks of a line

// ---- The entry last parsed ----------------------------------------------------
extern long Entry_ID;  // temperament ID
// Text fields as written in the table; "-" where the table gives none.
extern char Entry_Short[TEXT_FIELD_SIZE];         // short name (the host's ShortName)
extern char Entry_Name[TEXT_FIELD_SIZE];          // full name (the host's Name, the files' name)
extern char Entry_Group[TEXT_FIELD_SIZE];         // one of COLLECTION_GROUPS
extern char Entry_Construction[TEXT_FIELD_SIZE];  // the construction as written
extern char Entry_Text[TEXT_FIELD_SIZE];          // the construction in words
extern char Entry_Author[TEXT_FIELD_SIZE];        // author
extern char Entry_Year[TEXT_FIELD_SIZE];          // year of the source
extern char Entry_Source[TEXT_FIELD_SIZE];        // where it was published
extern char Entry_Reading[TEXT_FIELD_SIZE];       // the reading followed where sources disagree
extern char Entry_Check[CHECK_SIZE];              // what the sources print, to check against
extern double Entry_Tempering[FIFTH_COUNT];       // each fifth from C around the circle: cents
                                                  // from pure (NAN for the wolf; all NAN when
                                                  // the construction gives the notes)

// The groups in the README's order: the table's key and the heading.
enum { COLLECTION_GROUP_COUNT = 4 };
extern const char *const COLLECTION_GROUPS[COLLECTION_GROUP_COUNT][2];

// Parses one table line (eleven tab-separated fields, see the table's
// header), puts its cents above C into Scale_Cents and checks them against
// the values and features its last field gives. 1 on success, 0 after one
// message; -1 for a blank or comment line.
int parse_entry(const char *line);

// The entry's file name without its ending: the full name with each of
// / \ : * ? " < > | made a '-', safe on Windows and Linux.
void entry_file_stem(char *stem);  // stem holds TEXT_FIELD_SIZE characters

// Author, year, publication and the reading followed, as far as known
// ("" when nothing is), into text of size n.
void entry_source(char *text, size_t n);

// The entry explained: the construction in words, then its source, into
// text of size n. What does not fit is left out from the end (the reading,
// then the publication, then the year and author), then the words are cut.
void entry_about(char *text, size_t n);

#endif
