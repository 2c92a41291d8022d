#pragma once
// Runs a benchmark's loop and reports its time per pixel as the counter ns_per_pixel. The
// time is this thread's CPU time, so that other work on the machine (builds, other
// benchmarks) does not inflate it; it is also returned for comparisons within one run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>

namespace corvex::bench {

inline double ThreadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

template <typename Body>
double TimePerPixel(benchmark::State& state, int64_t pixels, Body body) {
  const double start = ThreadCpuNanoseconds();
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  const double perPixel = (ThreadCpuNanoseconds() - start) /
                          (static_cast<double>(state.iterations()) * static_cast<double>(pixels));
  state.counters["ns_per_pixel"] = perPixel;
  return perPixel;
}

}  // namespace corvex::bench
