#include "side_by_side.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <time.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qzbench {
namespace {

// The time one run of a side takes: on the wall, and on the processor for
// this thread alone (user and kernel time), which a crowded machine inflates
// far less than the wall clock.
struct Times {
  double wall = 0;
  double cpu = 0;
  double faults = 0;  // page faults that the run's thread took (fresh memory, mostly)
};

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ThreadPageFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

// Times one run of side, then runs after untimed.
Times Run(const Side& side, const Side& after, bool* ok) {
  const double faultsStart = ThreadPageFaults();
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = ThreadCpuSeconds();
  *ok = side() && *ok;
  const Times times{std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(),
                    ThreadCpuSeconds() - cpuStart, ThreadPageFaults() - faultsStart};
  *ok = after() && *ok;
  return times;
}

bool Nothing() { return true; }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The "VmHWM:" (peak) line of /proc/self/status, in kB; -1 when missing.
long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

double PeakGrowthMegabytes(const Side& run) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return -1;
  }
  if (child == 0) {
    close(pipeEnds[0]);
    double megabytes = -1;
    // Memory freed before, but still held by the allocator, would be reused
    // without raising the peak: it goes back first. "5" then resets the
    // peak to what the process holds now.
    malloc_trim(0);
    if (std::ofstream("/proc/self/clear_refs") << "5") {
      const long before = PeakKilobytes();
      const bool ok = run();
      const long after = PeakKilobytes();
      if (ok && before >= 0 && after >= before) megabytes = static_cast<double>(after - before) / 1024;
    }
    ssize_t written = write(pipeEnds[1], &megabytes, sizeof megabytes);
    _exit(written == sizeof megabytes ? 0 : 1);
  }
  close(pipeEnds[1]);
  double megabytes = -1;
  if (read(pipeEnds[0], &megabytes, sizeof megabytes) != sizeof megabytes) megabytes = -1;
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return megabytes;
}

void SideBySide(benchmark::State& state, const Side& ours, const Side& libxml2) {
  SideBySide(state, ours, libxml2, Nothing, Nothing);
}

void SideBySide(benchmark::State& state, const Side& ours, const Side& libxml2, const Side& afterOurs,
                const Side& afterLibxml2) {
  std::vector<double> oursWall, libxml2Wall, oursCpu, libxml2Cpu, oursFaults, libxml2Faults;
  bool ok = true;
  for (auto _ : state) {
    Times oursTime, libxml2Time;
    if (oursWall.size() % 2 == 0) {
      oursTime = Run(ours, afterOurs, &ok);
      libxml2Time = Run(libxml2, afterLibxml2, &ok);
    } else {
      libxml2Time = Run(libxml2, afterLibxml2, &ok);
      oursTime = Run(ours, afterOurs, &ok);
    }
    if (!ok) {
      state.SkipWithError("a side failed");
      return;
    }
    oursWall.push_back(oursTime.wall);
    libxml2Wall.push_back(libxml2Time.wall);
    oursCpu.push_back(oursTime.cpu);
    libxml2Cpu.push_back(libxml2Time.cpu);
    oursFaults.push_back(oursTime.faults);
    libxml2Faults.push_back(libxml2Time.faults);
    state.SetIterationTime(oursTime.wall);
  }
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
  state.counters["ours_ms"] = Median(oursWall) * 1e3;
  state.counters["libxml2_ms"] = Median(libxml2Wall) * 1e3;
  state.counters["ratio"] = ratio(Median(oursWall), Median(libxml2Wall));
  state.counters["ours_cpu_ms"] = Median(oursCpu) * 1e3;
  state.counters["libxml2_cpu_ms"] = Median(libxml2Cpu) * 1e3;
  state.counters["cpu_ratio"] = ratio(Median(oursCpu), Median(libxml2Cpu));
  state.counters["ours_faults"] = Median(oursFaults);
  state.counters["libxml2_faults"] = Median(libxml2Faults);

  const double oursMb = PeakGrowthMegabytes(ours);
  const double libxml2Mb = PeakGrowthMegabytes(libxml2);
  state.counters["ours_MB"] = oursMb;
  state.counters["libxml2_MB"] = libxml2Mb;
  state.counters["mem_ratio"] = oursMb > 0 && libxml2Mb > 0 ? oursMb / libxml2Mb : 0;
}

}  // namespace qzbench
