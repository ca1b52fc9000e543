// collection.h - the historical temperaments: one line of the collection
// table (data/temperaments/collection.tsv) parsed into its fields and
// turned into cents above C, ready for the .scl and host file writers.
#ifndef VOSTREL_COLLECTION_H
#define VOSTREL_COLLECTION_H

#include "temperament.h"

// ---- The entry last parsed ----------------------------------------------------
extern char Entry_Short[TEXT_FIELD_SIZE];         // short name, also the files' name
extern char Entry_Name[TEXT_FIELD_SIZE];          // temperament name
extern char Entry_Construction[TEXT_FIELD_SIZE];  // the construction as written
extern char Entry_Text[TEXT_FIELD_SIZE];          // the construction in words
extern double Entry_Tempering[12];  // each fifth from C around the circle: cents
                                    // from pure (NAN for the wolf and for ratios)

// Syntonic comma 81/80 and schisma (Pythagorean minus syntonic), cents.
extern const double SYNTONIC_COMMA, SCHISMA;

// Parses one table line (tab-separated: short name, name, construction, the
// construction in words) and puts its cents above C into Scale_Cents.
// 1 on success, 0 after one message; -1 for a blank or comment line.
int parse_entry(const char *line);

#endif
