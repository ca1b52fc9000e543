// console_fault.cpp - vostrel-convert's console code with one call made to fail (FAULT 1:
// _open_osfhandle, 2: _dup2, 3: CreateThread): it prints and ends all the same, without waiting.
#include <io.h>
#include <windows.h>
#if FAULT == 1
#define _open_osfhandle(handle, flags) -1
#elif FAULT == 2
#define _dup2(from, to) -1
#else
#define CreateThread(security, size, start, ...) ((void)start, (HANDLE) nullptr)
#endif
#include "console.cpp"

int main(int argc, char **argv) {
  console_start(&argc, &argv);
  puts("printed");
  return 0;
}
