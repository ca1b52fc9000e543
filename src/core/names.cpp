// names.cpp - a temperament's default names from a file's name.
#include "names.h"

#include "temperament_file.h"

#include <cstring>

std::string file_stem(const std::string &path) {
  std::string base = path_base(path.c_str());
  static const std::string HOST_END = std::string(".") + TEMPERAMENT_SUFFIX;
  if (base.size() > HOST_END.size() &&
      base.compare(base.size() - HOST_END.size(), HOST_END.size(), HOST_END) == 0)
    return base.substr(0, base.size() - HOST_END.size());
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

std::string short_name_from(const std::string &path) {
  std::string s;
  for (char c : file_stem(path))
    if (s.size() < 5 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '_'))
      s += c;
  return s.empty() ? "Scale" : s;
}
