// Building each transform's map at 1920 x 1080 on one thread (the plain build), on two and on
// every core, beside a memcpy of the map's 8 bytes per pixel, in one run. Times are wall
// times: the threads' work is what a scene change waits for.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "renderers/random.h"
#include "transforms/row_bands.h"
#include "transforms/transform_manager.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;

void BuildMap(benchmark::State& state, int32_t slot, int32_t threads) {
  corvex::TransformManager map;
  map.AllocateMap(kWidth, kHeight);
  map.buildThreads = threads;
  corvex::SeedRandom(20261206);
  for (auto _ : state) {
    map.currentTransform = slot;
    map.BuildMap();
    benchmark::DoNotOptimize(map.sourceOffsets);
    benchmark::ClobberMemory();
  }
  state.counters["threads"] = threads;
}

void CopyMap(benchmark::State& state) {
  const size_t bytes = size_t{8} * kWidth * kHeight;
  std::vector<char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

bool Registered = [] {
  benchmark::RegisterBenchmark("BuildMap/memcpy/1920x1080", &CopyMap)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  std::vector<int32_t> threadCounts = {1, 2};
  if (corvex::DefaultBuildThreads() > 2) threadCounts.push_back(corvex::DefaultBuildThreads());
  for (int32_t slot = 0; slot < corvex::kTransformCount; ++slot) {
    for (int32_t threads : threadCounts) {
      const std::string name = "BuildMap/" + std::to_string(slot) + "/1920x1080/threads:" +
                               std::to_string(threads);
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
        BuildMap(s, slot, threads);
      })->Unit(benchmark::kMillisecond)->UseRealTime();
    }
  }
  return true;
}();

}  // namespace
