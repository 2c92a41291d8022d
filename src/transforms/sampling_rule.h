#pragma once
// The per-pixel arithmetic that every map build shares, one pixel at a time: the reference
// that the row kernels (map_rows.h) must match to the bit.
#include <cmath>
#include <cstdint>

namespace corvex {

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

// A pixel's distance from a centre. It is never 0: a tiny constant is always added.
inline double DistanceFrom(double dx, double dy) {
  return std::sqrt(dx * dx + dy * dy) + 0.00000001;
}

}  // namespace corvex
