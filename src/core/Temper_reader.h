// Temper_reader.h - the handlers that give temperament files their meaning:
// they check the file type and fill the temperament record and Pitch.
#ifndef VOSTREL_TEMPER_READER_H
#define VOSTREL_TEMPER_READER_H

// Reads the temperament file at path into the record and Pitch, starting
// from a clean slate: 1 when every note 0..132 got a positive, finite pitch,
// otherwise 0 after exactly one message.
int read_temperament(const char *path);

// Called once at the start of every read: no note number is pending.
void xml_begin(void);
// A start tag with its attribute list (name, value, ..., ended by an empty
// name), or null when the tag had no '='. 1 to go on, 0 after a message.
int xml_token(const char *tokname, char **attr);
// A run of character data, leading whitespace removed, never empty.
int xml_data(const char *tokname, const char *data);

#endif
