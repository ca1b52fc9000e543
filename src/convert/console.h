// console.h - vostrel-convert as Windows starts it: its command line in UTF-8, its text shown right
// in a console whatever the console's code page, and a pause before a console window of its own
// closes. Elsewhere nothing changes.
#ifndef VOSTREL_CONSOLE_H
#define VOSTREL_CONSOLE_H

#ifdef _WIN32
// Takes the command line in UTF-8 into argc and argv, sends standard output and error through
// UTF-16 where they are a console, and, when the program is alone on its console (started from
// Explorer), has its end wait for Enter.
void console_start(int *argc, char ***argv);
// True when the program is alone on its console: started by a double-click, not typed in one.
int console_alone(void);
#else
inline void console_start(int *, char ***) {}
inline int console_alone(void) {
  return 0;
}
#endif

#endif
