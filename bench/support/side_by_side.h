// Both sides of a comparison in one benchmark: ours and libxml2 alone run
// alternately, so that a busy machine slows both alike, and the row carries
// each side's median time, their ratio, and the peak memory of one run of
// each side.
#pragma once

#include <functional>

#include <benchmark/benchmark.h>

namespace qzbench {

// One run of a side; false when it failed (the benchmark then stops with an error).
using Side = std::function<bool()>;

// Each iteration runs `ours` and `libxml2` once, in turns as to which goes
// first. Counters: ours_ms and libxml2_ms (medians of the iterations' wall
// times) and their ratio; the same of the thread's processor time
// (ours_cpu_ms, libxml2_cpu_ms, cpu_ratio), which holds up better on a
// machine shared with other work; ours_MB and libxml2_MB (the growth of peak
// resident memory during one run, each in a child process of its own) and
// mem_ratio. The time column shows ours.
void SideBySide(benchmark::State& state, const Side& ours, const Side& libxml2);

// The same, for sides that change what they work on: afterOurs and
// afterLibxml2 run, untimed, after each run of their side, to put things back
// for the next run.
void SideBySide(benchmark::State& state, const Side& ours, const Side& libxml2, const Side& afterOurs,
                const Side& afterLibxml2);

// How much the peak resident memory grows while `run` runs once, in MB,
// measured in a forked child so that nothing freed before counts; negative
// when it cannot be measured.
double PeakGrowthMegabytes(const Side& run);

}  // namespace qzbench
