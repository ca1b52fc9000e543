// fuzz_file.h - the readers take a path, so every fuzz input goes through a
// file: writes the input's bytes to path, replacing it; aborts on failure.
#ifndef VOSTREL_FUZZ_FILE_H
#define VOSTREL_FUZZ_FILE_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline void write_input(const char *path, const uint8_t *data, size_t size) {
  FILE *f = fopen(path, "wb");
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  fclose(f);
}

#endif
