// spawn_time.cpp - times whole runs of two commands, started alternately with
// posix_spawn and waited for, and prints each one's median wall time in µs:
//   spawn_time RUNS "PROGRAM [ARG...]" "PROGRAM [ARG...]"
// Arguments are split at blanks; output goes to /dev/null.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

// The words of a command line.
static std::vector<std::string> words(const char *command) {
  std::istringstream in(command);
  std::vector<std::string> out;
  std::string w;
  while (in >> w)
    out.push_back(w);
  return out;
}

// One run of the command in µs of wall time; -1 when it could not run or failed.
static double run_once(const std::vector<std::string> &cmd) {
  std::vector<char *> argv;
  for (const std::string &w : cmd)
    argv.push_back(const_cast<char *>(w.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  timespec t0, t1;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid;
  int status = 0;
  int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
               waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  clock_gettime(CLOCK_MONOTONIC, &t1);
  posix_spawn_file_actions_destroy(&actions);
  if (failed)
    return -1;
  return (t1.tv_sec - t0.tv_sec) * 1e6 + (t1.tv_nsec - t0.tv_nsec) / 1e3;
}

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int main(int argc, char **argv) {
  if (argc != 4 || atoi(argv[1]) < 1) {
    fprintf(stderr, "usage: spawn_time RUNS COMMAND1 COMMAND2\n");
    return 2;
  }
  int runs = atoi(argv[1]);
  std::vector<std::string> cmd[2] = {words(argv[2]), words(argv[3])};
  std::vector<double> times[2];
  for (int r = 0; r < runs; r++) {
    for (int c = 0; c < 2; c++) {
      double t = run_once(cmd[c]);
      if (t < 0) {
        fprintf(stderr, "spawn_time: %s failed\n", argv[2 + c]);
        return 1;
      }
      times[c].push_back(t);
    }
  }
  printf("%.0f %.0f\n", median(times[0]), median(times[1]));
  return 0;
}
