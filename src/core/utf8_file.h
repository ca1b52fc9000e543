// utf8_file.h - opening and removing files by UTF-8 names, which is what the
// toolkit's dialogs and folder listings give. Windows takes such names only
// through its UTF-16 calls (its narrow calls read them in the ANSI code
// page); elsewhere they are the system's own names.
#ifndef VOSTREL_UTF8_FILE_H
#define VOSTREL_UTF8_FILE_H

#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

enum { WIDE_NAME_SIZE = 33000 };  // an input field's 32767 bytes, widened

// The name in UTF-16; false when it is no valid UTF-8 or too long.
inline bool wide_name(const char *name, wchar_t *buf) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, buf, WIDE_NAME_SIZE) > 0;
}
#endif

// fopen for a UTF-8 name; a name that is no UTF-8 is passed on as it is.
inline FILE *fopen_utf8(const char *name, const char *mode) {
#ifdef _WIN32
  static wchar_t wname[WIDE_NAME_SIZE];
  wchar_t wmode[8];
  if (wide_name(name, wname) && MultiByteToWideChar(CP_UTF8, 0, mode, -1, wmode, 8) > 0)
    return _wfopen(wname, wmode);
#endif
  return fopen(name, mode);
}

// remove for a UTF-8 name.
inline int remove_utf8(const char *name) {
#ifdef _WIN32
  static wchar_t wname[WIDE_NAME_SIZE];
  if (wide_name(name, wname))
    return _wremove(wname);
#endif
  return remove(name);
}

#endif
