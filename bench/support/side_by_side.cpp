#include "side_by_side.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qzbench {
namespace {

double Seconds(const Side& side, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  *ok = side() && *ok;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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
  std::vector<double> oursTimes;
  std::vector<double> libxml2Times;
  bool ok = true;
  for (auto _ : state) {
    double oursTime = 0;
    double libxml2Time = 0;
    if (oursTimes.size() % 2 == 0) {
      oursTime = Seconds(ours, &ok);
      libxml2Time = Seconds(libxml2, &ok);
    } else {
      libxml2Time = Seconds(libxml2, &ok);
      oursTime = Seconds(ours, &ok);
    }
    if (!ok) {
      state.SkipWithError("a side failed");
      return;
    }
    oursTimes.push_back(oursTime);
    libxml2Times.push_back(libxml2Time);
    state.SetIterationTime(oursTime);
  }
  const double oursMs = Median(oursTimes) * 1e3;
  const double libxml2Ms = Median(libxml2Times) * 1e3;
  state.counters["ours_ms"] = oursMs;
  state.counters["libxml2_ms"] = libxml2Ms;
  state.counters["ratio"] = libxml2Ms > 0 ? oursMs / libxml2Ms : 0;

  const double oursMb = PeakGrowthMegabytes(ours);
  const double libxml2Mb = PeakGrowthMegabytes(libxml2);
  state.counters["ours_MB"] = oursMb;
  state.counters["libxml2_MB"] = libxml2Mb;
  state.counters["mem_ratio"] = oursMb > 0 && libxml2Mb > 0 ? oursMb / libxml2Mb : 0;
}

}  // namespace qzbench
