// Building each transform's map at two sizes: the per-pixel trigonometry paid once per scene.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "base/random.h"
#include "per_pixel_timer.h"
#include "transforms/transform_manager.h"

namespace {

void BuildMap(benchmark::State& state, int32_t slot, int32_t width, int32_t height) {
  corvex::TransformManager map;
  map.AllocateMap(width, height);
  corvex::SeedRandom(20261206);
  corvex::bench::TimePerPixel(state, int64_t{width} * height, [&] {
    map.currentTransform = slot;
    map.BuildMap();
  });
}

bool Registered = [] {
  for (auto [width, height] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
    for (int32_t slot = 0; slot < corvex::kTransformCount; ++slot) {
      const std::string name = "BuildMap/" + std::to_string(slot) + "/" + std::to_string(width) +
                               "x" + std::to_string(height);
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
        BuildMap(s, slot, width, height);
      })->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
