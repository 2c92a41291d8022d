#pragma once
// The loop and the helpers that every generator shares.
#include <cmath>
#include <utility>
#include <vector>

#include "transforms/row_bands.h"
#include "transforms/transform_manager.h"

namespace corvex {

// A pixel's source position, as the generator computes it.
struct SourcePoint {
  double x;
  double y;
};

// The sampling rule for one pixel: turns its source position into its offset and weights.
// The bounds are inside; a position that compares unordered (NaN) is outside.
inline void SampleInto(uint32_t& offset, uint8_t* weights, double sx, double sy, int32_t width,
                       int32_t height) {
  if (!(sx >= 0 && sx <= width - 1 && sy >= 0 && sy <= height - 1)) {
    offset = 0;
    weights[0] = weights[1] = weights[2] = weights[3] = 0;
    return;
  }
  const int32_t ix = static_cast<int32_t>(sx);
  const int32_t iy = static_cast<int32_t>(sy);
  const double ax = 1 - (sx - ix);
  const double ay = 1 - (sy - iy);
  offset = 4u * static_cast<uint32_t>(iy * width + ix);
  weights[0] = static_cast<uint8_t>(static_cast<int32_t>(ay * ax * 255));
  weights[1] = static_cast<uint8_t>(static_cast<int32_t>(ay * (1 - ax) * 255));
  weights[2] = static_cast<uint8_t>(static_cast<int32_t>((1 - ay) * ax * 255));
  weights[3] = static_cast<uint8_t>(static_cast<int32_t>((1 - ay) * (1 - ax) * 255));
}

// Distance and angle of a pixel from a centre. The distance is never 0: a tiny constant is
// always added.
struct Polar {
  double r;
  double phi;
};

inline double DistanceFrom(double dx, double dy) {
  return std::sqrt(dx * dx + dy * dy) + 0.00000001;
}

inline Polar PolarAbout(double x, double y, double centerX, double centerY) {
  const double dx = x - centerX;
  const double dy = y - centerY;
  return {DistanceFrom(dx, dy), std::atan2(dy, dx)};
}

// Builds the entries of every pixel: `source(x, y)` gives the source position of the pixel
// in column x and row y, and the sampling rule turns it into the entry. Every entry depends
// on its own pixel alone, so rows are split across `threads` threads (all joined before this
// returns) and the map has the same bits whatever their number.
template <typename Source>
void TransformManager::ForEachPixel(Source&& source, int32_t threads) {
  const int32_t width = mapWidth, height = mapHeight;
  ForEachRowBand(height, threads, [&](int32_t firstRow, int32_t endRow) {
    for (int32_t y = firstRow; y < endRow; ++y) {
      const int64_t row = int64_t{y} * width;
      for (int32_t x = 0; x < width; ++x) {
        const SourcePoint s = source(x, y);
        SampleInto(sourceOffsets[row + x], sourceWeights + 4 * (row + x), s.x, s.y, width, height);
      }
    }
  });
}

// Rows mirrored about a centre that lies on a row or halfway between two, y and 2 cy - y, are
// built together: calls rows(y, mirror) with mirror the other row of the pair, or -1 for a row
// whose mirror image lies outside the map (or is itself, on the centre's row). Each row comes
// once, as y or as a mirror; the pairs are split across threads like the rows of ForEachPixel.
template <typename Rows>
void TransformManager::ForEachMirroredRow(double cy, Rows&& rows) {
  const int32_t height = mapHeight;
  const double twice = 2 * cy;
  const bool mirrored =
      shareMirroredRows && twice == std::floor(twice) && twice > 0 && twice < 2.0 * height;
  const auto sum = mirrored ? static_cast<int32_t>(twice) : -1;
  std::vector<std::pair<int32_t, int32_t>> tasks;
  tasks.reserve(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const int32_t mirror = mirrored ? sum - y : -1;
    if (mirror >= 0 && mirror < y) continue;  // built with its pair
    tasks.emplace_back(y, mirror > y && mirror < height ? mirror : -1);
  }
  ForEachRowBand(static_cast<int32_t>(tasks.size()), BuildThreads(),
                 [&](int32_t first, int32_t end) {
                   for (int32_t t = first; t < end; ++t) rows(tasks[t].first, tasks[t].second);
                 });
}

// The polar generators' loop. A pixel and its mirror image about the centre's row are at the
// same distance from the centre to the bit (dy * dy does not see the sign of dy) and at
// opposite angles (atan2 is odd in y, to the bit as well in the C library). So `shared(p)`
// computes what depends on the distance alone once for both, and `source(p, s)` places each;
// where the centre gives no mirrored rows every pixel gets its own `shared`.
template <typename Shared, typename Source>
void TransformManager::ForEachPolarPixel(double cx, double cy, Shared&& shared, Source&& source) {
  const int32_t width = mapWidth, height = mapHeight;
  const auto sample = [&](int32_t x, int32_t y, SourcePoint s) {
    const int64_t i = int64_t{y} * width + x;
    SampleInto(sourceOffsets[i], sourceWeights + 4 * i, s.x, s.y, width, height);
  };
  ForEachMirroredRow(cy, [&](int32_t y, int32_t mirror) {
    for (int32_t x = 0; x < width; ++x) {
      const Polar p = PolarAbout(x, y, cx, cy);
      const auto s = shared(p);
      sample(x, y, source(p, s));
      if (mirror >= 0) sample(x, mirror, source(Polar{p.r, -p.phi}, s));
    }
  });
}

inline void TransformManager::SetFlags(uint8_t sustainFlag, uint8_t sustainOptionalFlag,
                                       uint8_t centerDetailFlag) {
  sustain = sustainFlag;
  sustainOptional = sustainOptionalFlag;
  centerDetail = centerDetailFlag;
}

// The point at `radius` and `angle` from a centre. Cosine and sine of one angle: the
// compiler makes them one sincos call where the C library has it, with the same bits.
inline SourcePoint PolarSource(double centerX, double centerY, double radius, double angle) {
  return {centerX + radius * std::cos(angle), centerY + radius * std::sin(angle)};
}

}  // namespace corvex
