// Temper_reader.cpp - the temperament file handlers. Elements are known by
// their name alone, wherever they stand; every other element is passed over.
#include "Temper_reader.h"

#include "temperament.h"
#include "xml_parser.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// The note number whose pitch has not come yet; -1 = none pending.
static int notenr = -1;
// given[n] is 1 once the file being read has given note n a pitch.
static unsigned char given[NOTE_COUNT];

void xml_begin(void) {
  notenr = -1;
}

// ---- Whole file -------------------------------------------------------------

// Checks that the file gave every note a pitch and that each is a positive,
// finite number; 1 when it did, otherwise 0 after one message.
static int check_notes(void) {
  for (int n = 0; n < NOTE_COUNT; n++) {
    if (!given[n]) {
      alertf("Missing note in this temperament:\nNotenr %d has no PitchHz", n);
      return 0;
    }
    if (!(Pitch[n] > 0 && std::isfinite(Pitch[n]))) {
      alertf("Impossible pitch in this temperament:\nNotenr %d, Pitch=%f", n, Pitch[n]);
      return 0;
    }
  }
  return 1;
}

int read_temperament(const char *path) {
  // Nothing of an earlier file or computation may fill a gap in this one.
  memset(given, 0, sizeof given);
  for (double &p : Pitch)
    p = 0.0;
  return parse_xml(path) && check_notes();
}

// ---- Start tags -------------------------------------------------------------

// A Hauptwerk element must not name any file format but "Temperament".
static int check_file_format(char **attr) {
  for (int k = 0; attr[k] && attr[k][0] && attr[k + 1]; k += 2) {
    if (strcmp(attr[k], "FileFormat") == 0 && strcmp(attr[k + 1], "Temperament") != 0) {
      xml_error("This is not a Hauptwerk Temperament file!");
      return 0;
    }
  }
  return 1;
}

int xml_token(const char *tokname, char **attr) {
  if (strcmp(tokname, "Hauptwerk") == 0 && attr && !check_file_format(attr))
    return 0;
  if (strcmp(tokname, "note") == 0)
    notenr = -1;
  return 1;
}

// ---- Character data -----------------------------------------------------------

// The five predefined entities and the characters they stand for.
static const struct {
  const char *entity;
  char c;
} ENTITIES[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};

// Copies text into a record field, decoding the predefined entities; any
// other '&' stays as it stands. At most 179 characters, always terminated.
static void copy_decoded(char *field, const char *text) {
  size_t n = 0;
  for (const char *p = text; *p && n < TEXT_FIELD_SIZE - 1;) {
    char c = *p;
    size_t step = 1;
    for (const auto &e : ENTITIES) {
      size_t len = strlen(e.entity);
      if (strncmp(p, e.entity, len) == 0) {
        c = e.c;
        step = len;
        break;
      }
    }
    field[n++] = c;
    p += step;
  }
  field[n] = '\0';
}

static int note_number(const char *data) {
  if (notenr != -1) {
    xml_error("Parser error with MIDINoteNumberOnEightFootStop");
    return 0;
  }
  notenr = to_int(data);
  if (notenr < 0 || notenr > NOTE_COUNT - 1) {
    xml_error("MIDINoteNumberOnEightFootStop out of range");
    return 0;
  }
  return 1;
}

static int pitch_hz(const char *data) {
  if (notenr < 0 || notenr > NOTE_COUNT - 1) {
    xml_error("Parser error with PitchHz");
    return 0;
  }
  Pitch[notenr] = strtod(data, nullptr);  // atof, the same on every system
  given[notenr] = 1;
  notenr = -1;
  return 1;
}

int xml_data(const char *tokname, const char *data) {
  if (strcmp(tokname, "MIDINoteNumberOnEightFootStop") == 0)
    return note_number(data);
  if (strcmp(tokname, "PitchHz") == 0)
    return pitch_hz(data);
  if (strcmp(tokname, "UniqueTemperamentID") == 0)
    Temp_ID = to_int(data);
  else if (strcmp(tokname, "Name") == 0)
    copy_decoded(Temp_Name, data);
  else if (strcmp(tokname, "ShortName") == 0)
    copy_decoded(Temp_ShortName, data);
  else if (strcmp(tokname, "SupplierID") == 0)
    Temp_Supplier_ID = to_int(data);
  else if (strcmp(tokname, "SupplierName") == 0)
    copy_decoded(Temp_Supplier_Name, data);
  else if (strcmp(tokname, "Comments") == 0)
    copy_decoded(Temp_Comment, data);
  else if (strcmp(tokname, "TemperamentVersion") == 0)
    copy_decoded(Temp_Version, data);
  return 1;
}
