// console.cpp - vostrel-convert on Windows (see console.h). A console shows narrow text in its own
// code page, so UTF-8 names would come out garbled: where standard output or error is a console,
// they go into a pipe instead, and a thread writes what comes out of it to the console in UTF-16.
// Files and pipes get the UTF-8 bytes as they are.
#include "console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

enum { CHUNK = 4096 };  // bytes taken from the pipe at a time

static int alone;           // the only process on its console
static HANDLE console_out;  // the console the text goes to, or null
static HANDLE pipe_read;    // the reading end of the pipe behind standard output and error
static HANDLE pump_thread;  // the thread that empties it
static int piped[3];        // piped[fd]: file descriptor fd (1 or 2) goes into the pipe

// ---- Command line -----------------------------------------------------------------------------

// Windows hands main its arguments in the ANSI code page; the program's names and texts are UTF-8,
// as the window's are. The arguments again, in UTF-8, kept for the whole run.
static std::vector<std::string> utf8_args;
static std::vector<char *> utf8_argv;

// Replaces argc and argv by the command line in UTF-8 (left as they are if Windows cannot split
// it).
static void utf8_arguments(int *argc, char ***argv) {
  int n = 0;
  wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide)
    return;
  for (int i = 0; i < n; i++) {
    int len = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(len > 1 ? len - 1 : 0, '\0');
    if (len > 1)
      WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], len, nullptr, nullptr);
    utf8_args.push_back(arg);
  }
  LocalFree(wide);
  for (std::string &arg : utf8_args)
    utf8_argv.push_back(&arg[0]);
  utf8_argv.push_back(nullptr);
  *argc = n;
  *argv = utf8_argv.data();
}

// ---- Text to the console ----------------------------------------------------------------------

// True when h is a console (not a file, a pipe or nothing).
static int is_console(HANDLE h) {
  DWORD mode;
  return h != INVALID_HANDLE_VALUE && h && GetConsoleMode(h, &mode);
}

// Writes n bytes of UTF-8 to the console as UTF-16 (n at most CHUNK).
static void show(const char *bytes, size_t n) {
  static wchar_t wide[CHUNK];
  int len = n ? MultiByteToWideChar(CP_UTF8, 0, bytes, (int)n, wide, CHUNK) : 0;
  DWORD written;
  if (len > 0)
    WriteConsoleW(console_out, wide, len, &written, nullptr);
}

// The length of the longest start of bytes[0..n) that ends with a whole character: the pipe may cut
// a UTF-8 sequence, whose rest then comes with the next read.
static size_t whole_characters(const char *bytes, size_t n) {
  size_t start = n;
  while (start > 0 && n - start < 4 && ((unsigned char)bytes[start - 1] & 0xC0) == 0x80)
    start--;
  if (start == 0)
    return n;
  unsigned char lead = bytes[start - 1];
  size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return n - (start - 1) < need ? start - 1 : n;
}

// The thread: shows what comes out of the pipe until every writing end is closed.
static DWORD WINAPI pump(void *) {
  static char buf[CHUNK];
  size_t held = 0;
  DWORD got = 0;
  while (ReadFile(pipe_read, buf + held, CHUNK - held, &got, nullptr) && got > 0) {
    size_t n = held + got;
    size_t whole = whole_characters(buf, n);
    show(buf, whole);
    held = n - whole;
    memmove(buf, buf + whole, held);
  }
  show(buf, held);
  return 0;
}

// Sends standard output and error, where they are the console, into a pipe that the thread empties.
// Where any step fails the text goes to the console as it is (untranslated, but never held up): a
// stream is piped only once the thread runs and the stream's descriptor is the pipe's.
static void pipe_to_console(void) {
  int wanted[3] = {0, is_console(GetStdHandle(STD_OUTPUT_HANDLE)),
                   is_console(GetStdHandle(STD_ERROR_HANDLE))};
  HANDLE write_end;
  if ((!wanted[1] && !wanted[2]) || !console_out || !CreatePipe(&pipe_read, &write_end, nullptr, 0))
    return;
  pump_thread = CreateThread(nullptr, 0, pump, nullptr, 0, nullptr);
  int fd = pump_thread ? _open_osfhandle((intptr_t)write_end, _O_TEXT) : -1;
  if (fd < 0)
    CloseHandle(write_end);  // the thread, if any, then reads the end of the pipe and ends
  for (int std_fd = 1; std_fd <= 2 && fd >= 0; std_fd++)
    piped[std_fd] = wanted[std_fd] && _dup2(fd, std_fd) == 0;
  if (fd >= 0)
    _close(fd);
  if (piped[1])
    setvbuf(stdout, nullptr, _IONBF, 0);  // in the order written, with standard error
}

// At exit: the rest of the text shown; then, alone on the console, a pause until Enter, so that the
// console window does not close before the text can be read.
static void console_end(void) {
  fflush(stdout);
  fflush(stderr);
  for (int std_fd = 1; std_fd <= 2; std_fd++) {
    if (piped[std_fd])
      _close(std_fd);
  }
  if (pump_thread)
    WaitForSingleObject(pump_thread, INFINITE);
  if (alone && console_out) {
    static const wchar_t PROMPT[] = L"\r\nPress Enter to close this window.";
    DWORD n;
    WriteConsoleW(console_out, PROMPT, (DWORD)wcslen(PROMPT), &n, nullptr);
    wchar_t line[64];
    ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), line, 64, &n, nullptr);
  }
}

// ---- Start ------------------------------------------------------------------------------------

void console_start(int *argc, char ***argv) {
  utf8_arguments(argc, argv);
  DWORD ids[2];
  alone = GetConsoleProcessList(ids, 2) == 1;
  console_out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (console_out == INVALID_HANDLE_VALUE)
    console_out = nullptr;
  pipe_to_console();
  atexit(console_end);
}

int console_alone(void) {
  return alone;
}
