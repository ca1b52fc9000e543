// fuzz_file.h - what the fuzz targets share: the readers take a path, so
// every input goes through a file in a temporary folder of the target's own.
#ifndef VOSTREL_FUZZ_FILE_H
#define VOSTREL_FUZZ_FILE_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

// Makes a new folder "vostrel-fuzz-NAME-XXXXXX" into dir (of size n): on
// tmpfs where there is one, since a disk-backed /tmp slows a run tenfold.
// 0 when none can be made.
inline int make_fuzz_dir(char *dir, size_t n, const char *name) {
  for (const char *base : {"/dev/shm", "/tmp"}) {
    snprintf(dir, n, "%s/vostrel-fuzz-%s-XXXXXX", base, name);
    if (mkdtemp(dir))
      return 1;
  }
  return 0;
}

// Writes the input's bytes to path, replacing it; aborts on failure.
inline void write_input(const char *path, const uint8_t *data, size_t size) {
  FILE *f = fopen(path, "wb");
  if (!f)
    abort();
  if (size && fwrite(data, 1, size, f) != size)
    abort();
  fclose(f);
}

// Aborts unless the text fits its field of size n with its terminator.
inline void check_field(const char *field, size_t n) {
  if (strnlen(field, n) >= n)
    abort();
}

#endif
