#pragma once
// Runs a benchmark's loop and reports its time per pixel as the counter ns_per_pixel. The
// time is this thread's CPU time, so that other work on the machine (builds, other
// benchmarks) does not inflate it; it is also returned for comparisons within one run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

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

// The copy that speed figures stand beside: `bytes` copied from one buffer into another at each
// iteration, timed as TimePerPixel times its body, with those bytes as the bytes processed.
// Returns the time per pixel.
inline double TimeCopyPerPixel(benchmark::State& state, size_t bytes, int64_t pixels) {
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  const double perPixel = TimePerPixel(state, pixels, [&] {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  });
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  return perPixel;
}

}  // namespace corvex::bench
