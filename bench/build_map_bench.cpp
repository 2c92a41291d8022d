// Building each transform's map at 1920 x 1080 on one thread (the plain build), on two and on
// every core, beside a memcpy of the map's 8 bytes per pixel, in one run; every build of a slot
// has the same parameters (seeded_map_build.h), built as drawn and without sharing. Times are
// wall times: the threads' work is what a scene change waits for. On a busy machine the wall
// time also holds the time other programs had the cores, so the counter cpu_ms gives the CPU
// time of all the process's threads per build as well. The row kernels that the builds use run
// alone too, each version over a whole map's rows on one thread (arrays that size come from
// memory, where inside a build a row's arrays stay in the cache).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "per_pixel_timer.h"
#include "seeded_map_build.h"
#include "transforms/map_rows.h"
#include "transforms/row_bands.h"
#include "transforms/transform_manager.h"

namespace {

constexpr int32_t kWidth = corvex::bench::kMapWidth, kHeight = corvex::bench::kMapHeight;

double ProcessCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

void BuildMap(benchmark::State& state, int32_t slot, int32_t threads,
              corvex::bench::Sharing sharing) {
  corvex::TransformManager map;
  map.AllocateMap(kWidth, kHeight);
  map.buildThreads = threads;
  const double start = ProcessCpuMilliseconds();
  for (auto _ : state) {
    corvex::bench::PrepareSeededBuild(map, slot, sharing);
    map.BuildMap();
    benchmark::DoNotOptimize(map.sourceOffsets);
    benchmark::ClobberMemory();
  }
  state.counters["cpu_ms"] =
      (ProcessCpuMilliseconds() - start) / static_cast<double>(state.iterations());
}

void CopyMap(benchmark::State& state) {
  const int64_t pixels = int64_t{kWidth} * kHeight;
  corvex::bench::TimeCopyPerPixel(state, static_cast<size_t>(pixels) * 8, pixels);
}

// A slight turn about the middle of the map: the source positions a build samples, nearly all
// inside, with fractions of every kind.
void SampleRows(benchmark::State& state, corvex::MapRowKernels kernels) {
  const size_t count = size_t{kWidth} * kHeight;
  std::vector<double> sx(count), sy(count);
  for (size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i % kWidth) - kWidth / 2.0;
    const double y = static_cast<double>(i / kWidth) - kHeight / 2.0;
    sx[i] = kWidth / 2.0 + x * 0.9995 - y * 0.0316;
    sy[i] = kHeight / 2.0 + x * 0.0316 + y * 0.9995;
  }
  std::vector<uint32_t> offsets(count);
  std::vector<uint8_t> weights(4 * count);
  for (auto _ : state) {
    for (size_t row = 0; row < count; row += kWidth) {
      kernels.sample(&sx[row], &sy[row], kWidth, kWidth, kHeight, &offsets[row],
                     &weights[4 * row]);
    }
    benchmark::DoNotOptimize(offsets.data());
    benchmark::ClobberMemory();
  }
}

void RowDistances(benchmark::State& state, corvex::MapRowKernels kernels) {
  std::vector<double> distances(size_t{kWidth} * kHeight);
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) {
      kernels.distances(y - 540.5, 960.25, kWidth, &distances[size_t{kWidth} * y]);
    }
    benchmark::DoNotOptimize(distances.data());
    benchmark::ClobberMemory();
  }
}

// The points of a whole map's rows about the middle, from radii, cosines and sines as a turn
// about the middle gives them.
void RowPoints(benchmark::State& state, corvex::MapRowKernels kernels) {
  const size_t count = size_t{kWidth} * kHeight;
  std::vector<double> radii(count), cosines(count), sines(count), sx(count), sy(count);
  for (size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i % kWidth) - kWidth / 2.0;
    const double y = static_cast<double>(i / kWidth) - kHeight / 2.0;
    radii[i] = std::sqrt(x * x + y * y);
    cosines[i] = radii[i] > 0 ? x / radii[i] : 1.0;
    sines[i] = radii[i] > 0 ? y / radii[i] : 0.0;
  }
  for (auto _ : state) {
    for (size_t row = 0; row < count; row += kWidth) {
      kernels.points(kWidth / 2.0, kHeight / 2.0, &radii[row], &cosines[row], &sines[row], kWidth,
                     &sx[row], &sy[row]);
    }
    benchmark::DoNotOptimize(sx.data());
    benchmark::ClobberMemory();
  }
}

bool Registered = [] {
  benchmark::RegisterBenchmark("BuildMap/memcpy/1920x1080", &CopyMap)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  std::vector<int32_t> threadCounts = {1, 2};
  if (corvex::DefaultBuildThreads() > 2) threadCounts.push_back(corvex::DefaultBuildThreads());
  using corvex::bench::Sharing;
  for (int32_t slot = 0; slot < corvex::kTransformCount; ++slot) {
    for (Sharing sharing : {Sharing::kAsDrawn, Sharing::kNone}) {
      for (int32_t threads : threadCounts) {
        const std::string name = "BuildMap/" + std::to_string(slot) + "/1920x1080/" +
                                 (sharing == Sharing::kNone ? "unshared/" : "") +
                                 "threads:" + std::to_string(threads);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
          BuildMap(s, slot, threads, sharing);
        })->Unit(benchmark::kMillisecond)->UseRealTime();
      }
    }
  }
  for (const corvex::MapRowKernels& kernels : corvex::MapRowKernelVersions()) {
    const std::string size = std::string(kernels.name) + "/1920x1080";
    benchmark::RegisterBenchmark(("MapRows/sample/" + size).c_str(), [=](benchmark::State& s) {
      SampleRows(s, kernels);
    })->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("MapRows/distances/" + size).c_str(),
                                 [=](benchmark::State& s) { RowDistances(s, kernels); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("MapRows/points/" + size).c_str(),
                                 [=](benchmark::State& s) { RowPoints(s, kernels); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

}  // namespace
