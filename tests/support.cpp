// support.cpp - temporary folders and files.
#include "support.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

TempDir::TempDir() : path(fs::temp_directory_path().generic_string()) {
  static int counter = 0;
  std::error_code ec;
  while (!path.empty() && path.back() == '/')
    path.pop_back();
  path += "/vostrel-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  fs::create_directories(path, ec);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path, ec);
}

std::string TempDir::file(const std::string &name) const {
  return path + "/" + name;
}

void write_file(const std::string &path, const std::string &text) {
  std::ofstream(fs::u8path(path), std::ios::binary) << text;
}

std::string read_file(const std::string &path) {
  std::stringstream s;
  s << std::ifstream(fs::u8path(path), std::ios::binary).rdbuf();
  return s.str();
}
