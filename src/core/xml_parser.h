// xml_parser.h - a minimal streaming reader for the XML subset of
// temperament files. It hands start tags and character data to the
// handlers of Temper_reader.h and reports errors through xml_error.
#ifndef VOSTREL_XML_PARSER_H
#define VOSTREL_XML_PARSER_H

// Reads the file at path in one pass; 1 when the whole file was read
// without error, 0 after exactly one message has been shown.
int parse_xml(const char *path);

#endif
