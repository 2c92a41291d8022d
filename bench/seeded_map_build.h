#pragma once
// What every benchmark of a map build builds: a slot's map at 1920 x 1080 with the parameters
// its generator draws first from one seed. Seeding before every build gives every build of a
// slot the same parameters, so a figure does not depend on how many builds a run happened to
// time, and the C library's floor (library_floor/) is taken on the very map the build timed.
#include <cstdint>

#include "base/random.h"
#include "transforms/transform_manager.h"

namespace corvex::bench {

inline constexpr int32_t kMapWidth = 1920, kMapHeight = 1080;

// The builds a figure is taken of: the seed's draw, with the sharing between mirrored pixels
// that its centre allows (this seed's polar centres lie on a pixel or halfway between two), or
// the same draw with no sharing, as every draw whose centre falls on a quarter pixel must build:
// the slower of the two is what a scene change may have to wait for.
enum class Sharing { kAsDrawn, kNone };

// Sets the map to build `slot` next with the seed's parameters; BuildMap() then builds it.
inline void PrepareSeededBuild(TransformManager& map, int32_t slot,
                               Sharing sharing = Sharing::kAsDrawn) {
  SeedRandom(20261206);
  map.currentTransform = slot;
  map.shareMirroredRows = sharing == Sharing::kAsDrawn;
}

}  // namespace corvex::bench
