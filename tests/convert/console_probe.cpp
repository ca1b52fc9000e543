// console_probe.cpp - console_probe TEXT COMMAND: starts COMMAND alone in a new console, as a
// double-click does (the probe makes the console and leaves it before COMMAND runs, keeping handles
// to it), waits at most 20 s for the console to show TEXT, and prints its lines up to the cursor's
// in UTF-8; then "waits" if COMMAND still runs a second later or "ended"; presses Enter and prints
// "status N".
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t **argv) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  FreeConsole();
  AllocConsole();
  HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE keyboard =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = keyboard;
  start.hStdOutput = start.hStdError = screen;
  PROCESS_INFORMATION child;
  if (argc != 3 || !CreateProcessW(nullptr, argv[2], nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                                   nullptr, nullptr, &start, &child))
    return 2;
  FreeConsole();
  ResumeThread(child.hThread);
  CONSOLE_SCREEN_BUFFER_INFO info = {};
  std::wstring text;
  DWORD got, status;
  for (int polls = 0; polls < 400 && text.find(argv[1]) == text.npos; polls++) {
    WaitForSingleObject(child.hProcess, 50);
    GetConsoleScreenBufferInfo(screen, &info);
    text.resize(info.dwSize.X * (info.dwCursorPosition.Y + 1));
    ReadConsoleOutputCharacterW(screen, &text[0], text.size(), {}, &got);
  }
  for (size_t row = 0; row < text.size(); row += info.dwSize.X) {
    char line[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, &text[row], info.dwSize.X, line, sizeof line, nullptr,
                                nullptr);
    printf("%.*s\n", n, line);
  }
  puts(WaitForSingleObject(child.hProcess, 1000) ? "waits" : "ended");
  INPUT_RECORD enter = {KEY_EVENT, {{TRUE, 1, VK_RETURN, 0, {L'\r'}, 0}}};
  WriteConsoleInputW(keyboard, &enter, 1, &got);
  WaitForSingleObject(child.hProcess, 20000);
  GetExitCodeProcess(child.hProcess, &status);
  printf("status %lu\n", status);
  return 0;
}
