// temperament_file.h - the host's temperament file: the writer, the name
// Generate File proposes, and the load sequence that reads one back.
#ifndef VOSTREL_TEMPERAMENT_FILE_H
#define VOSTREL_TEMPERAMENT_FILE_H

#include "temperament.h"

#include <cstdio>

// The suffix of every temperament file's name.
extern const char TEMPERAMENT_SUFFIX[];
// The alert when an output file exists already.
extern const char EXISTING_FILE_ALERT[];

// Opens filename as a new file for writing; null after the alert when a
// file of that name exists or it cannot be created. Never touches a file.
FILE *open_new_output(const char *filename);
// Closes a file from open_new_output; 1 when all of it was written,
// otherwise it removes the file and alerts.
int close_new_output(FILE *f, const char *filename);
// The name of the file at path without its folders.
const char *path_base(const char *path);
// What goes between folder dir and a name in it: nothing when dir ends in a
// separator, otherwise "/", or on Windows a backslash when dir holds one, so
// that a path in a message never mixes the two.
const char *path_separator(const char *dir);
// Builds folder + separator + short name + '.' + "Temperament.Hauptwerk.xml"
// into buf of size n, adding the separator and the dot only where missing.
void propose_file_name(char *buf, size_t n, const char *dir, const char *shortname);
// Writes the record and all 133 pitches as a temperament file to f.
void write_temperament(FILE *f);
// Writes the temperament file to filename, which must not exist yet.
// 1 on success; otherwise it has shown its alert.
int write_temperament_file(const char *filename);
// Resets the descriptive fields, reads the temperament file at path into the
// record and recovers APitch and DCent, with Load File's messages; 1 on
// success, otherwise 0 after them.
int load_temperament(const char *path);

#endif
