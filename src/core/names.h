// names.h - the names the converter and the browser page give a temperament
// after the file it comes from.
#ifndef VOSTREL_NAMES_H
#define VOSTREL_NAMES_H

#include <string>

// The file's name without its folder and its ending: the host's
// ".Temperament.Hauptwerk.xml" as a whole, otherwise from the last dot.
std::string file_stem(const std::string &path);

// A short name from the file's name: the first five ASCII letters, digits,
// '-' or '_' of its stem, or "Scale" when there are none, so that the
// default never needs the cut or the ASCII warning.
std::string short_name_from(const std::string &path);

#endif
