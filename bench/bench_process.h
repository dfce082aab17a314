// Running and timing other programs for the benchmarks: CPU time, wall time and peak memory of
// a child process, as the kernel counts them.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace dova::bench {

// The children's standard error is appended to this file.
inline std::string gErrorLog = "/dev/null";

inline double Milliseconds(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Prints the CPU and wall milliseconds since `cpu` and `wall` and the peak resident set in KiB:
// the line the benchmarks read from a --convert, --convert-whole or --compose run.
inline int PrintUsageSince(double cpu, double wall) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.3f %.3f %ld\n", Milliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu,
              Milliseconds(CLOCK_MONOTONIC) - wall, usage.ru_maxrss);
  return 0;
}

struct Timing {
  double cpu = 1e300, wall = 0;
  long peakKb = 0;
  bool ok = false;
  void Keep(double c, double w, long kb) {
    if (c < cpu) cpu = c, wall = w;
    peakKb = std::max(peakKb, kb);
    ok = true;
  }
};

// Runs a program and waits for it: its CPU time, wall time, peak memory and standard output.
struct Outcome {
  bool ok = false;
  double cpu = 0, wall = 0;
  long peakKb = 0;
  std::string output;
};

inline Outcome Run(const std::vector<std::string>& args) {
  Outcome result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  const double start = Milliseconds(CLOCK_MONOTONIC);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    close(pipeFds[1]);
    const int log = open(gErrorLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log >= 0) dup2(log, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, got);
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return result;
  result.wall = Milliseconds(CLOCK_MONOTONIC) - start;
  result.cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  result.peakKb = usage.ru_maxrss;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!result.ok) {
    std::string command;
    for (const std::string& a : args) command += a + " ";
    std::fprintf(stderr, "failed (see %s): %s\n", gErrorLog.c_str(), command.c_str());
  }
  return result;
}

// The best of `repeats` runs of a command, less the best of a baseline command (the start of
// the tool and the reading and writing around the work) when one is given.
inline Timing TimeCommand(const std::vector<std::string>& args, int repeats,
                          const std::vector<std::string>& baseline = {}) {
  Timing timing, base;
  for (int r = 0; r < repeats; ++r) {
    const Outcome o = Run(args);
    if (!o.ok) return Timing{};
    timing.Keep(o.cpu, o.wall, o.peakKb);
    if (!baseline.empty()) {
      const Outcome b = Run(baseline);
      if (b.ok) base.Keep(b.cpu, b.wall, b.peakKb);
    }
  }
  if (base.ok) timing.cpu = std::max(0.0, timing.cpu - base.cpu), timing.wall -= base.wall;
  return timing;
}

}  // namespace dova::bench
