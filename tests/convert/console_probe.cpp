// console_probe.cpp - a console program as Explorer starts it, in a console of its own:
//   console_probe TEXT COMMAND
// starts COMMAND alone in a new console and waits (at most 20 s) until the console shows TEXT or
// COMMAND has ended. It prints the console's lines in UTF-8, then "ended" if COMMAND ended by
// itself within a second, else "waits", after which it presses Enter in the console; and "status N"
// once COMMAND has ended (at most 20 s later).
#include <windows.h>

#include <cstdio>
#include <string>

enum { POLL_MS = 50, POLLS = 400 };

static HANDLE screen, keyboard;  // the console's output and input, inherited by the command

// An inheritable handle of the console's name (CONOUT$ or CONIN$).
static HANDLE open_console(const wchar_t *name) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, OPEN_EXISTING, 0, nullptr);
}

// The console's text, its lines up to the cursor's, blanks at their ends removed.
static std::wstring screen_text() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  std::wstring text;
  if (!GetConsoleScreenBufferInfo(screen, &info))
    return text;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; y++) {
    std::wstring line(info.dwSize.X, L' ');
    DWORD got = 0;
    ReadConsoleOutputCharacterW(screen, &line[0], info.dwSize.X, COORD{0, y}, &got);
    line.resize(line.find_last_not_of(L' ', got) + 1);
    text += line + L"\n";
  }
  return text;
}

// Enter, pressed and released, in the console.
static void press_enter() {
  INPUT_RECORD keys[2] = {};
  for (int k = 0; k < 2; k++) {
    keys[k].EventType = KEY_EVENT;
    keys[k].Event.KeyEvent.bKeyDown = k == 0;
    keys[k].Event.KeyEvent.wRepeatCount = 1;
    keys[k].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
    keys[k].Event.KeyEvent.uChar.UnicodeChar = L'\r';
  }
  DWORD written;
  WriteConsoleInputW(keyboard, keys, 2, &written);
}

// Prints a wide text in UTF-8.
static void print_utf8(const std::wstring &text) {
  int len = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(len, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], len, nullptr, nullptr);
  fputs(bytes.c_str(), stdout);
}

// Starts command in a new console that only it is attached to (the probe leaves it before the
// command runs, keeping its handles); 0 when it cannot.
static int start_alone(wchar_t *command, PROCESS_INFORMATION *child) {
  FreeConsole();
  if (!AllocConsole())
    return 0;
  screen = open_console(L"CONOUT$");
  keyboard = open_console(L"CONIN$");
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = keyboard;
  start.hStdOutput = start.hStdError = screen;
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                      &start, child))
    return 0;
  FreeConsole();
  ResumeThread(child->hThread);
  return 1;
}

int wmain(int argc, wchar_t **argv) {
  PROCESS_INFORMATION child;
  if (argc != 3 || !start_alone(argv[2], &child)) {
    fprintf(stderr, "console_probe TEXT COMMAND: cannot start the command (error %lu)\n",
            GetLastError());
    return 2;
  }
  std::wstring text;
  for (int i = 0; i < POLLS && text.find(argv[1]) == std::wstring::npos; i++) {
    bool ended = WaitForSingleObject(child.hProcess, POLL_MS) == WAIT_OBJECT_0;
    text = screen_text();
    if (ended)
      break;
  }
  print_utf8(text);
  bool ended = WaitForSingleObject(child.hProcess, 1000) == WAIT_OBJECT_0;
  puts(ended ? "ended" : "waits");
  if (!ended)
    press_enter();
  DWORD status = STILL_ACTIVE;
  if (WaitForSingleObject(child.hProcess, POLLS * POLL_MS) == WAIT_OBJECT_0)
    GetExitCodeProcess(child.hProcess, &status);
  printf("status %lu\n", status);
  return 0;
}
