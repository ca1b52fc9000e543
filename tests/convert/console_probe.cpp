// console_probe.cpp - console_probe TEXT COMMAND: starts COMMAND alone in a new console, as a
// double-click does (the probe makes the console and leaves it before COMMAND runs, keeping handles
// to it), waits at most 20 s for the console to show TEXT, and prints its lines in UTF-8; then
// "waits" if COMMAND still runs a second later (and presses Enter) or "ended"; then "status N".
#include <windows.h>

#include <cstdio>
#include <string>

// The console's lines up to the cursor's, each as wide as the console.
static std::wstring screen_text(HANDLE screen, SHORT *width) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(screen, &info))
    return L"";
  *width = info.dwSize.X;
  std::wstring text(info.dwSize.X * (info.dwCursorPosition.Y + 1), L' ');
  DWORD got;
  ReadConsoleOutputCharacterW(screen, &text[0], text.size(), COORD{0, 0}, &got);
  return text;
}

int wmain(int argc, wchar_t **argv) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  FreeConsole();
  AllocConsole();
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE, access = GENERIC_READ | GENERIC_WRITE;
  HANDLE screen = CreateFileW(L"CONOUT$", access, share, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE keyboard = CreateFileW(L"CONIN$", access, share, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = keyboard;
  start.hStdOutput = start.hStdError = screen;
  PROCESS_INFORMATION child;
  if (argc != 3 || !CreateProcessW(nullptr, argv[2], nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                                   nullptr, nullptr, &start, &child)) {
    fputs("usage: console_probe TEXT COMMAND\n", stderr);
    return 2;
  }
  FreeConsole();
  ResumeThread(child.hThread);
  std::wstring text;
  SHORT width = 1;
  for (int polls = 0; polls < 400 && text.find(argv[1]) == std::wstring::npos; polls++) {
    bool ended = WaitForSingleObject(child.hProcess, 50) == WAIT_OBJECT_0;
    text = screen_text(screen, &width);
    if (ended)
      break;
  }
  for (size_t row = 0; row < text.size(); row += width) {
    char line[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, &text[row], width, line, sizeof line, nullptr, nullptr);
    printf("%.*s\n", n, line);
  }
  bool waits = WaitForSingleObject(child.hProcess, 1000) == WAIT_TIMEOUT;
  puts(waits ? "waits" : "ended");
  INPUT_RECORD enter = {};
  enter.EventType = KEY_EVENT;
  enter.Event.KeyEvent = {TRUE, 1, VK_RETURN, 0, {L'\r'}, 0};
  DWORD written, status = STILL_ACTIVE;
  if (waits)
    WriteConsoleInputW(keyboard, &enter, 1, &written);
  WaitForSingleObject(child.hProcess, 20000);
  GetExitCodeProcess(child.hProcess, &status);
  printf("status %lu\n", status);
  return 0;
}
