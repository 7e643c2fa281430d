#include "peak_memory.h"

#include <sys/wait.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pixavue::platform::test {
namespace {

struct Report final {
  GpStatus status;
  double seconds;
  long startKib;
  long peakKib;
};

// A "VmRSS" or "VmHWM" line of /proc/self/status, in KiB.
long StatusKib(const char* key) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  long kib = 0;
  const std::size_t keyLength = std::strlen(key);
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
      kib = std::strtol(line + keyLength + 1, nullptr, 10);
      break;
    }
  }
  std::fclose(status);
  return kib;
}

// A forked child starts with its parent's high-water mark; writing 5 to
// clear_refs sets it to the child's own resident size.
void ResetHighWaterMark() {
  std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
  if (clear == nullptr) return;
  std::fputs("5", clear);
  std::fclose(clear);
}

[[noreturn]] void ChildMain(int out, const std::function<GpStatus()>& load, unsigned timeLimitSeconds) {
  alarm(timeLimitSeconds);
  Report report{};
  // Memory the parent freed but kept would be reused unseen.
  malloc_trim(0);
  ResetHighWaterMark();
  report.startKib = StatusKib("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  report.status = load();
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.peakKib = StatusKib("VmHWM");
  const bool written = write(out, &report, sizeof report) == static_cast<ssize_t>(sizeof report);
  _exit(written ? 0 : 3);
}

}  // namespace

ChildRun RunInChild(const std::function<GpStatus()>& load, unsigned timeLimitSeconds) {
  ChildRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return run;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    ChildMain(pipeEnds[1], load, timeLimitSeconds);
  }
  close(pipeEnds[1]);
  Report report{};
  const bool received = child > 0 && read(pipeEnds[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report);
  close(pipeEnds[0]);
  if (child <= 0) return run;
  int waitStatus = 0;
  if (waitpid(child, &waitStatus, 0) != child) return run;
  run.finished = received && WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
  run.status = report.status;
  run.seconds = report.seconds;
  const long grownKib = report.peakKib - report.startKib;
  run.peakBytes = grownKib > 0 ? static_cast<std::uint64_t>(grownKib) * 1024 : 0;
  return run;
}

}  // namespace pixavue::platform::test
