// The C library's part of each map build at 1920 x 1080: the math calls the build makes
// (atan2, sin, cos, sincos, pow), made alone on one thread on the build's own arguments, which
// a build of the same map records beforehand, untimed. The time is the thread's CPU time per
// build. Shared out over N cores it is the least wall time an N-thread build can take as long
// as the map keeps the C library's bits, whatever else is made faster: the report sets it beside
// the build's time as its floor. Here the calls do not wait on each other's results, so the core
// overlaps one with the next, as a build that asks for a row's values together could; inside a
// build where a pixel's next call waits for its last one they cost more (the Flower's sincos
// calls, which wait on its atan2 and on each other, about 1.5x as much). Counters give the calls
// of each function per build.
#include <benchmark/benchmark.h>

#include <string>

#include "library_floor/library_calls.h"
#include "per_pixel_timer.h"
#include "seeded_map_build.h"

namespace corvex::bench {
namespace {

void LibraryFloor(benchmark::State& state, int32_t slot, Sharing sharing) {
  TransformManager map;
  map.AllocateMap(kMapWidth, kMapHeight);
  PrepareSeededBuild(map, slot, sharing);
  const LibraryCalls calls = RecordBuild(map);
  double sum = 0;
  TimePerPixel(state, int64_t{kMapWidth} * kMapHeight, [&] { sum += ReplayCalls(calls); });
  benchmark::DoNotOptimize(sum);
  const auto count = [](size_t n) { return benchmark::Counter(static_cast<double>(n)); };
  state.counters["atan2"] = count(calls.atan2.size());
  state.counters["sin"] = count(calls.sin.size());
  state.counters["cos"] = count(calls.cos.size());
  state.counters["sincos"] = count(calls.sincos.size());
  state.counters["pow"] = count(calls.pow.size());
}

bool Registered = [] {
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    for (Sharing sharing : {Sharing::kAsDrawn, Sharing::kNone}) {
      const std::string name = "LibraryFloor/" + std::to_string(slot) + "/1920x1080" +
                               (sharing == Sharing::kNone ? "/unshared" : "");
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
        LibraryFloor(s, slot, sharing);
      })->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
}  // namespace corvex::bench
