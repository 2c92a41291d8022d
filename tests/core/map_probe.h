#pragma once
// Helpers for the transform tests: forcing a generator's random draws by choosing the seed,
// and reading map entries back as the source positions they were made from.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "renderers/random.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {

inline constexpr int kAny = -1;

// The values RandomInt gives for the bounds `bounds` in turn after SeedRandom(seed).
inline std::vector<int32_t> Draws(uint32_t seed, const std::vector<int32_t>& bounds) {
  SeedRandom(seed);
  std::vector<int32_t> values;
  for (int32_t n : bounds) values.push_back(RandomInt(n));
  return values;
}

// The first seed whose draws for `bounds` match `wanted` (kAny matches anything).
inline uint32_t SeedFor(const std::vector<std::pair<int32_t, int32_t>>& wanted) {
  std::vector<int32_t> bounds;
  for (auto [bound, value] : wanted) bounds.push_back(bound);
  for (uint32_t seed = 1;; ++seed) {
    const std::vector<int32_t> values = Draws(seed, bounds);
    bool match = true;
    for (size_t i = 0; i < wanted.size(); ++i) {
      match = match && (wanted[i].second == kAny || wanted[i].second == values[i]);
    }
    if (match) return seed;
  }
}

// Builds `slot`'s map after SeedRandom(seed).
inline void BuildSeeded(TransformManager& map, int32_t slot, uint32_t seed) {
  map.currentTransform = slot;
  SeedRandom(seed);
  map.BuildMap();
}

struct MapEntry {
  uint32_t offset;
  std::array<int, 4> w;
  int Sum() const { return w[0] + w[1] + w[2] + w[3]; }
};

inline MapEntry EntryAt(const TransformManager& map, int32_t x, int32_t y) {
  const int32_t i = y * map.mapWidth + x;
  const uint8_t* w = map.sourceWeights + 4 * i;
  return {map.sourceOffsets[i], {w[0], w[1], w[2], w[3]}};
}

struct Position {
  double x, y;
};

// The source position an entry was made from, read back from its block and weights (to within
// about 0.01 pixel); none for an entry whose source was outside.
inline std::optional<Position> SourceOf(const TransformManager& map, int32_t x, int32_t y) {
  const MapEntry e = EntryAt(map, x, y);
  if (e.Sum() == 0) return std::nullopt;
  const int32_t block = static_cast<int32_t>(e.offset / 4);
  const double right = (e.w[1] + e.w[3]) / static_cast<double>(e.Sum());
  const double down = (e.w[2] + e.w[3]) / static_cast<double>(e.Sum());
  return Position{block % map.mapWidth + right, block / map.mapWidth + down};
}

}  // namespace corvex::testing
