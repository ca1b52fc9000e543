// support.h - what the binding's GoogleTest test uses: a temporary folder, files read and written.
#ifndef VOSTREL_TEST_SUPPORT_H
#define VOSTREL_TEST_SUPPORT_H

#include <string>

// A temporary folder, removed with everything in it by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  std::string path;                                 // without trailing '/'
  std::string file(const std::string &name) const;  // path + "/" + name
};

// Writes text to a file, replacing it; reads a whole file ("" when it cannot). Paths are UTF-8.
void write_file(const std::string &path, const std::string &text);
std::string read_file(const std::string &path);

#endif
