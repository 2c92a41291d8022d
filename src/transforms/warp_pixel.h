#pragma once
#include <algorithm>
#include <cstdint>

namespace corvex {

// One destination pixel of the feedback pass: the 2 x 2 block at byte offset `offset` of
// `previous` (row length `row` pixels) blended with the four weights w, each plus `s` in the
// colour channels. The reference arithmetic that every vector version must reproduce; the
// vector versions also use it for the pixels left over after their last full block.
inline uint32_t WarpPixel(const uint32_t* previous, uint32_t offset, const uint8_t* w,
                          int32_t row, uint32_t s) {
  const uint32_t* p = previous + (offset >> 2);
  const uint32_t p00 = p[0], p01 = p[1], p10 = p[row], p11 = p[row + 1];
  const uint32_t w0 = w[0] + s, w1 = w[1] + s, w2 = w[2] + s, w3 = w[3] + s;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t sum = ((p00 >> shift) & 255) * w0 + ((p01 >> shift) & 255) * w1 +
                         ((p10 >> shift) & 255) * w2 + ((p11 >> shift) & 255) * w3;
    // The terms are never negative, so saturating each addition at 16 bits is the same as
    // limiting the total.
    out |= (std::min(sum, 65535u) >> 8) << shift;
  }
  return out;
}

// Runs WarpPixel for pixels first to count - 1: the reference pass, and the tail of the
// vector passes.
inline void WarpPixels(const uint32_t* previous, uint32_t* destination, const uint32_t* offsets,
                       const uint8_t* weights, int32_t row, bool sustain, int64_t first,
                       int64_t count) {
  const uint32_t s = sustain ? 1u : 0u;
  for (int64_t i = first; i < count; ++i) {
    destination[i] = WarpPixel(previous, offsets[i], weights + 4 * i, row, s);
  }
}

// Where the pass will read some 192 pixels on: the vector passes ask for those source rows
// to be brought into the cache early, since a map's reads wander where the hardware's own
// prefetching does not follow. (A prefetch never faults, whatever the address.)
inline const char* SourceAhead(const char* base, const uint32_t* offsets, int64_t i,
                               int64_t count) {
  return base + offsets[std::min<int64_t>(i + 192, count - 1)];
}

}  // namespace corvex
