// The feedback pass at four picture sizes: the scalar reference, a memcpy of the picture's
// bytes, a memcpy as large as the pass's own traffic, and each vector version, in that order in
// one run. Every version reports its time per pixel and, when the reference and the copies ran
// before it at the same size, its speed as a multiple of the reference's (vs_scalar, higher is
// better) and its time as a multiple of each copy's (vs_memcpy and vs_moved_bytes, lower is
// better). Times are the thread's CPU time.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/random.h"
#include "per_pixel_timer.h"
#include "transforms/transform_manager.h"
#include "transforms/warp_pass.h"

namespace {

using corvex::TransformManager;
using corvex::WarpPassArgs;
using corvex::WarpPassFunction;

constexpr std::pair<int, int> kSizes[] = {{640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};

// A picture and the map of a real transform (a Wavy Spiral: turns, zooms and ripples, so reads
// wander the way they do in use), built once per size.
struct Scene {
  Scene(int width, int height)
      : previous(static_cast<size_t>(width) * (height + 1) + 1),
        destination(previous.size()) {
    std::mt19937 random(7);
    for (auto& pixel : previous) pixel = random() & 0x00FFFFFF;
    corvex::SeedRandom(11);
    map.AllocateMap(width, height);
    map.currentTransform = 0;
    map.BuildMap();
  }
  WarpPassArgs Args() {
    // Stores past the caches where the frame step would make them.
    const bool stream = corvex::WarpPassOutgrowsTheCache(map.mapWidth, map.mapHeight);
    return WarpPassArgs{previous.data(), destination.data(), map.sourceOffsets, map.sourceWeights,
                        map.mapWidth,    map.mapHeight,      true,              stream};
  }
  std::vector<uint32_t> previous, destination;
  TransformManager map;
};

Scene& SceneOfSize(int width, int height) {
  static std::map<std::pair<int, int>, std::unique_ptr<Scene>> scenes;
  auto& scene = scenes[{width, height}];
  if (!scene) scene = std::make_unique<Scene>(width, height);
  return *scene;
}

// Nanoseconds per pixel of the last run of the reference and of the copies, per size.
std::map<std::pair<int, int>, double> scalarTimes, copyTimes, movedBytesTimes;

// The pass reads each pixel's map entry (8 bytes) and, mostly once over, the source picture
// (4 bytes a pixel), and writes the new picture (4): 16 bytes a pixel cross the memory bus, 12
// in and 4 out. A memcpy moves as many bytes out as in, so the copy as large as the pass's
// traffic copies 8 bytes a pixel: 8 in and 8 out. Copying the 12 bytes the pass reads would
// move 24 a pixel, half again what the pass moves, and be no floor. A byte read costs no more
// than a byte written, and more of the pass's traffic is reads than the copy's, so the bound is
// not tight from below: the pass could in principle come in under the copy.
constexpr int kMovedBytesCopiedPerPixel = 8;

void RunPass(benchmark::State& state, WarpPassFunction pass, int width, int height,
             bool isReference) {
  Scene& scene = SceneOfSize(width, height);
  const int64_t pixels = static_cast<int64_t>(width) * height;
  const WarpPassArgs args = scene.Args();
  const double ns = corvex::bench::TimePerPixel(state, pixels, [&] { pass(args); });
  state.SetBytesProcessed(state.iterations() * pixels * 4);
  const auto size = std::make_pair(width, height);
  if (isReference) {
    scalarTimes[size] = ns;
    return;
  }
  if (scalarTimes.count(size)) state.counters["vs_scalar"] = scalarTimes[size] / ns;
  if (copyTimes.count(size)) state.counters["vs_memcpy"] = ns / copyTimes[size];
  if (movedBytesTimes.count(size)) state.counters["vs_moved_bytes"] = ns / movedBytesTimes[size];
}

// A memcpy of bytesPerPixel bytes a pixel from one buffer into another; keeps its time per
// pixel in `times`.
void RunCopy(benchmark::State& state, int width, int height, int bytesPerPixel,
             std::map<std::pair<int, int>, double>& times) {
  const int64_t pixels = static_cast<int64_t>(width) * height;
  times[{width, height}] = corvex::bench::TimeCopyPerPixel(
      state, static_cast<size_t>(pixels * bytesPerPixel), pixels);
}

bool Registered = [] {
  for (auto [width, height] : kSizes) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    benchmark::RegisterBenchmark(("WarpPass/scalar/" + size).c_str(),
                                 [=](benchmark::State& s) {
                                   RunPass(s, &corvex::WarpPassScalar, width, height, true);
                                 })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("WarpPass/memcpy/" + size).c_str(),
                                 [=](benchmark::State& s) {
                                   RunCopy(s, width, height, 4, copyTimes);
                                 })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("WarpPass/memcpy_moved_bytes/" + size).c_str(),
                                 [=](benchmark::State& s) {
                                   RunCopy(s, width, height, kMovedBytesCopiedPerPixel,
                                           movedBytesTimes);
                                 })
        ->Unit(benchmark::kMicrosecond);
    for (auto [name, pass] : corvex::WarpPassVersions()) {
      if (pass == &corvex::WarpPassScalar) continue;
      benchmark::RegisterBenchmark(("WarpPass/" + std::string(name) + "/" + size).c_str(),
                                   [=](benchmark::State& s) {
                                     RunPass(s, pass, width, height, false);
                                   })
          ->Unit(benchmark::kMicrosecond);
    }
  }
  return true;
}();

}  // namespace
