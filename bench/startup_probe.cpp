// startup_probe.cpp - times programs from their start until their window is
// mapped on the X server named by $DISPLAY, and reads their peak resident
// memory. Two programs are started in turn, RUNS times each, alternating.
//
//   startup_probe RUNS SETTLE_MS LABEL_A TITLE_A PROGRAM_A LABEL_B TITLE_B PROGRAM_B
//
// The probe listens for the server's MapNotify on the root window, so the
// moment is the server's own, not a polling interval. After the map it waits
// SETTLE_MS (the window draws itself meanwhile), reads VmHWM, the peak
// resident set of the program's own image, from /proc/PID/status and ends
// the program. Prints one line per run, then "median LABEL MS KIB" for each
// program and, from the last run of each, where its resident memory lies:
// "rss MAPPING KIB_1 KIB_2 ..." per mapped file (or [heap], [anon]).
#include <X11/Xlib.h>

#include <algorithm>
#include <map>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Program {
  std::string label, title, path;
  std::vector<double> ms;
  std::vector<long> kib;
  std::map<std::string, long> mappings;  // resident KiB per mapping, last run
};

// Sums the resident memory of every mapping of pid by what backs it.
std::map<std::string, long> resident_by_mapping(pid_t pid) {
  std::map<std::string, long> sum;
  std::string path = "/proc/" + std::to_string(pid) + "/smaps";
  FILE *f = fopen(path.c_str(), "r");
  if (!f)
    return sum;
  char line[4096];
  std::string name = "[anon]";
  while (fgets(line, sizeof line, f)) {
    unsigned long lo, hi;
    int at = 0;
    if (sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &lo, &hi, &at) == 2 && at > 0) {
      std::string rest = line + at;
      while (!rest.empty() && (rest.back() == '\n' || rest.back() == ' '))
        rest.pop_back();
      name = rest.empty() ? "[anon]" : rest;
    } else if (strncmp(line, "Rss:", 4) == 0) {
      sum[name] += strtol(line + 4, nullptr, 10);
    }
  }
  fclose(f);
  return sum;
}

double now_ms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

long peak_rss_kib(pid_t pid) {
  std::string path = "/proc/" + std::to_string(pid) + "/status";
  FILE *f = fopen(path.c_str(), "r");
  if (!f)
    return -1;
  char line[256];
  long kib = -1;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, "VmHWM:", 6) == 0)
      kib = strtol(line + 6, nullptr, 10);
  fclose(f);
  return kib;
}

bool is_titled(Display *d, Window w, const std::string &title) {
  char *name = nullptr;
  bool same = XFetchName(d, w, &name) && name && title == name;
  if (name)
    XFree(name);
  return same;
}

// One start of one program; false when it did not map its window in time.
bool run_once(Display *d, Program &p, int settle_ms) {
  XSync(d, False);
  while (XPending(d)) {
    XEvent ev;
    XNextEvent(d, &ev);
  }
  char *argv[] = {const_cast<char *>(p.path.c_str()), nullptr};
  double start = now_ms();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
    fprintf(stderr, "startup_probe: cannot start %s\n", argv[0]);
    return false;
  }
  double mapped = -1;
  while (mapped < 0 && now_ms() - start < 10000) {
    while (XPending(d)) {
      XEvent ev;
      XNextEvent(d, &ev);
      if (ev.type == MapNotify && is_titled(d, ev.xmap.window, p.title)) {
        mapped = now_ms();
        break;
      }
    }
    if (mapped >= 0)
      break;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      fprintf(stderr, "startup_probe: %s ended before its window mapped\n", argv[0]);
      return false;
    }
    pollfd pfd = {ConnectionNumber(d), POLLIN, 0};
    poll(&pfd, 1, 50);
  }
  bool ok = mapped >= 0;
  if (ok) {
    usleep(settle_ms * 1000);
    long kib = peak_rss_kib(pid);
    p.mappings = resident_by_mapping(pid);
    p.ms.push_back(mapped - start);
    p.kib.push_back(kib);
    printf("run %-8s %8.2f ms %8ld KiB\n", p.label.c_str(), mapped - start, kib);
  } else {
    fprintf(stderr, "startup_probe: no window '%s' within 10 s\n", p.title.c_str());
  }
  kill(pid, SIGTERM);
  int status;
  waitpid(pid, &status, 0);
  return ok;
}

template <class T>
double median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 6 || (argc - 3) % 3 != 0) {
    fprintf(stderr, "usage: %s RUNS SETTLE_MS LABEL TITLE PROGRAM [LABEL TITLE PROGRAM]...\n",
            argv[0]);
    return 2;
  }
  int runs = atoi(argv[1]), settle = atoi(argv[2]);
  std::vector<Program> prog;
  for (int i = 3; i + 2 < argc; i += 3)
    prog.push_back({argv[i], argv[i + 1], argv[i + 2], {}, {}, {}});
  Display *d = XOpenDisplay(nullptr);
  if (!d) {
    fprintf(stderr, "startup_probe: cannot open display\n");
    return 1;
  }
  fcntl(ConnectionNumber(d), F_SETFD, FD_CLOEXEC);
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  // One start of each first, not counted: it fills the file cache.
  for (Program &p : prog) {
    Program warm = p;
    warm.label = "(warm) " + p.label;
    if (!run_once(d, warm, settle))
      return 1;
  }
  for (int r = 0; r < runs; r++)
    for (Program &p : prog)
      if (!run_once(d, p, settle))
        return 1;
  for (Program &p : prog)
    printf("median %s %.2f %.0f\n", p.label.c_str(), median(p.ms), median(p.kib));
  std::map<std::string, int> names;
  for (Program &p : prog)
    for (auto &m : p.mappings)
      names[m.first] = 1;
  for (auto &n : names) {
    printf("rss %s", n.first.c_str());
    for (Program &p : prog)
      printf(" %ld", p.mappings.count(n.first) ? p.mappings[n.first] : 0L);
    printf("\n");
  }
  XCloseDisplay(d);
  return 0;
}
