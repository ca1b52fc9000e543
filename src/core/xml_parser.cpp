// xml_parser.cpp - the minimal XML reader: one pass, one getc per byte,
// five states, fixed module buffers and no allocation. Start tags and
// character data go to xml_token and xml_data; the first error ends the read.
#include "xml_parser.h"

#include "Temper_reader.h"
#include "temperament.h"
#include "utf8_file.h"

#include <cstdio>
#include <cstring>

// ---- Reader state -------------------------------------------------------------
enum state_typ { PREXML = 0, INTERTOKEN = 1, TOKENNAME = 2, TOKENATTRNAME = 3, TOKENATTR = 4 };

enum { NAME_SIZE = 120 };    // a tag name: 119 characters + NUL
enum { DATA_SIZE = 1024 };   // character data: pieces of 1023 characters
enum { ATTR_SIZE = 1024 };   // attribute names and values of one tag
enum { ATTR_ENTRIES = 20 };  // nine name/value pairs and the ending name
enum { MAX_DEPTH = 20 };     // open elements, depths 0 to 19
enum { LAST_STORE = 1021 };  // last position of tokbuf a character may take
// A full path, two names or a tag's attribute text, with the words around.
enum { ERR_SIZE = 4096 + 2 * NAME_SIZE + ATTR_SIZE + 128 };

static char buffer[DATA_SIZE];                   // character data since the last tag
static int buffil;                               // characters held in buffer
static char tokname[NAME_SIZE];                  // tag being read / name for data
static char tokbuf[ATTR_SIZE];                   // attribute names and values, each NUL-ended
static char *tokattr[ATTR_ENTRIES];              // the attribute list: pointers into tokbuf
static int attr;                                 // last entry set in tokattr; 0 = no '='
static state_typ state;                          // where the reader stands
static char errstr[ERR_SIZE];                    // a composed message
static FILE *xmlf;                               // the file being read
static char *tokstack[MAX_DEPTH];                // start of each open element's name
static char tokstackbuf[MAX_DEPTH * NAME_SIZE];  // the open elements' names
static int level;                                // innermost open element, -1 = none

// ---- Helpers --------------------------------------------------------------------

// Whitespace as the default locale's isspace has it; high bytes never are.
static int is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Composes errstr and shows it.
static void report(const char *fmt, const char *a, const char *b = "") {
  snprintf(errstr, sizeof errstr, fmt, a, b);
  xml_error(errstr);
}

static void report_attr_too_long(void) {
  report("XML-Parser ERROR:\nTokenattribute of token %s too long\n%s", tokname, tokattr[attr]);
}

// Ends a read that failed: the message has been shown already.
static int fail(void) {
  fclose(xmlf);
  return 0;
}

// Stores one name or value character at *i, keeping the text terminated.
static int store(int c, int *i) {
  if (*i > LAST_STORE) {
    report_attr_too_long();
    return 0;
  }
  tokbuf[(*i)++] = (char)c;
  tokbuf[*i] = '\0';
  return 1;
}

// '=' after a name: the name ends and an empty value opens after it. There
// must be room for the value, the name after it and the ending entry.
static int open_value(int *i) {
  if (*i > LAST_STORE || attr + 2 > ATTR_ENTRIES - 2) {
    report_attr_too_long();
    return 0;
  }
  (*i)++;
  tokattr[++attr] = &tokbuf[*i];
  tokbuf[*i] = '\0';
  return 1;
}

// The closing quote of a value: the next name opens, empty so far.
static void open_next_name(int *i) {
  (*i)++;
  tokbuf[*i] = '\0';
  tokattr[++attr] = &tokbuf[*i];
}

// ---- Name stack -----------------------------------------------------------------

// Copies a name into a buffer of NAME_SIZE bytes, cut to fit and terminated;
// the length copied. Runs for every tag, so no formatted print here.
static size_t copy_name(char *dst, const char *src) {
  size_t len = strnlen(src, NAME_SIZE - 1);
  memcpy(dst, src, len);
  dst[len] = '\0';
  return len;
}

// Opens an element: records its name on the name stack.
static void push_token(const char *name) {
  level++;
  size_t len = copy_name(tokstack[level], name);
  if (level < MAX_DEPTH - 1)
    tokstack[level + 1] = tokstack[level] + len + 1;
}

// Closes the innermost element; data after it belongs to the element around it.
static void pop_token(void) {
  level--;
  if (level >= 0)
    copy_name(tokname, tokstack[level]);
}

// ---- Tags and data --------------------------------------------------------------

// Completes a tag at its '>'; 1 to go on, 0 after a message.
static int token_manager(void) {
  if (tokname[0] == '/') {
    const char *open = level >= 0 ? tokstack[level] : "";
    if (level >= 0 && strcmp(tokname + 1, open) == 0) {
      pop_token();
      return 1;
    }
    report("XML-Parser ERROR: token %s does not match %s", tokname, open);
    return 0;
  }
  if (strcmp(tokname, "?xml") != 0) {
    if (level >= MAX_DEPTH - 1) {
      xml_error("XML-Parser ERROR: too deeply nested tokens");
      return 0;
    }
    push_token(tokname);
  }
  return xml_token(tokname, attr ? tokattr : nullptr);
}

// Delivers the collected character data unless it is all whitespace.
static int data_manager(void) {
  buffer[buffil] = '\0';
  const char *p = buffer;
  while (is_space((unsigned char)*p))
    p++;
  if (!*p)
    return 1;
  return xml_data(tokname, p);
}

// ---- The reader -----------------------------------------------------------------

int parse_xml(const char *path) {
  xmlf = fopen_utf8(path, "r");
  if (!xmlf) {
    report("Can't open file\n%s\nfor reading!", path);
    return 0;
  }
  buffil = 0;
  level = -1;
  tokstack[0] = tokstackbuf;
  tokname[0] = '\0';
  state = PREXML;
  xml_begin();
  int i = 0;  // write position in tokname or tokbuf
  int c;
  while ((c = getc(xmlf)) != EOF) {
    switch (state) {
      case PREXML:
      case INTERTOKEN:
        if (c == '<') {
          if (buffil > 0 && !data_manager())
            return fail();
          buffil = 0;
          i = 0;
          state = TOKENNAME;
        } else {
          if (buffil > DATA_SIZE - 2) {
            if (!data_manager())
              return fail();
            buffil = 0;
          }
          buffer[buffil++] = (char)c;
        }
        break;
      case TOKENNAME:
        if (c == '>') {
          tokname[i] = '\0';
          attr = 0;
          tokattr[0] = nullptr;
          if (!token_manager())
            return fail();
          state = INTERTOKEN;
        } else if (is_space(c)) {
          tokname[i] = '\0';
          i = 0;
          attr = 0;
          tokattr[0] = tokbuf;
          tokbuf[0] = '\0';
          state = TOKENATTRNAME;
        } else if (c == '<') {
          tokname[i] = '\0';
          report("XML-Parser ERROR:\n%s\nfound '<' within tokenname", tokname);
          return fail();
        } else {
          tokname[i++] = (char)c;
          if (i > NAME_SIZE - 1) {
            tokname[NAME_SIZE - 1] = '\0';
            report("XML-Parser ERROR:\nTokenname %s too long", tokname);
            return fail();
          }
        }
        break;
      case TOKENATTRNAME:
        if (is_space(c))
          break;
        if (c == '=') {
          if (!open_value(&i))
            return fail();
          state = TOKENATTR;
        } else if (c == '>') {
          // A name with no '=' after the last value is dropped: the list
          // ends with the empty name.
          *tokattr[attr] = '\0';
          if (!token_manager())
            return fail();
          state = INTERTOKEN;
        } else if (!store(c, &i)) {
          return fail();
        }
        break;
      case TOKENATTR:
        if (c == '>') {
          // The value stays empty and the empty name after it ends the list.
          tokbuf[i + 1] = '\0';
          tokattr[attr + 1] = &tokbuf[i + 1];
          if (!token_manager())
            return fail();
          state = INTERTOKEN;
        } else if (c == '"') {
          while ((c = getc(xmlf)) != EOF && c != '"')
            if (!store(c, &i))
              return fail();
          if (c == EOF)
            goto end_of_file;
          open_next_name(&i);
          state = TOKENATTRNAME;
        }
        break;
    }
  }
end_of_file:
  if (state == PREXML) {
    report("File %s\n is not a xml-file!", path);
    return fail();
  }
  fclose(xmlf);
  if (level != -1) {
    xml_error("Missing correct end of xml-file");
    return 0;
  }
  return 1;
}
